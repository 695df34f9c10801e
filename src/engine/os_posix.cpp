#include "engine/os.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

// Without a desktop the box becomes one line on standard error, which tests read.
void ShowMessageBox(const char* caption, const char* text) {
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    std::fflush(stderr);
}

void ShowDesktopErrorBox(const char* caption, const char* text) {
    ShowMessageBox(caption, text);
}

bool PathExists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

// A file without the owner's write permission stands for a read-only one.
bool GetReadOnly(const char* path, bool* readOnly) {
    struct stat info;
    if (stat(path, &info) != 0) {
        return false;
    }
    *readOnly = (info.st_mode & S_IWUSR) == 0;
    return true;
}

bool SetReadOnly(const char* path, bool readOnly) {
    struct stat info;
    if (stat(path, &info) != 0) {
        return false;
    }
    mode_t mode = info.st_mode & 07777;
    mode = readOnly ? mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    return chmod(path, mode) == 0;
}

bool CreateFolder(const char* path) {
    return mkdir(path, 0777) == 0;
}

void GetDosDateTimeNow(uint16_t* date, uint16_t* time) {
    std::time_t now = std::time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    int year = utc.tm_year + 1900 - 1980;
    if (year < 0) {
        year = 0;
    }
    *date = uint16_t((year << 9) | ((utc.tm_mon + 1) << 5) | utc.tm_mday);
    *time = uint16_t((utc.tm_hour << 11) | (utc.tm_min << 5) | (utc.tm_sec / 2));
}

bool SetFileLength(std::FILE* file, uint32_t size) {
    if (std::fflush(file) != 0) {
        return false;
    }
    return ftruncate(fileno(file), off_t(size)) == 0;
}

uint32_t TickCount() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

} // namespace os

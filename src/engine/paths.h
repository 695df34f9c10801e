// Path and file helpers on C strings. Both '\' and '/' separate folders.
#pragma once

#include <cstddef>
#include <cstdint>

class CStr;

// Room for a path, terminator included.
constexpr size_t kPathBufferSize = 260;

// Just after the last separator; the whole path without one. A null path
// gives the constant text "In Path Name Null!".
const char* FileNamePart(const char* path);
char* FileNamePart(char* path);

// Leaves the folder with its trailing separator ("a/b/c.jpg" becomes "a/b/").
void CutToFolder(char* path);

// The folder before the last separator (without it) and the name after it;
// either output may be null.
void SplitPath(const char* path, CStr* folder, CStr* name);

// Removes one final separator in place.
void StripTrailingSeparator(char* path);

// Appends '/' unless the text is empty or already ends in a separator, then
// part. Returns where part begins, or null (and leaves the buffer as it was)
// when the result would not fit in size bytes.
char* AppendPathPart(char* buffer, size_t size, const char* part);

// buffer = folder joined with part; null when it would not fit.
char* JoinPath(char* buffer, size_t size, const char* folder, const char* part);

// Creates the folder and any missing parents; true when it created the
// folder. An existing folder gives false.
bool CreateDirectoryPath(const char* path);

bool FileExists(const char* path);
bool IsReadOnly(const char* path);
void SetReadOnly(const char* path, bool on);
void GetDosDateTimeNow(uint16_t* date, uint16_t* time);

// A heap copy (release it with free); null for null.
char* DuplicateText(const char* text);

// Decodes pairs of hex digits; the digits are not validated.
void HexToBytes(unsigned char* output, const char* text, size_t max);

#include "services/services_host.h"

#include <cstring>

namespace {

ServicesHost host;

const char* const kBrokenText = "Tarvel Arcade has encountered an unrecoverable error and cannot "
                                "link to the dll. The application must be reinstalled.";
const char* const kNoDetailsText =
    "Extended error information is not available for the last error.";

struct EntryLink {
    const char* name;
    const char* message;
    FARPROC* slot;
};

// Copies at most size - 1 characters and always terminates.
void CopyText(char* destination, size_t size, const char* source) {
    size_t n = std::strlen(source);
    if (n >= size) {
        n = size - 1;
    }
    std::memcpy(destination, source, n);
    destination[n] = '\0';
}

void UnloadModule() {
    if (host.servicesModule != nullptr) {
        FreeLibrary(host.servicesModule);
    }
    host.servicesModule = nullptr;
    host.entries = EntryTable{};
}

unsigned short ReportLoadFailure() {
    DWORD error = GetLastError();
    char* systemText = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, LANG_USER_DEFAULT, reinterpret_cast<char*>(&systemText), 0, nullptr);
    wsprintfA(host.loadErrorText,
              "The TarvelArcade.dll file could not be loaded. If could be corrupted or in the "
              "wrong location.\nThe correct location is in the \"TarvelArcade\" subfolder in the "
              "same folder as the application's exe.\n\nWin32 Error: %s",
              systemText != nullptr ? systemText : "");
    LocalFree(systemText);
    host.lastErrorMessage = host.loadErrorText;
    return 3;
}

// Links every entry point in order and stops at the first that is missing.
bool LinkEntryPoints() {
#define QO_ENTRY_LINK(name)                                                                        \
    {"qodll_" #name, "Could not link to 'qodll_" #name "' function within the dll.",               \
     reinterpret_cast<FARPROC*>(&host.entries.name)},
    const EntryLink links[] = {QO_ENTRY_POINTS(QO_ENTRY_LINK)};
#undef QO_ENTRY_LINK
    for (const EntryLink& link : links) {
        *link.slot = GetProcAddress(host.servicesModule, link.name);
        if (*link.slot == nullptr) {
            UnloadModule();
            host.lastErrorMessage = link.message;
            return false;
        }
        // The version entries are called once as they are linked.
        if (link.slot == reinterpret_cast<FARPROC*>(&host.entries.GetDLLVersionAsString)) {
            host.entries.GetDLLVersionAsString();
        } else if (link.slot == reinterpret_cast<FARPROC*>(&host.entries.GetDLLVersionAsInt)) {
            host.entries.GetDLLVersionAsInt();
        }
    }
    return true;
}

} // namespace

ServicesHost& GetServicesHost() {
    return host;
}

unsigned short QO_Initialize(int32_t applicationId, const char* applicationName,
                             int32_t developerChannelId, unsigned short value) {
    host.lastErrorMessage = nullptr;
    host.paletteKept = false;

    char modulePath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    char* lastBackslash = std::strrchr(modulePath, '\\');
    if (lastBackslash != nullptr) {
        lastBackslash[1] = '\0';
    }
    // Leave room for the sub-folder; a longer wrapper path is not provided for.
    modulePath[MAX_PATH - sizeof "TarvelArcade\\"] = '\0';
    std::strcpy(host.servicesFolder, modulePath);
    std::strcat(host.servicesFolder, "TarvelArcade\\");

    host.startArguments.applicationId = applicationId;
    if (applicationName != nullptr) {
        CopyText(host.startArguments.applicationName, sizeof host.startArguments.applicationName,
                 applicationName);
    }
    host.startArguments.developerChannelId = developerChannelId;
    host.startArguments.value = value;
    return StartServicesModule(applicationId, applicationName, developerChannelId,
                               host.servicesFolder, value);
}

unsigned short StartServicesModule(int32_t applicationId, const char* applicationName,
                                   int32_t developerChannelId, const char* servicesFolder,
                                   unsigned short value) {
    host.startCalled = true;

    char libraryPath[MAX_PATH + 32];
    std::strcpy(libraryPath, servicesFolder);
    std::strcat(libraryPath, "TarvelArcade.dll");
    host.servicesModule = LoadLibraryA(libraryPath);
    if (host.servicesModule == nullptr) {
        return ReportLoadFailure();
    }
    if (!LinkEntryPoints()) {
        return 5;
    }
    unsigned short result =
        host.entries.Initialize(applicationId, applicationName, developerChannelId, servicesFolder,
                                value, QO_INTERFACE_VERSION);
    if (result != 0) {
        // Once the library is gone its own error text is too: keep a copy.
        const char* moduleText = host.entries.GetLastErrorInformation();
        if (moduleText != nullptr && moduleText[0] != '\0') {
            CopyText(host.moduleErrorText, sizeof host.moduleErrorText, moduleText);
            host.lastErrorMessage = host.moduleErrorText;
        }
        UnloadModule();
    }
    return result;
}

void QO_ShutDown() {
    CheckStarted();
    if (host.servicesBroken) {
        return;
    }
    if (host.entries.ShutDown != nullptr) {
        host.entries.ShutDown();
    }
    UnloadModule();
}

const char* QO_GetLastErrorInformation() {
    CheckStarted();
    if (host.servicesBroken) {
        return kBrokenText;
    }
    if (host.lastErrorMessage != nullptr) {
        return host.lastErrorMessage;
    }
    if (host.entries.GetLastErrorInformation != nullptr) {
        const char* text = host.entries.GetLastErrorInformation();
        if (text != nullptr) {
            return text;
        }
    }
    return kNoDetailsText;
}

void CheckStarted() {
    if (!host.startCalled) {
        MessageBoxA(GetDesktopWindow(), "Must call QO_Initialize before any other API function.",
                    "Error In TarvelArcade API Usage", MB_OK);
    }
}

bool QO_HandleWindowsMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CheckStarted();
    if (host.servicesBroken || host.updatePending || host.entries.HandleWindowsMessage == nullptr) {
        return false;
    }
    return (host.entries.HandleWindowsMessage(window, message, wParam, lParam) & 0xFF) != 0;
}

// The channel archive through the engine's own zip code, so what the
// packager writes and checks is exactly what the wrapper reads.
#pragma once

#include <string>
#include <utility>
#include <vector>

using ArchiveEntries = std::vector<std::pair<std::string, std::string>>;

// A new stored archive at path (absolute) with the alternate end signature;
// false when any part of it could not be written.
bool WriteStoredArchive(const std::string& path, const ArchiveEntries& entries);

// The entry's bytes as the wrapper looks it up (no name prefix); false when
// the archive does not open or has no such entry.
bool ReadArchiveEntry(const std::string& path, const char* entryName, std::string* bytes);

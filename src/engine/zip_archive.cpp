#include "engine/zip_archive.h"

#include "engine/fatal.h"
#include "engine/os.h"
#include "engine/str.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace zip;

namespace {

constexpr uint32_t kNoDirectoryOffset = 0xFFFFFFFF;
constexpr uint32_t kMaxEntries = 65535;

unsigned char LowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = LowerAscii(static_cast<unsigned char>(*a));
        unsigned char y = LowerAscii(static_cast<unsigned char>(*b));
        if (x != y || x == 0) {
            return int(x) - int(y);
        }
    }
}

bool StartsWithNoCase(const char* text, const std::string& start) {
    for (size_t i = 0; i < start.size(); ++i) {
        if (LowerAscii(static_cast<unsigned char>(text[i])) !=
            LowerAscii(static_cast<unsigned char>(start[i]))) {
            return false;
        }
    }
    return true;
}

// Where the data of a record's entry would end, without wrapping.
uint64_t RecordDataEnd(const unsigned char* record) {
    return uint64_t(Get32(record + (kCentralLocalOffset - 4))) + kLocalHeaderSize +
           Get16(record + (kCentralNameLength - 4)) + Get16(record + (kCentralExtraLength - 4)) +
           Get32(record + (kCentralCompressedSize - 4));
}

[[noreturn]] void ArchiveFatal(const char* caption, const char* format, const std::string& name) {
    CStr text;
    text.Format(format, name.c_str());
    ShowErrorBox(caption, text.GetText());
    std::exit(-1);
}

} // namespace

uint32_t CZipDirEntry::DataStart() const {
    return LocalOffset() + kLocalHeaderSize + Get16(kCentralNameLength) +
           Get16(kCentralExtraLength);
}

void CZipDirEntry::SetLength(uint32_t length) {
    Put32(kCentralCompressedSize, length);
    Put32(kCentralUncompressedSize, length);
}

CZipArchive::~CZipArchive() {
    Discard();
}

void CZipArchive::Discard() {
    if (file) {
        file->Close();
    }
    file.reset();
    entries.clear();
    nameIndex.clear();
    loaded = false;
    dirty = false;
}

bool CZipArchive::Open(const char* fileName, bool isWritable, const char* namePrefix, bool lazy,
                       uint32_t extraOpenFlags) {
    Discard();
    keepOpen = false;
    openEntries = 0;
    ownHandleEntries = 0;
    endSignature = kEndSignature;
    writable = isWritable;
    openFlags = extraOpenFlags;
    name = fileName != nullptr ? fileName : "";
    prefix = namePrefix != nullptr && namePrefix[0] != '/' ? namePrefix : "";
    if (lazy) {
        return true;
    }
    keepOpen = true;
    return LoadDirectory();
}

bool CZipArchive::LoadDirectory() {
    file.reset(new CFileStream());
    if (!file->Open(name.c_str(), ArchiveOpenFlags()) || !ReadDirectory(file->GetSize())) {
        Discard();
        return false;
    }
    loaded = true;
    SortDirectory();
    // Entries that overlap, or reach into the directory, are not an archive
    // that can be read or rewritten safely.
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        if (RecordDataEnd(entries[i]->record) > entries[i + 1]->LocalOffset()) {
            Discard();
            return false;
        }
    }
    if (!keepOpen) {
        file->Close();
    }
    return true;
}

// Reads the directory of an archive of fileSize bytes into entries; false
// for anything the file does not bear out.
bool CZipArchive::ReadDirectory(uint32_t fileSize) {
    uint32_t count = 0;
    uint32_t start = kNoDirectoryOffset;
    unsigned char end[kEndRecordSize];
    if (fileSize >= kEndRecordSize && file->SeekAbsolute(fileSize - kEndRecordSize) &&
        file->Read(end, kEndRecordSize) == kEndRecordSize && IsEndSignature(Get32(end))) {
        endSignature = Get32(end);
        count = Get16(end + kEndTotalEntries);
        start = Get32(end + kEndDirectoryOffset);
    }
    uint32_t signature = 0;
    if (start == kNoDirectoryOffset) {
        // No end record at the very end (an archive comment, say): walk the
        // local headers to the directory, then count its records.
        uint64_t at = 0;
        if (!file->SeekAbsolute(0) || !file->ReadInt32(&signature)) {
            return false;
        }
        while (signature == kLocalSignature) {
            unsigned char header[kLocalHeaderSize - 4];
            if (file->Read(header, sizeof header) != sizeof header) {
                return false;
            }
            at += uint64_t(kLocalHeaderSize) + Get32(header + (kLocalCompressedSize - 4)) +
                  Get16(header + (kLocalNameLength - 4)) + Get16(header + (kLocalExtraLength - 4));
            if (at > fileSize || !file->SeekAbsolute(uint32_t(at)) ||
                !file->ReadInt32(&signature)) {
                return false;
            }
        }
        if (signature != kCentralSignature) {
            return false;
        }
        start = uint32_t(at);
        count = 0;
        while (signature == kCentralSignature) {
            unsigned char record[kCentralRecordSize - 4];
            if (++count > kMaxEntries || file->Read(record, sizeof record) != sizeof record) {
                return false;
            }
            at += uint64_t(kCentralRecordSize) + Get16(record + (kCentralNameLength - 4)) +
                  Get16(record + (kCentralExtraLength - 4)) +
                  Get16(record + (kCentralCommentLength - 4));
            if (at > fileSize || !file->SeekAbsolute(uint32_t(at)) ||
                !file->ReadInt32(&signature)) {
                return false;
            }
        }
        if (!IsEndSignature(signature)) {
            return false;
        }
        endSignature = signature;
    }

    if (start > fileSize || !file->SeekAbsolute(start) || !file->ReadInt32(&signature)) {
        return false;
    }
    entries.reserve(count);
    uint64_t at = start;
    while (entries.size() < count && signature == kCentralSignature) {
        auto entry = std::make_unique<CZipDirEntry>();
        if (file->Read(entry->record, sizeof entry->record) != sizeof entry->record) {
            return false;
        }
        uint32_t nameLength = entry->Get16(kCentralNameLength);
        uint32_t extraLength = entry->Get16(kCentralExtraLength);
        uint32_t commentLength = entry->Get16(kCentralCommentLength);
        at += uint64_t(kCentralRecordSize) + nameLength + extraLength + commentLength;
        if (at > fileSize) {
            return false;
        }
        entry->name = prefix;
        entry->name.resize(prefix.size() + nameLength);
        if (nameLength != 0 && file->Read(&entry->name[prefix.size()], nameLength) != nameLength) {
            return false;
        }
        if (entry->Get16(kCentralMethod) != 0) {
            ArchiveFatal("Compressed Zip File Found",
                         "%s has been created using an unsupported type of compression.  All zip "
                         "archives must be created with compression set to none or a type of "
                         "compression supported by the game engine.",
                         name);
        }
        // Stored data is as long as it is stored, and lies before the directory.
        if (entry->Get32(kCentralCompressedSize) != entry->Length() ||
            RecordDataEnd(entry->record) > start) {
            return false;
        }
        entry->extra.resize(extraLength);
        if ((extraLength != 0 && file->Read(entry->extra.data(), extraLength) != extraLength) ||
            !file->SeekAbsolute(uint32_t(at)) || !file->ReadInt32(&signature)) {
            return false;
        }
        entries.push_back(std::move(entry));
    }
    // An end record that promises more or fewer entries than there are
    // records describes some other archive.
    return entries.size() == count && IsEndSignature(signature);
}

void CZipArchive::EnsureLoaded() {
    if (loaded) {
        return;
    }
    if (!LoadDirectory()) {
        ArchiveFatal("FATAL ERROR IN ZIP",
                     "There is something wrong with %s.  It may be an empty or damaged archive.",
                     name);
    }
}

void CZipArchive::SortDirectory() {
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a->LocalOffset() < b->LocalOffset();
    });
    nameIndex.resize(entries.size());
    for (uint32_t i = 0; i < nameIndex.size(); ++i) {
        nameIndex[i] = i;
    }
    std::stable_sort(nameIndex.begin(), nameIndex.end(), [this](uint32_t a, uint32_t b) {
        return CompareNoCase(entries[a]->name.c_str(), entries[b]->name.c_str()) < 0;
    });
}

CZipDirEntry* CZipArchive::FindEntry(const char* entryName) const {
    int64_t low = 0;
    int64_t high = int64_t(nameIndex.size()) - 1;
    while (high >= low) {
        int64_t middle = (low + high) / 2;
        CZipDirEntry* entry = entries[nameIndex[size_t(middle)]].get();
        int order = CompareNoCase(entry->name.c_str(), entryName);
        if (order == 0) {
            return entry;
        }
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return nullptr;
}

CZipEntryFileBuf* CZipArchive::OpenEntry(const char* entryName, uint32_t flags) {
    EnsureLoaded();
    if (entryName == nullptr) {
        return nullptr;
    }
    const char* slash = std::strrchr(entryName, '/');
    const char* backslash = std::strrchr(entryName, '\\');
    const char* last = slash > backslash ? slash : backslash;
    size_t folderLength = last != nullptr ? size_t(last - entryName) + 1 : 0;
    if (folderLength < prefix.size() || !StartsWithNoCase(entryName, prefix)) {
        return nullptr;
    }
    if (entries.empty() || entryName[0] == 0) {
        return nullptr;
    }
    CZipDirEntry* entry = FindEntry(entryName);
    if (entry == nullptr) {
        return nullptr;
    }
    if ((flags & kOpenCreate) != 0) {
        if ((flags & kOpenWrite) == 0 || !PrepareWrite()) {
            return nullptr;
        }
        if (entry != entries.back().get() && !MoveEntryToEnd(entry)) {
            return nullptr;
        }
        uint16_t date = 0;
        uint16_t time = 0;
        os::GetDosDateTimeNow(&date, &time);
        entry->SetLength(0);
        entry->Put32(kCentralCrc, 0);
        entry->Put16(kCentralMethod, 0);
        entry->Put16(kCentralExtraLength, 0);
        entry->Put16(kCentralDate, date);
        entry->Put16(kCentralTime, time);
        entry->extra.clear();
        // The move overwrote the directory on disk: it must be written again.
        dirty = true;
        if (!WriteLocalHeader(*entry)) {
            return nullptr;
        }
    }
    // Writing goes through the archive's own stream, so that closing the
    // entry writes the directory on the stream that changed the file.
    if ((flags & kOpenWrite) != 0) {
        flags &= ~kOpenOwnHandle;
    }
    auto* buffer = new CZipEntryFileBuf();
    if (!buffer->Open(this, entry, flags)) {
        delete buffer;
        return nullptr;
    }
    return buffer;
}

bool CZipArchive::IsOpenForWriting() const {
    return file && file->GetBuffer() != nullptr && (file->GetFlags() & kOpenWrite) != 0;
}

bool CZipArchive::PrepareWrite() {
    if (!writable || openEntries != 0 || ownHandleEntries != 0) {
        return false;
    }
    EnsureLoaded();
    if (IsOpenForWriting()) {
        return true;
    }
    file->Close();
    return file->Open(name.c_str(), ArchiveOpenFlags() | kOpenWrite);
}

bool CZipArchive::MoveEntryToEnd(CZipDirEntry* entry) {
    size_t i = 0;
    while (entries[i].get() != entry) {
        ++i;
    }
    uint32_t from = entries[i + 1]->LocalOffset();
    uint32_t to = entry->LocalOffset();
    uint32_t end = entries.back()->DataEnd();
    if (!file->CopyWithin(to, from, end - from)) {
        return false;
    }
    for (size_t j = i + 1; j < entries.size(); ++j) {
        CZipDirEntry& later = *entries[j];
        later.Put32(kCentralLocalOffset, later.LocalOffset() - (from - to));
    }
    entry->Put32(kCentralLocalOffset, entries.back()->DataEnd());
    SortDirectory();
    return true;
}

bool CZipArchive::WriteLocalHeader(const CZipDirEntry& entry) {
    unsigned char header[kLocalHeaderSize];
    Put32(header, kLocalSignature);
    // The local header's fields from version needed to the extra length are
    // the central record's from its version needed on, less the made-by field.
    std::memcpy(header + kLocalVersionNeeded, entry.record + (kCentralVersionNeeded - 4),
                kLocalHeaderSize - kLocalVersionNeeded);
    uint32_t storedLength = uint32_t(entry.name.size() - prefix.size());
    return file->SeekAbsolute(entry.LocalOffset()) &&
           file->Write(header, sizeof header) == sizeof header &&
           file->Write(entry.name.data() + prefix.size(), storedLength) == storedLength;
}

bool CZipArchive::WriteCentralDirectory() {
    uint32_t start = entries.back()->DataEnd();
    if (!file->SeekAbsolute(start)) {
        return false;
    }
    for (const auto& entry : entries) {
        // Comments are not kept, so none is written.
        entry->Put16(kCentralCommentLength, 0);
        unsigned char signature[4];
        Put32(signature, kCentralSignature);
        uint32_t storedLength = uint32_t(entry->name.size() - prefix.size());
        uint32_t extraLength = uint32_t(entry->extra.size());
        if (file->Write(signature, 4) != 4 ||
            file->Write(entry->record, sizeof entry->record) != sizeof entry->record ||
            file->Write(entry->name.data() + prefix.size(), storedLength) != storedLength ||
            (extraLength != 0 && file->Write(entry->extra.data(), extraLength) != extraLength)) {
            return false;
        }
    }
    dirty = false;
    return WriteEndRecord(start);
}

bool CZipArchive::WriteEndRecord(uint32_t start) {
    int32_t at = file->Tell();
    if (at < 0) {
        return false;
    }
    unsigned char end[kEndRecordSize] = {};
    Put32(end, endSignature);
    Put16(end + kEndDiskEntries, uint32_t(entries.size()));
    Put16(end + kEndTotalEntries, uint32_t(entries.size()));
    Put32(end + kEndDirectorySize, uint32_t(at) - start);
    Put32(end + kEndDirectoryOffset, start);
    if (file->Write(end, sizeof end) != sizeof end) {
        return false;
    }
    file->SetLength(uint32_t(at) + kEndRecordSize);
    return true;
}

bool CZipArchive::AddEntryRef() {
    if (!file) {
        file.reset(new CFileStream());
    }
    if (file->GetBuffer() == nullptr && !file->Open(name.c_str(), ArchiveOpenFlags())) {
        return false;
    }
    ++openEntries;
    return true;
}

void CZipArchive::ReleaseEntryRef() {
    --openEntries;
    if (dirty) {
        FlushDirectory();
    }
    if (openEntries == 0 && !keepOpen && file) {
        file->Close();
    }
}

void CZipArchive::FlushDirectory() {
    if (!IsOpenForWriting()) {
        return;
    }
    if (dirty) {
        WriteCentralDirectory();
    }
    file->Close();
}

CZipEntryFileBuf::~CZipEntryFileBuf() {
    CZipEntryFileBuf::Close();
}

bool CZipEntryFileBuf::Open(CZipArchive* owner, CZipDirEntry* served, uint32_t openFlags) {
    position = served->DataStart();
    entry = served;
    archive = owner;
    flags = openFlags;
    if ((flags & kOpenOwnHandle) == 0) {
        if (!archive->AddEntryRef()) {
            return false;
        }
        stream = archive->file.get();
        return true;
    }
    auto* own = new CFileStream();
    if (!own->Open(archive->name.c_str(), archive->ArchiveOpenFlags())) {
        delete own;
        return false;
    }
    stream = own;
    ownFile = true;
    ++archive->ownHandleEntries;
    return true;
}

uint32_t CZipEntryFileBuf::Read(void* data, uint32_t count) {
    uint32_t end = entry != nullptr ? entry->DataStart() + entry->Length() : 0;
    if (stream == nullptr || position >= end) {
        return 0;
    }
    count = std::min(count, end - position);
    if (!stream->SeekAbsolute(position)) {
        return 0;
    }
    uint32_t got = stream->Read(data, count);
    position += got;
    return got;
}

uint32_t CZipEntryFileBuf::Write(const void* data, uint32_t count) {
    if (stream == nullptr || (flags & kOpenWrite) == 0) {
        return 0;
    }
    uint32_t start = entry->DataStart();
    if ((flags & kOpenCreate) == 0) {
        // In place the entry cannot grow: the next entry follows its end.
        uint32_t end = start + entry->Length();
        if (position >= end) {
            return 0;
        }
        count = std::min(count, end - position);
    }
    count = std::min(count, UINT32_MAX - position);
    if (!stream->SeekAbsolute(position)) {
        return 0;
    }
    uint32_t written = stream->Write(data, count);
    position += written;
    if (position - start > entry->Length()) {
        entry->SetLength(position - start);
    }
    return written;
}

bool CZipEntryFileBuf::SeekRelative(int32_t delta) {
    if (stream == nullptr) {
        return false;
    }
    int64_t target = int64_t(position) + delta;
    int64_t start = entry->DataStart();
    if (target < start || target >= start + entry->Length()) {
        return false;
    }
    position = uint32_t(target);
    return true;
}

bool CZipEntryFileBuf::SeekAbsolute(uint32_t to) {
    if (stream == nullptr || to > entry->Length()) {
        return false;
    }
    position = entry->DataStart() + to;
    return true;
}

int32_t CZipEntryFileBuf::Tell() {
    return stream != nullptr ? int32_t(position - entry->DataStart()) : -1;
}

uint32_t CZipEntryFileBuf::GetSize() {
    return stream != nullptr ? entry->Length() : 0;
}

void CZipEntryFileBuf::SetLength(uint32_t size) {
    if (stream == nullptr || (flags & kOpenWrite) == 0) {
        return;
    }
    if ((flags & kOpenCreate) == 0 && size > entry->Length()) {
        return;
    }
    entry->SetLength(size);
    if (position - entry->DataStart() > size) {
        position = entry->DataStart() + size;
    }
}

void CZipEntryFileBuf::Close() {
    if (stream == nullptr) {
        return;
    }
    if ((flags & kOpenWrite) != 0) {
        entry->Put32(zip::kCentralCrc, ComputeCrc32(*this));
        archive->dirty = true;
        archive->WriteLocalHeader(*entry);
    }
    if (ownFile) {
        delete stream;
        --archive->ownHandleEntries;
    } else {
        archive->ReleaseEntryRef();
    }
    stream = nullptr;
    ownFile = false;
}

// Formats into CStr with the engine's own formats and arguments taken from
// the input, over narrow, wide, shared and self-referring strings, and
// checks the text against the C library's. Input: a format number, a flags
// byte, four bytes of integer, then zero-separated strings (the first is the
// string's text before formatting).
#include "engine/str.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kAppend = 1;
constexpr uint8_t kStartWide = 2;
constexpr uint8_t kSelfReference = 4;
constexpr uint8_t kShared = 8;

const char kNotFoundHead[] = "The game is looking for some data or a file but can not find it.  "
                             "The item we are looking for is \"%s\"";
const char kReferrerParagraph[] =
    "\r\n\r\n   A) You recently got a new file, some art or a new proram EXE, possible \"%s\", "
    "and the new file requires some other new file, \"%s\", to make them work.  You should be "
    "able to get these other files by doing a get.  It is also possable that someone else did "
    "not check these files in yet.  If doing a get doesn't fix the problem them find out who "
    "changed \"%s\" and ask them to add the new \"%s\" files.";
const char kCompressedEntry[] =
    "%s has been created using an unsupported type of compression.  All zip archives must be "
    "created with compression set to none or a type of compression supported by the game engine.";

std::vector<uint16_t> Characters(const CStr& text) {
    std::vector<uint16_t> characters;
    for (uint32_t i = 0; i < text.GetLength(); ++i) {
        characters.push_back(text.GetAt(i));
    }
    return characters;
}

// The C library's text is worked out before the call, while a self-referring
// argument still points at the old text.
template <typename... Args> void Check(CStr& text, bool append, const char* format, Args... args) {
    int length = std::snprintf(nullptr, 0, format, args...);
    if (length < 0) {
        std::abort();
    }
    std::vector<char> formatted(size_t(length) + 1);
    std::snprintf(formatted.data(), formatted.size(), format, args...);
    if (EstimateFormatLength(format, args...) < uint32_t(length)) {
        std::abort();
    }
    std::vector<uint16_t> before = Characters(text);
    std::vector<uint16_t> expected = append ? before : std::vector<uint16_t>();
    // A zero character written by %c ends the text.
    for (size_t i = 0; i < size_t(length) && formatted[i] != 0; ++i) {
        expected.push_back(static_cast<unsigned char>(formatted[i]));
    }
    CStr copy(text);
    if (append) {
        text.AppendFormat(format, args...);
    } else {
        text.Format(format, args...);
    }
    if (Characters(text) != expected || Characters(copy) != before) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6 || size > 4096) {
        return 0;
    }
    uint8_t choice = data[0];
    uint8_t flags = data[1];
    int32_t number = 0;
    std::memcpy(&number, data + 2, sizeof number);
    std::vector<std::string> strings;
    std::string rest(reinterpret_cast<const char*>(data + 6), size - 6);
    for (size_t start = 0; start <= rest.size();) {
        size_t zero = rest.find('\0', start);
        size_t stop = zero == std::string::npos ? rest.size() : zero;
        strings.push_back(rest.substr(start, stop - start));
        start = stop + 1;
    }
    strings.resize(std::max<size_t>(strings.size(), 6));

    CStr text(strings[0].c_str());
    if ((flags & kStartWide) != 0) {
        text.Widen();
    }
    CStr sharer;
    if ((flags & kShared) != 0) {
        sharer = text;
    }
    const char* first = (flags & kSelfReference) != 0 ? text.GetText() : strings[1].c_str();
    const char* second = strings[2].c_str();
    const char* third = strings[3].c_str();
    const char* fourth = strings[4].c_str();
    bool append = (flags & kAppend) != 0;
    auto c = static_cast<unsigned char>(number);
    auto d = static_cast<unsigned char>(number >> 8);
    switch (choice % 10) {
    case 0:
        Check(text, append, "%s", first);
        break;
    case 1:
        Check(text, append, "%c%c", c, d);
        break;
    case 2:
        Check(text, append, "\r\n %d) %s", number, first);
        break;
    case 3:
        Check(text, append, " which should be in the \"%s\" list", first);
        break;
    case 4:
        Check(text, append, kNotFoundHead, first);
        break;
    case 5:
        Check(text, append, kReferrerParagraph, first, second, third, fourth);
        break;
    case 6:
        Check(text, append, kCompressedEntry, first);
        break;
    case 7:
        Check(text, append, "%*d|%-8s|%.3s", int(number % 300), number, first, second);
        break;
    case 8:
        Check(text, append, "%.*s %u %i %%", int(number % 64), first, uint32_t(number), number);
        break;
    default:
        Check(text, append, "%g %e %+.*f", double(number), double(number) / 7,
              int(uint32_t(number) % 40), double(number) * 1e10);
        break;
    }
    return 0;
}

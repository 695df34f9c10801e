#include "engine/str.h"

#include "engine/fatal.h"
#include "engine/pool.h"

#include <cstdio>
#include <cstring>

namespace {

// A string that would not fit a 32-bit size is as hopeless as an empty heap.
uint32_t CheckedSum(uint64_t a, uint64_t b) {
    FatalCheck(a + b <= UINT32_MAX - 2 * CStrData::kHeaderSize, kOutOfMemoryText);
    return uint32_t(a + b);
}

CStrData* NewBuffer(uint32_t n, bool wide) {
    uint64_t capacity = wide ? uint64_t(n) * 2 + 1 : n;
    CheckedSum(capacity, CStrData::kHeaderSize + 1);
    auto* d = static_cast<CStrData*>(PoolAlloc(size_t(capacity) + CStrData::kHeaderSize + 1));
    d->refCount = 1;
    d->capacity = uint32_t(capacity);
    d->wide = wide ? 1 : 0;
    d->Set(n, 0);
    return d;
}

// Never freed: it starts with a count that no handle owns.
CStrData* EmptyBuffer() {
    static CStrData* const empty = NewBuffer(0, false);
    return empty;
}

// Copies at most n characters, stopping at a zero, and zero-fills the rest up to n.
template <typename Char> void CopyCounted(CStrData* d, const Char* text, uint32_t n) {
    uint32_t i = 0;
    for (; text != nullptr && i < n && text[i] != 0; ++i) {
        d->Set(i, uint16_t(text[i]));
    }
    for (; i < n; ++i) {
        d->Set(i, 0);
    }
}

uint16_t FoldUpper(uint16_t c) {
    return c >= 'a' && c <= 'z' ? uint16_t(c - 32) : c;
}

unsigned char FoldLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// The estimate walk. aliased, when given, tells whether a string argument
// points into the block [start, end).
uint32_t Estimate(const char* format, va_list source, uintptr_t start, uintptr_t end,
                  bool* aliased) {
    va_list args;
    va_copy(args, source);
    uint64_t total = 0;
    const char* p = format;
    while (p != nullptr && *p != 0) {
        if (*p != '%') {
            ++total;
            ++p;
            continue;
        }
        ++p;
        uint64_t estimate = 0;
        uint64_t width = 0;
        bool hasWidth = false;
        uint64_t precision = 0;
        bool hasPrecision = false;
        bool afterDot = false;
        bool ended = false;
        while (*p != 0 && !ended) {
            char c = *p++;
            switch (c) {
            case '-':
            case ' ':
            case '+':
            case '0':
                break;
            case '#':
                estimate += 2;
                break;
            case '.':
                afterDot = true;
                break;
            case '*': {
                int value = va_arg(args, int);
                // A negative width means left alignment, a negative precision none at all.
                if (afterDot) {
                    hasPrecision = value >= 0;
                    precision = value >= 0 ? uint64_t(value) : 0;
                } else {
                    hasWidth = true;
                    width = value >= 0 ? uint64_t(value) : uint64_t(-int64_t(value));
                }
                break;
            }
            case 'c':
                estimate += 1;
                (void)va_arg(args, int);
                ended = true;
                break;
            case 'd':
            case 'i':
            case 'u':
                estimate += 32;
                (void)va_arg(args, int);
                ended = true;
                break;
            case 'e':
            case 'E':
            case 'f':
            case 'g':
            case 'G':
                estimate += 64;
                (void)va_arg(args, double);
                ended = true;
                break;
            case 'p':
                estimate += 10;
                (void)va_arg(args, void*);
                ended = true;
                break;
            case 's': {
                const char* s = va_arg(args, const char*);
                uint64_t length = 0;
                if (s == nullptr) {
                    length = 6; // "(null)"
                } else {
                    while ((!hasPrecision || length < precision) && s[length] != 0) {
                        ++length;
                    }
                    auto at = reinterpret_cast<uintptr_t>(s);
                    if (aliased != nullptr && at >= start && at < end) {
                        *aliased = true;
                    }
                }
                estimate += length;
                ended = true;
                break;
            }
            case '%':
                estimate += 1;
                ended = true;
                break;
            // Not estimated, but their arguments are taken so that the
            // conversions after them read the right ones.
            case 'x':
            case 'X':
            case 'o':
            case 'C':
                (void)va_arg(args, int);
                ended = true;
                break;
            case 'n':
            case 'S':
                (void)va_arg(args, void*);
                ended = true;
                break;
            default:
                if (c >= '1' && c <= '9') {
                    uint64_t number = uint64_t(c - '0');
                    while (*p >= '0' && *p <= '9') {
                        number = number * 10 + uint64_t(*p++ - '0');
                        if (number > UINT32_MAX) {
                            number = UINT32_MAX;
                        }
                    }
                    if (afterDot) {
                        hasPrecision = true;
                        precision = number;
                    } else {
                        hasWidth = true;
                        width = number;
                    }
                }
                break;
            }
        }
        if (hasWidth && estimate < width) {
            estimate = width;
        }
        total += estimate;
        if (!ended) {
            break;
        }
    }
    va_end(args);
    return total > UINT32_MAX ? UINT32_MAX : uint32_t(total);
}

} // namespace

uint16_t CStrData::Get(uint32_t i) {
    if (!wide) {
        return Text()[i];
    }
    uint16_t c;
    std::memcpy(&c, Text() + size_t(i) * 2, sizeof c);
    return c;
}

void CStrData::Set(uint32_t i, uint16_t c) {
    if (!wide) {
        Text()[i] = static_cast<unsigned char>(c);
        return;
    }
    std::memcpy(Text() + size_t(i) * 2, &c, sizeof c);
}

uint32_t CStrData::Length() {
    if (!wide) {
        return uint32_t(std::strlen(reinterpret_cast<const char*>(Text())));
    }
    uint32_t n = 0;
    while (Get(n) != 0) {
        ++n;
    }
    return n;
}

CStr::CStr() : data(EmptyBuffer()) {
    ++data->refCount;
}

CStr::CStr(const CStr& other) : data(other.data) {
    ++data->refCount;
}

CStr::CStr(const char* text) : CStr() {
    Assign(text);
}

CStr::CStr(const char* text, uint32_t n) : CStr() {
    if (n == 0) {
        return;
    }
    Release();
    data = NewBuffer(n, false);
    CopyCounted(data, reinterpret_cast<const unsigned char*>(text), n);
}

CStr::CStr(const uint16_t* text, uint32_t n) : CStr() {
    if (n == 0) {
        return;
    }
    Release();
    data = NewBuffer(n, true);
    CopyCounted(data, text, n);
}

CStr::~CStr() {
    if (data != nullptr) {
        Release();
        data = nullptr;
    }
}

void CStr::Release() {
    if (--data->refCount == 0) {
        PoolFree(data, data->BlockSize());
    }
}

uintptr_t CStr::BlockStart() const {
    return reinterpret_cast<uintptr_t>(data);
}

uintptr_t CStr::BlockEnd() const {
    return BlockStart() + data->BlockSize();
}

bool CStr::Holds(const void* p) const {
    auto at = reinterpret_cast<uintptr_t>(p);
    return at >= BlockStart() && at < BlockEnd();
}

uint16_t CStr::GetAt(uint32_t i) const {
    // Past the buffer there is nothing to read; the caller's index is wrong.
    if (IsEmpty() || i > data->CapacityChars()) {
        return 0;
    }
    return data->Get(i);
}

int CStr::Compare(const CStr& other) const {
    bool empty = IsEmpty();
    bool otherEmpty = other.IsEmpty();
    if (empty || otherEmpty) {
        return empty == otherEmpty ? 0 : (empty ? -1 : 1);
    }
    if (!IsWide() && !other.IsWide()) {
        const unsigned char* a = data->Text();
        const unsigned char* b = other.data->Text();
        for (;; ++a, ++b) {
            unsigned char ca = FoldLower(*a);
            unsigned char cb = FoldLower(*b);
            if (ca != cb) {
                return ca < cb ? -1 : 1;
            }
            if (ca == 0) {
                return 0;
            }
        }
    }
    for (uint32_t i = 0;; ++i) {
        int ca = FoldUpper(data->Get(i));
        int cb = FoldUpper(other.data->Get(i));
        if (ca != cb) {
            return ca - cb;
        }
        if (ca == 0) {
            return 0;
        }
    }
}

void CStr::Empty() {
    Release();
    data = EmptyBuffer();
    ++data->refCount;
}

void CStr::Clear() {
    if (data->refCount == 1) {
        data->Set(0, 0);
        return;
    }
    Empty();
}

void CStr::Assign(const char* text) {
    if (text == nullptr) {
        Empty();
        return;
    }
    Assign(text, uint32_t(std::strlen(text)));
}

void CStr::Assign(const char* text, uint32_t n) {
    if (text == nullptr || n == 0) {
        Empty();
        return;
    }
    // Copying forward is safe even when text lies in this very buffer.
    if (data->refCount == 1 && !data->wide && data->capacity >= n) {
        CopyCounted(data, reinterpret_cast<const unsigned char*>(text), n);
        data->Set(n, 0);
        return;
    }
    CStrData* fresh = NewBuffer(n, false);
    CopyCounted(fresh, reinterpret_cast<const unsigned char*>(text), n);
    Release();
    data = fresh;
}

void CStr::Assign(const CStr& other) {
    if (data == other.data) {
        return;
    }
    ++other.data->refCount;
    Release();
    data = other.data;
}

void CStr::SetAt(uint32_t i, uint16_t c) {
    // Widening shrinks the buffer to the text; the index stays valid only if
    // the room it had before is kept.
    uint32_t room = data->CapacityChars();
    if (c > 255 && !data->wide) {
        Widen();
    }
    Reserve(room > data->CapacityChars() ? room : data->CapacityChars());
    if (i > data->CapacityChars()) {
        return;
    }
    data->Set(i, c);
}

void CStr::Append(const char* text) {
    if (text == nullptr) {
        return;
    }
    Append(text, uint32_t(std::strlen(text)));
}

void CStr::Append(const char* text, uint32_t n) {
    if (text == nullptr || n == 0) {
        return;
    }
    if (IsEmpty()) {
        Assign(text, n);
        return;
    }
    // The text ends at its first zero; nothing after it is read.
    uint32_t count = 0;
    while (count < n && text[count] != 0) {
        ++count;
    }
    // Appending our own text: keep the old buffer alive while Reserve replaces it.
    CStrData* kept = Holds(text) ? data : nullptr;
    if (kept != nullptr) {
        ++kept->refCount;
    }
    uint32_t length = GetLength();
    Reserve(CheckedSum(length, count));
    for (uint32_t i = 0; i < count; ++i) {
        data->Set(length + i, static_cast<unsigned char>(text[i]));
    }
    data->Set(length + count, 0);
    if (kept != nullptr && --kept->refCount == 0) {
        PoolFree(kept, kept->BlockSize());
    }
}

void CStr::Append(const CStr& other) {
    Append(other, other.GetLength());
}

void CStr::Append(const CStr& other, uint32_t n) {
    uint32_t available = other.GetLength();
    if (n > available) {
        n = available;
    }
    if (n == 0) {
        return;
    }
    if (IsEmpty()) {
        Assign(other.Mid(0, n));
        return;
    }
    if (other.IsWide()) {
        Widen();
    }
    uint32_t length = GetLength();
    Reserve(CheckedSum(length, n));
    for (uint32_t i = 0; i < n; ++i) {
        data->Set(length + i, other.data->Get(i));
    }
    data->Set(length + n, 0);
}

CStr CStr::Mid(uint32_t start, uint32_t count) const {
    uint32_t length = GetLength();
    if (start > length) {
        return CStr();
    }
    if (count > length - start) {
        count = length - start;
    }
    if (count == 0) {
        return CStr();
    }
    CStrData* part = NewBuffer(count, data->wide != 0);
    for (uint32_t i = 0; i < count; ++i) {
        part->Set(i, data->Get(start + i));
    }
    return CStr(part);
}

void CStr::Widen() {
    if (data->wide) {
        return;
    }
    uint32_t length = GetLength();
    CStrData* wide = NewBuffer(length, true);
    for (uint32_t i = 0; i <= length; ++i) {
        wide->Set(i, data->Text()[i]);
    }
    Release();
    data = wide;
}

void CStr::Reserve(uint32_t n) {
    if (data->CapacityChars() >= n && data->refCount <= 1) {
        return;
    }
    CStrData* fresh = NewBuffer(n, data->wide != 0);
    uint32_t length = GetLength();
    if (length > n) {
        length = n;
    }
    for (uint32_t i = 0; i < length; ++i) {
        fresh->Set(i, data->Get(i));
    }
    fresh->Set(length, 0);
    Release();
    data = fresh;
}

void CStr::ReserveDiscard(uint32_t n) {
    if (data->CapacityChars() >= n && data->refCount <= 1) {
        return;
    }
    bool wide = data->wide != 0;
    Release();
    data = NewBuffer(n, wide);
    // Nothing to keep, but the text should not read as leftovers either.
    data->Set(0, 0);
}

char* CStr::GetBuffer(uint32_t n) {
    uint32_t room = data->CapacityChars();
    Reserve(n > room ? n : room);
    return reinterpret_cast<char*>(data->Text());
}

char* CStr::PrepareBuffer(uint32_t n) {
    uint32_t room = data->CapacityChars();
    uint32_t m = n > room ? n : room;
    if (m != 0) {
        ReserveDiscard(m);
    }
    return reinterpret_cast<char*>(data->Text());
}

void CStr::ReleaseBuffer(int32_t n) {
    SetAt(n < 0 ? GetLength() : uint32_t(n), 0);
}

void CStr::WriteFormatted(uint32_t at, const char* format, va_list args) {
    // The estimate can be short (conversions it does not know, very long
    // numbers); the write is bounded and the buffer grows until it fits.
    for (;;) {
        uint32_t room = data->CapacityChars() - at;
        va_list copy;
        va_copy(copy, args);
        int written = std::vsnprintf(reinterpret_cast<char*>(data->Text()) + at, size_t(room) + 1,
                                     format, copy);
        va_end(copy);
        if (written >= 0 && uint32_t(written) <= room) {
            return;
        }
        // Some runtimes answer -1 when the text does not fit; then grow by doubling.
        uint64_t needed = written >= 0 ? uint64_t(written) : uint64_t(room) * 2 + 64;
        if (needed > INT32_MAX) {
            data->Set(at, 0);
            return;
        }
        Reserve(CheckedSum(at, needed));
    }
}

void CStr::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CStr::AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CStr::FormatV(const char* format, va_list args) {
    bool aliased = false;
    uint32_t estimate = Estimate(format, args, BlockStart(), BlockEnd(), &aliased);
    // An argument that points into our own buffer must outlive the write, and
    // formatted text is always narrow: both call for a fresh buffer.
    CStrData* kept = nullptr;
    if (aliased || data->wide) {
        kept = data;
        data = NewBuffer(estimate, false);
        data->Set(0, 0);
    } else {
        ReserveDiscard(estimate);
    }
    WriteFormatted(0, format, args);
    if (kept != nullptr && --kept->refCount == 0) {
        PoolFree(kept, kept->BlockSize());
    }
}

void CStr::AppendFormatV(const char* format, va_list args) {
    if (data->wide) {
        CStr text;
        text.FormatV(format, args);
        Append(text);
        return;
    }
    bool aliased = false;
    uint32_t estimate = Estimate(format, args, BlockStart(), BlockEnd(), &aliased);
    CStrData* kept = aliased ? data : nullptr;
    if (kept != nullptr) {
        ++kept->refCount;
    }
    uint32_t length = GetLength();
    Reserve(CheckedSum(length, estimate));
    WriteFormatted(length, format, args);
    if (kept != nullptr && --kept->refCount == 0) {
        PoolFree(kept, kept->BlockSize());
    }
}

uint32_t EstimateFormatLength(const char* format, va_list args) {
    return Estimate(format, args, 0, 0, nullptr);
}

uint32_t EstimateFormatLength(const char* format, ...) {
    va_list args;
    va_start(args, format);
    uint32_t n = Estimate(format, args, 0, 0, nullptr);
    va_end(args);
    return n;
}

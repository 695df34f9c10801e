// The engine's reference-counted string. Copies share one pool buffer until
// one of them writes into its characters. A buffer holds 8-bit characters
// until a character above 255 or wide text is stored in it; comparisons
// ignore case.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Windows headers still define an old 16-bit macro of this name.
#ifdef GetFreeSpace
#undef GetFreeSpace
#endif

// One pool block: a 9-byte header, the characters, the terminator. Wide
// characters start right after the header and are not aligned, so they are
// only ever accessed bytewise.
struct CStrData {
    static constexpr uint32_t kHeaderSize = 9;

    int32_t refCount;
    // Narrow: characters that fit; wide: 2 x characters + 1. The terminator is not counted.
    uint32_t capacity;
    uint8_t wide;

    unsigned char* Text() { return reinterpret_cast<unsigned char*>(this) + kHeaderSize; }
    uint32_t CapacityChars() const { return wide ? capacity >> 1 : capacity; }
    uint32_t BlockSize() const { return capacity + kHeaderSize + 1; }
    uint16_t Get(uint32_t i);
    void Set(uint32_t i, uint16_t c);
    uint32_t Length();
};

class CStr {
  public:
    CStr();
    CStr(const CStr& other);
    explicit CStr(const char* text);
    CStr(const char* text, uint32_t n);
    CStr(const uint16_t* text, uint32_t n);
    ~CStr();
    CStr& operator=(const CStr& other) {
        Assign(other);
        return *this;
    }

    const char* GetText() const { return reinterpret_cast<const char*>(data->Text()); }
    uint32_t GetLength() const { return data->Length(); }
    bool IsEmpty() const { return data->Text()[0] == 0 && (!data->wide || data->Text()[1] == 0); }
    bool IsWide() const { return data->wide != 0; }
    uint16_t GetAt(uint32_t i) const;
    uint32_t GetCapacity() const { return data->CapacityChars(); }
    uint32_t GetFreeSpace() const { return GetCapacity() - GetLength(); }
    int Compare(const CStr& other) const;

    void Empty();
    void Clear();
    void Assign(const char* text);
    void Assign(const char* text, uint32_t n);
    void Assign(const CStr& other);
    void SetAt(uint32_t i, uint16_t c);
    void Append(const char* text);
    void Append(const char* text, uint32_t n);
    void Append(const CStr& other);
    void Append(const CStr& other, uint32_t n);
    CStr Mid(uint32_t start, uint32_t count) const;
    void Widen();
    void Reserve(uint32_t n);
    void ReserveDiscard(uint32_t n);

    // Direct writing: ask for room for n characters, write them, then end the
    // text with ReleaseBuffer (-1: at the terminator that was written).
    char* GetBuffer(uint32_t n);
    char* PrepareBuffer(uint32_t n);
    void ReleaseBuffer(int32_t n);

    void Format(const char* format, ...);
    void AppendFormat(const char* format, ...);
    void FormatV(const char* format, va_list args);
    void AppendFormatV(const char* format, va_list args);

  private:
    explicit CStr(CStrData* buffer) : data(buffer) {}
    void Release();
    // Writes the formatted text at index at of an unshared narrow buffer,
    // growing it when the estimate was short.
    void WriteFormatted(uint32_t at, const char* format, va_list args);
    uintptr_t BlockStart() const;
    uintptr_t BlockEnd() const;
    bool Holds(const void* p) const;

    CStrData* data;
};

// An upper bound of the length that vsprintf gives for format and args, for
// the conversions c, d, i, u, e, E, f, g, G, p, s and %.
uint32_t EstimateFormatLength(const char* format, va_list args);
uint32_t EstimateFormatLength(const char* format, ...);

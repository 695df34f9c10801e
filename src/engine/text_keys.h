// Texts that a translation may replace. Each key starts with its default
// text and enters itself, with a description for translators, into the
// process-wide registry when it is constructed.
#pragma once

#include "engine/arrays.h"
#include "engine/str.h"

#include <cstdint>

class CTextKey {
  public:
    // A key with an empty default text has nothing to translate and is not registered.
    CTextKey(const char* defaultText, const char* description);
    CTextKey(const CTextKey&) = delete;
    CTextKey& operator=(const CTextKey&) = delete;

    const CStr& GetText() const { return text; }
    const char* GetDefaultText() const { return defaultText; }

  private:
    CStr text;
    const char* defaultText;
};

struct TextKeyRecord {
    CTextKey* key;
    const char* description;
};

// The registered keys in the order of registration.
class CTextKeyRegistry : public CValueArray<TextKeyRecord> {};

// Created by the first registration, destroyed at exit after every key.
CTextKeyRegistry& GetTextKeyRegistry();

// The keys for writing durations, registered in this order.
extern CTextKey hoursMinutesSeparatorKey;
extern CTextKey minutesSecondsSeparatorKey;
extern CTextKey daysSuffixKey;
extern CTextKey minutesSuffixKey;
extern CTextKey secondsSuffixKey;

// Lengths of the translation text's markers; the wrapping marker counts only
// the characters it adds around the text it wraps.
extern const int32_t englishMarkerLength;
extern const int32_t localizedMarkerLength;
extern const int32_t endMarkerLength;
extern const int32_t wrapMarkerLength;

struct TextPair {
    CStr original;
    CStr translation;
};

// Replacement texts read from a translation; empty, as nothing reads one.
class CTextPairTable {
  public:
    CTextPairTable() = default;
    ~CTextPairTable();
    CTextPairTable(const CTextPairTable&) = delete;
    CTextPairTable& operator=(const CTextPairTable&) = delete;

    uint32_t GetCount() const { return count; }

  private:
    uint32_t count = 0;
    TextPair* pairs = nullptr;
};

extern CTextPairTable textPairs;

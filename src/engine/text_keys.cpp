#include "engine/text_keys.h"

#include <cstring>

namespace {

const char* const kMarkers[] = {"ENGLISH: ", "LOCALIZED: ", "[END]", " (%s)"};

int32_t MarkerLength(int marker) {
    return int32_t(std::strlen(kMarkers[marker]));
}

} // namespace

CTextKeyRegistry& GetTextKeyRegistry() {
    static CTextKeyRegistry registry;
    return registry;
}

CTextKey::CTextKey(const char* defaultTextIn, const char* description)
    : text(defaultTextIn), defaultText(defaultTextIn) {
    if (text.IsEmpty()) {
        return;
    }
    TextKeyRecord* record = GetTextKeyRegistry().AddNew();
    record->key = this;
    record->description = description;
}

CTextPairTable::~CTextPairTable() {
    delete[] pairs;
    pairs = nullptr;
    count = 0;
}

// Constructed in this order before main and destroyed in reverse at exit; the
// registry, created by the first key, goes last.
CTextKey hoursMinutesSeparatorKey(":", "Hours:Minutes separator");
CTextKey minutesSecondsSeparatorKey(":", "Minutes:Seconds separator");
CTextKey daysSuffixKey("d", "\"d\" is short for the days");
CTextKey minutesSuffixKey("m", "suffix indicating minutes");
CTextKey secondsSuffixKey("s", "suffix indicating seconds");

const int32_t englishMarkerLength = MarkerLength(0);
const int32_t localizedMarkerLength = MarkerLength(1);
const int32_t endMarkerLength = MarkerLength(2);
const int32_t wrapMarkerLength = MarkerLength(3) - int32_t(std::strlen("%s"));

CTextPairTable textPairs;

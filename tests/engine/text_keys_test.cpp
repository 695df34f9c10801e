#include "engine/text_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextKeys, StartUpRegistersTheFiveDurationKeysInOrder) {
    struct Expected {
        const CTextKey* key;
        const char* text;
        const char* description;
    };
    const Expected expected[] = {
        {&hoursMinutesSeparatorKey, ":", "Hours:Minutes separator"},
        {&minutesSecondsSeparatorKey, ":", "Minutes:Seconds separator"},
        {&daysSuffixKey, "d", "\"d\" is short for the days"},
        {&minutesSuffixKey, "m", "suffix indicating minutes"},
        {&secondsSuffixKey, "s", "suffix indicating seconds"},
    };
    const CTextKeyRegistry& registry = GetTextKeyRegistry();
    ASSERT_EQ(registry.GetCount(), 5u);
    for (uint32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(registry[i].key, expected[i].key);
        EXPECT_STREQ(registry[i].description, expected[i].description);
        EXPECT_STREQ(expected[i].key->GetDefaultText(), expected[i].text);
        EXPECT_STREQ(expected[i].key->GetText().GetText(), expected[i].text);
    }
}

TEST(TextKeys, EmptyDefaultTextIsNotRegistered) {
    const uint32_t before = GetTextKeyRegistry().GetCount();
    for (const char* text : {"", static_cast<const char*>(nullptr)}) {
        CTextKey key(text, "nothing to translate");
        EXPECT_TRUE(key.GetText().IsEmpty());
        EXPECT_EQ(key.GetDefaultText(), text);
        EXPECT_EQ(GetTextKeyRegistry().GetCount(), before);
    }
}

TEST(TextKeys, TranslationMarkersAndPairTableAtStartUp) {
    EXPECT_EQ(englishMarkerLength, 9);
    EXPECT_EQ(localizedMarkerLength, 11);
    EXPECT_EQ(endMarkerLength, 5);
    EXPECT_EQ(wrapMarkerLength, 3);
    EXPECT_EQ(textPairs.GetCount(), 0u);
}

} // namespace

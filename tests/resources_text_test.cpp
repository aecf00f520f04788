// The texts of the string table and the Windows-1252 conversion that puts
// them, and the terminology's names, into the module.
#include <gtest/gtest.h>

#include "resources/string_table.h"
#include "resources/text_encoding.h"

TEST(Windows1252, ConvertsTheFrenchLettersBothWays) {
    EXPECT_EQ(utf8ToWindows1252("Métal"), "M\xE9tal");
    EXPECT_EQ(utf8ToWindows1252("déjà ô ç ù Zerafin®"), "d\xE9j\xE0 \xF4 \xE7 \xF9 Zerafin\xAE");
    EXPECT_EQ(windows1252ToUtf8("lumi\xE8re c\xF4ne"), "lumière cône");
}

TEST(Windows1252, MapsTheSpecialRowAndRefusesWhatItCannotHold) {
    EXPECT_EQ(utf8ToWindows1252("€ … œ Ÿ"), "\x80 \x85 \x9C \x9F");
    EXPECT_EQ(windows1252ToUtf8("\x80\x85\x9C\x9F"), "€…œŸ");
    EXPECT_EQ(windows1252ToUtf8("\x81"), "\xEF\xBF\xBD"); // unassigned: U+FFFD
    EXPECT_FALSE(utf8ToWindows1252("→"));
    EXPECT_FALSE(utf8ToWindows1252("\xEF\xBF\xBD"));
    EXPECT_FALSE(utf8ToWindows1252("\xC3"));     // cut sequence
    EXPECT_FALSE(utf8ToWindows1252("\xC3\x28")); // bad follower
}

TEST(Windows1252, RoundTripsEveryAssignedByte) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string original(1, char(byte));
        const std::string utf8 = windows1252ToUtf8(original);
        if (utf8 == "\xEF\xBF\xBD")
            continue; // one of the five unassigned bytes
        EXPECT_EQ(utf8ToWindows1252(utf8), original) << byte;
    }
}

// Every text must reach the user whole: it has a Windows-1252 form, and fits
// the buffers the message boxes load it into (128 characters for a title, 256
// for a text, the terminator included).
TEST(StringTable, EveryTextHasAWindows1252FormThatFitsItsBuffer) {
    int count = 0;
    for (const StringTableEntry* entry = kStringTable; entry->text; ++entry, ++count) {
        const std::optional<std::string> converted = utf8ToWindows1252(entry->text);
        ASSERT_TRUE(converted) << entry->id;
        EXPECT_LT(converted->size(), 256u) << entry->id;
        EXPECT_FALSE(converted->empty()) << entry->id;
    }
    EXPECT_EQ(count, 45);
    for (int titleId : {1, 21, 23, 26, 28, 32, 34, 37, 40})
        EXPECT_LT(utf8ToWindows1252(stringTableText(titleId)).value_or("").size(), 128u);
}

TEST(StringTable, IdsAreUniqueAndAscending) {
    int previous = 0;
    for (const StringTableEntry* entry = kStringTable; entry->text; ++entry) {
        EXPECT_GT(entry->id, previous);
        previous = entry->id;
    }
    EXPECT_EQ(stringTableText(43), nullptr);
    EXPECT_STREQ(stringTableText(19002), "Rétablir");
}

// The order in which the host lists names for a French reader.
#include <gtest/gtest.h>

#include "host/zerafin/terminal/reading_order.h"

TEST(ReadingOrder, AccentsSortWithTheirLettersAndCaseIsIgnored) {
    std::vector<std::string> names = {"zénith", "Œil",   "Été",   "élan", "Ça",   "cyan",
                                      "Étoile", "Ecole", "odeur", "abc",  "Zèbre"};
    sortForReading(names);
    const std::vector<std::string> expected = {"abc",    "Ça",    "cyan", "Ecole", "élan",  "Été",
                                               "Étoile", "odeur", "Œil",  "Zèbre", "zénith"};
    EXPECT_EQ(names, expected);
}

TEST(ReadingOrder, NamesEqualButForAccentsKeepAFixedOrder) {
    EXPECT_EQ(foldedForReading("Plâtre Été ŒUF"), "platre ete oeuf");
    EXPECT_NE(readsBefore("pêche", "peche"), readsBefore("peche", "pêche"));
    EXPECT_FALSE(readsBefore("peche", "peche"));
    // Bytes that are no UTF-8 are compared as they are, never skipped.
    EXPECT_TRUE(readsBefore("a\xff", "b"));
    EXPECT_NE(foldedForReading("a\xff"), foldedForReading("a"));
}

// Filling values into bilingual sentences.
#include "core/Catalogue.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(FillIn, ReplacesNumberedPlaceholdersInBothHalves) {
    struct Case {
        const char* text;
        std::initializer_list<std::string_view> values;
        const char* expected;
    };
    const Case cases[] = {
        {"t = %1.##t = %1.", {"7"}, "t = 7.##t = 7."},
        {"%2 vor %1##%1 before %2", {"a", "b"}, "b vor a##a before b"},
        // A percent sign that is no placeholder, and one without a value, stay.
        {"100 %##100 % of %3", {"x"}, "100 %##100 % of %3"},
        {"ends with %", {"x"}, "ends with %"},
        // A value that holds a placeholder itself is not filled again.
        {"%1|%2", {"%2", "y"}, "%2|y"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillIn(c.text, c.values), c.expected) << c.text;
}

TEST(FillIn, EachLanguageGetsItsFilledHalf) {
    const std::string text =
        FillIn("Die Datei \"%1\" fehlt##The file \"%1\" is missing", std::string("a|b.csv"));
    EXPECT_EQ(Translate(text, 1), "Die Datei \"a|b.csv\" fehlt");
    EXPECT_EQ(Translate(text, 2), "The file \"a|b.csv\" is missing");
}

#include "core/NumberInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tv {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(NumberInput, ReadsWhatIsTyped) {
    struct Case {
        const char* text;
        double value;
    };
    for (Case c : {Case{"0", 0}, Case{"1,5", 1.5}, Case{"-2.25", -2.25}, Case{"0.1", 0.1},
                   Case{"1e3", 1000}, Case{"1E-2", 0.01}, Case{"+5", 5}, Case{" 7 ", 7},
                   Case{".5", 0.5}, Case{"-,5", -0.5}, Case{"1e20", 1e20}, Case{"1e999", Inf},
                   Case{"-1e999", -Inf}, Case{"1e-999", 0}, Case{"inf", Inf}}) {
        ASSERT_TRUE(ReadNumber(c.text).has_value()) << c.text;
        EXPECT_EQ(*ReadNumber(c.text), c.value) << c.text;
    }
    for (const char* junk : {"", "-", ",", ".", "e3", "1.2.3", "abc", "1x", "nan", "+-1", "1e"})
        EXPECT_FALSE(ReadNumber(junk).has_value()) << junk;
    EXPECT_EQ(ReadCellEntry(""), 0);
    EXPECT_TRUE(std::isnan(ReadCellEntry("1e")));
}

TEST(NumberInput, WholeNumbersClampToTheirRange) {
    struct Case {
        const char* text;
        int value; // -1: refused
    };
    for (Case c :
         {Case{"50", 50}, Case{"150", 99}, Case{"-5", 1}, Case{"1e2", 99}, Case{"1e20", 99},
          Case{"2.0", 2}, Case{"2.5", -1}, Case{"", -1}, Case{"x", -1}}) {
        const auto v = ReadWholeNumber(c.text, 1, 99);
        EXPECT_EQ(v.value_or(-1), c.value) << c.text;
    }
    EXPECT_TRUE(MayBecomeNumber("-1,5e+"));
    EXPECT_FALSE(MayBecomeNumber("1a"));
}

} // namespace
} // namespace tv

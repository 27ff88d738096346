#include "core/NumberInput.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tv {
namespace {

TEST(NumberInput, ReadsWhatIsTypedAndClampsWholeNumbers) {
    const double inf = std::numeric_limits<double>::infinity();
    for (auto [text, value] : {std::pair{"1,5", 1.5},
                               {"-2.25", -2.25},
                               {"1e3", 1000.0},
                               {"+5", 5.0},
                               {" .5 ", 0.5},
                               {"1e999", inf},
                               {"\t-1e999\r\n", -inf},
                               {"1e-999", 0.0},
                               {"1e+999", inf}})
        EXPECT_EQ(ReadNumber(text).value_or(NAN), value) << text;
    for (const char* junk : {"", "-", ".", "1.2.3", "1x", "nan", "+-1", "1e"})
        EXPECT_FALSE(ReadNumber(junk)) << junk;
    // Out of range without an exponent that says so.
    EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(ReadNumber("1" + std::string(500, '0') + "e-100"), inf);
    EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1e+800"), inf);
    EXPECT_EQ(ReadNumber(std::string(400, '0') + "1e-400"), 0.0); // leading zeros add nothing
    // An exponent beyond any double still says which way.
    EXPECT_EQ(ReadNumber("1e-" + std::string(400, '9')), 0.0);
    EXPECT_EQ(ReadNumber("0.1e" + std::string(400, '9')), inf);
    EXPECT_EQ(ReadCellEntry(""), 0);
    for (auto [text, value] : {std::pair{"150", 99}, {"-5", 1}, {"1e1", 10}, {"2.5", -1}})
        EXPECT_EQ(ReadWholeNumber(text, 1, 99).value_or(-1), value) << text;
}

// A field refuses a key once its text can no longer become a number, with a sound and a word.
TEST(NumberInput, TypingStopsWhereNoNumberCanFollow) {
    EXPECT_TRUE(MayBecomeNumber("0123456789.,+-eE "));
    for (const char* junk : {"/", ":", "1x"})
        EXPECT_FALSE(MayBecomeNumber(junk)) << junk;
    EXPECT_TRUE(std::isnan(ReadCellEntry("1x")));
    test::RecordingHost host(2);
    RefuseNotANumber(host);
    EXPECT_EQ(host.sounds, std::vector<std::string>{"SoNicht.wav"});
    EXPECT_EQ(host.messages, std::vector<std::string>{"Not possible!: The entry is not a number."});
}

} // namespace
} // namespace tv

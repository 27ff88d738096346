#pragma once

#include <optional>
#include <string_view>

namespace tv {

class UserHost;

// One reading of typed numbers for every field of the program: surrounding blanks ignored,
// an optional sign, "," or "." as decimal separator, an optional exponent ("1e3" is 1000).
// Too large for a double is infinite with its sign, too small is zero. Anything else,
// also empty text, is no number.
std::optional<double> ReadNumber(std::string_view text);

// A grid cell's entry: empty is 0; no number is NaN, which the range check refuses with
// "Die Eingabe ist keine Zahl.".
double ReadCellEntry(std::string_view text);

// A whole-number field with the range [low, high]: the number clamped to the range; none
// when the text is no number or not a whole one (never cut to other digits).
std::optional<int> ReadWholeNumber(std::string_view text, int low, int high);

// Whether the text holds only what a number may hold, so that typing may complete it.
bool MayBecomeNumber(std::string_view text);

// Says that a field refused text that is no number; the field keeps its value.
void RefuseNotANumber(UserHost& host);

} // namespace tv

#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tv {

class Model;
class UserHost;

// Bilingual texts are "Deutsch##English"; language 1 is German, 2 English.
std::string Translate(std::string_view text, int language);
// The same with the first letter in upper case (the letter after a leading "&").
std::string TranslateCapitalised(std::string_view text, int language);
// Replaces the placeholders %1..%9 by the arguments in both halves of a bilingual text, so a
// sentence with numbers stays one "Deutsch##English" text. A placeholder without an
// argument stays as it is.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> args);
inline std::string FillIn(std::string_view text, std::string_view value) {
    return FillIn(text, {value});
}

const std::string& ParamName(int n); // 0..64
const std::string& VarName(int n);   // 0..63
std::string ParamSymbol(int n, int t, int language = 1);
// Parameter 54 names the growth rate of the money base while money creation (switch 18) is
// on, of the money stock otherwise; the catalogue itself stays as it is.
const std::string& ParamName(int n, bool moneyCreation);
std::string ParamSymbol(int n, int t, int language, bool moneyCreation);
std::string VarSymbol(int n, int language = 1);
std::string ToMarkup(std::string symbol);
int SymbolIndex(std::string_view symbol);
int FindParamByText(std::string_view text);
int FindVarByText(std::string_view text);

constexpr int SectorCount = 6;
const std::string& SectorTitle(int sector);                 // 1..6
const std::string& CategoryTitle(int sector, int category); // 1..4; empty when none
const std::string& CategoryLongTitle(int sector, int category);
int CategoryCount(int sector); // sectors 1..5
int CategoryFirst(int sector, int category);
int CategoryLast(int sector, int category);
int CategorySize(int sector, int category);

// The admissible range of parameter n as the input check applies it. minText and maxText
// are the bounds as the refusal message shows them ("0 <= ", "1 > "), or null.
struct ParameterRange {
    enum Kind {
        NonNegative,
        Unit,
        Positive,
        OpenUnit,
        Percent,
        PositiveInPeriod0,
        HalfOpenUnit,
        Free
    };
    Kind kind = Free;
    const char* minText = nullptr;
    const char* maxText = nullptr;
    bool Violated(int t, double x) const;
};
ParameterRange AdmissibleRange(int n);
// The largest magnitude an entered parameter may have, whatever its range.
constexpr double MaxParameterMagnitude = 1E15;

// Checks an input value x for parameter n of period t against its admissible range and the
// joint rule for b[M] and r[SE]; rowValues holds the 64 parameters of the edited period
// (index n - 1). A refused value is reported through the host and false is returned.
// The refusal of a zero currency ratio with a zero reserve ratio; %1 is the period.
extern const char* const ZeroRatiosText;
bool CheckParameter(const Model& m, UserHost& host, int n, int t, double x,
                    const std::array<double, 64>& rowValues);

} // namespace tv

#include "core/Model.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace tv {

bool Expectation::HasAntecedent(int32_t n) const {
    return std::find(Antecedents.begin(), Antecedents.end(), n) != Antecedents.end();
}

void CopyExpectation(const Expectation& from, Expectation& to) {
    to = from;
}

double DefaultPar(int t, int n) {
    static constexpr double defaults[ParCount + 1] = {
        0,                                          // unused
        0,    0,    0,    0, 0, 0, 0, 0,  0,   0,   // 1..10
        0,    0,    0,    0, 0, 1, 1, 1,  0.5, 0.5, // 11..20
        1000, 1000, 0,    0, 0, 1, 0, 0,  0,   1,   // 21..30
        1,    0.5,  0,    0, 0, 0, 0, 50, 0,   0,   // 31..40
        0,    0,    0,    0, 0, 0, 0, 2,  0,   0,   // 41..50
        0,    1000, 1000, 0, 0, 0, 1, 0,  1,   1,   // 51..60
        0,    0,    0,    0};                       // 61..64
    if (n == 55 || n == 56) return t <= 0 ? 1000.0 : 0.0;
    return defaults[n];
}

Switches StartSwitches() {
    Switches s{};
    s[8] = 1;
    s[9] = 1;
    s[13] = 10;
    s[22] = 1;
    s[23] = 1;
    return s;
}

Expectations StartExpectations() {
    struct Row {
        const char* name;
        uint8_t method, perWagePeriod;
        int32_t target, source;
    };
    static const Row rows[ExpectationCount] = {
        {"Einkommenserwartung der Güternachfrager##Demander's Income Expectation", 1, 0, 1, 37},
        {"Lohneinkommenserwartung##Expected Wage Earnings", 1, 0, 2, 38},
        {"Gewinneinkommenserwartung##Expected Profits", 1, 0, 3, 39},
        {"Nachfrageerwartung der Güteranbieter##Supplier's Demand Expectation", 2, 0, 7, 31},
        {"Importnachfrageerwartung heimischer Anbieter##Import Demand Expectation of Domestic "
         "Firms",
         2, 0, 8, 40},
        {"Inflationserwartung##Expected Inflation Rate", 1, 1, 10, 48},
        {"Produktivitätserwartung##Expected Productivity Gain", 1, 1, 11, 49},
        {"Erwartete Arbeitslosenrate##Expected Unemployment Rate", 2, 1, 12, 50},
    };
    Expectations e;
    for (int k = 0; k < ExpectationCount; ++k) {
        e[k] = Expectation{};
        e[k].Slot = static_cast<uint8_t>(k);
        e[k].Name = rows[k].name;
        e[k].Method = rows[k].method;
        e[k].PerWagePeriod = rows[k].perWagePeriod;
        e[k].TargetVariable = rows[k].target;
        e[k].SourceVariable = rows[k].source;
    }
    return e;
}

Model::Model()
    : vars_(static_cast<size_t>(LastPeriod - FirstVarPeriod + 1) * VarCount, 0.0),
      pars_(static_cast<size_t>(LastPeriod - FirstParPeriod + 1) * ParCount, 0.0),
      prePars_(static_cast<size_t>(HistoryRows) * ParCount, 0.0),
      scratchVars_(static_cast<size_t>(HistoryRows) * VarCount, 0.0) {
    Switch = StartSwitches();
    Expect = StartExpectations();
    UpdateActiveParams();
}

void Model::ShiftScratchHistory() {
    // The ring's head is the oldest row; advancing it makes that row the newest.
    const bool mode = ScratchMode;
    ScratchMode = true;
    scratchHead_ = scratchHead_ + 1 == HistoryRows ? 0 : scratchHead_ + 1;
    const int base = ScratchBase;
    std::copy_n(&scratchVars_[ScratchRow(base - 1) * VarCount], VarCount,
                &scratchVars_[ScratchRow(base) * VarCount]);
    ScratchMode = mode;
}

void Model::UpdateActiveParams() {
    auto& f = ActiveParams;
    f.fill(false);
    auto on = [&f](int from, int to) {
        for (int n = from; n <= to; ++n)
            f[n] = true;
    };
    const auto s = [this](int k) { return Switch[k]; };
    on(1, 1);
    if (s(1) == 1)
        on(3, 4);
    else
        on(2, 2);
    on(5, 6);
    if (s(3) == 1) {
        on(8, 8);
        if (s(4) == 1) on(9, 9);
    } else {
        on(7, 7);
    }
    on(10, 15);
    on(21, 22);
    if (s(6) == 1)
        on(18, 20);
    else
        on(16, 17);
    if (s(12) == 0) on(31, 31);
    if (s(12) >= 2) on(28, 30);
    if (s(11) != 0)
        on(27, 27);
    else
        on(26, 26);
    on(23, 25);
    if (s(14) != 0)
        on(33, 37);
    else
        on(32, 32);
    if (s(15) == 0 && s(12) == 0 && s(14) == 0) on(38, 38);
    if (s(16) == 1)
        on(41, 44);
    else
        on(39, 40);
    on(45, 46);
    on(48, 51);
    if (s(17) == 0) on(47, 47);
    if (s(20) == 1) on(54, 54);
    if (s(19) != 0) {
        if (s(18) != 0) {
            if (s(20) == 0) on(56, 56);
            on(57, 58);
        } else if (s(20) == 0) {
            on(55, 55);
        }
        on(59, 59);
    } else {
        if (s(18) != 0) {
            if (s(20) == 0) on(53, 53);
            on(57, 58);
        } else if (s(20) == 0) {
            on(52, 52);
        }
    }
    if (s(21) == 0) on(60, 60);
    on(61, 64);
}

bool Model::IsKeyVariable(int n) const {
    switch (n) {
    case 31:
    case 36:
    case 37:
        return true;
    case 13:
        return Switch[17] != 0;
    case 15:
    case 47:
    case 48:
        return Switch[12] != 0;
    case 50:
    case 55:
        return Switch[14] != 0;
    default:
        return false;
    }
}

// Fixed notation below 10^IntegerDigits (negative numbers included), exponent notation
// otherwise.
std::string Model::FormatNumber(double x) const {
    const int precision = IntegerDigits + DecimalPlaces;
    if (std::pow(10.0, IntegerDigits) > x)
        return FormatFixed(x, precision, DecimalPlaces, DecimalSeparator);
    if (std::isnan(x)) return "NAN";
    return FormatExponent(x, precision, DecimalSeparator);
}

void Model::ResetParameters() {
    std::fill(pars_.begin(), pars_.end(), 0.0);
    for (int t = FirstParPeriod; t <= Periods.RightEdge && t <= LastPeriod; ++t)
        for (int i = 1; i <= ParCount; ++i)
            SetModelPar(t, i, DefaultPar(t, i));
    Switch = StartSwitches();
    Expect = StartExpectations();
    UpdateActiveParams();
}

void Model::ClearVariables() {
    std::fill(vars_.begin(), vars_.end(), 0.0);
}

void Model::FillPrehistoryFromPeriod0() {
    for (int t = FirstVarPeriod; t <= 0; ++t)
        for (int n = 1; n <= ParCount; ++n)
            SetPrehistoryPar(t, n, ModelPar(0, n));
}

void Model::InitialiseForProgramStart() {
    ResetParameters();
    FillPrehistoryFromPeriod0();
}

} // namespace tv

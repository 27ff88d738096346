#include "core/ExpectationSettings.h"

#include "core/Catalogue.h"

#include <algorithm>

namespace tv {

using namespace expect;

bool IncomeIsOnlyEndogenous(const Model& m) {
    return m.Sw(21) == 0 && m.Sw(17) == 0 && m.Sw(14) == 0 && m.Sw(12) == 0;
}

bool MethodEnabled(const Model& m, int k, int method) {
    const Expectations& e = m.Expect;
    const bool incomeActual =
        e[Income].Method == 1 || e[WageIncome].Method == 1 || e[ProfitIncome].Method == 1;
    const bool demandImports = m.Sw(9) == 1;
    switch (k) {
    case Income:
    case WageIncome:
    case ProfitIncome:
        if (method == 1) return m.Sw(21) == 0 && e[Demand].Method != 1 && e[Imports].Method != 1;
        break;
    case Demand:
        if (method == 1) return IncomeIsOnlyEndogenous(m) && !incomeActual;
        break;
    case Imports:
        if (method == 1) return IncomeIsOnlyEndogenous(m) && !incomeActual && demandImports;
        if (method == 4) return !demandImports;
        break;
    default:
        break;
    }
    return true;
}

std::vector<int> MethodsOf(int k) {
    if (k == Imports) return {1, 4, 2, 3};
    if (k == Inflation) return {1, 4, 5, 2, 3};
    return {1, 2, 3};
}

std::string SeriesName(const Model& m, int n, int language) {
    if (n >= 1 && n <= 64) return Translate(ParamName(n, m.Sw(18) == 1), language);
    if (n > 64 && n <= SeriesCount) return Translate(VarName(n - 64), language);
    return {};
}

ExpectationEdit::ExpectationEdit(Model& m) : m_(m), original_(m.Expect) {}

bool ExpectationEdit::SetMethod(int k, int method) {
    const auto methods = MethodsOf(k);
    if (std::find(methods.begin(), methods.end(), method) == methods.end()) return false;
    if (!MethodEnabled(m_, k, method)) return false;
    m_.Expect[k].Method = static_cast<uint8_t>(method);
    FollowGeneralIncome();
    return true;
}

void ExpectationEdit::SetLags(int k, int lags) {
    m_.Expect[k].Lags = static_cast<uint8_t>(std::clamp(lags, 1, 5));
    FollowGeneralIncome();
}

void ExpectationEdit::SetWeight(int k, int weight) {
    m_.Expect[k].Weight = static_cast<uint8_t>(std::clamp(weight, 1, 100));
    FollowGeneralIncome();
}

void ExpectationEdit::SetOwnSettings(int k, bool own) {
    if (k != WageIncome && k != ProfitIncome) return;
    m_.Expect[k].OwnSettings = own ? 1 : 0;
    FollowGeneralIncome();
}

void ExpectationEdit::SetRuleBased(int k, bool ruleBased) {
    m_.Expect[k].RuleBased = ruleBased ? 1 : 0;
}

std::vector<int> ExpectationEdit::Available(int k) const {
    std::vector<int> out;
    for (int n = 1; n <= SeriesCount; ++n)
        if (!m_.Expect[k].HasAntecedent(n)) out.push_back(n);
    return out;
}

void ExpectationEdit::AddAntecedents(int k, const std::vector<int>& series) {
    Expectation& e = m_.Expect[k];
    for (int n : series)
        if (n >= 1 && n <= SeriesCount && !e.HasAntecedent(n)) e.Antecedents.push_back(n);
}

void ExpectationEdit::RemoveAntecedents(int k, const std::vector<int>& series) {
    auto& a = m_.Expect[k].Antecedents;
    a.erase(std::remove_if(a.begin(), a.end(),
                           [&series](int32_t n) {
                               return std::find(series.begin(), series.end(), n) != series.end();
                           }),
            a.end());
}

void ExpectationEdit::SetInitTo(int k, int to) {
    m_.Expect[k].InitFrom = 0;
    m_.Expect[k].InitTo = std::clamp(to, 0, static_cast<int>(m_.Periods.RightEdge));
}

void ExpectationEdit::FollowGeneralIncome() {
    const Expectation& general = m_.Expect[Income];
    for (int k : {WageIncome, ProfitIncome}) {
        Expectation& e = m_.Expect[k];
        if (e.OwnSettings) continue;
        e.Method = general.Method;
        e.Lags = general.Lags;
        e.Weight = general.Weight;
    }
}

bool ExpectationEdit::FormsDifferently(int k) const {
    const Expectation& now = m_.Expect[k];
    const Expectation& was = original_[k];
    const bool ruleNow = now.RuleBased == 1 && !now.Antecedents.empty();
    const bool ruleWas = was.RuleBased == 1 && !was.Antecedents.empty();
    if (ruleNow != ruleWas) return true;
    // A rule base with other inputs, or one the server learnt anew, forecasts differently.
    if (ruleNow) return now.Antecedents != was.Antecedents || ruleBaseChanged_[k];
    if (now.Method != was.Method) return true;
    if (now.Method == 2 && now.Lags != was.Lags) return true;
    if (now.Method == 3 && now.Weight != was.Weight) return true;
    return false;
}

void ExpectationEdit::Accept() {
    FollowGeneralIncome();
    for (int k = 0; k < ExpectationCount; ++k)
        if (FormsDifferently(k)) m_.RecalcInterval = 1;
}

void ExpectationEdit::Cancel() {
    m_.Expect = original_;
    for (int k = 0; k < ExpectationCount; ++k)
        if (FormsDifferently(k)) m_.RecalcInterval = 1;
}

} // namespace tv

#pragma once

#include "core/Model.h"

#include <string>
#include <vector>

namespace tv {

// Record numbers of the eight expectations.
namespace expect {
constexpr int Income = 0, WageIncome = 1, ProfitIncome = 2, Demand = 3, Imports = 4, Inflation = 5,
              Productivity = 6, Unemployment = 7;
}

// Income is the only endogenous quantity: fixed exchange rates, exogenous interest rate,
// wage level and price level.
bool IncomeIsOnlyEndogenous(const Model& m);

// Whether the dialog offers `method` for record k with the model's structure and the other
// records' current settings. Extrapolative and adaptive are always offered.
bool MethodEnabled(const Model& m, int k, int method);

// The conventional methods a record offers (1 and, for imports and inflation, 4 and 5 as
// well as 2 and 3), in the order the dialog lists them.
std::vector<int> MethodsOf(int k);

// The series numbers of the rule base: n <= 64 is parameter n, n > 64 is variable n - 64.
constexpr int SeriesCount = 64 + 63;
std::string SeriesName(const Model& m, int n, int language);

// The settings the expectation dialog edits. The dialog edits the model's records directly
// (the rule-based page hands them to the rule server as they are); the state at opening is
// kept so that Cancel can restore it and OK can tell what must be recomputed.
class ExpectationEdit {
  public:
    explicit ExpectationEdit(Model& m);

    Model& model() { return m_; }
    const Expectation& Record(int k) const { return m_.Expect[k]; }
    const Expectation& Original(int k) const { return original_[k]; }

    // Refused when the method is not offered now; wage and profit income that follow the
    // general income expectation take its settings.
    bool SetMethod(int k, int method);
    void SetLags(int k, int lags);     // kept within 1..5
    void SetWeight(int k, int weight); // kept within 1..100
    // Wage and profit income only: false = use the general income expectation's settings.
    void SetOwnSettings(int k, bool own);
    void SetRuleBased(int k, bool ruleBased);

    // The series not yet antecedents of record k, in catalogue order (parameters first).
    std::vector<int> Available(int k) const;
    // Appends the series to the antecedents (those already there are skipped) / removes them.
    void AddAntecedents(int k, const std::vector<int>& series);
    void RemoveAntecedents(int k, const std::vector<int>& series);
    void SetInitTo(int k, int to);
    // The rule base of record k was (re)initialised or replaced by the server's.
    void RuleBaseChanged(int k) { ruleBaseChanged_[k] = true; }

    // OK: wage and profit income that follow the general expectation copy its settings; a
    // change that alters how any expectation is formed marks the interval for recomputation.
    void Accept();
    // Cancel: every record as it was at opening. A rule base the server already replaced
    // still asks for a recomputation when the restored record uses it.
    void Cancel();

  private:
    void FollowGeneralIncome();
    bool FormsDifferently(int k) const;

    Model& m_;
    Expectations original_;
    std::array<bool, ExpectationCount> ruleBaseChanged_{};
};

} // namespace tv

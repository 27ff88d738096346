#pragma once

#include <array>
#include <span>
#include <vector>

namespace tv {

class Model;
class UserHost;

// What one step of the period computation needs besides the store: the run number (a period
// whose demand expectation is the actual demand runs twice) and the host for messages.
struct StepContext {
    int run = 2;
    UserHost& host;
};

// One quantity a step reads. Flags are the round flags the caller sets before a period;
// a first-run value is variable Number of the period as the first of two runs left it.
struct StepInput {
    enum Kind { Var, Par, WageRoundFlag, MonetaryRoundFlag, FirstRunVar };
    Kind kind = Var;
    int number = 0;
    int period = 0;

    friend bool operator==(const StepInput&, const StepInput&) = default;
};

using StepFunction = void (*)(Model& m, int t, const StepContext& c);
// The quantities the step reads for period t in the model's current switches and
// expectation settings. The list's length and order depend only on those settings, never
// on t, so the lists of two periods match entry by entry.
using StepInputsFunction = void (*)(const Model& m, int t, int run, std::vector<StepInput>& out);

// One named step: it computes its outputs for period t from its inputs and stores them.
struct PeriodStep {
    const char* name;
    std::array<int, 2> outputs; // variable numbers; 0 = none
    StepInputsFunction inputs;
    StepFunction compute;
};

// The steps of one run of the period computation, in the order the solver runs them.
std::span<const PeriodStep> PeriodSteps();
// The step that computes variable n; null for a variable no step computes (18).
const PeriodStep* StepFor(int n);
// The code FormExpectation returns for record k, without forming anything.
int ExpectationCode(const Model& m, int k);

} // namespace tv

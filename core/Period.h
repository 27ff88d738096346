#pragma once

namespace tv {

class Model;
class UserHost;

// Computes all variables of period t (t >= 0) from its parameters, the switches, the
// expectation settings and earlier periods, storing each variable at the step that
// computes it. Variable 18 (the money multiplier) is not written. Returns true.
bool ComputePeriod(Model& m, int t, UserHost& host);

// Forms expectation k for period t where the record's own rule does so (extrapolative,
// adaptive or rule-based) and returns the code the caller handles (1, 4, 5; 0 for the
// rule base).
int FormExpectation(Model& m, int k, int t);
double PeriodExpectation(const Model& m, int k, int t);
double WagePeriodExpectation(const Model& m, int k, int t);

} // namespace tv

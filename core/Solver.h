#pragma once

namespace tv {

class Model;
class UserHost;

// The solution driver: decides what must be computed, searches the start equilibrium of
// period 0 and runs the period computation over the analysis interval. Messages,
// questions, status, progress, STOP and sounds go through the host.

void Solve(Model& m, UserHost& host);
void MarkUnsolvedFrom(Model& m, int t);
// Gives every undefined period in [from, to] (parameter 31 is 0) the default parameters and
// marks it unsolved.
void FillUndefinedPeriods(Model& m, int from, int to);
// "Intervall-Neuberechnung" and "komplette Neuberechnung".
void RecalculateInterval(Model& m, UserHost& host);
void RecalculateAll(Model& m, UserHost& host);
// The solution at program start (start equilibrium, then periods 1 to the right edge).
void SolveAtProgramStart(Model& m, UserHost& host);

void EquilibriumSearch(Model& m, UserHost& host, bool showInfo);
double EquilibriumIteration(Model& m, UserHost& host, bool showInfo, bool ask);
void SolveInterval(Model& m, UserHost& host, int from, int to, bool showInfo);
void SolveOnePeriod(Model& m, UserHost& host, int t);
// The demand-side equilibrium of period t's structure at price level p (a point of the
// aggregate demand curve). The result is left in the scratch store (ScratchBase = t);
// every other setting the search changes is restored. Returns the last deviation.
double EquilibriumAtPrice(Model& m, UserHost& host, int t, int iterations, double p,
                          double accuracy);

bool RuleBaseActive(const Model& m);

} // namespace tv

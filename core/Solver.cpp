#include "core/Solver.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberFormat.h"
#include "core/Period.h"
#include "core/RuleServer.h"
#include "core/Symbols.h"
#include "core/UserHost.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tv {

namespace {

std::string Str(int n) {
    return std::to_string(n);
}

bool TradeIgnoresExchangeRate(const Model& m, int t) {
    return m.ModelPar(t, par::xe) == 0 || m.ModelPar(t, par::me) == 0;
}

// Fills the scratch store from period t of the model: its parameter row, and its variable
// row as the newest row and as every older one.
void LoadScratch(Model& m, int t) {
    m.ScratchBase = static_cast<uint16_t>(t);
    m.ResetScratchRing();
    for (int n = 1; n <= ParCount; ++n)
        m.SetScratchPar(n, m.ModelPar(t, n));
    for (int lag = 0; lag < HistoryRows; ++lag)
        for (int n = 1; n <= VarCount; ++n)
            m.SetScratchVar(t - lag, n, m.ModelVar(t, n));
}

// The structure both searches use: no error corrections, the bond market closed when it
// exists, no accelerator.
void SimplifyStructure(Model& m) {
    m.Switch[2] = 0;
    m.Switch[5] = 0;
    m.Switch[10] = 0;
    if (m.Switch[17] != 0) m.Switch[17] = 1;
    m.SetScratchPar(par::bdY, 0);
}

void SetExpectation(Expectation& e, uint8_t method, uint8_t lags, uint8_t weight) {
    e.Method = method;
    e.Lags = lags;
    e.Weight = weight;
}

std::string Percent(const Model& m, double dev) {
    return FormatFixed(100 * dev, 3, 9, m.DecimalSeparator);
}

// The first variable of period t that is not finite, 0 when all are.
int FirstNonFiniteVariable(const Model& m, int t) {
    for (int n = 1; n <= VarCount; ++n)
        if (!std::isfinite(m.ModelVar(t, n))) return n;
    return 0;
}

// A result that overflowed (infinite or not a number) is no solution, however the
// iterations ended: the first such period from `from` (the first one computed now) is
// reported and counts as unsolved, so the status is not "Ok" and the next solution starts
// there again.
void RejectNonFiniteSolution(Model& m, UserHost& host, int from) {
    PeriodState& ps = m.Periods;
    for (int t = std::max(from, 0); t <= ps.LastSolved; ++t) {
        const int n = FirstNonFiniteVariable(m, t);
        if (n == 0) continue;
        const double x = m.ModelVar(t, n);
        const char* text =
            std::isnan(x)
                ? "In t = %1 ist %2 keine Zahl: Die Lösung ist unbrauchbar. Prüfen Sie die "
                  "Eingaben dieser und der vorangehenden Perioden.##In t = %1, %2 is not a "
                  "number: the solution cannot be used. Check the inputs of this period and of "
                  "the periods before it."
                : "In t = %1 ist %2 unendlich: Die Lösung ist unbrauchbar. Prüfen Sie die "
                  "Eingaben dieser und der vorangehenden Perioden.##In t = %1, %2 is infinite: "
                  "the solution cannot be used. Check the inputs of this period and of the "
                  "periods before it.";
        // Fill each half on its own: the texts around the symbol differ between the languages.
        const std::string german = FillIn(Translate(text, 1), {Str(t), VarSymbol(n, 1)});
        const std::string english = FillIn(Translate(text, 2), {Str(t), VarSymbol(n, 2)});
        host.PlaySound("SoNicht.wav");
        host.ShowMessage("Lösung unbrauchbar##Solution not usable", german + "##" + english);
        if (t == 0) {
            // The periods after it were computed from it: none of them is solved.
            m.EquilibriumInexact = 1;
            ps.LastSolved = 0;
        } else {
            m.SolveAborted = 1;
            ps.LastSolved = t - 1;
        }
        return;
    }
}

} // namespace

bool RuleBaseActive(const Model& m) {
    if (!m.Rules) return false;
    for (const Expectation& e : m.Expect)
        if (e.RuleBased == 1 && !e.Antecedents.empty()) return true;
    return false;
}

void MarkUnsolvedFrom(Model& m, int t) {
    m.Periods.LastSolved = std::min(m.Periods.LastSolved, t);
}

void FillUndefinedPeriods(Model& m, int from, int to) {
    from = std::max(from, FirstParPeriod);
    to = std::min(to, LastPeriod);
    for (int t = from; t <= to; ++t) {
        if (m.ModelPar(t, par::PExog) != 0) continue;
        for (int n = 1; n <= ParCount; ++n)
            m.SetModelPar(t, n, DefaultPar(t, n));
        MarkUnsolvedFrom(m, t - 1);
    }
}

void Solve(Model& m, UserHost& host) {
    PeriodState& ps = m.Periods;
    host.SetStatus("Lösung läuft ...##Solving ...");
    bool solvedSomething = false;
    bool equilibriumDone = false;
    int firstComputed = 0;

    if ((m.RecalcAll || m.RecalcEquilibrium || m.EquilibriumInexact || ps.LastSolved < 0) &&
        ps.LeftEdge == 0) {
        for (int n = 1; n <= ParCount; ++n)
            m.SetModelPar(-1, n, m.ModelPar(0, n));
        if (m.Sw(21) == 1 && TradeIgnoresExchangeRate(m, 0)) {
            host.PlaySound("SoNicht.wav");
            host.ShowMessage("So nicht!##Not possible!",
                             "Exporte und/oder Importe sind in t = 0 nicht "
                             "wechselkursabhängig. Modell nicht lösbar!##Exports and/or imports "
                             "do not depend on the exchange rate in t = 0. The model cannot be "
                             "solved!");
            m.EquilibriumInexact = 1;
            host.BroadcastModelChanged();
            host.SetStatus("Alles lösen!##Solve all!");
            return;
        }
        if (std::fabs(DomesticSpendingPropensity(m, 0)) >= 1) {
            host.PlaySound("WasNun.wav");
            if (!host.Ask("Wollen Sie wirklich?##Are you sure?",
                          "Der einfache Einkommensmultiplikator für t=0 ist unendlich "
                          "(Instabilitätsgefahr!). Lösung trotzdem beginnen?##The simple income "
                          "multiplier for t=0 is infinite (risk of instability!). Start the "
                          "solution anyway?")) {
                m.EquilibriumInexact = 1;
                host.SetStatus("Alles lösen!##Solve all!");
                return;
            }
        }
        host.SetStatus("GG-Ermittlung läuft ...##Calculating equilibrium ...");
        EquilibriumSearch(m, host, m.Options.ShowSolveInfo != 0);
        ps.LastSolved = 0;
        equilibriumDone = true;
        m.RecalcEquilibrium = 0;
        solvedSomething = true;
    }
    if (ps.LastSolved < 0 && ps.LeftEdge > 0) m.RecalcEquilibrium = 1;

    if (m.RecalcAll || m.RecalcInterval || m.SolveAborted || ps.LastSolved < ps.RightEdge) {
        if (m.RecalcAll || m.RecalcInterval) ps.LastSolved = std::max(0, ps.LeftEdge - 1);
        if (!equilibriumDone) firstComputed = std::max(ps.LastSolved + 1, 1);
        if (m.Options.StepwiseSolve == 0) {
            host.SetStatus("Intervall-Berechnung läuft ...##Calculating interval ...");
            SolveInterval(m, host, std::max(ps.LastSolved + 1, 1), ps.RightEdge,
                          m.Options.ShowSolveInfo != 0);
        } else {
            if (!equilibriumDone) {
                ps.LastSolved = ps.LastSolved + 1;
                SolveOnePeriod(m, host, ps.LastSolved);
            }
            host.ShowSolveControl(ps.LastSolved < ps.RightEdge);
        }
        if (RuleBaseActive(m)) host.RulesChanged();
        solvedSomething = true;
    }
    m.RecalcAll = 0;
    m.RecalcInterval = 0;
    if (solvedSomething) RejectNonFiniteSolution(m, host, firstComputed);

    const std::string last = Str(ps.LastSolved);
    if (!m.EquilibriumInexact && !m.SolveAborted) {
        if (ps.LastSolved >= ps.RightEdge) {
            host.SetStatus("Ok");
            host.ShowSolveControl(false);
            if (solvedSomething) host.PlaySound("LoesEnde.wav");
        } else {
            host.SetStatus(FillIn("Lösung bis t = %1##Solved up to t = %1", {last}));
        }
    } else if (!m.SolveAborted) {
        host.SetStatus("GG-Lösung ungenau##Equilibrium inexact");
    } else if (!m.EquilibriumInexact) {
        host.SetStatus(FillIn("Lösungsabbruch nach t = %1##Solution stopped after t = %1", {last}));
    } else {
        host.SetStatus(FillIn("GG-Lösung ungenau und Lösungsabbruch nach t = %1##Equilibrium "
                              "inexact and solution stopped after t = %1",
                              {last}));
    }

    if (solvedSomething) {
        host.BroadcastModelChanged();
        if (RuleBaseActive(m)) host.RefreshRuleMonitors();
    }
    if (m.Options.FollowSolution) {
        ps.CurrentPeriod = ps.LastSolved;
        host.CurrentPeriodChanged();
    }
    ps.MaxSolved = std::max(ps.MaxSolved, ps.LastSolved);
}

void RecalculateInterval(Model& m, UserHost& host) {
    MarkUnsolvedFrom(m, std::max(0, m.Periods.LeftEdge - 1));
    Solve(m, host);
}

void RecalculateAll(Model& m, UserHost& host) {
    MarkUnsolvedFrom(m, m.Periods.LeftEdge - 1);
    Solve(m, host);
}

void SolveAtProgramStart(Model& m, UserHost& host) {
    host.SetBusy(true);
    EquilibriumSearch(m, host, false);
    SolveInterval(m, host, 1, m.Periods.RightEdge, false);
    m.Periods.MaxSolved = m.Periods.LastSolved;
    host.SetBusy(false);
    host.BroadcastModelChanged();
    host.PlaySound("Start.wav");
}

void EquilibriumSearch(Model& m, UserHost& host, bool showInfo) {
    const Switches savedSwitches = m.Switch;
    const Expectations savedExpect = m.Expect;

    LoadScratch(m, 0);
    m.ScratchDepth = HistoryRows - 1;
    m.ScratchMode = true;

    SimplifyStructure(m);
    for (int k : {0, 1, 2, 4})
        SetExpectation(m.Expect[k], 2, 1, 100);
    SetExpectation(m.Expect[3], 3, 2, 50);
    if (m.Switch[12] != 0) m.Expect[5].Method = 4;
    m.Expect[6].Method = 1;

    // Initial stocks of the stationary history.
    double money;
    if (m.Sw(19) && m.Sw(18))
        money = m.ModelPar(0, par::dMBHNAut) * MoneyMultiplier(m, 0);
    else if (m.Sw(19))
        money = m.ModelPar(0, par::dMHNAut);
    else if (m.Sw(18))
        money = m.ModelPar(0, par::MBNAut) * MoneyMultiplier(m, 0);
    else
        money = m.ModelPar(0, par::MNAut);
    const double p = m.ModelPar(0, par::PExog), wn = m.ModelPar(0, par::wNExog);
    const double pa = m.ModelPar(0, par::PAExog);
    m.WageBase = wn;
    for (int t = -1; t >= FirstVarPeriod; --t) {
        m.SetVar(t, var::M, money);
        m.SetVar(t, var::P, p);
        m.SetVar(t, var::wN, wn);
        m.SetVar(t, var::MN, money * p);
        m.SetVar(t, var::eN, 1);
        m.SetVar(t, var::PA, pa);
    }

    const double dev = EquilibriumIteration(m, host, showInfo, true);

    // Normalisation of the price level and of the foreign price level to 1.
    if (savedSwitches[12] != 0 && savedSwitches[20] != 0 && m.ModelPar(0, par::gMNAut) != 0) {
        const double p0 = m.ScratchVar(0, var::P);
        m.SetModelPar(0, par::eNExog, m.ModelPar(0, par::eNExog) / p0);
        m.WageBase = m.WageBase / p0;
        for (int t = FirstVarPeriod; t <= 0; ++t) {
            m.SetScratchVar(t, var::eN, m.ScratchVar(t, var::eN) / p0);
            m.SetScratchVar(t, var::wN, m.ScratchVar(t, var::wN) / p0);
            m.SetScratchVar(t, var::P, m.ScratchVar(t, var::P) / p0);
            m.SetScratchVar(t, var::MN, m.ScratchVar(t, var::M) * m.ScratchVar(t, var::P));
        }
    }
    if (savedSwitches[11] == 1) {
        const double pa0 = m.ScratchVar(0, var::PA);
        m.SetModelPar(0, par::eNExog, m.ModelPar(0, par::eNExog) * pa0);
        for (int t = FirstVarPeriod; t <= 0; ++t) {
            m.SetScratchVar(t, var::eN, m.ScratchVar(t, var::eN) * pa0);
            m.SetScratchVar(t, var::PA, m.ScratchVar(t, var::PA) / pa0);
        }
    }

    for (int t = FirstVarPeriod; t <= 0; ++t)
        for (int n = 1; n <= VarCount; ++n)
            m.SetModelVar(t, n, m.ScratchVar(t, n));

    m.Switch = savedSwitches;
    m.Expect = savedExpect;

    // A start equilibrium that overflowed is reported by the driver, naming the variable.
    if (m.EquilibriumInexact && FirstNonFiniteVariable(m, 0) == 0)
        host.ShowMessage("Hinweis##Note",
                         FillIn("Der Lösungsvorgang für das Ausgangsgleichgewicht in t=0 wurde "
                                "vor Erreichen der vorgegebenen Genauigkeit abgebrochen. Die "
                                "realisierte Genauigkeit (= rel. Ergebnisänderung) beträgt "
                                "%1%.##The solution of the initial equilibrium in t=0 was "
                                "stopped before the required accuracy was reached. The accuracy "
                                "reached (= rel. change of the results) is %1%.",
                                {Percent(m, dev)}));
}

double EquilibriumIteration(Model& m, UserHost& host, bool showInfo, bool ask) {
    const int maxIter = m.Options.MaxIterations;
    int maxLabel = maxIter;
    int step = 5;
    if (showInfo) {
        host.ProgressOpen("Gleichgewichtsermittlung für t=0 läuft ...##Calculating "
                          "equilibrium for t=0 ...",
                          "Iterationen##Iterations", "", Str(maxLabel));
        host.ProgressSet(0);
        step = std::max(maxIter / 100, 5);
    } else {
        host.SetBusy(true);
    }
    bool busy = !showInfo; // the question in between lifts the hourglass
    m.ScratchMode = true;
    m.EquilibriumInexact = 0;
    const int base = m.ScratchBase;
    const int tzr = m.TZR(), mzzr = m.MZZR();
    const double accuracy = m.Options.Accuracy;
    // A plain int: the counter must not wrap when MaxIterations is 65535.
    int k = 0;
    long long total = 0;
    double dev = 0;
    bool stopped = false;
    for (;;) {
        ++k;
        m.MonetaryRoundFlag = IsMonetaryPeriodStart(m, k);
        m.WageRoundFlag = IsWagePeriodStart(m, k);
        if (showInfo) {
            if (k % step == 0) host.ProgressSet(std::min(static_cast<double>(k) / maxIter, 1.0));
            // STOP is one event: a host that keeps reporting it must not hold k at the
            // maximum, or the search never reaches the end of a round.
            if (host.StopRequested() && !stopped) {
                stopped = true;
                m.EquilibriumInexact = 1;
                k = maxIter;
            }
        }
        ComputePeriod(m, base, host);

        bool converged = false;
        if (k >= 10) {
            auto y = [&m, base](int lag, int n) { return m.GetVar(base - lag, n); };
            if (y(0, var::Y) < 1E-11 && y(1, var::Y) < 1E-11) {
                converged = true;
            } else {
                // The first term is assigned, later ones combined with max; a term that
                // is not a number makes the measure NaN, so NaN never counts as converged.
                bool first = true;
                auto combine = [&dev, &first](double term) {
                    if (first || std::isnan(term))
                        dev = term;
                    else if (!std::isnan(dev))
                        dev = std::max(dev, term);
                    first = false;
                };
                auto relative = [&](double value, double reference) {
                    if (reference != 0) {
                        combine(std::fabs(value / reference - 1));
                    } else {
                        dev = 2 * accuracy;
                        first = false;
                    }
                };
                relative(y(0, var::Y), y(1, var::Y));
                if (m.Sw(20) == 1 && mzzr != 1) relative(y(0, var::Y), y(mzzr, var::Y));
                if (m.Sw(12) != 0 && m.Sw(14) != 0) {
                    relative(y(0, var::Y), y(tzr, var::Y));
                    relative(y(0, var::w), y(tzr, var::w));
                }
                const double x0 = y(0, var::X);
                if (x0 != 0) combine(std::fabs((y(0, var::N) - x0) / x0));
                relative(y(0, var::M), y(1, var::M));
                converged = accuracy / 100 > dev;
            }
        }
        const bool roundEnd = k % tzr == 0 && k % mzzr == 0;
        if (k >= maxIter && !converged && !m.EquilibriumInexact && ask && roundEnd) {
            total += maxIter;
            if (showInfo)
                host.ProgressHide();
            else
                host.SetBusy(false);
            busy = false;
            const bool more = host.Ask(
                "Was nun?##Please decide",
                FillIn("Die Ergebnisse für das Ausgangsgleichgewicht (t=0) haben nach %1 "
                       "Iterationen die vorgegebene Lösungsgenauigkeit noch nicht erreicht. Die "
                       "aktuelle Genauigkeit (= rel. Ergebnisänderung) beträgt %2%. Berechnung "
                       "fortsetzen?##After %1 iterations the results for the initial "
                       "equilibrium (t=0) have not yet reached the required accuracy. The "
                       "current accuracy (= rel. change of the results) is %2%. Continue the "
                       "calculation?",
                       {std::to_string(total), Percent(m, dev)}));
            if (more) {
                k = 0;
                if (showInfo) {
                    maxLabel += maxIter;
                    host.ProgressSetMaximumLabel(Str(maxLabel));
                    host.ProgressShow();
                } else {
                    host.SetBusy(true);
                    busy = true;
                }
            } else {
                m.EquilibriumInexact = 1;
            }
        }
        if ((converged || k >= maxIter) && roundEnd) break;
        m.ShiftScratchHistory();
    }
    if (showInfo)
        host.ProgressClose();
    else if (busy)
        host.SetBusy(false);
    m.ScratchMode = false;
    return dev;
}

void SolveOnePeriod(Model& m, UserHost& host, int t) {
    m.MonetaryRoundFlag = IsMonetaryPeriodStart(m, t);
    m.WageRoundFlag = IsWagePeriodStart(m, t);
    ComputePeriod(m, t, host);
    if (m.Rules) m.Rules->RunEnded(m);
}

void SolveInterval(Model& m, UserHost& host, int from, int to, bool showInfo) {
    int step = 5;
    if (showInfo) {
        host.ProgressOpen("Intervall-Berechnung läuft ...##Calculating interval ...",
                          "Perioden##Periods", Str(from), Str(to));
        host.ProgressSet(0);
        step = std::max((to - from) / 100, 5);
    } else {
        host.SetBusy(true);
    }
    PeriodState& ps = m.Periods;
    m.SolveAborted = 0;
    bool reportAbort = true;
    ps.LastSolved = std::max(1, from) - 1;
    to = std::min(to, LastPeriod);
    while (ps.LastSolved < to && !m.SolveAborted) {
        const int t = ++ps.LastSolved;
        m.MonetaryRoundFlag = IsMonetaryPeriodStart(m, t);
        m.WageRoundFlag = IsWagePeriodStart(m, t);
        if (m.Sw(21) == 1 && TradeIgnoresExchangeRate(m, t)) {
            host.PlaySound("SoNicht.wav");
            host.ShowMessage("So nicht!##Not possible!",
                             FillIn("Exporte und/oder Importe sind in t = %1 nicht "
                                    "wechselkursabhängig. Lösung wird abgebrochen.##Exports "
                                    "and/or imports do not depend on the exchange rate in t = "
                                    "%1. The solution is stopped.",
                                    {Str(t)}));
            m.SolveAborted = 1;
            reportAbort = false;
            ps.LastSolved = t - 1;
        } else {
            ComputePeriod(m, t, host);
            m.SolveAborted = 0;
        }
        if (showInfo && from != to) {
            if (t % step == 0) host.ProgressSet(static_cast<double>(t - from) / (to - from));
            if (host.StopRequested()) m.SolveAborted = 1;
        }
    }
    if (showInfo)
        host.ProgressClose();
    else
        host.SetBusy(false);
    if (m.Rules) m.Rules->RunEnded(m);
    if (m.SolveAborted && reportAbort)
        host.ShowMessage("Hinweis##Note",
                         FillIn("Der Lösungsvorgang für das Analyseintervall wurde nach "
                                "Periode %1 abgebrochen.##The solution of the analysis interval "
                                "was stopped after period %1.",
                                {Str(ps.LastSolved)}));
}

double EquilibriumAtPrice(Model& m, UserHost& host, int t, int iterations, double p,
                          double accuracy) {
    // Everything the search changes comes back, however it ends.
    struct Restore {
        Model& m;
        SolveOptions options = m.Options;
        Switches switches = m.Switch;
        Expectations expect = m.Expect;
        uint8_t inexact = m.EquilibriumInexact;
        int32_t depth = m.ScratchDepth;
        double wageBase = m.WageBase, wageGrowth = m.WageGrowthTargetMemo;
        bool wageFlag = m.WageRoundFlag, moneyFlag = m.MonetaryRoundFlag;
        ~Restore() {
            m.ScratchMode = false;
            m.Options = options;
            m.Switch = switches;
            m.Expect = expect;
            m.EquilibriumInexact = inexact;
            m.ScratchDepth = depth;
            m.WageBase = wageBase;
            m.WageGrowthTargetMemo = wageGrowth;
            m.WageRoundFlag = wageFlag;
            m.MonetaryRoundFlag = moneyFlag;
        }
    } restore{m};

    m.Options.MaxIterations = static_cast<uint16_t>(std::clamp(iterations, 1, 65535));
    m.Options.Accuracy = accuracy;
    LoadScratch(m, t);
    m.ScratchDepth = std::max({m.TZR() + 1, 5, m.MZZR() + 1});

    SimplifyStructure(m);
    for (int k : {0, 1, 2, 4})
        SetExpectation(m.Expect[k], 2, 1, 100);
    SetExpectation(m.Expect[3], 3, 1, 50);

    m.SetScratchVar(
        t, var::M, m.ModelVar(t, var::P) * PlannedRealMoney(m, t, IsMonetaryPeriodStart(m, t)) / p);
    if (m.Switch[19] == 0) m.SetScratchPar(par::nWR, 1);
    m.Switch[19] = 1;
    m.Switch[20] = 0;
    m.SetScratchPar(par::dMHNAut, 0);
    m.SetScratchPar(par::dMBHNAut, 0);
    m.ScratchMode = true;
    if (m.Switch[12] != 0 || m.Switch[14] != 0) m.Switch[15] = 1;
    m.Switch[12] = 0;
    m.SetScratchPar(par::PExog, p);
    m.SetScratchVar(t, var::P, p);
    m.Expect[5].Method = 3;
    m.Expect[5].Weight = 0;
    m.Switch[14] = 0;
    m.SetScratchPar(par::wNExog, m.ScratchVar(t, var::wN));
    m.Switch[11] = 0;
    m.SetScratchPar(par::PAExog, m.ScratchVar(t, var::PA));

    return EquilibriumIteration(m, host, false, false);
}

} // namespace tv

#pragma once

#include "core/LargeAllocator.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tv {

class RuleBaseLink;

// One expectation setting (record 0..7).
struct Expectation {
    uint8_t Slot = 0;
    std::string Name;
    uint8_t Method = 1;
    uint8_t Lags = 1;
    uint8_t Weight = 100;
    uint8_t PerWagePeriod = 0;
    uint8_t OwnSettings = 0;
    uint8_t RuleBased = 0;
    int32_t TargetVariable = 0;
    int32_t SourceVariable = 0;
    std::vector<int32_t> Antecedents;
    int32_t InitFrom = 1;
    int32_t InitTo = 100;

    bool HasAntecedent(int32_t n) const;
};

void CopyExpectation(const Expectation& from, Expectation& to);

struct PeriodState {
    int32_t LeftEdge = 0;
    int32_t PrevLeftEdge = 0;
    int32_t CurrentPeriod = 0;
    int32_t LastSolved = 0;
    int32_t MaxSolved = 0;
    int32_t RightEdge = 100;
    int32_t PrevRightEdge = 100;
};

struct SolveOptions {
    double Accuracy = 0.00001;
    uint16_t MaxIterations = 500;
    uint8_t SolveAfterInput = 1;
    uint8_t StepwiseSolve = 0;
    uint8_t ShowSolveInfo = 1;
    uint8_t FollowSolution = 0;
};

constexpr int VarCount = 63;
constexpr int ParCount = 64;
constexpr int SwitchCount = 23;
constexpr int ExpectationCount = 8;
constexpr int HistoryRows = 1077; // periods -1076..0
constexpr int FirstVarPeriod = -1076;
constexpr int FirstParPeriod = -1;
constexpr int LastPeriod = 5000;

using Switches = std::array<uint8_t, SwitchCount + 1>; // index 1..23; 0 unused
using Expectations = std::array<Expectation, ExpectationCount>;

double DefaultPar(int t, int n);
Expectations StartExpectations();
Switches StartSwitches();

// The whole model: stores, switches, expectation records, period bookkeeping, solution
// options, number format and the scratch values the behavioural functions keep between
// calls. Store access is O(1); nothing is allocated after construction.
class Model {
  public:
    Model();

    // Normal mode: the model's stores. Scratch mode: the scratch store, where variables of
    // periods ScratchBase-1076..ScratchBase live in a ring of rows and one parameter row
    // stands for every period.
    double GetVar(int t, int n) const {
        if (ScratchMode) return scratchVars_[ScratchRow(t) * VarCount + n - 1];
        return vars_[(t - FirstVarPeriod) * VarCount + n - 1];
    }
    void SetVar(int t, int n, double x) {
        if (ScratchMode)
            scratchVars_[ScratchRow(t) * VarCount + n - 1] = x;
        else
            vars_[(t - FirstVarPeriod) * VarCount + n - 1] = x;
    }
    double GetPar(int t, int n) const {
        if (ScratchMode) return scratchPars_[n - 1];
        return pars_[(t - FirstParPeriod) * ParCount + n - 1];
    }
    void SetPar(int t, int n, double x) {
        if (ScratchMode)
            scratchPars_[n - 1] = x;
        else
            pars_[(t - FirstParPeriod) * ParCount + n - 1] = x;
    }

    // Direct access that ignores ScratchMode (the equilibrium searches fill and read the
    // scratch store while the model stays as it is).
    double ModelVar(int t, int n) const { return vars_[(t - FirstVarPeriod) * VarCount + n - 1]; }
    void SetModelVar(int t, int n, double x) { vars_[(t - FirstVarPeriod) * VarCount + n - 1] = x; }
    double ModelPar(int t, int n) const { return pars_[(t - FirstParPeriod) * ParCount + n - 1]; }
    void SetModelPar(int t, int n, double x) { pars_[(t - FirstParPeriod) * ParCount + n - 1] = x; }
    double ScratchVar(int t, int n) const { return scratchVars_[ScratchRow(t) * VarCount + n - 1]; }
    void SetScratchVar(int t, int n, double x) {
        scratchVars_[ScratchRow(t) * VarCount + n - 1] = x;
    }
    double ScratchPar(int n) const { return scratchPars_[n - 1]; }
    void SetScratchPar(int n, double x) { scratchPars_[n - 1] = x; }

    // Pre-history parameters, periods -1076..0.
    double PrehistoryPar(int t, int n) const {
        return prePars_[(t - FirstVarPeriod) * ParCount + n - 1];
    }
    void SetPrehistoryPar(int t, int n, double x) {
        prePars_[(t - FirstVarPeriod) * ParCount + n - 1] = x;
    }

    // Moves the scratch history one period back: the oldest row becomes the new row of
    // ScratchBase and receives a copy of the row just computed. Rotates, never copies rows.
    void ShiftScratchHistory();
    // Puts the ring back into its plain order (row of ScratchBase last).
    void ResetScratchRing() { scratchHead_ = 0; }

    uint8_t Sw(int k) const { return Switch[k]; }
    // Period lengths are at least 1: a zero from a damaged file would divide by zero and
    // make lag loops endless.
    int TZR() const { return Switch[23] ? Switch[23] : 1; }
    int MZZR() const { return Switch[22] ? Switch[22] : 1; }

    void UpdateActiveParams();
    bool IsKeyVariable(int n) const;
    std::string FormatNumber(double x) const;

    // Clears all parameters and fills periods -1..RightEdge with their defaults; resets
    // switches and expectation settings (a new model).
    void ResetParameters();
    // Clears the results of every period (a new model).
    void ClearVariables();
    // Program start: every pre-history row holds the parameters of period 0.
    void FillPrehistoryFromPeriod0();
    // The model the program starts with: default parameters in periods -1 to the right
    // edge (as a new model has them), start switches and expectations, the pre-history
    // filled from period 0.
    void InitialiseForProgramStart();

    Switches Switch{};
    std::array<bool, ParCount + 1> ActiveParams{}; // index 1..64
    Expectations Expect;
    PeriodState Periods;
    SolveOptions Options;

    uint8_t RecalcAll = 0;
    uint8_t RecalcEquilibrium = 0;
    uint8_t RecalcInterval = 0;
    uint8_t EquilibriumInexact = 0;
    uint8_t SolveAborted = 0;

    uint8_t DecimalPlaces = 2;
    uint8_t IntegerDigits = 7;
    char DecimalSeparator = '.';

    uint8_t Language = 1; // 1 German, 2 English

    bool ScratchMode = false;
    uint16_t ScratchBase = 0;
    int32_t ScratchDepth = 0;

    // Set by the caller before each period computation.
    bool WageRoundFlag = false;
    bool MonetaryRoundFlag = false;

    // The remembered wage pair of the nominal wage equation.
    double WageBase = 0;
    double WageGrowthTargetMemo = 0;

    // The rule-server link; none means rule-based expectations get no forecasts.
    RuleBaseLink* Rules = nullptr;

  private:
    int ScratchRow(int t) const {
        int idx = scratchHead_ + (t - static_cast<int>(ScratchBase)) + (HistoryRows - 1);
        return idx >= HistoryRows ? idx - HistoryRows : idx;
    }

    using Store = std::vector<double, LargeAllocator<double>>;
    Store vars_;        // 6077 x 63
    Store pars_;        // 5002 x 64
    Store prePars_;     // 1077 x 64
    Store scratchVars_; // 1077 x 63, a ring starting at scratchHead_
    std::array<double, ParCount> scratchPars_{};
    int scratchHead_ = 0;
};

} // namespace tv

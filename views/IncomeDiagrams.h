#pragma once

// The income-interest (IS-LM) and income-expenditure diagrams as data: every curve is a
// straight line or a short polyline in closed form from the parameters and the solution of
// one period, spanning the axis limits. The reference period is the left edge of the
// analysis interval, the current period the model's current period; the path runs from
// the left edge to the current period.

#include "views/DiagramData.h"

#include <string>
#include <vector>

namespace tv {

class Model;

struct IncomeInterestOptions {
    bool Reference = true;   // curves of the left edge as well
    bool Path = true;        // the adjustment path from the left edge to the current period
    bool WageRounds = false; // the path only through the first periods of wage rounds
    bool RealRate = false;   // the y axis shows the expected real rate
    bool IS = true, LM = true, Z = true, LF = false;
};

// The range sets of the income-interest plot (the whole interval [left edge, right edge]).
RangeSets IncomeInterestRanges(const Model& m);
// The curves for the given axis limits.
Plot IncomeInterestCurves(const Model& m, const IncomeInterestOptions& o, const AxisRange& axes);
// Both: the curves for the axes the chosen range set gets.
Plot IncomeInterestPlot(const Model& m, const IncomeInterestOptions& o, bool autoRange);

struct IncomeExpenditureOptions {
    bool Reference = true;
    bool Path = true;
    bool GoodsMarket = true, CapitalMarket = true; // the panels shown
    bool Gross = false;                            // gross demand and supply instead of net demand
};

RangeSets GoodsMarketRanges(const Model& m, const IncomeExpenditureOptions& o);
Plot GoodsMarketCurves(const Model& m, const IncomeExpenditureOptions& o, const AxisRange& axes);
RangeSets CapitalMarketRanges(const Model& m);
Plot CapitalMarketCurves(const Model& m, const IncomeExpenditureOptions& o, const AxisRange& axes);

// The realised capital demand and supply of the periods from the left edge to the current
// one, at their income: what the frame around the capital market's equilibria holds.
std::vector<CurvePoint> CapitalMarketEquilibria(const Model& m);

// The real rate of period t for a nominal rate, and back (expected inflation of t).
double RealOfNominal(const Model& m, int t, double i);
double NominalOfReal(const Model& m, int t, double r);
// True when the multiplier of period t is infinite: a domestic spending propensity of
// exactly 1 (then period t has no IS curve).
bool InfiniteMultiplier(const Model& m, int t);
// The notices for the periods without an IS curve (bilingual), left edge first.
std::vector<std::string> InfiniteMultiplierNotices(const Model& m);
// Their title.
const char* InfiniteMultiplierTitle();

} // namespace tv

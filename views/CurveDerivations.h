#pragma once

// The graphical derivations of the LM, IS and Z curves: four partial diagrams around the
// income-interest diagram. Each quadrant is a plot of its own; quadrants in one row or
// column share the scale of their common axis, so a construction drawn quadrant by
// quadrant reads as one closed line. Quadrants are numbered as in the window's selector
// (1..4); their place differs per derivation.

#include "views/DiagramData.h"

#include <array>
#include <string>
#include <vector>

namespace tv {

class Model;

enum class DerivationKind { LM, IS, Z };

struct DerivationOptions {
    bool Point1 = false, Point2 = false; // the construction of the two points
    bool Curve = false;                  // the derived curve of the current period
};

// The position of quadrant k (1..4): column 0 left, 1 right; row 0 top, 1 bottom. The IS
// derivation has no quadrant 4 (its top left stays empty).
struct QuadrantPlace {
    int Column = 0, Row = 0;
};
int QuadrantCount(DerivationKind kind);
QuadrantPlace PlaceOf(DerivationKind kind, int quadrant);
// The quadrant at a place; 0 for the empty one.
int QuadrantAt(DerivationKind kind, int column, int row);
// The selector entries, "nichts" first.
std::vector<std::string> QuadrantNames(DerivationKind kind);
// Axis titles (bilingual pieces already joined for the language) of quadrant k; the top
// quadrants leave out the x title they share with the quadrant below unless enlarged.
struct QuadrantTitles {
    std::string X, Y;
};
QuadrantTitles TitlesOf(DerivationKind kind, int quadrant, bool enlarged, int language);

// The data ranges of the four quadrants (index k - 1) over the whole analysis interval:
// they stay put while only the current period moves.
std::array<AxisRange, 4> DerivationRanges(const Model& m, DerivationKind kind);

// One constructed point of the current curve and the values it passes on the way.
struct ConstructionPoint {
    bool Valid = false;
    double Income = 0, Rate = 0; // the point on the derived curve
    // LM: transactions and speculative balances at that income.
    double Transactions = 0, Speculative = 0;
    // IS: the demand that does not depend on income, at that rate.
    double Autonomous = 0;
    // Z: net capital imports without friction at that rate, and the trade balance that
    // balances them.
    double CapitalImports = 0, TradeBalance = 0;
};

// The two construction levels of the current period: incomes (LM) or rates (IS, Z).
// axes: the axis limits of the quadrants (index k - 1).
std::array<double, 2> ConstructionLevels(const Model& m, DerivationKind kind,
                                         const std::array<AxisRange, 4>& axes);
ConstructionPoint Construct(const Model& m, DerivationKind kind, double level);

// The content of the four quadrants for the given axis limits: reference and current
// lines, constructions and the derived curve.
std::array<Plot, 4> DerivationPlots(const Model& m, DerivationKind kind, const DerivationOptions& o,
                                    const std::array<AxisRange, 4>& axes);

// The IS derivation's notices for the periods with an infinite multiplier (bilingual),
// left edge first; empty for the other derivations.
std::vector<std::string> DerivationNotices(const Model& m, DerivationKind kind);

} // namespace tv

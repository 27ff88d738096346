#pragma once

// The read-outs of the position-information forms: what the income-interest and
// income-expenditure diagrams say about the point under the mouse, for the current period.

#include "views/IncomeDiagrams.h"

#include <string>
#include <vector>

namespace tv {

class Model;

struct ReadoutGroup {
    std::string Title;
    std::vector<std::string> Lines;
};

// Texts already in the user's language.
struct PositionReadout {
    std::string Caption;
    std::vector<ReadoutGroup> Groups;
};

// A market's state at the mouse position.
enum class MarketState { ExcessDemand, ExcessSupply, Equilibrium };
const char* MarketStateText(MarketState s);

// The income-interest diagram at income y and the axis value of the y axis (nominal or
// expected real rate, as the options say): the position and, per shown curve, the state of
// its market. A switched-off curve leaves its line empty.
PositionReadout IncomeInterestReadout(const Model& m, const IncomeInterestOptions& o, double y,
                                      double axisValue, int language);

// The income-expenditure diagram at a point of the goods or the capital panel.
PositionReadout IncomeExpenditureReadout(const Model& m, const IncomeExpenditureOptions& o,
                                         bool goodsPanel, double x, double y, int language);

} // namespace tv

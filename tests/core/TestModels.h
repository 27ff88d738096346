#pragma once

#include "core/Model.h"

#include <initializer_list>
#include <utility>

namespace tv::test {

// Sets parameters for every period from -1 to the right edge.
void SetAll(Model& m, std::initializer_list<std::pair<int, double>> values);
// Sets parameters from period `from` to the right edge (a policy change).
void SetFrom(Model& m, int from, std::initializer_list<std::pair<int, double>> values);

// The model the program starts with.
Model StartModel();
// A closed economy with exogenous interest and prices: Y = (C,aut + I,aut + G,aut) / (1 - c[Y]).
Model KeynesianModel();
// A closed economy with a complete bond market and exogenous prices:
// IS 0.35 Y = 450 - 14 i, LM 600 = 100 - 20 i + 0.5 Y.
Model ClosedISLMModel();
// A closed economy with a complete bond market, mark-up prices and a wage equation over
// contract periods of four.
Model BondMarketModel();
// An open economy with flexible exchange rates, a bond market and money creation through
// the monetary base.
Model OpenFlexibleModel();

} // namespace tv::test

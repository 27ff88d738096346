#pragma once

#include "core/Model.h"

#include <string>
#include <vector>

namespace tv {

// The behavioural equation of one input page as the model switches shape it: up to three
// formula lines in equation markup ("~" raised, "§" lowered) and explanatory notes.
struct EquationLines {
    std::string Main;
    std::string Second;
    std::string Third;
    std::vector<std::string> Notes;

    int LineCount() const { return !Third.empty() ? 3 : !Second.empty() ? 2 : !Main.empty(); }
    bool operator==(const EquationLines&) const = default;
};

// Sector 1..5 and category as in the parameter groups of the catalogue; anything else gives
// empty lines. `language` chooses the few texts that are not formulas.
EquationLines EquationText(const Switches& sw, int language, int sector, int category);
inline EquationLines EquationText(const Model& m, int sector, int category) {
    return EquationText(m.Switch, m.Language, sector, category);
}

} // namespace tv

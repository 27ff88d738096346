#pragma once

#include "core/Model.h"
#include "core/Solver.h"
#include "core/UserHost.h"
#include "logic/ModelChange.h"
#include "logic/ModelFile.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace tv::test {

// Opens a model file into m as the program and the batch tool do: the program-start model
// solved first, then the file opened and solved through the model-changed step. False when
// the file could not be opened.
inline bool OpenAsTheProgramDoes(Model& m, const std::string& file) {
    m.InitialiseForProgramStart();
    SilentHost host(false);
    SolveAtProgramStart(m, host);
    ModelFileHooks hooks;
    hooks.modelChanged = [&m, &host] {
        EnforceExpectationRules(m, host);
        MarkWhatMustBeRecomputed(m);
        Solve(m, host);
    };
    ModelFile f(m, host, ".", hooks);
    return f.OpenModel(file);
}

// The model with the given parameters changed from period `from` to the right edge, solved
// again as the program solves after a change: an example without its shock is the example
// with the shocked parameter back at its value of the period before the shock.
inline Model Changed(const Model& m, int from, std::initializer_list<std::pair<int, double>> pars) {
    Model out = m;
    for (const auto& [n, value] : pars)
        for (int t = from; t <= out.Periods.RightEdge; ++t)
            out.SetModelPar(t, n, value);
    out.RecalcInterval = true; // what an input dialog marks
    SilentHost host(false);
    EnforceExpectationRules(out, host);
    MarkWhatMustBeRecomputed(out);
    Solve(out, host);
    return out;
}

} // namespace tv::test

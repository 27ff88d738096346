#pragma once

#include "core/Model.h"
#include "core/Solver.h"
#include "core/UserHost.h"
#include "logic/ModelChange.h"
#include "logic/ModelFile.h"

#include <string>

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

} // namespace tv::test

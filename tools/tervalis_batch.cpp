// tervalis-batch: solves a model without a window and prints the solution as CSV.
//
//   tervalis-batch [MODEL.TV5 | --new] [--to T] [--yes] [--save FILE.TV5]
//
// Standard output: "t,1,...,63", then one line per period 0..T. Standard error: every
// message, every question with its answer, and last the status. Exit status: 0 solved
// ("Ok"), 1 inexact or aborted, 2 the model file could not be read.

#include "app/AnalysisInterval.h"
#include "app/ModelChange.h"
#include "app/ModelFile.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/UserHost.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace tv;

// One line per message: line breaks become blanks.
std::string OneLine(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        out += (s[i] == '\r' || s[i] == '\n') ? ' ' : s[i];
    }
    return out;
}

class BatchHost : public SilentHost {
  public:
    bool yesToAll = false;
    bool openingModel = false;

    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string& hint) override {
        std::string line = Translate(text, 1);
        if (!hint.empty()) line += " " + Translate(hint, 1);
        std::fprintf(stderr, "message: %s: %s\n", Translate(title, 1).c_str(),
                     OneLine(line).c_str());
    }
    bool Ask(const std::string& title, const std::string& text) override {
        const std::string t = Translate(title, 1), body = Translate(text, 1);
        bool answer = yesToAll;
        if (t == "Wollen Sie wirklich?")
            answer = true; // the infinite-multiplier question
        else if (body.find("Berechnung fortsetzen?") != std::string::npos)
            answer = false; // go on iterating the start equilibrium
        else if (openingModel && t == "Was nun?")
            answer = true; // adjust the analysis interval to the file
        else if (body.find("Daten des bisherigen rechten") == 0)
            answer = true; // continue the data of the previous right edge
        std::fprintf(stderr, "question: %s: %s -> %s\n", t.c_str(), OneLine(body).c_str(),
                     answer ? "yes" : "no");
        return answer;
    }
};

int Usage() {
    std::fprintf(stderr, "usage: tervalis-batch [MODEL.TV5 | --new] [--to T] [--yes] "
                         "[--save FILE.TV5]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string modelPath, savePath;
    bool newModel = false;
    long to = -1;
    BatchHost host;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--new") {
            newModel = true;
        } else if (a == "--yes") {
            host.yesToAll = true;
        } else if (a == "--to" && i + 1 < argc) {
            char* end = nullptr;
            to = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || to < 0) return Usage();
        } else if (a == "--save" && i + 1 < argc) {
            savePath = argv[++i];
        } else if (!a.empty() && a[0] != '-' && modelPath.empty()) {
            modelPath = a;
        } else {
            return Usage();
        }
    }
    if (newModel && !modelPath.empty()) return Usage();

    // Start-up as the program does it: the start model is solved first.
    Model m;
    m.InitialiseForProgramStart();
    SolveAtProgramStart(m, host);
    AnalysisInterval interval(m, host);
    // The model-changed step as the main window runs it, without the windows.
    interval.OnModelChanged = [&m, &host] {
        EnforceExpectationRules(m, host);
        MarkWhatMustBeRecomputed(m);
        if (m.Options.SolveAfterInput) Solve(m, host);
    };
    ModelFileHooks hooks;
    hooks.isRevolving = [&interval] { return interval.Revolving(); };
    hooks.setArchiving = [&interval] { interval.SetAnalysisForm(false); };
    hooks.setIntervalQuietly = [&interval](int left, int right) {
        interval.SetInterval(left, right, false);
    };
    hooks.modelChanged = interval.OnModelChanged;
    ModelFile file(m, host, ".", hooks);
    if (!modelPath.empty()) {
        host.openingModel = true;
        const bool ok = file.OpenModel(modelPath);
        host.openingModel = false;
        if (!ok) return 2;
    } else if (newModel) {
        file.NewModel();
    } else {
        Solve(m, host);
    }
    // As Enter with T in the right-edge field.
    if (to >= 0 && to != m.Periods.RightEdge) interval.EnterRightEdge(std::to_string(to));
    if (host.status.empty()) Solve(m, host);

    if (!savePath.empty()) file.SaveAs(savePath);

    const int last = m.Periods.RightEdge;
    std::string out = "t";
    for (int n = 1; n <= VarCount; ++n)
        out += "," + std::to_string(n);
    out += "\n";
    char buf[40];
    for (int t = 0; t <= last; ++t) {
        out += std::to_string(t);
        for (int n = 1; n <= VarCount; ++n) {
            std::snprintf(buf, sizeof buf, ",%.17g", m.GetVar(t, n));
            out += buf;
        }
        out += "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fprintf(stderr, "status: %s\n", host.status.c_str());
    return host.status == "Ok" ? 0 : 1;
}

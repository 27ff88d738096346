// Writes the example models shipped in examples/ with the program's own model-file writer.
//
//   tervalis-examples DIRECTORY
//
// Each example is solved once before it is written, and a line per example tells its
// status and the income before and after the shock, so that a calibration change shows
// at once. An example whose expectation settings the structure does not allow is refused.

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/ModelChange.h"
#include "logic/ModelFile.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

namespace {

using namespace tv;
using Values = std::initializer_list<std::pair<int, double>>;

constexpr int kShock = 5;

struct Example {
    const char* file;
    Values parameters;
    std::initializer_list<std::pair<int, int>> switches;
    Values shock; // from period kShock on
    // Expectation records and their methods, where the start settings do not fit the
    // structure (the model-changed step would switch them, with a message, at every load).
    std::initializer_list<std::pair<int, int>> methods = {};
};

// Counts what the model-changed rules would say about a model.
class CountingHost : public SilentHost {
  public:
    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string&) override {
        std::fprintf(stderr, "  %s: %s\n", title.c_str(), text.c_str());
        ++messages;
    }
    int messages = 0;
};

void SetFrom(Model& m, int from, Values values) {
    for (int t = from; t <= m.Periods.RightEdge; ++t)
        for (auto [n, x] : values)
            m.SetModelPar(t, n, x);
}

// A closed economy with a bond market: the parameters examples 2, 3 and 6 share.
#define CLOSED_BOND_MARKET                                                                         \
    {par::CAut, 100}, {par::cY, 0.75}, {par::tY, 0.2}, {par::cr, 4}, {par::IAut, 150},             \
        {par::bY, 0.05}, {par::br, 10}, {par::GAut, 200}, {par::lY, 0.5}, {par::li, 20}, {         \
        par::LAut, 100                                                                             \
    }

// An open economy: the parameters examples 4 and 5 share.
#define OPEN_ECONOMY                                                                               \
    {par::CAut, 80}, {par::cY, 0.7}, {par::tY, 0.25}, {par::cr, 3}, {par::IAut, 120},              \
        {par::bY, 0.05}, {par::br, 8}, {par::GAut, 180}, {par::ExAut, 100}, {par::xe, 60},         \
        {par::ImAut, 20}, {par::mY, 0.1}, {par::me, 40}, {par::lY, 0.5}, {par::li, 15},            \
        {par::LAut, 100}, {par::kdi, 20}, {par::iA, 4}, {par::APot, 1000}, {                       \
        par::KExog, 1000                                                                           \
    }

// In every example the capital stock gives the same capacity as the labour force
// (k K = a A,pot), so that capacity utilisation and unemployment tell the same story, and
// output stays below that capacity in every period.
const Example kExamples[] = {
    {"01-keynesian-cross.TV5",
     {{par::CAut, 100},
      {par::cY, 0.8},
      {par::IAut, 100},
      {par::GAut, 100},
      {par::APot, 1600},
      {par::KExog, 1600},
      // The central bank's rate: the money market is at its floor, so LM is horizontal there
      // and the money stock (M / l[Y] = 2000) binds only beyond every income reached.
      {par::iExog, 3},
      {par::iu, 3},
      {par::lY, 0.5}},
     {},
     {{par::GAut, 110}}},
    {"02-closed-is-lm.TV5",
     {CLOSED_BOND_MARKET, {par::MNAut, 600}, {par::APot, 1250}, {par::KExog, 1250}},
     {{17, 1}},
     {{par::MNAut, 660}}},
    {"03-as-ad-prices-and-wages.TV5",
     {CLOSED_BOND_MARKET,
      // Speculative money demand ends at 10 %, well above the rate the boom leads to: near that
      // limit the LM curve turns vertical, crowding out overshoots and income never settles.
      {par::LAut, 200},
      {par::MNAut, 1200},
      {par::APot, 1200},
      {par::KExog, 1200},
      {par::jAut, 0.25},
      {par::jY, 0.1},
      {par::Pu, 0.1},
      {par::wNExog, 0.75},
      {par::wu, 0.5},
      {par::uNat, 5},
      {par::wgP, 1}},
     {{17, 1}, {12, 2}, {14, 2}, {23, 4}},
     {{par::GAut, 220}}},
    {"04-open-fixed-rates.TV5",
     {OPEN_ECONOMY, {par::nWR, 0.5}, {par::NKAut, 0}, {par::APot, 920}, {par::KExog, 920}},
     {{17, 1}, {19, 1}},
     {{par::ExAut, 110}}},
    {"05-open-flexible-rates.TV5",
     {OPEN_ECONOMY, {par::MNAut, 536}, {par::NKAut, 10}, {par::fNK, 0.3}},
     {{17, 1}, {21, 1}},
     {{par::GAut, 198}},
     // Households cannot know their actual income under flexible rates: extrapolative.
     {{0, 2}, {1, 2}, {2, 2}}},
    {"06-money-creation.TV5",
     {CLOSED_BOND_MARKET,
      {par::MBNAut, 170},
      {par::bM, 0.2},
      {par::rSE, 0.1},
      {par::APot, 1250},
      {par::KExog, 1250}},
     {{17, 1}, {18, 1}},
     {{par::rSE, 0.08}}},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tervalis-examples DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    int failures = 0;
    for (const Example& ex : kExamples) {
        Model m;
        m.InitialiseForProgramStart();
        SetFrom(m, -1, ex.parameters);
        for (auto [k, v] : ex.switches)
            m.Switch[k] = static_cast<uint8_t>(v);
        for (auto [k, method] : ex.methods)
            m.Expect[k].Method = static_cast<uint8_t>(method);
        m.UpdateActiveParams();
        // An example loads without a message: its expectations fit its structure.
        CountingHost rules;
        EnforceExpectationRules(m, rules);
        if (rules.messages > 0) {
            std::fprintf(stderr, "%s: expectation settings contradict the structure\n", ex.file);
            ++failures;
        }
        SetFrom(m, kShock, ex.shock);
        m.Periods.LastSolved = -1;
        SilentHost host(false);
        Solve(m, host);
        std::printf("%-32s %-4s Y(0) %9.3f  Y(%d) %9.3f  u(0) %6.2f  P(0) %6.3f  i(0) %6.3f\n",
                    ex.file, Translate(host.status, 1).c_str(), m.GetVar(0, var::Y),
                    m.Periods.RightEdge, m.GetVar(m.Periods.RightEdge, var::Y), m.GetVar(0, var::u),
                    m.GetVar(0, var::P), m.GetVar(0, var::i));
        if (Translate(host.status, 1) != "Ok") ++failures;
        ModelFile file(m, host, dir);
        try {
            file.WriteModelFile(dir + "/" + ex.file);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", ex.file, e.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

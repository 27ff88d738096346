// Writes the example models shipped in examples/ with the program's own model-file writer.
//
//   tervalis-examples DIRECTORY
//
// Each example is solved once before it is written, and a line per example tells its
// status and the income before and after the shock, so that a calibration change shows
// at once. An example whose expectation settings the structure does not allow is refused.
// Beside each example, DIRECTORY/tasks holds its prediction task: the example without its
// shock (the same file name) and a task file whose change is the shock.

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/Task.h"
#include "core/UserHost.h"
#include "logic/ModelChange.h"
#include "logic/ModelFile.h"

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
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

// The task of each example, in the order of kExamples: title, text (both bilingual) and
// the variables to predict.
struct TaskText {
    const char* title;
    const char* text;
    std::initializer_list<int> predict;
};

const TaskText kTaskTexts[] = {
    {"Mehr Staatsnachfrage##More government purchases",
     "Der Staat kauft ab Periode 5 für 10 mehr (G,aut von 100 auf 110). Was geschieht mit "
     "Einkommen, Konsum und Zins?##The government buys 10 more from period 5 on (G,aut from 100 "
     "to 110). What happens to income, consumption and the interest rate?",
     {var::Y, var::C, var::i}},
    {"Expansive Geldpolitik##Monetary expansion",
     "Die Zentralbank erhöht die Geldmenge ab Periode 5 um 10 % (MN,aut von 600 auf 660). Was "
     "geschieht mit Einkommen, Zins und Investitionen?##The central bank raises the money supply "
     "by 10 % from period 5 on (MN,aut from 600 to 660). What happens to income, the interest "
     "rate and investment?",
     {var::Y, var::i, var::I}},
    {"Nachfrageschub mit Preisen und Löhnen##Demand push with prices and wages",
     "Der Staat kauft ab Periode 5 für 20 mehr (G,aut von 200 auf 220); Preise und Löhne "
     "reagieren. Was geschieht mit Einkommen, Zins und Preisniveau?##The government buys 20 "
     "more from period 5 on (G,aut from 200 to 220); prices and wages respond. What happens to "
     "income, the interest rate and the price level?",
     {var::Y, var::i, var::P}},
    {"Exportboom bei festen Kursen##Export boom under fixed rates",
     "Das Ausland kauft ab Periode 5 für 10 mehr (Ex,aut von 100 auf 110); der Wechselkurs ist "
     "fest. Was geschieht mit Einkommen, Importen und Handelsbilanz?##Foreigners buy 10 more "
     "from period 5 on (Ex,aut from 100 to 110); the exchange rate is fixed. What happens to "
     "income, imports and the trade surplus?",
     {var::Y, var::Im, var::AB}},
    {"Fiskalpolitik bei flexiblen Kursen##Fiscal policy under flexible rates",
     "Der Staat kauft ab Periode 5 für 18 mehr (G,aut von 180 auf 198); der Wechselkurs ist "
     "frei. Was geschieht mit Einkommen, Zins und Wechselkurs?##The government buys 18 more from "
     "period 5 on (G,aut from 180 to 198); the exchange rate floats. What happens to income, "
     "the interest rate and the exchange rate?",
     {var::Y, var::i, var::eN}},
    {"Niedrigerer Mindestreservesatz##Lower reserve ratio",
     "Die Zentralbank senkt den Mindestreservesatz ab Periode 5 von 10 % auf 8 % (r[SE]). Was "
     "geschieht mit Geldmenge, Zins und Einkommen?##The central bank lowers the reserve ratio "
     "from 10 % to 8 % from period 5 on (r[SE]). What happens to the money supply, the interest "
     "rate and income?",
     {var::MN, var::i, var::Y}},
};
static_assert(std::size(kTaskTexts) == std::size(kExamples));

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tervalis-examples DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    int failures = 0;
    for (size_t k = 0; k < std::size(kExamples); ++k)
        for (const bool shocked : {true, false}) {
            const Example& ex = kExamples[k];
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
            if (rules.messages > 0 && shocked) {
                std::fprintf(stderr, "%s: expectation settings contradict the structure\n",
                             ex.file);
                ++failures;
            }
            if (shocked) SetFrom(m, kShock, ex.shock);
            m.Periods.LastSolved = -1;
            SilentHost host(false);
            Solve(m, host);
            const std::string file = (shocked ? dir + "/" : dir + "/tasks/") + ex.file;
            std::printf("%-38s %-4s Y(0) %9.3f  Y(%d) %9.3f  u(0) %6.2f  P(0) %6.3f  i(0) %6.3f\n",
                        file.substr(dir.size() + 1).c_str(), Translate(host.status, 1).c_str(),
                        m.GetVar(0, var::Y), m.Periods.RightEdge,
                        m.GetVar(m.Periods.RightEdge, var::Y), m.GetVar(0, var::u),
                        m.GetVar(0, var::P), m.GetVar(0, var::i));
            if (Translate(host.status, 1) != "Ok") ++failures;
            try {
                ModelFile(m, host, dir).WriteModelFile(file);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s: %s\n", file.c_str(), e.what());
                ++failures;
            }
            if (shocked) continue;
            Task task;
            task.title = kTaskTexts[k].title;
            task.text = kTaskTexts[k].text;
            for (auto [n, x] : ex.shock)
                task.changes.push_back({n, kShock, x, 0});
            task.predict = kTaskTexts[k].predict;
            task.shortRun = kShock + 1;
            task.longRun = m.Periods.RightEdge;
            const std::string taskFile = file.substr(0, file.size() - 4) + ".tvtask";
            std::ofstream out(taskFile, std::ios::binary);
            out << WriteTask(task);
            if (!out.flush()) {
                std::fprintf(stderr, "%s: cannot be written\n", taskFile.c_str());
                ++failures;
            }
        }
    return failures == 0 ? 0 : 1;
}

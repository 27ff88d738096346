#pragma once

#include "core/PeriodSteps.h"

#include <memory>
#include <string>
#include <vector>

namespace tv {

class Model;

// One quantity of an explanation: its old and new value, the change, and its contribution
// to the change of the quantity above it. The children of a variable (of any period, or of
// a period's first run) are the inputs of the step that computed it; their contributions
// are Shapley values over those inputs and add up to the variable's change. A variable of
// period 0 on either side is the start equilibrium, which the steps cannot split.
struct ExplanationNode {
    // The first five follow StepInput::Kind.
    enum Kind {
        Var,
        Par,
        WageRoundFlag,
        MonetaryRoundFlag,
        FirstRunVar,
        Remainder,
        StartEquilibrium
    };
    Kind kind = Var;
    int number = 0;
    int period = 0; // the period of the new value
    double oldValue = 0;
    double newValue = 0;
    double change = 0;
    double contribution = 0;
    std::vector<ExplanationNode> children; // sorted by the size of the contribution

    // Bilingual texts: the symbol ("Y", "c[Y]", "N (1. Lauf)") and the long name.
    std::string Symbol() const;
    std::string Name(bool moneyCreation) const; // moneyCreation: switch 18 = 1
};

// One leaf an explained change finally comes from: a parameter value of one period that
// differs, a round flag, the start equilibrium, or the rest the steps cannot split.
struct Driver {
    enum Kind { Par, WageRoundFlag, MonetaryRoundFlag, Start, Rest };
    Kind kind = Par;
    int number = 0; // the parameter
    int period = 0; // the period of the new value; 0 for Start and Rest
    double oldValue = 0;
    double newValue = 0;
    double contribution = 0;

    // Bilingual: "G,aut", "Startgleichgewicht##start equilibrium"; the long name.
    std::string Symbol() const;
    std::string Name() const;
};

// What the explained period is compared with: an earlier period of the same model, or the
// same period of another solved model (the frozen baseline). A quantity of period s is
// compared with period s of the baseline, or with period s - (t - previous) of the model.
struct Comparison {
    int period = -1;              // the other period, when other is null
    const Model* other = nullptr; // the baseline model, compared at the same period
};

// Explains variable n (1..63) of period t of the solved model m: why it differs from the
// comparison. Children are opened down to depth levels below the root (depth 0: the root
// alone); a quantity that did not change is not opened. The model is never changed: every
// evaluation runs on a copy.
ExplanationNode Explain(const Model& m, int n, int t, const Comparison& against, int depth);

// The same for many questions about one model: the copy is made once. The model and the
// baseline must not change while it lives.
class Explainer {
  public:
    explicit Explainer(const Model& m, const Model* baseline = nullptr);
    ~Explainer();
    Explainer(const Explainer&) = delete;
    Explainer& operator=(const Explainer&) = delete;

    // Period t against period `previous` of the same model, or against period t of the
    // baseline when there is one (`previous` is then ignored).
    ExplanationNode Explain(int n, int t, int previous, int depth);
    // Opens a node of the last Explain's tree (a variable of any period or a first-run
    // value; only its kind, number, period and values count) to depth levels below it.
    void Open(ExplanationNode& node, int depth);
    // The drivers of variable n of period t (comparison as in Explain), largest first.
    std::vector<Driver> Drivers(int n, int t, int previous);

  private:
    class Engine;
    std::unique_ptr<Engine> engine_;
};

// The drivers of the change of variable n of period t: the change passed down the steps to
// the leaves it finally comes from, each node handing its contribution on in proportion to
// its children's contributions. Each (variable, period) is split once. They add up to the
// change; largest first; drivers that contribute exactly 0 are left out.
std::vector<Driver> ComputeDrivers(const Model& m, int n, int t, const Comparison& against);

// Drivers of one symbol, the periods in order: one line of the drivers view.
struct DriverGroup {
    Driver::Kind kind = Driver::Par;
    int number = 0;
    double contribution = 0;
    std::vector<Driver> members;

    // "ab t = 5##from t = 5", "t = 5-8", "t = 5, 9"; empty for Start and Rest.
    std::string Periods(int explainedPeriod) const;
    // The change of the value in the model's number format: "+10", "+5 bis +10##+5 to +10".
    std::string Change(const Model& m) const;
};
// Groups by symbol, largest total first.
std::vector<DriverGroup> GroupDrivers(const std::vector<Driver>& drivers);

// The answer a student reads aloud, "Deutsch##English": "Y is 48.24 higher in t = 20 than
// in the baseline: G,aut (Government Purchases,autonomous) +10 from t = 5: 100 %." The three
// largest symbols (two when a rest of others follows), the others summed.
std::string DriversSentence(const Model& m, int n, int t, const Comparison& against, double change,
                            const std::vector<Driver>& drivers);

// "symbol,period,old,new,contribution", one line per driver in the given order; Start and
// Rest as "start" and "Rest" with empty period and values.
std::string DriversCsv(const std::vector<Driver>& drivers);

// The tree as CSV, one line per node from the root down, each node before its children:
// "depth,path,symbol,period,old,new,change,contribution". The path joins the symbols from
// the root with "/"; a quantity of another period than the root's carries its distance
// ("Y(-4)"). Numbers in the shortest form that reads back to the same double; symbols in
// the German form; a field with a comma ("Y,erw") is quoted.
std::string ExplanationCsv(const ExplanationNode& root);

// The variable whose symbol is s, German or English ("Y", "Y,erw", "Y,exp"); 0 when none.
int VariableBySymbol(const std::string& s);

} // namespace tv

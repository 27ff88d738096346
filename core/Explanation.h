#pragma once

#include "core/PeriodSteps.h"

#include <memory>
#include <string>
#include <vector>

namespace tv {

class Model;

// One quantity of an explanation: its old and new value, the change, and its contribution
// to the change of the quantity above it. The children of a variable of the explained
// period are the inputs of the step that computes it; their contributions are Shapley
// values over those inputs and add up to the variable's change.
struct ExplanationNode {
    enum Kind { Var, Par, WageRoundFlag, MonetaryRoundFlag, FirstRunVar, Remainder };
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

// What the explained period is compared with: an earlier period of the same model, or the
// same period of another solved model (the frozen baseline).
struct Comparison {
    int period = -1;              // the other period, when other is null
    const Model* other = nullptr; // the baseline model, compared at the same period
};

// Explains variable n (1..63) of period t of the solved model m: why it differs from the
// comparison. Children are opened down to depth levels below the root (depth 0: the root
// alone). The model is never changed: every evaluation runs on a copy.
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

  private:
    class Engine;
    std::unique_ptr<Engine> engine_;
};

// The tree as CSV, one line per node from the root down, each node before its children:
// "depth,path,symbol,period,old,new,change,contribution". The path joins the symbols from
// the root with "/"; a quantity of another period than the root's carries its distance
// ("Y(-4)"). Numbers in the shortest form that reads back to the same double; symbols in
// the German form; a field with a comma ("Y,erw") is quoted.
std::string ExplanationCsv(const ExplanationNode& root);

// The variable whose symbol is s, German or English ("Y", "Y,erw", "Y,exp"); 0 when none.
int VariableBySymbol(const std::string& s);

} // namespace tv

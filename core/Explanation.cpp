#include "core/Explanation.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberFormat.h"
#include "core/UserHost.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>

namespace tv {

namespace {

// Exact Shapley values need the step's value for every subset of the changed inputs; past
// this many the contributions are the mean of switching in list order and in reverse order,
// which still add up to the change.
constexpr int MaxExactInputs = 16;
// A rest below this share of the magnitudes involved is rounding.
constexpr double RoundingTolerance = 1e-11;

bool SameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool InStore(const StepInput& in) {
    if (in.kind == StepInput::Par) return in.period >= FirstParPeriod && in.period <= LastPeriod;
    if (in.kind == StepInput::Var || in.kind == StepInput::FirstRunVar)
        return in.period >= FirstVarPeriod && in.period <= LastPeriod;
    return true;
}

} // namespace

class Explainer::Engine {
  public:
    Engine(const Model& m, const Model* baseline)
        : m_(m), scratch_(m), old_(baseline ? *baseline : m) {
        scratch_.Rules = nullptr;
        scratch_.ScratchMode = false;
        const int method = m.Expect[3].Method;
        finalRun_ = method >= 2 ? method : 2;
    }

    ExplanationNode Root(int n, int t, int previous, int depth) {
        if (t != t_ || previous != oldT_) haveFirstRuns_ = false;
        t_ = t;
        oldT_ = &old_ == &m_ ? previous : t;
        ResetFlags();
        ExplanationNode root;
        root.kind = ExplanationNode::Var;
        root.number = n;
        root.period = t_;
        root.oldValue = old_.ModelVar(oldT_, n);
        root.newValue = m_.ModelVar(t_, n);
        root.change = root.newValue - root.oldValue;
        root.contribution = root.change;
        Expand(root, depth);
        return root;
    }

  private:
    void ResetFlags() {
        scratch_.WageRoundFlag = IsWagePeriodStart(m_, t_);
        scratch_.MonetaryRoundFlag = IsMonetaryPeriodStart(m_, t_);
    }

    void RestoreRow() {
        for (int k = 1; k <= VarCount; ++k)
            scratch_.SetModelVar(t_, k, m_.ModelVar(t_, k));
    }

    // The values of period t as the first of two runs leaves them, in a copy of `source`.
    static std::array<double, VarCount + 1> FirstRun(Model& work, const Model& source, int t,
                                                     int finalRun) {
        std::array<double, VarCount + 1> row{};
        SilentHost host;
        const bool wage = work.WageRoundFlag, money = work.MonetaryRoundFlag;
        const uint8_t aborted = work.SolveAborted;
        work.WageRoundFlag = IsWagePeriodStart(work, t);
        work.MonetaryRoundFlag = IsMonetaryPeriodStart(work, t);
        for (int run = work.Expect[3].Method; run < finalRun; ++run) {
            const StepContext c{run, host};
            for (const PeriodStep& s : PeriodSteps())
                s.compute(work, t, c);
        }
        for (int k = 1; k <= VarCount; ++k) {
            row[k] = work.ModelVar(t, k);
            work.SetModelVar(t, k, source.ModelVar(t, k));
        }
        work.WageRoundFlag = wage;
        work.MonetaryRoundFlag = money;
        work.SolveAborted = aborted;
        return row;
    }

    void EnsureFirstRuns() {
        if (haveFirstRuns_) return;
        haveFirstRuns_ = true;
        firstNew_ = FirstRun(scratch_, m_, t_, finalRun_);
        if (&old_ == &m_) {
            firstOld_ = FirstRun(scratch_, m_, oldT_, finalRun_);
        } else {
            auto copy = std::make_unique<Model>(old_);
            copy->Rules = nullptr;
            copy->ScratchMode = false;
            firstOld_ = FirstRun(*copy, old_, oldT_, finalRun_);
        }
    }

    double Value(const Model& from, bool newSide, const StepInput& in) {
        if (!InStore(in)) return 0;
        switch (in.kind) {
        case StepInput::Var:
            return from.ModelVar(in.period, in.number);
        case StepInput::Par:
            return from.ModelPar(in.period, in.number);
        case StepInput::WageRoundFlag:
            return IsWagePeriodStart(from, in.period) ? 1 : 0;
        case StepInput::MonetaryRoundFlag:
            return IsMonetaryPeriodStart(from, in.period) ? 1 : 0;
        case StepInput::FirstRunVar:
            EnsureFirstRuns();
            return (newSide ? firstNew_ : firstOld_)[in.number];
        }
        return 0;
    }

    void Write(const StepInput& in, double x) {
        if (!InStore(in)) return;
        switch (in.kind) {
        case StepInput::Var:
        case StepInput::FirstRunVar:
            scratch_.SetModelVar(in.period, in.number, x);
            break;
        case StepInput::Par:
            scratch_.SetModelPar(in.period, in.number, x);
            break;
        case StepInput::WageRoundFlag:
            scratch_.WageRoundFlag = x != 0;
            break;
        case StepInput::MonetaryRoundFlag:
            scratch_.MonetaryRoundFlag = x != 0;
            break;
        }
    }

    void Expand(ExplanationNode& node, int depth) {
        const PeriodStep* step = StepFor(node.number);
        if (depth <= 0 || !step) return;
        std::vector<StepInput> listNew, listOld;
        step->inputs(m_, t_, finalRun_, listNew);
        step->inputs(m_, oldT_, finalRun_, listOld);
        if (listOld.size() != listNew.size()) listOld = listNew;

        // One player per quantity the step reads; a quantity listed twice counts once.
        std::vector<StepInput> inNew, inOld;
        for (size_t k = 0; k < listNew.size(); ++k) {
            if (std::find(inNew.begin(), inNew.end(), listNew[k]) != inNew.end()) continue;
            inNew.push_back(listNew[k]);
            inOld.push_back(listOld[k]);
        }
        const size_t count = inNew.size();
        std::vector<double> newValues(count), oldValues(count);
        std::vector<int> changed;
        for (size_t k = 0; k < count; ++k) {
            newValues[k] = Value(m_, true, inNew[k]);
            oldValues[k] = Value(old_, false, inOld[k]);
            if (!SameValue(newValues[k], oldValues[k])) changed.push_back(static_cast<int>(k));
        }

        const int output = node.number;
        const StepContext context{finalRun_, host_};
        std::vector<char> useNew(count, 1);
        auto evaluate = [&](uint32_t mask) {
            RestoreRow();
            for (size_t j = 0; j < changed.size(); ++j)
                useNew[changed[j]] = (mask >> j) & 1u;
            for (size_t k = 0; k < count; ++k)
                Write(inNew[k], useNew[k] ? newValues[k] : oldValues[k]);
            step->compute(scratch_, t_, context);
            return scratch_.ModelVar(t_, output);
        };

        std::vector<double> shapley(count, 0.0);
        const int c = static_cast<int>(changed.size());
        if (c > 0 && c <= MaxExactInputs) {
            const uint32_t all = (1u << c) - 1;
            std::vector<double> f(size_t{1} << c);
            for (uint32_t mask = 0; mask <= all; ++mask)
                f[mask] = evaluate(mask);
            // weight of a coalition of s others: s! (c - s - 1)! / c! = 1 / (c * C(c-1, s))
            std::vector<double> weight(c);
            double binomial = 1;
            for (int s = 0; s < c; ++s) {
                weight[s] = 1 / (c * binomial);
                binomial = binomial * (c - 1 - s) / (s + 1);
            }
            for (int j = 0; j < c; ++j) {
                const uint32_t bit = 1u << j;
                double sum = 0;
                for (uint32_t mask = 0; mask <= all; ++mask)
                    if (!(mask & bit))
                        sum += weight[std::popcount(mask)] * (f[mask | bit] - f[mask]);
                shapley[changed[j]] = sum;
            }
        } else if (c > MaxExactInputs) {
            auto inOrder = [&](bool forward) {
                std::fill(useNew.begin(), useNew.end(), 1);
                for (int j : changed)
                    useNew[j] = 0;
                auto run = [&] {
                    RestoreRow();
                    for (size_t k = 0; k < count; ++k)
                        Write(inNew[k], useNew[k] ? newValues[k] : oldValues[k]);
                    step->compute(scratch_, t_, context);
                    return scratch_.ModelVar(t_, output);
                };
                double before = run();
                for (int j = 0; j < c; ++j) {
                    const int k = changed[forward ? j : c - 1 - j];
                    useNew[k] = 1;
                    const double after = run();
                    shapley[k] += (after - before) / 2;
                    before = after;
                }
            };
            inOrder(true);
            inOrder(false);
        }

        // Back to the solved model before the children are explained.
        RestoreRow();
        for (size_t k = 0; k < count; ++k)
            Write(inNew[k], newValues[k]);
        ResetFlags();

        double explained = 0;
        for (size_t k = 0; k < count; ++k) {
            ExplanationNode child;
            child.kind = static_cast<ExplanationNode::Kind>(inNew[k].kind);
            child.number = inNew[k].number;
            child.period = inNew[k].period;
            child.oldValue = oldValues[k];
            child.newValue = newValues[k];
            child.change =
                SameValue(child.newValue, child.oldValue) ? 0.0 : child.newValue - child.oldValue;
            child.contribution = shapley[k];
            explained += shapley[k];
            if (child.kind == ExplanationNode::Var && inNew[k].period == t_ &&
                inOld[k].period == oldT_)
                Expand(child, depth - 1);
            node.children.push_back(std::move(child));
        }
        // What the inputs do not explain: a change of the period's structure (the start of
        // a round, the first period) or a value the step keeps from an earlier solution.
        // Rounding leaves a rest of the order of the numbers that cancel; that is no rest.
        const double rest = node.change - explained;
        double scale = std::max(std::fabs(node.oldValue), std::fabs(node.newValue));
        for (double x : shapley)
            scale += std::fabs(x);
        if (!(std::fabs(rest) <= RoundingTolerance * scale) &&
            !(std::isnan(rest) && std::isnan(node.change))) {
            ExplanationNode remainder;
            remainder.kind = ExplanationNode::Remainder;
            remainder.period = t_;
            remainder.change = rest;
            remainder.contribution = rest;
            node.children.push_back(remainder);
        }
        // A contribution that is not a number goes first: it is what a student must see.
        auto size = [](const ExplanationNode& n) {
            return std::isnan(n.contribution) ? HUGE_VAL : std::fabs(n.contribution);
        };
        std::stable_sort(
            node.children.begin(), node.children.end(),
            [&](const ExplanationNode& a, const ExplanationNode& b) { return size(a) > size(b); });
    }

    const Model& m_;
    Model scratch_;
    const Model& old_;
    int t_ = 0;
    int oldT_ = -1;
    int finalRun_ = 2;
    SilentHost host_;
    bool haveFirstRuns_ = false;
    std::array<double, VarCount + 1> firstNew_{}, firstOld_{};
};

Explainer::Explainer(const Model& m, const Model* baseline)
    : engine_(std::make_unique<Engine>(m, baseline)) {}
Explainer::~Explainer() = default;

ExplanationNode Explainer::Explain(int n, int t, int previous, int depth) {
    return engine_->Root(n, t, previous, depth);
}

std::string ExplanationNode::Symbol() const {
    switch (kind) {
    case Var:
        return VarSymbol(number, 1) + "##" + VarSymbol(number, 2);
    case Par:
        return ParamSymbol(number, period, 1) + "##" + ParamSymbol(number, period, 2);
    case WageRoundFlag:
        return "TVP";
    case MonetaryRoundFlag:
        return "tGP";
    case FirstRunVar:
        return FillIn("%1 (1. Lauf)##%1 (1st run)", VarSymbol(number, 1));
    case Remainder:
        return "Rest##Remainder";
    }
    return {};
}

std::string ExplanationNode::Name(bool moneyCreation) const {
    switch (kind) {
    case Var:
        return VarName(number);
    case Par:
        return ParamName(number, moneyCreation);
    case WageRoundFlag:
        return "Beginn einer Lohnrunde (1 = ja)##Start of a wage round (1 = yes)";
    case MonetaryRoundFlag:
        return "Beginn einer geldpolitischen Periode (1 = ja)##Start of a monetary target period "
               "(1 = yes)";
    case FirstRunVar:
        return FillIn("Erster Lauf der Periode: %1##First run of the period: %2",
                      {Translate(VarName(number), 1), Translate(VarName(number), 2)});
    case Remainder:
        return "Nicht durch die Eingaben erklärt (Periodenstruktur)##Not explained by the "
               "inputs (structure of the period)";
    }
    return {};
}

ExplanationNode Explain(const Model& m, int n, int t, const Comparison& against, int depth) {
    Explainer e(m, against.other);
    return e.Explain(n, t, against.period, depth);
}

namespace {

// Symbols such as "Y,erw" hold commas: such a field is quoted.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char ch : text)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + '"';
}

void AppendCsv(const ExplanationNode& node, int rootPeriod, int depth, const std::string& above,
               std::string& out) {
    std::string symbol = Translate(node.Symbol(), 1);
    if (node.kind != ExplanationNode::Remainder && node.period != rootPeriod)
        symbol += "(" + std::to_string(node.period - rootPeriod) + ")";
    const std::string path = above.empty() ? symbol : above + "/" + symbol;
    out += std::to_string(depth) + ',' + CsvField(path) + ',' + CsvField(symbol) + ',' +
           std::to_string(node.period);
    for (double x : {node.oldValue, node.newValue, node.change, node.contribution})
        out += ',' + FormatShortest(x);
    out += '\n';
    for (const ExplanationNode& c : node.children)
        AppendCsv(c, rootPeriod, depth + 1, path, out);
}

} // namespace

std::string ExplanationCsv(const ExplanationNode& root) {
    std::string out = "depth,path,symbol,period,old,new,change,contribution\n";
    AppendCsv(root, root.period, 0, "", out);
    return out;
}

int VariableBySymbol(const std::string& s) {
    if (s.empty()) return 0;
    // The symbol stands in parentheses at the end of each half of the name.
    for (int language = 1; language <= 2; ++language)
        for (int n = 1; n <= VarCount; ++n) {
            const std::string name = Translate(VarName(n), language);
            const size_t open = name.rfind('(');
            if (open != std::string::npos && name.back() == ')' &&
                name.compare(open + 1, name.size() - open - 2, s) == 0)
                return n;
        }
    return 0;
}

} // namespace tv

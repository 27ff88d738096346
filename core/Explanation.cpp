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
#include <deque>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>

namespace tv {

namespace {

// Exact Shapley values need the step's value for every subset of the changed inputs; past
// this many the contributions are the mean of switching in list order and in reverse order,
// which still add up to the change.
constexpr int MaxExactInputs = 16;
// A rest below this share of the magnitudes involved is rounding.
constexpr double RoundingTolerance = 1e-11;

using Row = std::array<double, VarCount + 1>;

bool SameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool InStore(const StepInput& in) {
    if (in.kind == StepInput::Par) return in.period >= FirstParPeriod && in.period <= LastPeriod;
    if (in.kind == StepInput::Var || in.kind == StepInput::FirstRunVar)
        return in.period >= FirstVarPeriod && in.period <= LastPeriod;
    return true;
}

// The values of period t as the first of two runs leaves them, computed in `work`, which
// holds the values of `source` and holds them again afterwards.
Row FirstRun(Model& work, const Model& source, int t, int finalRun) {
    Row row{};
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

// Shapley values of the c changed players of f (a function of the mask of players switched
// to their new values), added to out[changed[j]].
template <class F>
void ShapleyValues(const std::vector<int>& changed, F&& f, std::vector<double>& out) {
    const int c = static_cast<int>(changed.size());
    if (c == 0) return;
    if (c <= MaxExactInputs) {
        const uint32_t all = (1u << c) - 1;
        std::vector<double> value(size_t{1} << c);
        for (uint32_t mask = 0; mask <= all; ++mask)
            value[mask] = f(mask);
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
                    sum += weight[std::popcount(mask)] * (value[mask | bit] - value[mask]);
            out[changed[j]] = sum;
        }
        return;
    }
    // Too many for every subset: the players switched one by one, in order and reversed.
    std::vector<bool> on(c);
    auto run = [&] {
        uint64_t mask = 0;
        for (int j = 0; j < c; ++j)
            if (on[j]) mask |= uint64_t{1} << j;
        return f(mask);
    };
    for (bool forward : {true, false}) {
        std::fill(on.begin(), on.end(), false);
        double before = run();
        for (int k = 0; k < c; ++k) {
            const int j = forward ? k : c - 1 - k;
            on[j] = true;
            const double after = run();
            out[changed[j]] += (after - before) / 2;
            before = after;
        }
    }
}

bool Opens(ExplanationNode::Kind kind, double oldValue, double newValue) {
    return (kind == ExplanationNode::Var || kind == ExplanationNode::FirstRunVar) &&
           !SameValue(oldValue, newValue);
}

double Size(double contribution) {
    return std::isnan(contribution) ? HUGE_VAL : std::fabs(contribution);
}

} // namespace

class Explainer::Engine {
  public:
    // One input of a step with its two values and its contribution.
    struct Part {
        ExplanationNode::Kind kind;
        int number;
        int period;
        double oldValue;
        double newValue;
        double contribution;
    };
    using Parts = std::vector<Part>;

    Engine(const Model& m, const Model* baseline)
        : m_(m), scratch_(m), old_(baseline ? *baseline : m) {
        scratch_.Rules = nullptr;
        scratch_.ScratchMode = false;
        const int method = m.Expect[3].Method;
        finalRun_ = method >= 2 ? method : 2;
    }

    // Sets the comparison: period s is compared with period s - shift of the other side.
    void Compare(int t, int previous) {
        const int shift = &old_ == &m_ ? t - previous : 0;
        if (shift == shift_) return;
        shift_ = shift;
        splits_.clear();
        splitIndex_.clear();
    }

    ExplanationNode Root(int n, int t, int depth) {
        ExplanationNode root;
        root.kind = ExplanationNode::Var;
        root.number = n;
        root.period = t;
        root.oldValue = old_.ModelVar(t - shift_, n);
        root.newValue = m_.ModelVar(t, n);
        root.change = root.newValue - root.oldValue;
        root.contribution = root.change;
        if (depth > 0) AddChildren(root, depth);
        return root;
    }

    void Open(ExplanationNode& node, int depth) {
        if (depth <= 0 || !Opens(node.kind, node.oldValue, node.newValue)) return;
        node.children.clear();
        AddChildren(node, depth);
    }

    std::vector<Driver> Drivers(int n, int t);

  private:
    void AddChildren(ExplanationNode& node, int depth) {
        for (const Part& p :
             Split(node.kind, node.number, node.period, node.oldValue, node.newValue)) {
            ExplanationNode child;
            child.kind = p.kind;
            child.number = p.number;
            child.period = p.period;
            child.oldValue = p.oldValue;
            child.newValue = p.newValue;
            child.change = SameValue(p.newValue, p.oldValue) ? 0.0 : p.newValue - p.oldValue;
            child.contribution = p.contribution;
            Open(child, depth - 1);
            node.children.push_back(std::move(child));
        }
    }

    bool AtStart(int s) const { return s < 1 || s - shift_ < 1; }

    // What the quantity's change splits into, computed once per quantity and comparison.
    const Parts& Split(ExplanationNode::Kind kind, int n, int s, double oldValue, double newValue) {
        const bool first = kind == ExplanationNode::FirstRunVar;
        const int64_t key = (int64_t{s} * 2 + first) * 128 + n;
        if (const auto it = splitIndex_.find(key); it != splitIndex_.end())
            return splits_[it->second];
        Parts parts;
        if (kind == ExplanationNode::Var && AtStart(s))
            parts.push_back(
                {ExplanationNode::StartEquilibrium, n, s, oldValue, newValue, newValue - oldValue});
        else if (kind == ExplanationNode::Var || first)
            parts = SplitStep(first, n, s, newValue - oldValue, oldValue, newValue);
        splitIndex_.emplace(key, splits_.size());
        splits_.push_back(std::move(parts));
        return splits_.back();
    }

    Parts SplitStep(bool first, int n, int s, double change, double oldValue, double newValue);

    const Row& FirstRow(bool newSide, int t) {
        if (&old_ == &m_) newSide = true; // one model: both sides share the first runs
        auto& rows = newSide ? firstNew_ : firstOld_;
        if (const auto it = rows.find(t); it != rows.end()) return it->second;
        Row row;
        if (newSide) {
            row = FirstRun(scratch_, m_, t, finalRun_);
        } else {
            if (!oldWork_) {
                oldWork_ = std::make_unique<Model>(old_);
                oldWork_->Rules = nullptr;
                oldWork_->ScratchMode = false;
            }
            row = FirstRun(*oldWork_, old_, t, finalRun_);
        }
        return rows.emplace(t, row).first->second;
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
            return FirstRow(newSide, in.period)[in.number];
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

    void SetRow(int t, const Row& row) {
        for (int k = 1; k <= VarCount; ++k)
            scratch_.SetModelVar(t, k, row[k]);
    }
    void RestoreRow(int t) {
        for (int k = 1; k <= VarCount; ++k)
            scratch_.SetModelVar(t, k, m_.ModelVar(t, k));
    }

    const Model& m_;
    Model scratch_;
    const Model& old_;
    std::unique_ptr<Model> oldWork_; // the baseline's first runs are computed here
    int shift_ = 0;
    int finalRun_ = 2;
    SilentHost host_;
    std::unordered_map<int, Row> firstNew_, firstOld_;
    std::deque<Parts> splits_;
    std::unordered_map<int64_t, size_t> splitIndex_;
};

Explainer::Engine::Parts Explainer::Engine::SplitStep(bool first, int n, int s, double change,
                                                      double oldValue, double newValue) {
    const PeriodStep* step = StepFor(n);
    if (!step) return {};
    const int run = first ? 1 : finalRun_;
    std::vector<StepInput> listNew, listOld;
    step->inputs(m_, s, run, listNew);
    step->inputs(m_, s - shift_, run, listOld);
    if (listOld.size() != listNew.size()) {
        listOld = listNew;
        for (StepInput& in : listOld)
            in.period -= shift_;
    }
    // One player per quantity the step reads; a quantity listed twice counts once. In the
    // first run, a variable of the period is the first run's value.
    std::vector<StepInput> inNew, inOld;
    for (size_t k = 0; k < listNew.size(); ++k) {
        StepInput a = listNew[k], b = listOld[k];
        if (first && a.kind == StepInput::Var && a.period == s) {
            a.kind = StepInput::FirstRunVar;
            if (b.kind == StepInput::Var && b.period == s - shift_) b.kind = StepInput::FirstRunVar;
        }
        if (std::find(inNew.begin(), inNew.end(), a) != inNew.end()) continue;
        inNew.push_back(a);
        inOld.push_back(b);
    }
    const size_t count = inNew.size();
    std::vector<double> newValues(count), oldValues(count);
    std::vector<int> changed, written;
    for (size_t k = 0; k < count; ++k) {
        newValues[k] = Value(m_, true, inNew[k]);
        oldValues[k] = Value(old_, false, inOld[k]);
        const bool differs = !SameValue(newValues[k], oldValues[k]);
        if (differs) changed.push_back(static_cast<int>(k));
        // The row is reset to the values of the run before each evaluation: in the final run
        // a first-run value must be written even when it did not change.
        if (differs || (!first && inNew[k].kind == StepInput::FirstRunVar))
            written.push_back(static_cast<int>(k));
    }

    Row solvedRow;
    if (!first)
        for (int k = 1; k <= VarCount; ++k)
            solvedRow[k] = m_.ModelVar(s, k);
    const Row& base = first ? FirstRow(true, s) : solvedRow;
    const bool wage = IsWagePeriodStart(m_, s), money = IsMonetaryPeriodStart(m_, s);
    const StepContext context{run, host_};
    std::vector<char> useNew(count, 1);
    auto evaluate = [&](uint64_t mask) {
        SetRow(s, base);
        scratch_.WageRoundFlag = wage;
        scratch_.MonetaryRoundFlag = money;
        for (size_t j = 0; j < changed.size(); ++j)
            useNew[changed[j]] = (mask >> j) & 1u;
        for (int k : written)
            Write(inNew[k], useNew[k] ? newValues[k] : oldValues[k]);
        step->compute(scratch_, s, context);
        return scratch_.ModelVar(s, n);
    };
    std::vector<double> shapley(count, 0.0);
    ShapleyValues(changed, evaluate, shapley);

    // Back to the solved model.
    for (int k : changed)
        Write(inNew[k], newValues[k]);
    RestoreRow(s);

    Parts parts;
    parts.reserve(count + 1);
    double explained = 0, scale = std::max(std::fabs(oldValue), std::fabs(newValue));
    for (size_t k = 0; k < count; ++k) {
        parts.push_back({static_cast<ExplanationNode::Kind>(inNew[k].kind), inNew[k].number,
                         inNew[k].period, oldValues[k], newValues[k], shapley[k]});
        explained += shapley[k];
        scale += std::fabs(shapley[k]);
    }
    // What the inputs do not explain: a change of the period's structure (the start of a
    // round) or a value the step keeps from an earlier solution. Rounding leaves a rest of
    // the order of the numbers that cancel; that is no rest.
    const double rest = change - explained;
    if (!(std::fabs(rest) <= RoundingTolerance * scale) &&
        !(std::isnan(rest) && std::isnan(change)))
        parts.push_back({ExplanationNode::Remainder, 0, s, 0, 0, rest});
    // A contribution that is not a number goes first: it is what a student must see.
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
        return Size(a.contribution) > Size(b.contribution);
    });
    return parts;
}

std::vector<Driver> Explainer::Engine::Drivers(int n, int t) {
    const double oldRoot = old_.ModelVar(t - shift_, n), newRoot = m_.ModelVar(t, n);
    if (!Opens(ExplanationNode::Var, oldRoot, newRoot)) return {};

    // The quantities that open, found depth first; each edge to a child that opens is
    // kept, so the change can be passed down in topological order afterwards.
    struct Node {
        const Parts* parts;
        double change;
        std::vector<int> children; // per part: the node, or -1 for a leaf
        bool done = false;
        bool onStack = false;
    };
    std::vector<Node> nodes;
    std::unordered_map<int64_t, int> ids;
    auto idOf = [&](ExplanationNode::Kind kind, int v, int s, double o, double w) {
        const int64_t key = (int64_t{s} * 2 + (kind == ExplanationNode::FirstRunVar)) * 128 + v;
        if (const auto it = ids.find(key); it != ids.end()) return it->second;
        const int id = static_cast<int>(nodes.size());
        ids.emplace(key, id);
        nodes.push_back({&Split(kind, v, s, o, w), w - o, {}});
        return id;
    };
    std::vector<int> finished; // post-order
    const int root = idOf(ExplanationNode::Var, n, t, oldRoot, newRoot);
    nodes[root].onStack = true;
    std::vector<std::pair<int, size_t>> stack{{root, 0}};
    while (!stack.empty()) {
        const int id = stack.back().first;
        size_t& next = stack.back().second;
        const Parts& parts = *nodes[id].parts;
        if (next == parts.size()) {
            nodes[id].done = true;
            nodes[id].onStack = false;
            finished.push_back(id);
            stack.pop_back();
            continue;
        }
        const Part& p = parts[next++];
        int child = -1;
        if (p.contribution != 0 && Opens(p.kind, p.oldValue, p.newValue)) {
            child = idOf(p.kind, p.number, p.period, p.oldValue, p.newValue);
            // A quantity still being opened would close a cycle: that edge stays a leaf.
            if (nodes[child].onStack || nodes[child].parts->empty()) child = -1;
        }
        nodes[id].children.push_back(child);
        if (child >= 0 && !nodes[child].done) {
            nodes[child].onStack = true;
            stack.push_back({child, 0});
        }
    }

    std::map<std::tuple<int, int, int>, Driver> leaves;
    auto add = [&](const Part& p, double amount) {
        Driver d;
        switch (p.kind) {
        case ExplanationNode::Par:
            d = {Driver::Par, p.number, p.period, p.oldValue, p.newValue, 0};
            break;
        case ExplanationNode::WageRoundFlag:
            d = {Driver::WageRoundFlag, 0, p.period, p.oldValue, p.newValue, 0};
            break;
        case ExplanationNode::MonetaryRoundFlag:
            d = {Driver::MonetaryRoundFlag, 0, p.period, p.oldValue, p.newValue, 0};
            break;
        case ExplanationNode::StartEquilibrium:
            d.kind = Driver::Start;
            break;
        default: // a rest, or a variable no step computes
            d.kind = Driver::Rest;
            break;
        }
        Driver& into = leaves.try_emplace({d.kind, d.number, d.period}, d).first->second;
        into.contribution += amount;
    };
    std::vector<double> amount(nodes.size(), 0.0);
    amount[finished.back()] = newRoot - oldRoot;
    for (auto it = finished.rbegin(); it != finished.rend(); ++it) {
        const Node& node = nodes[*it];
        const double factor = amount[*it] / node.change;
        if (factor == 0 || !std::isfinite(factor)) continue;
        for (size_t k = 0; k < node.parts->size(); ++k) {
            const Part& p = (*node.parts)[k];
            if (p.contribution == 0) continue;
            const double share = factor * p.contribution;
            if (node.children[k] >= 0)
                amount[node.children[k]] += share;
            else
                add(p, share);
        }
    }
    std::vector<Driver> drivers;
    for (const auto& [key, d] : leaves)
        if (d.contribution != 0) drivers.push_back(d);
    std::stable_sort(drivers.begin(), drivers.end(), [](const Driver& a, const Driver& b) {
        return Size(a.contribution) > Size(b.contribution);
    });
    return drivers;
}

Explainer::Explainer(const Model& m, const Model* baseline)
    : engine_(std::make_unique<Engine>(m, baseline)) {}
Explainer::~Explainer() = default;

ExplanationNode Explainer::Explain(int n, int t, int previous, int depth) {
    engine_->Compare(t, previous);
    return engine_->Root(n, t, depth);
}

void Explainer::Open(ExplanationNode& node, int depth) {
    engine_->Open(node, depth);
}

std::vector<Driver> Explainer::Drivers(int n, int t, int previous) {
    engine_->Compare(t, previous);
    return engine_->Drivers(n, t);
}

namespace {

// The symbol at the end of a catalogue name, in both languages: "Y,erw##Y,exp".
std::string SymbolsOf(const std::string& name) {
    std::string out;
    for (int language = 1; language <= 2; ++language) {
        const std::string half = Translate(name, language);
        const size_t open = half.rfind('(');
        if (language == 2) out += "##";
        if (open != std::string::npos && half.back() == ')')
            out += half.substr(open + 1, half.size() - open - 2);
    }
    return out;
}

std::string ParSymbols(int n, int t) {
    if (t <= 0 && (n == 55 || n == 56)) return ParamSymbol(n, t, 1); // "MN(-oo)"
    return SymbolsOf(ParamName(n));
}

// The long name without the symbol the catalogue puts at its end.
std::string PlainName(const std::string& name) {
    std::string out;
    for (int language = 1; language <= 2; ++language) {
        std::string half = Translate(name, language);
        if (const size_t open = half.rfind(" ("); open != std::string::npos && half.back() == ')')
            half.erase(open);
        out += (language == 2 ? "##" : "") + half;
    }
    return out;
}

constexpr const char* StartSymbol = "Startgleichgewicht##start equilibrium";
constexpr const char* StartName =
    "Gleichgewicht der Periode 0, das die Schritte nicht zerlegen##Equilibrium of period 0, "
    "which the steps cannot split";

} // namespace

std::string ExplanationNode::Symbol() const {
    switch (kind) {
    case Var:
        return SymbolsOf(VarName(number));
    case Par:
        return ParSymbols(number, period);
    case WageRoundFlag:
        return "TVP";
    case MonetaryRoundFlag:
        return "tGP";
    case FirstRunVar: {
        const std::string symbols = SymbolsOf(VarName(number));
        return FillIn("%1 (1. Lauf)##%2 (1st run)", {Translate(symbols, 1), Translate(symbols, 2)});
    }
    case Remainder:
        return "Rest##Remainder";
    case StartEquilibrium:
        return StartSymbol;
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
    case StartEquilibrium:
        return StartName;
    }
    return {};
}

std::string Driver::Symbol() const {
    switch (kind) {
    case Par:
        return ParSymbols(number, period);
    case WageRoundFlag:
        return "TVP";
    case MonetaryRoundFlag:
        return "tGP";
    case Start:
        return StartSymbol;
    case Rest:
        return "Rest##rest";
    }
    return {};
}

std::string Driver::Name() const {
    switch (kind) {
    case Par:
        return PlainName(ParamName(number));
    case WageRoundFlag:
        return "Beginn einer Lohnrunde##start of a wage round";
    case MonetaryRoundFlag:
        return "Beginn einer geldpolitischen Periode##start of a monetary target period";
    case Start:
        return StartName;
    case Rest:
        return "nicht zerlegbar (regelbasierte Erwartungen, Gleichgewichtssuche, "
               "Periodenstruktur)##not splittable (rule-based expectations, equilibrium "
               "search, structure of the period)";
    }
    return {};
}

ExplanationNode Explain(const Model& m, int n, int t, const Comparison& against, int depth) {
    Explainer e(m, against.other);
    return e.Explain(n, t, against.period, depth);
}

std::vector<Driver> ComputeDrivers(const Model& m, int n, int t, const Comparison& against) {
    Explainer e(m, against.other);
    return e.Drivers(n, t, against.period);
}

std::vector<DriverGroup> GroupDrivers(const std::vector<Driver>& drivers) {
    std::vector<DriverGroup> groups;
    for (const Driver& d : drivers) {
        auto it = std::find_if(groups.begin(), groups.end(), [&](const DriverGroup& g) {
            return g.kind == d.kind && g.number == d.number;
        });
        if (it == groups.end()) it = groups.insert(groups.end(), {d.kind, d.number, 0, {}});
        it->contribution += d.contribution;
        it->members.push_back(d);
    }
    for (DriverGroup& g : groups)
        std::sort(g.members.begin(), g.members.end(),
                  [](const Driver& a, const Driver& b) { return a.period < b.period; });
    std::stable_sort(groups.begin(), groups.end(), [](const DriverGroup& a, const DriverGroup& b) {
        return Size(a.contribution) > Size(b.contribution);
    });
    return groups;
}

std::string DriverGroup::Periods(int explainedPeriod) const {
    if (kind == Driver::Start || kind == Driver::Rest || members.empty()) return {};
    const int first = members.front().period, last = members.back().period;
    const bool gapless = last - first + 1 == static_cast<int>(members.size());
    const std::string from = std::to_string(first);
    if (members.size() == 1) return "t = " + from;
    if (gapless && last >= explainedPeriod - 1) return FillIn("ab t = %1##from t = %1", from);
    if (gapless) return "t = " + from + "\u2013" + std::to_string(last);
    std::string list = "t = ";
    constexpr size_t Listed = 4;
    for (size_t k = 0; k < members.size() && k < Listed; ++k)
        list += (k ? ", " : "") + std::to_string(members[k].period);
    return members.size() > Listed ? list + ", \u2026" : list;
}

std::string DriverGroup::Change(const Model& m) const {
    if (kind == Driver::Start || kind == Driver::Rest || members.empty()) return {};
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const Driver& d : members) {
        low = std::min(low, d.newValue - d.oldValue);
        high = std::max(high, d.newValue - d.oldValue);
    }
    auto signedText = [&](double x) { return (x > 0 ? "+" : "") + m.FormatNumber(x); };
    if (signedText(low) == signedText(high)) return signedText(low);
    return FillIn("%1 bis %2##%1 to %2", {signedText(low), signedText(high)});
}

std::string DriversSentence(const Model& m, int n, int t, const Comparison& against, double change,
                            const std::vector<Driver>& drivers) {
    std::string out;
    for (int language = 1; language <= 2; ++language) {
        const bool german = language == 1;
        const std::string symbol = Translate(SymbolsOf(VarName(n)), language);
        const std::string when = "t = " + std::to_string(t);
        const std::string other =
            against.other
                ? Translate("im Basislauf##in the baseline", language)
                : Translate("in t = ##in t = ", language) + std::to_string(against.period);
        std::string text;
        if (change == 0 || drivers.empty()) {
            text = FillIn(
                Translate("%1 ist in %2 so hoch wie %3.##%1 is the same in %2 as %3.", language),
                {symbol, when, other});
        } else {
            const std::string size = m.FormatNumber(std::fabs(change));
            const bool up = change > 0;
            text = FillIn(Translate(up ? "%1 ist in %2 um %3 höher als %4: ##"
                                         "%1 is %3 higher in %2 than %4: "
                                       : "%1 ist in %2 um %3 niedriger als %4: ##"
                                         "%1 is %3 lower in %2 than %4: ",
                                    language),
                          {symbol, when, size, other});
            // Groups too small to show as a whole percent go with the others.
            std::vector<DriverGroup> groups = GroupDrivers(drivers);
            auto percent = [&](double part) { return std::lround(100 * part / change); };
            double others = 0;
            std::erase_if(groups, [&](const DriverGroup& g) {
                if (percent(g.contribution) != 0) return false;
                others += g.contribution;
                return true;
            });
            const size_t named = groups.size() <= 3 ? groups.size() : 2;
            for (size_t k = named; k < groups.size(); ++k)
                others += groups[k].contribution;
            for (size_t k = 0; k < named; ++k) {
                const DriverGroup& g = groups[k];
                const Driver& d = g.members.front();
                text += k ? "; " : "";
                if (g.kind == Driver::Start) {
                    text += Translate("das Startgleichgewicht##the start equilibrium", language);
                } else if (g.kind == Driver::Rest) {
                    text +=
                        Translate("nicht zerlegbarer Rest##a rest that cannot be split", language);
                } else {
                    std::string periods = Translate(g.Periods(t), language);
                    if (periods.rfind("t = ", 0) == 0) periods = "in " + periods;
                    if (g.kind == Driver::Par)
                        text += Translate(d.Symbol(), language) + " (" +
                                Translate(d.Name(), language) + ") " +
                                Translate(g.Change(m), language) + " ";
                    else
                        text += Translate(d.Name(), language) + " ";
                    text += periods;
                }
                text += ": " + std::to_string(percent(g.contribution)) + " %";
            }
            if (percent(others) != 0)
                text += Translate("; übrige Ursachen##; other causes", language) + ": " +
                        std::to_string(percent(others)) + " %";
            text += ".";
        }
        out += (german ? "" : "##") + text;
    }
    return out;
}

namespace {

void AppendCsv(const ExplanationNode& node, int rootPeriod, int depth, const std::string& above,
               std::string& out) {
    std::string symbol = Translate(node.Symbol(), 1);
    if (node.kind != ExplanationNode::Remainder && node.kind != ExplanationNode::StartEquilibrium &&
        node.period != rootPeriod)
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

std::string DriversCsv(const std::vector<Driver>& drivers) {
    std::string out = "symbol,period,old,new,contribution\n";
    for (const Driver& d : drivers) {
        if (d.kind == Driver::Start || d.kind == Driver::Rest) {
            out += std::string(d.kind == Driver::Start ? "start" : "Rest") + ",,,," +
                   FormatShortest(d.contribution) + '\n';
            continue;
        }
        out += CsvField(Translate(d.Symbol(), 1)) + ',' + std::to_string(d.period) + ',' +
               FormatShortest(d.oldValue) + ',' + FormatShortest(d.newValue) + ',' +
               FormatShortest(d.contribution) + '\n';
    }
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

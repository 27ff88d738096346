#include "windows/ResultTable.h"

#include "core/Baseline.h"
#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "windows/EquationSystem.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace tv {

namespace {

using Quantity = std::function<double(int)>;

// A row's numbers in the period shown, by label: what the baseline's rows are compared by.
struct ShownValues {
    double Plan = 0, Actual = 0;
    bool Number = true; // false for an unbounded multiplier
};
using ShownByLabel = std::map<std::string, ShownValues>;

class Builder {
  public:
    Builder(const Model& m, const LineCodeTable& codes, ResultPeriods p, const ResultOptions& o,
            const ResultGroups& g, int language)
        : m_(m), codes_(codes), p_(p), o_(o), g_(g), lang_(language) {
        table_.HeaderRow.fill(255);
    }

    ResultTable Build() {
        Headings();
        const bool bond = m_.Sw(17) != 0;
        const bool banks = m_.Sw(18) == 1;

        // 1. Goods demand with its components.
        const Quantity nPlan = Var(var::N), nActual = Var(var::X);
        const bool components = Code(11) || Code(12) || Code(13) || Code(14);
        PlanActual(Name("Güter&nachfrage##Dema&nd for Goods"), nPlan, nActual, components ? 1 : 0);
        table_.Rows.back().Variable = var::N; // the planned demand is the model's N
        if (Open(components ? 1 : 0)) {
            if (Code(11)) SimpleVar(Member("Konsum##Consumption"), var::C, 1);
            if (Code(12))
                PlanActual(
                    Member("Investitionen##Investment"), Var(var::I),
                    [this](int t) { return V(t, var::I) + V(t, var::NErw) - V(t, var::N); }, 1,
                    false);
            if (Code(12)) table_.Rows.back().Variable = var::I;
            if (Code(13)) SimpleVar(Member("Staatsnachfrage##Government Expenditure"), var::G, 1);
            if (Code(14)) SimpleVar(Member("Exporte##Exports"), var::Ex, 1);
        }

        // 2. Goods supply.
        SimpleVar(Name("Güter&angebot##&Supply of Goods"), var::X, 2, true);
        if (Open(2)) {
            Simple(
                Member("Heim. Potential##Domestic Capacity"),
                [this](int t) { return PotentialOutput(m_, t); }, 2);
            SimpleVar(Member("Beschäftigung##Employment"), var::A, 2);
            SimpleVar(Member("Arbeitslosenquote##Unemployment Rate") + " (%)", var::u, 2);
            Simple(
                Member("Kapazitätsauslastung##Capacity Utilization") + " (%)",
                [this](int t) { return CapitalUtilisation(m_, t); }, 2);
            if (Code(22)) SimpleVar(Member("Importe##Imports"), var::Im, 2);
        }

        // 3., 4. Income and disposable income, split when the distribution is shown.
        const int incomeGroup = Code(31) ? 3 : 0;
        SimpleVar(Name("Einkommen##Income"), var::Y, incomeGroup, incomeGroup != 0);
        if (Open(incomeGroup)) {
            SimpleVar(Member("Lohneinkommen##Wage Earnings"), var::YL, 3);
            SimpleVar(Member("Gewinn- u. Kapitaleinkommen##Property and Entrepr. Income"), var::YU,
                      3);
        }
        const int dispGroup = Code(31) ? 4 : 0;
        SimpleVar(Name("Verfügbares Einkommen##Disposable Income"), var::YV, dispGroup,
                  dispGroup != 0);
        if (Open(dispGroup)) {
            SimpleVar(Member("Verf.##Disp.") + " " + Name("Lohneinkommen##Wage Earnings"), var::YLV,
                      4);
            SimpleVar(Member("Verf.##Disp.") + " " +
                          Name("Gewinn- u. Kapitaleinkommen##Property and Entrepr. Income"),
                      var::YUV, 4);
        }

        // 5. The simple multiplier and the marginal absorption ratio.
        SimpleMultiplier();
        if (Open(5))
            Simple(
                Member("Marg. Absorptionsquote##Marg. Absorption Ratio") + " (%)",
                [this](int t) { return 100 * SpendingPropensity(m_, t); }, 5);

        // 6. Interest and money demand.
        if (bond) {
            SimpleVar(Name("Zinsniveau##Interest Rate") + ",nom. (%)", var::i, 0);
            InterestMultiplier();
            SimpleVar(Name("Geldnachfrage##Money Demand"), var::L, 0);
        }

        // 7. Money supply.
        if (bond || banks) {
            SimpleVar(Name("Geldmenge##Money Supply") + " (real)", var::M, 6, true);
            if (Open(6)) {
                SimpleVar(Member("Geldmenge##Money Supply") + " (nom.)", var::MN, 6);
                if (banks) {
                    Simple(
                        Member("Geldschöpfungsmultiplikator##Money Multiplier"),
                        [this](int t) { return MoneyMultiplier(m_, t); }, 6);
                    Simple(
                        Member("Monetäre Basis##High-Powered Money"),
                        [this](int t) { return MonetaryBase(m_, t); }, 6);
                    Simple(
                        Member("Bargeldumlauf##Currency"),
                        [this](int t) { return Currency(m_, t); }, 6);
                    Simple(
                        Member("Sichteinlagen##Deposits"),
                        [this](int t) { return V(t, var::MN) - Currency(m_, t); }, 6);
                    Simple(
                        Member("Mindestreserve##Reserves"),
                        [this](int t) { return Reserves(m_, t); }, 6);
                }
            }
        }

        // 8. Balance of payments under fixed rates.
        if (bond && m_.Sw(21) == 0)
            SimpleVar(Name("Devisenbilanzsaldo##Balance of Payments Surplus"), var::Z, 0);

        // 9. Saving, budget, external sector.
        SimpleVar(Name("Private Ersparnis##Private Saving"), var::S, 0);
        if (Code(13) || Code(32) || Code(33))
            SimpleVar(Name("Staatl. Budgetsaldo##Public Budget Surplus"), var::BS, 0);
        if (Code(14) || Code(22))
            Simple(
                Name("Außenbeitrag##Trade Surplus"),
                [this](int t) { return V(t, var::Ex) - V(t, var::Im); }, 0);
        if (Code(52)) SimpleVar(Name("Nettokapitalimporte##Capital Account Surplus"), var::NK, 0);
        if (m_.Sw(21) == 1) SimpleVar(Name("Wechselkurs##Exchange Rate") + ",nom.", var::eN, 0);
        if (m_.GetPar(p_.Shown, par::xe) != 0 || Code(22))
            SimpleVar(Name("Wechselkurs##Exchange Rate") + ",real", var::e, 0);

        // 10. Prices and wages.
        if (m_.Sw(12) != 0 || m_.Sw(14) != 0 || m_.Sw(15) != 0) {
            SimpleVar(Name("Preisniveau##Price Level"), var::P, 7, true);
            if (Open(7)) {
                SimpleVar(Member("Inflationsrate##Inflation Rate") + " (%)", var::gP, 7);
                SimpleVar(Member("Nominallohnsatz##Nominal Wage Rate"), var::wN, 7);
                SimpleVar(Member("Reallohnsatz##Real Wage Rate"), var::w, 7);
                SimpleVar(Member("Lohnquote##Wage Share Ratio") + " (%)", var::LQ, 7);
            }
        }

        // 11., 12. Expectations.
        SimpleVar(Name("Erwartetes Einkommen##Expected Income"), var::YErw, 8, true);
        if (Open(8)) {
            const std::string exp = Member("Erw.##Exp.") + " " + Name("Verf.##Disp.") + " ";
            SimpleVar(exp + Name("Einkommen##Income"), var::YVErw, 8);
            if (Code(31)) {
                SimpleVar(exp + Name("Lohneinkommen##Wage Earnings"), var::YLVErw, 8);
                SimpleVar(exp + Name("Gewinn- u. Kapitaleinkommen##Property and Entrepr. Income"),
                          var::YUVErw, 8);
            }
        }
        const std::string expected = Name("Erwartete##Expected") + " ";
        SimpleVar(expected + Name("Güter&nachfrage##Dema&nd for Goods"), var::NErw, 0);
        if (Code(22)) SimpleVar(expected + Name("Importe##Imports"), var::ImErw, 0);
        return std::move(table_);
    }

    // The difference cells compare with these rows of the baseline instead.
    void CompareWith(const ShownByLabel* base) { base_ = base; }
    const ShownByLabel& Shown() const { return shown_; }

  private:
    double V(int t, int n) const { return m_.GetVar(t, n); }
    Quantity Var(int n) const {
        return [this, n](int t) { return V(t, n); };
    }
    bool Code(int c) const { return codes_.Has(c); }
    std::string Name(std::string_view bilingual) const {
        std::string s = Translate(bilingual, lang_);
        s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
        return s;
    }
    std::string Member(std::string_view bilingual) const { return "..." + Name(bilingual); }
    bool Open(int group) const { return group != 0 && g_.Expanded[group]; }
    std::string Fmt(double x) const { return m_.FormatNumber(x); }

    void Headings() {
        auto& h = table_.Headings;
        h.push_back(Name("Größe##Variable"));
        const std::string shown = std::to_string(p_.Shown);
        // A difference is the later minus the earlier period; its heading is that very sum.
        const std::string span =
            "t=" + std::to_string(p_.To) + " \u2212 t=" + std::to_string(p_.From);
        static constexpr const char* Texts[5] = {"Wert##Value", "", "Plan-Ist##Plan-Act.",
                                                 "Istwert##Actual", "Ist: ##Act.: "};
        for (int k = 0; k < 5; ++k) {
            if (!o_.Ticked[k]) continue;
            const bool diff = k == OptPlanDiff || k == OptActualDiff;
            if (diff && base_)
                h.push_back(Name(k == OptPlanDiff ? "Abw. Basis##Dev. Base"
                                                  : "Ist-Abw. Basis##Act. Dev. Base"));
            else
                h.push_back(Name(Texts[k]) + (diff ? span : " (t=" + shown + ")"));
        }
    }

    // Appends a row; a group header records its grid row and shows whether it is open.
    void Push(std::string label, int group, bool header, std::vector<std::string> cells) {
        cells.resize(o_.ValueColumns());
        if (header) {
            label += g_.Expanded[group] ? " <<" : " >>";
            table_.HeaderRow[group] = static_cast<int>(table_.Rows.size()) + 1;
        }
        table_.Rows.push_back({std::move(label), group, header, std::move(cells)});
    }

    // Records a row's numbers of the period shown; with a baseline, the deviation of one of
    // them from the baseline's row of the same label ("" when there is none).
    void Record(const std::string& label, double plan, double actual, bool number = true) {
        shown_[label] = {plan, actual, number};
    }
    std::string Deviation(const std::string& label, bool actual) const {
        const auto own = shown_.find(label);
        const auto base = base_->find(label);
        if (own == shown_.end() || base == base_->end()) return {};
        if (!own->second.Number || !base->second.Number) return {};
        return actual ? Fmt(tv::Deviation(own->second.Actual, base->second.Actual))
                      : Fmt(tv::Deviation(own->second.Plan, base->second.Plan));
    }

    // A quantity without a plan/actual distinction: value and difference.
    void Simple(std::string label, const Quantity& f, int group, bool header = false) {
        const double shown = f(p_.Shown);
        Record(label, shown, shown);
        std::string diff = base_ ? Deviation(label, false) : Fmt(f(p_.To) - f(p_.From));
        Push(std::move(label), group, header, {Fmt(shown), std::move(diff)});
    }

    // A row of one model variable, which the user can ask about.
    void SimpleVar(std::string label, int n, int group, bool header = false) {
        Simple(std::move(label), Var(n), group, header);
        table_.Rows.back().Variable = n;
    }

    // A quantity with plan and actual values; the cells follow the content options.
    void PlanActual(std::string label, const Quantity& plan, const Quantity& actual, int group,
                    bool header = true) {
        std::vector<std::string> cells;
        Record(label, plan(p_.Shown), actual(p_.Shown));
        if (o_.Ticked[OptPlan]) cells.push_back(Fmt(plan(p_.Shown)));
        if (o_.Ticked[OptPlanDiff])
            cells.push_back(base_ ? Deviation(label, false) : Fmt(plan(p_.To) - plan(p_.From)));
        if (o_.Ticked[OptPlanActual]) cells.push_back(Fmt(plan(p_.Shown) - actual(p_.Shown)));
        if (o_.Ticked[OptActual]) cells.push_back(Fmt(actual(p_.Shown)));
        if (o_.Ticked[OptActualDiff])
            cells.push_back(base_ ? Deviation(label, true) : Fmt(actual(p_.To) - actual(p_.From)));
        Push(std::move(label), group, header && group != 0, std::move(cells));
    }

    // 1 / (1 - m) with m the domestic spending propensity; infinite from m = 1 on.
    void SimpleMultiplier() {
        auto ratio = [this](int t) { return DomesticSpendingPropensity(m_, t); };
        const double shown = ratio(p_.Shown), from = ratio(p_.From), to = ratio(p_.To);
        std::vector<std::string> cells;
        const std::string label =
            Name("Multiplikator##Multiplier") + " (" + Name("einfach##simple") + ")";
        Record(label, 1 / (1 - shown), 1 / (1 - shown), shown < 1);
        if (shown >= 1) {
            cells = {Name("unendlich##infinite"), "xxx"};
        } else {
            cells.push_back(Fmt(1 / (1 - shown)));
            if (base_)
                cells.push_back(Deviation(label, false));
            else
                cells.push_back(from >= 1 || to >= 1 ? std::string()
                                                     : Fmt(1 / (1 - to) - 1 / (1 - from)));
        }
        Push(label, 5, true, std::move(cells));
    }

    // The multiplier with the interest and capital-flow reactions. An unstable
    // denominator (sign -1) reads "-oo", the undetermined case (-2) "+oo".
    void InterestMultiplier() {
        auto text = [this](int t) -> std::string {
            switch (StabilitySign(m_, t)) {
            case -1:
                return "-oo";
            case -2:
                return "+oo";
            default:
                return Fmt(Multiplier(m_, t));
            }
        };
        auto bounded = [this](int t) { return StabilitySign(m_, t) >= 0; };
        const std::string label = Name("Multiplikator##Multiplier") + " (" +
                                  Name("zinserweitert##interest-augmented") + ")";
        const bool shownBounded = bounded(p_.Shown);
        const double shown = shownBounded ? Multiplier(m_, p_.Shown) : 0;
        Record(label, shown, shown, shownBounded);
        std::string diff;
        if (base_)
            diff = Deviation(label, false);
        else if (bounded(p_.From) && bounded(p_.To))
            diff = Fmt(Multiplier(m_, p_.To) - Multiplier(m_, p_.From));
        Push(label, 0, false, {text(p_.Shown), diff});
    }

    const Model& m_;
    const LineCodeTable& codes_;
    ResultPeriods p_;
    const ResultOptions& o_;
    const ResultGroups& g_;
    int lang_;
    ResultTable table_;
    const ShownByLabel* base_ = nullptr;
    ShownByLabel shown_;
};

} // namespace

ResultPeriods SetupResultPeriods(int window, int shown, const PeriodState& periods) {
    if (window == 2) return {shown, periods.CurrentPeriod, periods.RightEdge};
    return {shown, periods.LeftEdge, periods.CurrentPeriod};
}

int ResultOptions::ValueColumns() const {
    return static_cast<int>(std::count(Ticked.begin(), Ticked.end(), true));
}

void ResultGroups::ToggleAll() {
    const bool to = !Expanded[1];
    std::fill(Expanded.begin() + 1, Expanded.end(), to);
}

ResultGroups& ResultGroupState(int window) {
    static std::array<ResultGroups, 2> state;
    return state[window == 2 ? 1 : 0];
}

int ResultTable::GroupAtRow(int row) const {
    for (int g = 1; g <= 8; ++g)
        if (HeaderRow[g] == row) return g;
    return 0;
}

int ResultTable::Find(const std::string& label) const {
    for (size_t k = 0; k < Rows.size(); ++k)
        if (Rows[k].Label == label) return static_cast<int>(k);
    return -1;
}

bool ComparesWithBaseline(const ResultOptions& options, const Baseline* baseline) {
    return options.BaselineDeviation && baseline && !baseline->Empty();
}

ResultTable BuildResultTable(const Model& m, const LineCodeTable& codes, ResultPeriods periods,
                             const ResultOptions& options, const ResultGroups& groups, int language,
                             const Baseline* baseline) {
    if (!ComparesWithBaseline(options, baseline))
        return Builder(m, codes, periods, options, groups, language).Build();
    // The baseline's rows are built by the same rules from the frozen model; a period it
    // does not cover compares with nothing.
    ShownByLabel base;
    if (baseline->Covers(periods.Shown)) {
        Builder frozen(baseline->Frozen(), codes, periods, options, groups, language);
        frozen.Build();
        base = frozen.Shown();
    }
    Builder b(m, codes, periods, options, groups, language);
    b.CompareWith(&base);
    return b.Build();
}

std::vector<int> FitResultColumns(int client, int widestLabel, int valueColumns, int valueNeed) {
    if (valueColumns < 1 || client <= 0) return {std::max(client, 0)};
    int label = std::min(widestLabel + 25, client / 2);
    if ((client - label) / valueColumns < valueNeed)
        label = std::min(label, std::max(client - valueColumns * valueNeed - 2, client / 4));
    const int value = std::max(0, (client - label) / valueColumns);
    std::vector<int> widths(valueColumns + 1, value);
    widths[0] = std::max(0, client - (valueColumns * value + 2));
    return widths;
}

} // namespace tv

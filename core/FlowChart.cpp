#include "core/FlowChart.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <cstdlib>

namespace tv {

bool FormatsNonZero(const Model& m, double x) {
    std::string text = m.FormatNumber(x);
    for (char& c : text)
        if (c == m.DecimalSeparator) c = '.';
    // "NAN" and "INF" read back as themselves: not a number is not zero.
    const double back = std::strtod(text.c_str(), nullptr);
    return back != 0 || text.find_first_of("NnIi") != std::string::npos;
}

void FlowChartData::Recompute(const Model& m, int t) {
    using namespace var;
    auto v = [&](int n) { return m.ModelVar(t, n); };
    const double taxesPlanned = TaxesExp(m, t, v(YErw));
    const struct {
        int variable;
        double planned, realised;
    } rows[FlowCount] = {
        {Y, v(Y), v(Y)},
        {Im, v(Im), v(Im)},
        {T, taxesPlanned, v(T)},
        {Tr, v(Tr), v(Tr)},
        {C, v(C), v(C)},
        {G, v(G), v(G)},
        {Ex, v(Ex), v(Ex)},
        {S, v(YVErw) - v(C), v(YV) - v(C)},
        {BS, BudgetSurplusExp(m, t, v(YErw)), v(T) - v(G) - v(Tr)},
        {AB, v(AB), v(AB)},
        {I, v(I), v(I) + v(X) - v(N)},
    };
    for (int k = 0; k < FlowCount; ++k) {
        SectorFlow& f = flows_[k];
        f.variable = rows[k].variable;
        f.planned = rows[k].planned;
        f.realised = rows[k].realised;
        f.present = FormatsNonZero(m, v(f.variable));
        if (!f.present) f.shown = false;
        if (AlwaysAll && f.present) f.shown = true;
    }
}

int FlowChartData::PresentCount() const {
    int n = 0;
    for (const SectorFlow& f : flows_)
        n += f.present;
    return n;
}

int FlowChartData::ShownCount() const {
    int n = 0;
    for (const SectorFlow& f : flows_)
        n += f.shown;
    return n;
}

void FlowChartData::ShowNext() {
    for (SectorFlow& f : flows_)
        if (f.present && !f.shown) {
            f.shown = true;
            return;
        }
}

void FlowChartData::HideLast() {
    for (int k = FlowCount - 1; k >= 0; --k)
        if (flows_[k].shown) {
            flows_[k].shown = false;
            return;
        }
}

void FlowChartData::ShowAll() {
    for (SectorFlow& f : flows_)
        f.shown = f.present;
}

void FlowChartData::HideAll() {
    for (SectorFlow& f : flows_)
        f.shown = false;
}

bool FlowChartData::GovernmentPresent() const {
    for (const SectorFlow& f : flows_)
        if (f.present && (f.variable == var::G || f.variable == var::Tr || f.variable == var::T))
            return true;
    return false;
}

bool FlowChartData::ForeignPresent() const {
    for (const SectorFlow& f : flows_)
        if (f.present && (f.variable == var::Ex || f.variable == var::Im)) return true;
    return false;
}

std::string FlowChartData::Title(int language) const {
    const int present = PresentCount();
    if (present == 0) return {};
    const char* kind = GoodsView ? "Leistungsströme##Flows of Goods and Services"
                                 : "Zahlungsströme##Flows of Payments";
    return Translate(kind, language) + " (" + std::to_string(ShownCount()) + " " +
           Translate("von##of", language) + " " + std::to_string(present) + ")";
}

} // namespace tv

#include "core/FlowChart.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <algorithm>
#include <cmath>
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

// ---------------------------------------------------------------- layout

LogicalRect NodeRect(FlowNode n) {
    switch (n) {
    case FlowNode::Households:
        return {500, 500, 3000, 3000};
    case FlowNode::Business:
        return {7000, 500, 9500, 3000};
    case FlowNode::Government:
        return {500, 7000, 3000, 9500};
    case FlowNode::Foreign:
        // Moved in by three lane widths so that the bands around it fit.
        return {6250, 6250, 8750, 8750};
    case FlowNode::CapitalMarket:
        return {4000, 4000, 6000, 6000};
    }
    return {};
}

const char* NodeName(FlowNode n) {
    switch (n) {
    case FlowNode::Households:
        return "pr. Haushalte##pr. Households";
    case FlowNode::Business:
        return "Unternehmen##Business Sector";
    case FlowNode::Government:
        return "Staat##Government";
    case FlowNode::Foreign:
        return "Ausland##Rest of the World";
    case FlowNode::CapitalMarket:
        return "Kapitalmarkt##Capital Market";
    }
    return "";
}

bool NodeDrawn(const FlowChartData& d, FlowNode n) {
    if (n == FlowNode::Government) return d.GovernmentPresent();
    if (n == FlowNode::Foreign) return d.ForeignPresent();
    return true;
}

const FlowRoute& Route(int flow) {
    using N = FlowNode;
    // Payment direction. Bands between the same two boxes run in separate lanes; bands
    // that would cross a third box turn a corner around it.
    static const FlowRoute routes[FlowCount] = {
        {N::Business, N::Households, {{7000, 1100}, {3000, 1100}}, 0.5},                    // Y
        {N::Business, N::Foreign, {{7700, 3000}, {7700, 6250}}, 0.3},                       // Im
        {N::Households, N::Government, {{1100, 3000}, {1100, 7000}}, 0.35},                 // T
        {N::Government, N::Households, {{2400, 7000}, {2400, 3000}}, 0.35},                 // Tr
        {N::Households, N::Business, {{3000, 2000}, {7000, 2000}}, 0.5},                    // C
        {N::Government, N::Business, {{3000, 9150}, {9250, 9150}, {9250, 3000}}, 0.35},     // G
        {N::Foreign, N::Business, {{8400, 6250}, {8400, 3000}}, 0.3},                       // Ex
        {N::Households, N::CapitalMarket, {{3000, 2700}, {4600, 2700}, {4600, 4000}}, 0.3}, // S
        {N::Government, N::CapitalMarket, {{3000, 7400}, {4600, 7400}, {4600, 6000}}, 0.3}, // BS
        {N::CapitalMarket, N::Foreign, {{6000, 5000}, {7100, 5000}, {7100, 6250}}, 0.3},    // AB
        {N::CapitalMarket, N::Business, {{5400, 4000}, {5400, 2700}, {7000, 2700}}, 0.7},   // I
    };
    return routes[flow];
}

namespace {

double SegmentLength(LogicalPoint a, LogicalPoint b) {
    return std::hypot(double(b.x - a.x), double(b.y - a.y));
}

double DistanceToSegment(LogicalPoint p, LogicalPoint a, LogicalPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double f = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    f = std::clamp(f, 0.0, 1.0);
    return std::hypot(p.x - (a.x + f * dx), p.y - (a.y + f * dy));
}

} // namespace

LogicalPoint PointAlong(const FlowRoute& r, double f) {
    double total = 0;
    for (size_t k = 1; k < r.points.size(); ++k)
        total += SegmentLength(r.points[k - 1], r.points[k]);
    double rest = std::clamp(f, 0.0, 1.0) * total;
    for (size_t k = 1; k < r.points.size(); ++k) {
        const LogicalPoint a = r.points[k - 1], b = r.points[k];
        const double len = SegmentLength(a, b);
        if (rest <= len || k + 1 == r.points.size()) {
            const double g = len > 0 ? std::min(rest / len, 1.0) : 0;
            return {int(std::lround(a.x + g * (b.x - a.x))),
                    int(std::lround(a.y + g * (b.y - a.y)))};
        }
        rest -= len;
    }
    return r.points.front();
}

int FlowAt(const FlowChartData& d, LogicalPoint p, int tolerance) {
    int best = -1;
    double bestDistance = tolerance;
    for (int k = 0; k < FlowCount; ++k) {
        if (!d.Flow(k).shown) continue;
        const FlowRoute& r = Route(k);
        for (size_t j = 1; j < r.points.size(); ++j) {
            const double dist = DistanceToSegment(p, r.points[j - 1], r.points[j]);
            if (dist <= bestDistance) {
                bestDistance = dist;
                best = k;
            }
        }
    }
    return best;
}

std::optional<FlowNode> NodeAt(const FlowChartData& d, LogicalPoint p) {
    for (int k = 0; k < FlowNodeCount; ++k) {
        const auto n = FlowNode(k);
        if (NodeDrawn(d, n) && NodeRect(n).Contains(p)) return n;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- pointing texts

std::string FlowPointText(const Model& m, const FlowChartData& d, int flow) {
    const int lang = m.Language;
    const SectorFlow& f = d.Flow(flow);
    return Translate(VarName(f.variable), lang) + "   " + Translate("geplant##planned", lang) +
           ": " + m.FormatNumber(f.planned) + "   " + Translate("tatsächlich##realized", lang) +
           ": " + m.FormatNumber(f.realised);
}

namespace {

// A leading " + " goes, and trailing blanks, "+" and "-"; an empty side shows the filler.
std::string TrimTerms(std::string s, const char* empty) {
    if (s.rfind(" + ", 0) == 0) s.erase(0, 3);
    while (!s.empty() && s.front() == ' ')
        s.erase(0, 1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '+' || s.back() == '-'))
        s.pop_back();
    return s.empty() ? empty : s;
}

} // namespace

std::string NodeBalanceText(const Model& m, int t, const FlowChartData& d, FlowNode n) {
    using namespace var;
    auto index = [&](int variable) {
        for (int k = 0; k < FlowCount; ++k)
            if (d.Flow(k).variable == variable) return k;
        return 0;
    };
    auto has = [&](int variable) { return d.Flow(index(variable)).present; };
    auto value = [&](int variable) { return d.ShownValue(index(variable)); };
    auto v = [&](int variable) { return m.ModelVar(t, variable); };
    const bool planned = !d.Realised;
    const double s = value(S), bs = value(BS), ab = value(AB), i = value(I);
    std::string sources, uses;
    double total = 0;
    switch (n) {
    case FlowNode::Households:
        sources = std::string(has(Y) ? "Y" : "") + (has(Tr) ? " + Tr" : "") +
                  (has(S) && s <= 0 ? " - S" : "");
        uses = std::string(has(T) ? "T + " : "") + (has(C) ? "C + " : "") +
               (has(S) && s > 0 ? "S" : "");
        total = (planned ? v(YErw) : v(Y)) + v(Tr) - std::min(s, 0.0);
        break;
    case FlowNode::Business:
        sources = "N";
        uses = std::string(has(Y) ? "Y" : "") + (has(Im) ? " + Im" : "");
        total = planned ? v(NErw) : v(N);
        break;
    case FlowNode::Government:
        sources = std::string(has(T) ? "T" : "") + (has(BS) && bs <= 0 ? " + BD" : "");
        uses = std::string(has(G) ? "G" : "") + (has(Tr) ? " + Tr" : "") +
               (has(BS) && bs > 0 ? " + BS" : "");
        total = (planned ? TaxesExp(m, t, v(YErw)) : v(T)) - std::min(bs, 0.0);
        break;
    case FlowNode::Foreign:
        sources = std::string(has(Im) ? "Im" : "") + (has(AB) && ab > 0 ? " + AB" : "");
        uses = std::string(has(Ex) ? "Ex" : "") + (has(AB) && ab <= 0 ? " - AB" : "");
        total = std::max(ab, 0.0) + v(Im);
        break;
    case FlowNode::CapitalMarket: {
        const std::string assets =
            std::string(has(S) && s > 0 ? "S" : "") + (has(BS) && bs > 0 ? " + BS" : "") +
            (has(I) && i <= 0 ? " - I" : "") + (has(AB) && ab <= 0 ? " - AB" : "");
        const std::string liabilities =
            std::string(has(S) && s <= 0 ? "- S" : "") + (has(BS) && bs <= 0 ? " + BD" : "") +
            (has(I) && i > 0 ? " + I" : "") + (has(AB) && ab > 0 ? " + AB" : "");
        return "dKA = " + TrimTerms(assets, "0") + "   ||   dKN = " + TrimTerms(liabilities, "0");
    }
    }
    const std::string sum = " = " + m.FormatNumber(total);
    return TrimTerms(sources, "---") + sum + "   ||   " + TrimTerms(uses, "---") + sum;
}

} // namespace tv

#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tv {

class Model;

// One flow of the sectoral flow chart: a variable between two sectors with its planned and
// its realised value in one period.
struct SectorFlow {
    int variable = 0;
    double planned = 0;
    double realised = 0;
    bool present = false; // the variable, as the number format writes it, is not 0
    bool shown = false;
};

constexpr int FlowCount = 11;

// The data side of the flow chart: which flows of a period exist, which of them the user
// has revealed, and the title line. The window draws from this and nothing else.
class FlowChartData {
  public:
    // Reads the flows of period t. A flow that no longer exists loses its shown flag; the
    // others keep theirs, so revealing flows survives a step through the periods.
    void Recompute(const Model& m, int t);

    const std::array<SectorFlow, FlowCount>& Flows() const { return flows_; }
    const SectorFlow& Flow(int index) const { return flows_[index]; }
    int PresentCount() const;
    int ShownCount() const;

    // The controls.
    void ShowNext();
    void HideLast();
    void ShowAll();
    void HideAll();

    bool Realised = false;  // value set shown: planned (false) or realised
    bool GoodsView = false; // arrows reversed: flows of goods instead of payments
    bool AlwaysAll = false; // every present flow shown after each recomputation

    double ShownValue(int index) const {
        return Realised ? flows_[index].realised : flows_[index].planned;
    }
    // The government and the rest of the world are drawn only when one of their flows is.
    bool GovernmentPresent() const;
    bool ForeignPresent() const;

    // "Zahlungsströme (k von n)" in the language; empty while no flow is present.
    std::string Title(int language) const;

  private:
    std::array<SectorFlow, FlowCount> flows_{};
};

// Whether x, written with the model's number format and read back, is a number other than 0.
bool FormatsNonZero(const Model& m, double x);

// ---- Layout on the logical 10000 x 10000 drawing area

enum class FlowNode { Households, Business, Government, Foreign, CapitalMarket };
constexpr int FlowNodeCount = 5;

struct LogicalPoint {
    int x = 0, y = 0;
};
struct LogicalRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(LogicalPoint p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
};

LogicalRect NodeRect(FlowNode n);
const char* NodeName(FlowNode n); // bilingual
// Whether the chart draws the node (the government and the rest of the world only with
// one of their flows).
bool NodeDrawn(const FlowChartData& d, FlowNode n);

// The band of a flow: straight or with one corner, from the paying node's edge to the
// receiving node's edge, running clear of every other box. The label sits on the band at
// Label (a fraction of the way along the path), staggered where bands run side by side.
struct FlowRoute {
    FlowNode from, to;
    std::vector<LogicalPoint> points;
    double label = 0.5;
};
const FlowRoute& Route(int flow);
// The point at fraction f (0..1) of the way along the route.
LogicalPoint PointAlong(const FlowRoute& r, double f);

// ---- Pointing

// The shown flow whose band passes within tolerance of p, or -1.
int FlowAt(const FlowChartData& d, LogicalPoint p, int tolerance);
// The drawn node that contains p.
std::optional<FlowNode> NodeAt(const FlowChartData& d, LogicalPoint p);

// Over a band: name, planned and realised value.
std::string FlowPointText(const Model& m, const FlowChartData& d, int flow);
// Over a box: the budget identity, "sources = total   ||   uses = total"; over the capital
// market "dKA = ...   ||   dKN = ...". Built from the present flows of the value set shown.
std::string NodeBalanceText(const Model& m, int t, const FlowChartData& d, FlowNode n);

} // namespace tv

#pragma once

#include <array>
#include <string>

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

} // namespace tv

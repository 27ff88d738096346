#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tv {

class Model;
class UserHost;

// Kinds of the period-changed step (the wParam of the period-moved messages).
constexpr int KindLeftEdge = 1;
constexpr int KindCurrentPeriod = 2;
constexpr int KindRightEdge = 3;

// Choices of the shift dialog.
constexpr int ShiftKeepData = 1;
constexpr int ShiftContinueData = 2;
constexpr int ShiftInitialise = 3;

// Modifier of a current-period step: a single period, a wage-bargaining period (Alt) or a
// monetary target period (Ctrl).
enum class StepSize { One, WageRound, MonetaryRound };

// x rounded to the nearest integer, an exact half to the even neighbour.
int Nearest(double x);

// What the shift dialog shows; the texts are bilingual.
struct ShiftOffer {
    bool revolving = false;
    std::string caption;
    int helpContext = 0;
    // Archiving: "von Periode ..." and the track bar for the new right edge.
    std::string fromText;
    int trackMin = 0, trackMax = 0, trackStart = 0;
    // Revolving: the shift counters.
    std::string countText, totalText;
    int choice = ShiftKeepData;
};
std::string ShiftEndText(int trackPosition, int language = 1); // "bis Periode " + position

// One filled block of a policy-bar monitor, in strip coordinates [x0, x1].
struct MonitorSegment {
    int x0 = 0, x1 = 0;
    bool current = false;
};

// The current period, the two edges of the analysis interval, the archiving and revolving
// analysis forms and the interval shift. Every change of the interval goes through
// SetInterval, so the record stays consistent: 0 <= left < right <= 5000, and left = 1 in
// the revolving form. The main window's steps are reached through the hooks below; an
// unset hook does nothing.
class AnalysisInterval {
  public:
    AnalysisInterval(Model& m, UserHost& host);

    // The main window's period-changed step (called after the current period has been
    // clamped into the interval) and model-changed step.
    std::function<void(int kind)> OnPeriodChanged;
    std::function<void()> OnModelChanged;
    // Both edge fields are to show the edges again (in black).
    std::function<void()> OnEdgesShown;
    // The analysis form was set (also when a switch was refused): menu check marks, the
    // visible shift button and the left-edge controls follow it.
    std::function<void(bool revolving)> OnFormChanged;

    Model& model() { return m_; }
    const Model& model() const { return m_; }
    int LeftEdge() const;
    int RightEdge() const;
    int CurrentPeriod() const;
    bool Revolving() const { return revolving_; }
    uint16_t ShiftCount() const { return shiftCount_; }
    int32_t ShiftedPeriods() const { return shiftedPeriods_; }
    int LastShiftChoice() const { return lastChoice_; }

    // The one operation that changes the edges; runs the period-changed step with kind 1
    // when the left edge changed and kind 3 when the right edge changed.
    void SetInterval(int newLeft, int newRight, bool withMessages);
    void SetAnalysisForm(bool revolving);
    // The "AF" button.
    void ToggleAnalysisForm();

    // Clamps the current period into the interval (the first thing the period-changed step
    // does).
    void ClampCurrent();
    // Sets the current period and runs the period-changed step (kind 2); out-of-interval
    // values are clamped there.
    void SetCurrentPeriod(int t);

    void FillUndefinedPeriods(int from, int to);
    void ResetToDefaults(int from, int to);
    // The first period t >= right edge whose successor is undefined, or 5000.
    int LastDefinedPeriod() const;

    // Left-edge field and buttons.
    void EnterLeftEdge(const std::string& text);
    void LeftEdgeStep(int delta);
    void LeftEdgeToCurrent();
    void LeftEdgeToZero(); // double click, archiving only
    void LeftEdgePrevious();

    // Right-edge field and buttons.
    void EnterRightEdge(const std::string& text);
    void RightEdgeUp(); // asks, like Enter, whether the new period continues the data
    void RightEdgeDown();
    void RightEdgeToCurrent();
    void RightEdgeToLastDefined(); // double click
    void RightEdgePrevious();

    // "Komplettes Datenintervall".
    void CoverAllData();

    // Current-period field: returns false when the value was outside the interval and has
    // been corrected (the field keeps the focus then).
    bool EnterCurrentPeriod(const std::string& text);
    // Arrow keys: one period wraps around the interval; a wage or monetary round is taken
    // only when it stays inside.
    void CurrentKeyStep(int direction, StepSize size);
    // Slider buttons and rail clicks: one period clamps; rounds as with the keys.
    void CurrentStep(int direction, StepSize size);
    void CurrentToLeftEdge();
    void CurrentToRightEdge();
    // A click at x on a monitor strip of width w; length is TZR or MZZR.
    void MonitorClick(int x, int width, int length);

    // The interval shift in two halves around the modal dialog: PrepareShift refuses with
    // its message (nothing returned) or returns what the dialog shows; ApplyShift is OK.
    std::optional<ShiftOffer> PrepareShift();
    void ApplyShift(int trackPosition, int choice);

    // Slider and monitor geometry.
    static int SliderPosition(int current, int left, int right, int railWidth, int sliderWidth);
    static int PeriodAtSlider(int position, int left, int right, int railWidth, int sliderWidth);
    static std::vector<MonitorSegment> MonitorSegments(int left, int right, int current, int length,
                                                       int width);
    // The round number in a monitor label.
    static int RoundNumber(int current, int length);
    static std::string WageLabel(int current, int tzr, int language = 1);
    static std::string MoneyLabel(int current, int mzzr);
    static std::string WageStatus(int current, int tzr, int language = 1);
    static std::string MoneyStatus(int current, int mzzr, int language = 1);

  private:
    // The right edge grew from oldRight: fill the undefined new periods, offer to continue
    // the data of the old edge, then the model-changed step.
    void RightEdgeGrew(int oldRight);
    void Refuse(const std::string& text, const std::string& title = "So nicht!##Not possible!");
    void PeriodChanged(int kind);
    void ModelChanged();
    void CopyPeriodInto(int source, int from, int to);
    void StatusOkWhenSolved();
    int RoundLength(StepSize size) const;

    Model& m_;
    UserHost& host_;
    bool revolving_ = false;
    uint16_t shiftCount_ = 0;
    int32_t shiftedPeriods_ = 0;
    std::pair<int, int> archivingEdges_{0, 1}; // the edges before switching to revolving
    int revolvingRight_ = 0;                   // the right edge the switch set
    int lastChoice_ = ShiftKeepData;
};

} // namespace tv

#pragma once

#include "views/GraphWindow.h"
#include "views/SequenceGraphData.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;

namespace tv {

constexpr const char* QuickGraphCaption =
    "Sequenzschnellgrafik##Sequential Analysis: Rapid Diagram";

// The quick sequence graph: up to five quantities (levels or differences to an earlier
// period) over the analysis interval, drawn by the graph engine, each on the left or the
// right axis, with a read-out of the values under the mouse.
class QuickGraphWindow : public GraphWindow {
    Q_OBJECT
  public:
    static constexpr const char* Caption = QuickGraphCaption;
    explicit QuickGraphWindow(WindowFrame& frame);
    ~QuickGraphWindow() override;

    long Message(int msg, long wParam, long lParam) override;

    const QuickSlots& Slots() const { return slots_; }
    // Puts a quantity into a slot (Number 0 empties it) and redraws.
    void SetSlot(int index, const QuickSlot& slot);
    QuickGraphOptions Options() const;
    // The read-out for the period under device x of the paint box.
    void ShowPosition(int deviceX);
    CoordinateSystem& System() { return cs_; }

    std::array<QComboBox*, QuickSlotCount> SeriesBoxes{};
    std::array<QComboBox*, QuickSlotCount> DiffBoxes{};
    std::array<QToolButton*, QuickSlotCount> RightAxisButtons{};
    QToolButton* UntilCurrentButton = nullptr;
    QToolButton* StepsButton = nullptr;
    QToolButton* ZeroLineButton = nullptr;
    // The position-information form.
    QWidget* InfoForm = nullptr;
    QGroupBox* InfoGroup = nullptr;
    std::array<QLabel*, QuickSlotCount> InfoLines{};

  protected:
    void DrawDiagram(const GraphPaint& g) override;
    void LanguageChanged() override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void FillSeriesBox(int index);
    void SlotChosen(int index);
    void Store();

    CoordinateSystem cs_;
    QuickSlots slots_{};
    int infoPeriod_ = -1; // the period of the read-out; none yet
};

} // namespace tv

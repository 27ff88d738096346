#pragma once

// The chart windows of the sequence analysis: sequence charts 1 and 2 (chosen parameters
// and variables over the analysis interval) and the structure graph (demand and supply at
// the left edge, the current period and the right edge).

#include "views/SequenceGraphData.h"
#include "windows/WorkingWindow.h"

#include <array>

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollBar;
class QWidget;

namespace tv {

// "Sequenzgrafik 1" and "Sequenzgrafik 2".
const char* SequenceChartCaption(int tag);
constexpr const char* StructureCaption = "Strukturgrafik##Structural Diagram";

class SequenceChartWindow : public WorkingWindow {
    Q_OBJECT
  public:
    SequenceChartWindow(WindowFrame& frame, int tag);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    int Tag() const { return tag_; }
    // Shows these quantities (nothing chosen shows employment N) and rebuilds the chart.
    void SetSelection(const SeriesFlags& params, const SeriesFlags& vars);
    const SeriesFlags& Params() const { return params_; }
    const SeriesFlags& Vars() const { return vars_; }
    const SequenceChartData& Data() const { return data_; }
    StackMode Stacking() const;
    ChartAxis Axis() const { return axis_; }
    // Opens the selection of parameters (exogenous) or variables (endogenous).
    void Choose(SeriesKind kind);

    QChart* Chart = nullptr;
    QChartView* View = nullptr;
    QPushButton* ExogenousButton = nullptr;
    QPushButton* EndogenousButton = nullptr;
    QCheckBox* PatternBox = nullptr;
    QPushButton* StackButton = nullptr;
    QPushButton* PercentButton = nullptr;
    QLabel* SpacingLabel = nullptr;
    QScrollBar* SpacingBar = nullptr;
    QComboBox* MinimumBox = nullptr;

  private:
    void Rebuild(bool dataChanged = true);
    void Store();
    void ApplyBackground();

    int tag_;
    SeriesFlags params_{}, vars_{};
    bool minimumFromData_ = true; // "0 %" shows DataMin until a control changes
    SequenceChartData data_;
    ChartAxis axis_;
};

class StructureWindow : public WorkingWindow {
    Q_OBJECT
  public:
    explicit StructureWindow(WindowFrame& frame);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    // The period each column shows (left edge, current period, right edge).
    int ColumnPeriod(int column) const { return columns_[column].Period; }
    // How often a column was filled (tests see which columns a message refilled).
    int ColumnFills(int column) const { return columns_[column].Fills; }
    // True when the column's demand (or supply) chart shows bars rather than slices.
    bool DemandAsBars(int column) const { return columns_[column].DemandBars; }
    bool SupplyAsBars(int column) const { return columns_[column].SupplyBars; }
    QChart* DemandChart(int column) const;
    QChart* SupplyChart(int column) const;
    // Shows one column alone, or all three again.
    void ToggleEnlarged(int column);
    int Enlarged() const { return enlarged_; }

    QCheckBox* DemandBox = nullptr;
    QCheckBox* SupplyBox = nullptr;
    QCheckBox* PatternBox = nullptr;
    std::array<QPushButton*, 3> TitleButtons{};

  private:
    struct Column {
        QWidget* Panel = nullptr;
        QChartView* Demand = nullptr;
        QChartView* Supply = nullptr;
        int Period = 0;
        int Fills = 0;
        bool DemandBars = false, SupplyBars = false;
    };
    void Fill(int column, int period);
    void FillAll();
    void UpdateTitles();
    void UpdateVisibility();
    void UpdateLegend();
    void ApplyBackground();
    int PeriodOf(int column) const;

    std::array<Column, 3> columns_;
    int enlarged_ = -1;
    QHBoxLayout* legendRow_ = nullptr;
    std::array<QLabel*, 7> legendSwatches_{};
};

} // namespace tv

#pragma once

// The income-price diagram (aggregate demand and supply) and the income-inflation diagram
// (its dynamic form): reference curves of the left edge, current curves and the adjustment
// path. The curves come from AsAdCurves; this window only holds the controls and paints.

#include "views/AsAdCurves.h"
#include "views/GraphWindow.h"

class QCheckBox;
class QPushButton;
class QScrollBar;

namespace tv {

class PositionForm;

constexpr const char* IncomePriceCaption = "Einkommen-Preis-Grafik##Income-Price-Diagram";
constexpr const char* IncomeInflationCaption =
    "Einkommen-Inflation-Grafik##Income-Inflation-Diagram";

class AsAdWindow : public GraphWindow {
    Q_OBJECT
  public:
    AsAdWindow(WindowFrame& frame, AsAdPlane plane);

    long Message(int msg, long wParam, long lParam) override;

    AsAdPlane Plane() const { return plane_; }
    AsAdOptions Options() const;
    // The curves of the last paint, as drawn.
    const std::vector<NamedPolyline>& Curves() const { return curves_; }
    std::optional<DiagramNumbers> Numbers() const override;
    std::vector<FrameContent> FrameContents() override;

    QPushButton* ReferenceButton = nullptr;
    QCheckBox* DemandBox = nullptr;
    QCheckBox* SupplyBox = nullptr;
    QCheckBox* LongRunBox = nullptr;
    QCheckBox* PathBox = nullptr;
    QCheckBox* WageRoundsBox = nullptr; // income-inflation diagram only
    QScrollBar* RasterBar = nullptr;
    QPushButton* RasterButton = nullptr;
    // The read-out of the point under the mouse (from the paint box's popup menu).
    PositionForm* Position = nullptr;
    void ShowPosition(QPoint device);

  protected:
    void DrawDiagram(const GraphPaint& g) override;
    void LanguageChanged() override;

  private:
    void CurvesChanged();
    void RasterMoved(int position);
    void TakeRaster();
    void UpdateLongRunBox();
    void DrawPathMarks();

    AsAdPlane plane_;
    int raster_ = 54;
    AsAdCache cache_;
    AsAdSamples baselineCache_; // the baseline's samples of the current period
    std::vector<NamedPolyline> curves_;
    CoordinateSystem cs_;
};

} // namespace tv

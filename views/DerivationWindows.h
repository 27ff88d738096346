#pragma once

#include "views/CurveDerivations.h"
#include "views/GraphWindow.h"

#include <array>

class QComboBox;
class QGroupBox;
class QShortcut;
class QToolButton;

namespace tv {

class LegendPanel;

// A curve derivation: four partial diagrams around one quadrant of the income-interest
// diagram, each of which can be enlarged, with the construction of two points of the
// current curve on request.
class CurveDerivationWindow : public GraphWindow {
    Q_OBJECT
  public:
    CurveDerivationWindow(WindowFrame& frame, DerivationKind kind, const char* caption);

    long Message(int msg, long wParam, long lParam) override;
    DerivationKind Kind() const { return kind_; }
    DerivationOptions Options() const;
    // The enlarged quadrant (1..4), 0 while all are shown.
    int Enlarged() const;
    // The quadrant contents of the last paint (index quadrant - 1).
    const std::array<Plot, 4>& LastPlots() const { return plots_; }
    std::optional<DiagramNumbers> Numbers() const override;
    const CoordinateSystem& Quadrant(int k) const { return cs_[k - 1]; }
    // A double click at a paint-box position: back to all quadrants, or that one enlarged.
    void DoubleClickAt(QPoint position);

    QGroupBox* ZoomGroup;
    QComboBox* ZoomBox;
    QToolButton *Point1Button, *Point2Button, *CurveButton;
    LegendPanel* Legend;

  protected:
    void DrawDiagram(const GraphPaint& g) override;
    void LanguageChanged() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // The notices wait until the change that raised them is through, so that one change
    // shows them once, and never between the steps of a period run.
    void ScheduleNotices();
    void ShowNotices();

    DerivationKind kind_;
    std::array<CoordinateSystem, 4> cs_;
    std::array<Plot, 4> plots_;
    QShortcut* curveKey_ = nullptr;
    bool noticesPending_ = false;
};

class LMDerivationWindow : public CurveDerivationWindow {
    Q_OBJECT
  public:
    static constexpr const char* Caption = "Herleitung der LM-Kurve##Derivation of the LM Curve";
    explicit LMDerivationWindow(WindowFrame& f)
        : CurveDerivationWindow(f, DerivationKind::LM, Caption) {}
};

class ISDerivationWindow : public CurveDerivationWindow {
    Q_OBJECT
  public:
    static constexpr const char* Caption = "Herleitung der IS-Kurve##Derivation of the IS Curve";
    explicit ISDerivationWindow(WindowFrame& f)
        : CurveDerivationWindow(f, DerivationKind::IS, Caption) {}
};

class ZDerivationWindow : public CurveDerivationWindow {
    Q_OBJECT
  public:
    static constexpr const char* Caption = "Herleitung der Z-Kurve##Derivation of the Z Curve";
    explicit ZDerivationWindow(WindowFrame& f)
        : CurveDerivationWindow(f, DerivationKind::Z, Caption) {}
};

} // namespace tv

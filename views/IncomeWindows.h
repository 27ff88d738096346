#pragma once

#include "views/GraphWindow.h"
#include "views/IncomeDiagrams.h"

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QRadioButton;
class QToolButton;

namespace tv {

class PositionForm;

// The income-interest diagram: IS, LM, Z and LF curves of the current period and of the
// left edge, and the path of income and interest between them.
class IncomeInterestWindow : public GraphWindow {
    Q_OBJECT
  public:
    explicit IncomeInterestWindow(WindowFrame& frame);
    static constexpr const char* Caption = "Einkommen-Zins-Grafik##Income-Interest-Diagram";

    long Message(int msg, long wParam, long lParam) override;
    IncomeInterestOptions Options() const;
    // The curves of the last paint.
    const Plot& LastPlot() const { return plot_; }
    std::optional<DiagramNumbers> Numbers() const override;
    std::vector<FrameContent> FrameContents() override;
    // Says once which periods have no IS curve (an infinite multiplier).
    void AnnounceNotices();

    QToolButton *ReferenceButton, *PathButton, *WageRoundsButton;
    QCheckBox *ISBox, *LMBox, *ZBox, *LFBox;
    QGroupBox* RateGroup;
    QRadioButton *NominalButton, *RealButton;
    // The read-out of the point under the mouse (from the paint box's popup menu).
    PositionForm* Position;
    void ShowPosition(QPoint device);

  protected:
    void DrawDiagram(const GraphPaint& g) override;
    void LanguageChanged() override;

  private:
    CoordinateSystem cs_;
    Plot plot_;
};

// The income-expenditure diagram: the goods market (demand and supply against income) above
// the capital market (capital supply and demand against income).
class IncomeExpenditureWindow : public GraphWindow {
    Q_OBJECT
  public:
    explicit IncomeExpenditureWindow(WindowFrame& frame);
    static constexpr const char* Caption = "Einkommen-Ausgaben-Grafik##Income-Expenditure-Diagram";

    IncomeExpenditureOptions Options() const;
    const Plot& LastGoodsPlot() const { return goodsPlot_; }
    const Plot& LastCapitalPlot() const { return capitalPlot_; }
    // The plots shown, each curve with its plot's prefix ("goods:", "capital:").
    std::optional<DiagramNumbers> Numbers() const override;
    std::vector<FrameContent> FrameContents() override;

    QToolButton *ReferenceButton, *PathButton;
    QCheckBox *GoodsBox, *CapitalBox, *GrossBox;
    PositionForm* Position;
    void ShowPosition(QPoint device);
    // The mouse position marked in the panels (a cross and a vertical line) until the
    // options change; none: nothing is marked.
    std::optional<QPoint> Mark() const { return mark_; }

  protected:
    void DrawDiagram(const GraphPaint& g) override;
    void LanguageChanged() override;

  private:
    void PanelsChanged();
    void DrawMark();
    std::optional<QPoint> mark_;

    CoordinateSystem goods_, capital_;
    Plot goodsPlot_, capitalPlot_;
};

} // namespace tv

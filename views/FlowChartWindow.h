#pragma once

#include "core/FlowChart.h"
#include "windows/WorkingWindow.h"

#include <QTimer>

#include <optional>

class QLabel;
class QPushButton;
class QToolButton;

namespace tv {

class CommandHost;

constexpr const char* FlowChartCaption = "Sektorales Flussdiagramm##Sectoral Flow Chart";

class FlowCanvas;

// The circular flow of the current period: the sectors as boxes and the revealed flows as
// moving bands between them. The data lives in FlowChartData; this is its view.
class FlowChartWindow : public WorkingWindow {
    Q_OBJECT
  public:
    explicit FlowChartWindow(WindowFrame& frame);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    // Reads the flows of the current period again.
    void Recompute();
    FlowChartData& Data() { return data_; }
    QString TitleText() const;
    int AnimationPhase() const { return phase_; }
    // The mouse at a point of the canvas: updates the info line and the value panels and
    // returns the tool tip (empty where there is nothing to explain).
    QString Point(QPoint device);
    bool Animating() const { return animation_.isActive(); }

    QPushButton* NextButton = nullptr;
    QPushButton* HideLastButton = nullptr;
    QPushButton* AllButton = nullptr;
    QPushButton* NoneButton = nullptr;
    QToolButton* AlwaysAllButton = nullptr;
    QPushButton* ReverseButton = nullptr;
    QToolButton* SlowerButton = nullptr;
    QToolButton* FasterButton = nullptr;
    QPushButton* PlannedPanel = nullptr;
    QPushButton* RealisedPanel = nullptr;
    QLabel* InfoLine = nullptr;
    FlowCanvas* Canvas = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    friend class FlowCanvas;
    void Changed();
    void UpdateAnimation();
    void ApplyTexts();
    void Draw(QPainter& p, const QRect& area) const;

    FlowChartData data_;
    QTimer animation_;
    int phase_ = 0;
};

// The drawing area. Nothing is drawn or mapped while it has no size.
class FlowCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit FlowCanvas(FlowChartWindow& owner);
    // Logical (0..10000) to device coordinates; none while the area is empty.
    static std::optional<QPoint> Map(int x, int y, const QRect& area);
    static std::optional<LogicalPoint> Unmap(QPoint device, const QRect& area);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

  private:
    FlowChartWindow& owner_;
};

void InstallFlowChartCommand(CommandHost& main);

} // namespace tv

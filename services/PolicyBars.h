#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace tv {

class AnalysisInterval;
class PeriodNavigator;

// The monitor strip of a policy bar: one block per wage-bargaining (or monetary target)
// period of the interval, the block of the current period in the button-face colour.
class PolicyMonitor : public QWidget {
    Q_OBJECT

  public:
    PolicyMonitor(AnalysisInterval& rules, bool wage, QWidget* parent);

  signals:
    void doubleClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    int Length() const;

    AnalysisInterval& rules_;
    bool wage_;
};

// The wage-policy bar ("Tarifleiste", TZR = switch 23) or the monetary-policy bar
// ("Geldleiste", MZZR = switch 22): label, back button, monitor, forward button, status.
// Follow() lines the monitor up with the navigator's rail and repaints after every
// period-changed step; the main window only shows and hides the bar and opens the input
// dialog on monitorDoubleClicked().
class PolicyBar : public QWidget {
    Q_OBJECT

  public:
    enum class Kind { Wage, Money };
    PolicyBar(Kind kind, AnalysisInterval& rules, QWidget* parent = nullptr);

    void Follow(PeriodNavigator* navigator);
    // Label, status, button states and the monitor from the model.
    void Refresh();
    // The monitor's left end is the rail's left position plus half the slider width; its
    // width is rail width - slider width + 3.
    void SetRail(int railLeft, int railWidth, int sliderWidth);

    QLabel* Label() const { return label_; }
    QLabel* StatusLabel() const { return status_; }
    QToolButton* BackButton() const { return back_; }
    QToolButton* ForwardButton() const { return forward_; }
    PolicyMonitor* Monitor() const { return monitor_; }

  signals:
    // TZR: the goods-supply dialog on its wage-bargaining page; MZZR: the bond-market
    // dialog on its monetary-policy page.
    void monitorDoubleClicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Place();

    Kind kind_;
    AnalysisInterval& rules_;
    QLabel* label_;
    QToolButton* back_;
    QToolButton* forward_;
    PolicyMonitor* monitor_;
    QLabel* status_;
    int railLeft_ = 75, railWidth_ = 200, sliderWidth_ = 66;
};

} // namespace tv

#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;
class QFrame;

namespace tv {

class AnalysisInterval;

// The period navigator of the main window: the left-edge module, the interval rail with the
// period slider (back button, current-period field, forward button) and the right-edge
// module. A thin view over the interval rules: every input calls a rule, and the rules'
// steps come back through the hooks the navigator installs on them:
//  - period-changed step: the navigator shows the new state, then emits periodChanged(kind);
//  - model-changed step: modelChanged();
//  - analysis form set: the left-edge controls follow, then analysisFormChanged(revolving).
// The main window connects to these signals and never needs to refresh the navigator.
class PeriodNavigator : public QWidget {
    Q_OBJECT

  public:
    explicit PeriodNavigator(AnalysisInterval& rules, QWidget* parent = nullptr);
    ~PeriodNavigator() override;

    AnalysisInterval& rules() { return rules_; }

    // The period-changed step's part of the navigator (clamp, buttons, slider, field),
    // then periodChanged(kind). Whoever moves the period outside the rules calls this.
    void PeriodChanged(int kind);
    // Shows the state without emitting anything (after a model was loaded, for instance).
    void ShowPeriods();
    void ShowEdges();
    void SetRevolving(bool revolving);
    // The small mark under the period field, visible while a policy bar is.
    void SetPolicyMarkVisible(bool visible);

    // Tooltips in the language (1 German, 2 English).
    void SetLanguage(int language);

    // Perioden menu: focus to the current-period, left-edge and right-edge fields.
    void FocusCurrentPeriod();
    void FocusLeftEdge();
    void FocusRightEdge();

    // Rail geometry in navigator coordinates, for the policy bars.
    int RailLeft() const;
    int RailWidth() const;
    int SliderWidth() const;
    int SliderLeft() const; // the slider's left position on the rail

    QLineEdit* LeftEdgeEdit() const { return edLeft_; }
    QLineEdit* CurrentPeriodEdit() const { return edPeriod_; }
    QLineEdit* RightEdgeEdit() const { return edRight_; }
    QToolButton* PeriodBackButton() const { return sbBack_; }
    QToolButton* PeriodForwardButton() const { return sbForward_; }
    QToolButton* LeftEdgeBackButton() const { return sbLeftPrev_; }
    QToolButton* LeftEdgeToCurrentButton() const { return sbLeftCur_; }
    QToolButton* RightEdgeBackButton() const { return sbRightPrev_; }
    QToolButton* RightEdgeToCurrentButton() const { return sbRightCur_; }
    QWidget* Rail() const { return rail_; }
    QWidget* Slider() const { return slider_; }
    QFrame* PolicyMark() const { return mark_; }

  signals:
    void periodChanged(int kind);
    void modelChanged();
    void analysisFormChanged(bool revolving);
    void railGeometryChanged(int left, int width, int sliderWidth);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool LeftKey(QKeyEvent* e);
    bool RightKey(QKeyEvent* e);
    bool PeriodKey(QKeyEvent* e);
    bool PeriodMouse(QEvent* e);
    void RailClick(QMouseEvent* e);
    void PlaceSlider();
    void SetRed(QLineEdit* ed, bool red);
    bool IsRed(QLineEdit* ed) const;
    void LayoutChildren();

    AnalysisInterval& rules_;
    QLineEdit* edLeft_;
    QLineEdit* edPeriod_;
    QLineEdit* edRight_;
    QToolButton* sbBack_;
    QToolButton* sbForward_;
    QToolButton* sbLeftPrev_;
    QToolButton* sbLeftCur_;
    QToolButton* sbRightPrev_;
    QToolButton* sbRightCur_;
    QWidget* rail_;
    QWidget* slider_;
    QFrame* mark_;
    bool pressed_ = false;
    bool dragging_ = false;
    int pressX_ = 0;      // mouse x on the rail at the press
    int pressSlider_ = 0; // slider left at the press
    int dragPeriod_ = 0;
};

} // namespace tv

#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QFrame;
class QGroupBox;
class QPushButton;
class QSlider;
class QRadioButton;
class QCheckBox;
class QToolButton;

namespace tv {

struct SolveOptions;

// "Lösungsstatus": the progress of a long solution with its STOP button. It blocks the
// rest of the program while shown, so that nothing can start a second solution meanwhile.
class SolveInfoWindow : public QDialog {
    Q_OBJECT
  public:
    explicit SolveInfoWindow(QWidget* parent = nullptr);

    void Open(const QString& label, const QString& group, const QString& minimum,
              const QString& maximum);
    void SetMaximumLabel(const QString& maximum);
    void SetFraction(double fraction);
    // Lets the window react (at most every few milliseconds, so that solving stays fast)
    // and tells whether STOP was pressed since the last poll (reading consumes the press).
    bool Poll();
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }
    int GaugeWidth() const;

    QLabel* InfoLabel = nullptr;
    QGroupBox* ProgressGroup = nullptr;
    QLabel* MinimumLabel = nullptr;
    QLabel* MaximumLabel = nullptr;
    QFrame* GaugeFrame = nullptr;
    QFrame* Gauge = nullptr;
    QPushButton* StopButton = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override { stopped_ = true; }

  private:
    void ProcessEvents();
    bool stopped_ = false;
    QElapsedTimer sinceEvents_;
};

// "Lösungssteuerung: Was lösen?": stepwise solving, one period or the rest.
class SolveControlDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SolveControlDialog(QWidget* parent = nullptr);
    // Caption, buttons and their hints in language 1 (German) or 2 (English).
    void SetLanguage(int language);
    QPushButton* NextPeriodButton = nullptr;
    QPushButton* RestIntervalButton = nullptr;
  signals:
    void NextPeriod();
    void RestInterval();
};

// "Lösungsoptionen##Solving options".
class SolveOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    SolveOptionsDialog(const SolveOptions& options, int language, QWidget* parent = nullptr);
    // The options as the dialog shows them.
    void Store(SolveOptions& options) const;
    double Accuracy() const { return accuracy_; }
    static QString AccuracyText(double accuracy, int language);

    QLabel* AccuracyLabel = nullptr;
    QToolButton* AccuracyUpButton = nullptr;
    QToolButton* AccuracyDownButton = nullptr;
    QSlider* IterationsSlider = nullptr;
    QLabel* IterationsLabel = nullptr;
    QRadioButton* AfterEachInputButton = nullptr;
    QRadioButton* OnRequestButton = nullptr;
    QRadioButton* CompleteButton = nullptr;
    QRadioButton* StepwiseButton = nullptr;
    QCheckBox* InfoWindowBox = nullptr;
    QCheckBox* SynchronousBox = nullptr;

  private:
    void ShowAccuracy();
    void ShowIterations();
    double accuracy_;
    int language_;
};

} // namespace tv

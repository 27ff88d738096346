#pragma once

#include "logic/AnalysisInterval.h"

#include <QDialog>

class QLabel;
class QRadioButton;
class QSlider;

namespace tv {

// The modal dialog of the interval shift: in the archiving form the new right edge on a
// track bar, in the revolving form the shift counters; in both the choice what the new
// periods receive.
class ShiftDialog : public QDialog {
    Q_OBJECT

  public:
    // language: 1 German, 2 English (the dialog is modal: no switch while it is open).
    ShiftDialog(const ShiftOffer& offer, int language, QWidget* parent = nullptr);

    int TrackPosition() const;
    int Choice() const;
    int HelpContext() const { return helpContext_; }

    QSlider* TrackBar() const { return track_; }
    QLabel* EndLabel() const { return endLabel_; }
    QRadioButton* ChoiceButton(int choice) const { return choices_[choice - 1]; }

  private:
    QSlider* track_ = nullptr;
    QLabel* endLabel_ = nullptr;
    QRadioButton* choices_[3] = {};
    int helpContext_ = 0;
};

// The whole shift command: the refusals, the dialog, and the shift on OK. Returns whether
// the interval was shifted.
bool ShiftIntervalInteractive(AnalysisInterval& rules, QWidget* parent);

} // namespace tv

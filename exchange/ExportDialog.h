#pragma once

// The dialog that chooses what the worksheet export writes (texts are English only).

#include "logic/WorksheetExport.h"

#include <QDialog>

class QListWidget;
class QRadioButton;
class QSpinBox;
class QCheckBox;
class QPushButton;

namespace tv {

class Model;

class ExportDialog : public QDialog {
    Q_OBJECT
  public:
    ExportDialog(const Model& m, QWidget* parent = nullptr);
    ExportChoice Choice() const;

    QListWidget* Source;
    QListWidget* Destination;

  private:
    void Move(QListWidget* from, QListWidget* to, bool all);
    void UpdateButtons();
    QRadioButton* symbolsOnly_;
    QSpinBox* from_;
    QSpinBox* to_;
    QCheckBox* timeIndex_;
    QPushButton *add_, *remove_, *addAll_, *removeAll_;
};

} // namespace tv

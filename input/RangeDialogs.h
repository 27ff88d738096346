#pragma once

#include <QDialog>

#include <vector>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace tv {

class Model;
class UserHost;

// The copy dialog ("Kopieren": the values of chosen parameters in one source period into
// every period of a range) and its twin, the reset dialog ("Löschen": chosen parameters back
// to their start values over a range). OK writes the model; a refusal keeps the dialog open
// with every choice; an empty choice ends like Cancel.
class ParameterRangeDialog : public QDialog {
    Q_OBJECT
  public:
    enum Mode { Copy, Reset };
    ParameterRangeDialog(Model& m, UserHost& host, Mode mode, QWidget* parent = nullptr);

    Mode DialogMode() const { return mode_; }
    // The chosen parameter numbers, in number order.
    std::vector<int> Chosen() const;
    void Choose(const std::vector<int>& params);
    void Include(bool all);
    void Exclude(bool all);
    // OK: runs the copy or the reset; accepted, rejected (nothing to do) or kept open.
    void Confirm();

    QListWidget* SourceList = nullptr; // not copied / not cleared
    QListWidget* TargetList = nullptr; // copied / cleared
    QPushButton* IncludeButton = nullptr;
    QPushButton* IncludeAllButton = nullptr;
    QPushButton* ExcludeButton = nullptr;
    QPushButton* ExcludeAllButton = nullptr;
    QSpinBox* SourcePeriod = nullptr; // copy only
    QSpinBox* FromPeriod = nullptr;
    QSpinBox* ToPeriod = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* HelpButton = nullptr;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    QString Tr(const char* text) const;
    QWidget* PeriodRow(QSpinBox*& box, const char* label, bool rightEdgeButton);
    void Move(QListWidget* from, QListWidget* to, bool all);
    void UpdateButtons();

    Model& m_;
    UserHost& host_;
    Mode mode_;
};

} // namespace tv

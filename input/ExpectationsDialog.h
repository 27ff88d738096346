#pragma once

#include "core/ExpectationSettings.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

namespace tv {

class Model;
class NumberSpinBox;
class UserHost;

// The modal dialog of the eight expectations: a conventional page per expectation and the
// rule-based page that hands an expectation's series to the rule server. Every control edits
// the model's records at once (through ExpectationEdit); Cancel restores them.
class ExpectationsDialog : public QDialog {
    Q_OBJECT
  public:
    ExpectationsDialog(Model& m, UserHost& host, QWidget* parent = nullptr);

    int Selected() const { return selected_; }
    void Select(int k);
    ExpectationEdit& Edit() { return edit_; }

    // Help: called with a help topic number.
    std::function<void(int)> showHelp;

    // Controls of one conventional page.
    struct ConventionalPage {
        QWidget* page = nullptr;
        QCheckBox* followGeneral = nullptr;                 // wage and profit income only
        std::vector<std::pair<int, QRadioButton*>> methods; // method number, button
        QRadioButton* observed = nullptr;                   // inflation: money growth choice
        QRadioButton* announced = nullptr;
        NumberSpinBox* lags = nullptr;
        QLabel* lagsLabel = nullptr;
        NumberSpinBox* weight = nullptr;
        QRadioButton* Method(int method) const;
    };

    QComboBox* ComboBoxVariables = nullptr;
    QRadioButton* Conventional = nullptr;
    QRadioButton* RuleBased = nullptr;
    QStackedWidget* Pages = nullptr;
    std::array<ConventionalPage, ExpectationCount> Conventionals;
    QWidget* RulePage = nullptr;
    QListWidget* SrcList = nullptr;
    QListWidget* DstList = nullptr;
    QPushButton* MoveOne = nullptr;
    QPushButton* MoveAll = nullptr;
    QPushButton* BackOne = nullptr;
    QPushButton* BackAll = nullptr;
    QSpinBox* SpinEditTo = nullptr;
    QPushButton* ToCurrent = nullptr;
    QPushButton* ToRightEdge = nullptr;
    QPushButton* StartInitialisation = nullptr;
    QPushButton* OpenServer = nullptr;
    QPushButton* CloseServer = nullptr;
    QPushButton* GetAntecedents = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* HelpButton = nullptr;

    void done(int r) override;

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    QWidget* BuildConventionalPage(int k);
    QWidget* BuildRulePage();
    // Shows every control as the records now are (enabling included).
    void Refresh();
    void RefreshConventional(int k);
    void RefreshRulePage();
    void FillLists();
    void MoveSeries(bool toAntecedents, bool all);
    void Initialise();
    void OpenOrShowServer();
    void CloseServerConnection();
    void TakeOverAntecedents();
    void WarnUnservedRuleBases();
    // Runs a rule-server call; an error of the server is shown and the dialog stays usable.
    bool ServerCall(const std::function<void()>& call);
    void OnChoice(QAbstractButton* button, std::function<void()> choose);
    bool Connected() const;
    QString Tr(const char* text) const;
    QString ItemText(int k) const;

    Model& m_;
    UserHost& host_;
    ExpectationEdit edit_;
    int selected_ = 0;
    bool refreshing_ = false;
    bool closed_ = false;
};

} // namespace tv

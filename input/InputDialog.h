#pragma once

#include "core/EquationText.h"
#include "core/InputSession.h"

#include <QDialog>
#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;

class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTableWidget;
class QTextEdit;

namespace tv {

class Model;
class UserHost;

// The equation of the current page: up to three formula lines, the selected parameter
// highlighted wherever it occurs.
class FormulaView : public QWidget {
    Q_OBJECT
  public:
    explicit FormulaView(QWidget* parent = nullptr);
    void SetLines(const EquationLines& lines, int language);
    void SetHighlight(const QString& highlight);
    QString Highlight() const { return highlight_; }
    QStringList Lines() const { return lines_; }
    QSize sizeHint() const override { return {400, 78}; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

  private:
    QStringList lines_;
    QString highlight_;
    int language_ = 1;
};

// The modal input dialog of one sector: a tab per page, the page's equation above a one-row
// grid of its active parameters, a validity box and the page's structural options. Values
// are edited in a working copy (InputSession) and reach the model only when the dialog is
// closed with "Seite Ok" or "Alles Ok". A sector dialog is a small subclass that adds its
// option widgets per page (SetOptionPage), writes switches through SetSwitch and refreshes
// its enabling in PageShown.
class InputDialog : public QDialog {
    Q_OBJECT
  public:
    // permanentDefault: the main window's option that new inputs hold from now on.
    InputDialog(Model& m, UserHost& host, int sector, bool permanentDefault,
                QWidget* parent = nullptr);
    ~InputDialog() override;

    InputSession& Session() { return *session_; }
    int Sector() const { return session_->Sector(); }
    int CurrentPage() const { return page_; }
    InputClose Closing() const { return closing_; }
    // The parameter numbers of the grid's value columns (column k shows the k-th).
    const std::vector<int>& VisibleColumns() const { return columns_; }
    void SelectPage(int page);
    // Enters a typed text for the parameter in value column `column` (1-based) as if typed
    // into the cell and confirmed; returns whether it was accepted.
    bool EnterText(int column, const QString& text);
    // Closes as "Seite Ok" or "Alles Ok"; stays open (returns false) when an entry or the
    // target periods are refused.
    bool CloseWith(InputClose how);

    // Help: called with a help topic number (page topic, else the dialog's).
    std::function<void(int)> showHelp;

    // Controls by role.
    QLabel* FunctionName = nullptr;
    FormulaView* Formula = nullptr;
    QTableWidget* Grid = nullptr;
    QTextEdit* Info = nullptr;
    QGroupBox* Validity = nullptr;
    QRadioButton* Permanent = nullptr;
    QRadioButton* ForPeriods = nullptr;
    QLineEdit* PeriodsEdit = nullptr;
    QLabel* PeriodsLabel = nullptr;
    QStackedWidget* Notebook = nullptr;
    QTabBar* Tabs = nullptr;
    QPushButton* AllOk = nullptr;
    QPushButton* PageOk = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* HelpButton = nullptr;

    void done(int r) override;
    bool Editing() const { return editor_ != nullptr; }
    QLineEdit* Editor() const { return editor_; }

  protected:
    // The option controls of a page (owned by the dialog).
    void SetOptionPage(int page, QWidget* options);
    // Page 1 of the bond and exchange market uses the full width for its options.
    void SetFormulaVisible(bool visible);
    // An option click: writes the switch and shows the page again, so that the grid takes
    // the parameters of the new structure at once.
    void SetSwitch(int k, int value);
    void SetHelpTopics(int dialogTopic, std::vector<int> pageTopics);
    // The help topic of the page shown (the dialog's when the page has none).
    int PageTopic() const;
    // Shows the current page again (formula, grid, validity).
    void ShowPage();
    void ShowPageHelp();
    // Extension points: after a page was shown, after the dialog was closed.
    virtual void PageShown(int /*page*/) {}
    virtual void AfterClose(InputClose /*how*/) {}
    QString Tr(const char* text) const;

    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

    Model& m_;
    UserHost& host_;

  private:
    void BuildWidgets();
    void LayoutColumns();
    void MoveHighlight();
    void SetValueCell(int column, double value);
    // Runs the checks of entries typed but not yet checked; false when one was refused.
    bool CheckPendingEntries();
    // Confirms an entry still open in the cell editor.
    void CommitOpenEdit();
    void CommitPeriodsField();
    void UpdatePeriodsLabel(long long periods);
    void ShowValidity();
    void NextTab(int step);

    std::unique_ptr<InputSession> session_;
    int page_ = 1;
    InputClose closing_ = InputClose::Cancel;
    std::vector<int> columns_;
    std::set<int> pending_; // value columns typed into but not yet checked
    bool filling_ = false;
    bool closed_ = false;
    int dialogTopic_ = 0;
    std::vector<int> pageTopics_;
    std::vector<QWidget*> optionPages_;
    QWidget* emptyOptions_ = nullptr;
    QPointer<QLineEdit> editor_;
};

} // namespace tv

#pragma once

#include "views/SequenceBaseline.h"
#include "views/SequenceData.h"
#include "windows/WorkingWindow.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QTableView>

#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QGroupBox;
class QMenu;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace tv {

class Baseline;
class Model;

constexpr const char* SequenceAbsoluteCaption =
    "Sequenztabelle (Absolutwerte)##Sequential Analysis: Worksheet (Absolute Values)";
constexpr const char* SequenceDifferencesCaption =
    "Sequenztabelle (Differenzen)##Sequential Analysis: Worksheet (Differences)";

// The process-wide state of the two sequence tables: their visible sets (kept while the
// program runs, so a reopened table shows what it showed) and the synchronisation switch.
struct SequenceTableState {
    bool Synchronise = false;
    bool SynchroniseRead = false; // taken from the settings file once
    bool HasSet[2] = {false, false};
    SeriesFlags Sets[2] = {};
    // The comparison columns both tables show while a baseline exists.
    BaselineColumnChoice BaselineColumns;
};
SequenceTableState& SharedSequenceTableState();

// The cells of a sequence table: one row per period, one column per visible variable
// (followed by its comparison columns while there is a baseline). Values are formatted when
// asked for, so long intervals open at once.
class SequenceTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    SequenceTableModel(const Model& m, bool differences, QObject* parent = nullptr);
    // Where the baseline comes from; asked on every cell, so a discarded one is never read.
    void SetBaselineSource(std::function<const Baseline*()> source) {
        baseline_ = std::move(source);
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Refills for the periods [from, to] and the given variables, each with the chosen
    // comparison columns while there is a baseline.
    void Fill(int from, int to, std::vector<int> variables, BaselineColumnChoice choice = {});
    // Re-reads values and colours (model or number format changed).
    void Refresh();
    void SetLanguage(int language) { language_ = language; }
    void SetMarkedColumn(int column);

    int From() const { return from_; }
    int To() const { return to_; }
    int PeriodOfRow(int row) const { return from_ + row; }
    int VariableOfColumn(int column) const { return columns_[column].Var; }
    const SequenceColumn& ColumnAt(int column) const { return columns_[column]; }
    // The variables shown, ascending (one entry per variable, however many columns it has).
    const std::vector<int>& Columns() const { return variables_; }
    const std::vector<SequenceColumn>& TableColumns() const { return columns_; }
    // The value of a cell; none where the baseline has nothing to compare.
    std::optional<double> CellValue(int row, int column) const;
    int MarkedColumn() const { return marked_; }
    bool Differences() const { return differences_; }
    QString CellText(int row, int column) const;

  private:
    const Model& m_;
    bool differences_;
    int language_ = 1;
    int from_ = 0, to_ = -1;
    int marked_ = -1;
    std::vector<int> variables_;
    std::vector<SequenceColumn> columns_;
    std::function<const Baseline*()> baseline_;
};

// "Größenauswahl": moves quantities between a hidden and a visible list.
class SeriesSelectionDialog : public QDialog {
    Q_OBJECT
  public:
    // moneyCreation: switch 18 = 1, under which some parameters carry another name.
    SeriesSelectionDialog(SeriesKind kind, const SeriesFlags& shown, int language,
                          QWidget* parent = nullptr, bool moneyCreation = false);
    SeriesFlags Shown() const { return shown_; }
    void SetShown(const SeriesFlags& shown);

    QListWidget* HiddenList = nullptr;
    QListWidget* VisibleList = nullptr;
    QPushButton* IncludeButton = nullptr;
    QPushButton* IncludeAllButton = nullptr;
    QPushButton* ExcludeButton = nullptr;
    QPushButton* ExcludeAllButton = nullptr;
    QPushButton* OtherTableButton = nullptr; // hidden unless a table dialog
    QCheckBox* SynchroniseBox = nullptr;     // hidden unless a table dialog
    // The comparison columns with the baseline; hidden unless a table dialog.
    QGroupBox* BaselineGroup = nullptr;
    QCheckBox* BaselineValuesBox = nullptr;
    QCheckBox* BaselineDeviationBox = nullptr;
    QCheckBox* BaselinePercentBox = nullptr;
    void SetBaselineChoice(const BaselineColumnChoice& choice);
    BaselineColumnChoice BaselineChoice() const;

    void Include(bool all);
    void Exclude(bool all);

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void Fill();
    void UpdateButtons();
    SeriesKind kind_;
    SeriesFlags shown_;
    int language_;
    bool moneyCreation_;
};

// The absolute or the difference table of the model variables over the analysis interval.
class SequenceTableWindow : public WorkingWindow {
    Q_OBJECT
  public:
    SequenceTableWindow(WindowFrame& frame, bool differences);
    ~SequenceTableWindow() override;

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    // Shows the given variables (an empty set shows income).
    void SetVisible(const SeriesFlags& visible);
    const SeriesFlags& Visible() const { return visible_; }
    // The right-click action: the selection dialog for one row, the statistics otherwise.
    void ContextAction();
    // The statistics of the marked column or the selected rows of the first selected cell.
    std::vector<std::string> SelectionStatistics(std::string* caption = nullptr) const;
    void OpenSelectionDialog();
    // Shows the chosen comparison columns in both tables (they share the choice).
    void SetBaselineColumns(const BaselineColumnChoice& choice);
    // Asks for the periods to print (preset from the selected rows) and prints them.
    void Print();
    // Prints the periods [from, to] in the grid's column order, over as many pages as
    // the rows and columns need.
    void PrintPeriods(int from, int to);

    SequenceTableModel* TableModel = nullptr;
    QTableView* Grid = nullptr;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void Rebuild();
    void ApplyFont();
    // Keeps the visible set for a reopened table and, unless told not to, for the settings file.
    void Remember(bool toSettings = true);
    SequenceTableWindow* OtherTable() const;
    void AddBaselineMenu(QMenu* menu);
    void UpdateBaselineMenu();

    bool differences_;
    SeriesFlags visible_{};
    QAction* baselineValues_ = nullptr;
    QAction* baselineDeviation_ = nullptr;
    QAction* baselinePercent_ = nullptr;
};

// "Zahlenformat": decimals and integer digits of every number shown.
class NumberFormatDialog : public QDialog {
    Q_OBJECT
  public:
    NumberFormatDialog(int decimals, int integerDigits, int language, QWidget* parent = nullptr);
    QSpinBox* DecimalsBox = nullptr;
    QSpinBox* IntegerDigitsBox = nullptr;
};
// Runs the dialog on the model; returns the message bits of a change (bit 0 integer digits,
// bit 1 decimals), 0 for none or Cancel.
int EditNumberFormat(Model& m, QWidget* parent);

} // namespace tv

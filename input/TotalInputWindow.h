#pragma once

#include "core/TotalInput.h"
#include "windows/WorkingWindow.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QPainter;
class QPaintDevice;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabBar;
class QTableView;

namespace tv {

class UserHost;

constexpr const char* TotalInputCaption =
    "Eingabematrix für alle Modellparameter##Input Worksheet for All Model Parameters";

// The sector whose input was last accepted (1..5 a sector dialog, 6 the total input's
// "all" tab, 0 none): the total input shows it after a model change.
int& LastInputSector();

// The cells of the total input for a QTableView: values are read from the sheet when
// painted, so that opening thousands of periods costs nothing up front.
class TotalInputModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    TotalInputModel(TotalInputSheet& sheet, UserHost& host, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Rows and columns changed in the sheet.
    void Reset();
    // Values changed in the sheet (paste, reset, accept, restore).
    void ValuesChanged();
    void SetCurrentPeriod(int period);
    int CurrentPeriod() const { return current_; }
    void SetLanguage(int language) { language_ = language; }
    QString Text(int row, int column) const;
    // The heading of a parameter column: its name, broken before the symbol.
    QString Heading(int column) const;
    const std::string& ColumnName(int column) const;

  signals:
    void edited(int row, int column);

  private:
    TotalInputSheet& sheet_;
    UserHost& host_;
    int current_ = -1;
    int language_ = 1;
};

// "Kopier-Service": how many further periods a paste repeats into.
class RepeatPasteDialog : public QDialog {
    Q_OBJECT
  public:
    RepeatPasteDialog(int period, int maxFurther, int language, QWidget* parent = nullptr);
    // The number of pastes, or -1 for "up to the right edge".
    int Repeat() const;

    QLabel* Label = nullptr;
    QSpinBox* Further = nullptr;
    QCheckBox* ToRightEdge = nullptr;
};

// The total input: every active parameter of a sector (or of all) over every period of the
// analysis interval, edited in place and written together with "Übernehmen".
class TotalInputWindow : public WorkingWindow {
    Q_OBJECT
  public:
    explicit TotalInputWindow(WindowFrame& frame);
    ~TotalInputWindow() override;

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    // The main window's after-input step; opens a sector dialog at a page.
    std::function<void()> afterInput;
    std::function<void(int sector, int page)> openSectorDialog;
    // The closing question with a way back (Escape keeps editing); none: a yes/no question.
    std::function<std::optional<bool>(const std::string& title, const std::string& text)>
        askOrCancel;

    TotalInputSheet& Sheet() { return sheet_; }
    TotalInputModel* TableModel = nullptr;
    QTableView* Grid = nullptr;
    QTabBar* SectorTabs = nullptr;
    QTabBar* PageTabs = nullptr;
    QCheckBox* DetailsBox = nullptr;
    QWidget* DetailsPanel = nullptr;
    QListWidget* DetailList = nullptr;
    QPushButton* DetailsAll = nullptr;
    QPushButton* DetailsNone = nullptr;
    QPushButton* AcceptButton = nullptr;
    QPushButton* RestoreButton = nullptr;
    QMenu* EditMenu = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* PasteRepeatAction = nullptr;
    QAction* PasteSelectionAction = nullptr;
    QAction* ClearAction = nullptr;

    void SelectTabs(int sector, int page);
    int SectorTab() const;
    int PageTab() const;
    // Rebuilds columns and rows from the store; pending edits stay.
    void Rebuild();
    // "Übernehmen" and "Rückgängig".
    void Accept();
    void Restore();
    // With pending edits: asks whether to take them over, and writes (then runs the
    // after-input step, later when `deferred`) or drops them. Returns whether it wrote.
    bool SettleEdits(bool deferred);
    // The context-menu commands on the current cell and selection.
    void CopySelection();
    void Paste(int repeat);
    void PasteRepeated();
    void PasteIntoSelection();
    void ClearSelection();
    void SetShown(int param, bool shown);

    // "Drucken": asks for the periods, then prints their rows over as many pages as needed.
    void PrintTable();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    struct TableBlock {
        int lastRow;
        int lastColumn;
    };
    // Draws the rows and columns from the given ones on that fit into body.
    TableBlock PaintTable(QPainter& p, QPaintDevice* device, const QRect& body, const QFont& font,
                          const QColor& ink, int firstRow, int firstColumn);
    void BuildWidgets();
    void FillTabs();
    void FillDetails();
    void UpdateButtons();
    void UpdateMenu();
    void ShowMenu(const QPoint& globalPos);
    void ScrollToCurrent();
    void ApplyFont();
    void SizeColumns();
    QString Tr(const char* text) const;
    bool SelectionBlock(int& row0, int& row1, int& column0, int& column1) const;

    TotalInputSheet sheet_;
    std::array<int, 7> pageOfSector_{}; // remembered page tab (0-based) per sector tab 1..6
    std::array<bool, 65> shown_{};      // 1..64
    bool filling_ = false;
};

} // namespace tv

#pragma once

#include "windows/ResultTable.h"
#include "windows/WorkingWindow.h"

#include <QFrame>
#include <QTableWidget>

class QAction;

namespace tv {

// The result grid: reports Enter and Shift+Enter, and every change of the room its cells
// have (window resized or maximised, a scroll bar shown or hidden).
class ResultGrid : public QTableWidget {
    Q_OBJECT
  public:
    ResultGrid(int window, QWidget* parent = nullptr);
    int WindowNumber = 1;
  signals:
    void enterPressed(bool shift);
    void viewportResized();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
};

// "Modellergebnisse 1" and "Modellergebnisse 2": the main results of a period and their
// change between two periods, grouped under header rows that open and close.
class ResultWindow : public BaseWindow {
    Q_OBJECT
  public:
    ResultWindow(BaseWindowRole which, WindowFrame& frame);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;
    void SetupPeriods();
    // Fits the columns into the grid's visible width; runs whenever that width or the
    // content changes.
    void FitColumns();
    // The text a cell shows: its own, "<<|>>" for a number or heading too wide for its
    // column, a label shortened with an ellipsis. Row -1 is the heading row.
    QString ShownText(int row, int column) const;

    int WindowNumber() const { return window_; }
    const ResultPeriods& Periods() const { return periods_; }
    const ResultTable& Table() const { return table_; }
    // The content options of the (hidden) menu of the main window.
    static ResultOptions& Options();

    // Shows the deviation from the baseline in the difference columns of both windows (a
    // process-wide content option, like the others).
    void SetBaselineDeviation(bool on);
    QAction* BaselineDeviationEntry = nullptr;
    // "Warum?": opens the explanation of the current row's variable.
    void AskWhy();
    QAction* WhyEntry = nullptr;
    // What the right click at pos (grid viewport coordinates) does before its menu shows.
    void PrepareContextMenu(const QPoint& pos);

    // Opening and closing: the heading toggles all groups, a group header its group.
    void ToggleAll();
    void ToggleGroupAtRow(int gridRow, bool keepCurrentRow);

    QFrame* OuterFrame = nullptr;
    QFrame* InnerFrame = nullptr;
    ResultGrid* Grid = nullptr;

  private:
    void Refill();
    void ApplyFont();
    void SetHint(const char* text);
    void Print();
    void UpdateBaselineEntry();
    void UpdateWhyEntry();

    std::string caption_;
    const char* hint_ = "";
    int window_ = 1;
    bool followsCurrent_ = false;
    ResultPeriods periods_;
    ResultTable table_;
};

} // namespace tv

#pragma once

#include "windows/ResultTable.h"
#include "windows/WorkingWindow.h"

#include <QFrame>
#include <QTableWidget>

namespace tv {

// The result grid: reports Enter and Shift+Enter.
class ResultGrid : public QTableWidget {
    Q_OBJECT
  public:
    ResultGrid(int window, QWidget* parent = nullptr);
    int WindowNumber = 1;
  signals:
    void enterPressed(bool shift);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
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
    void FitColumns();

    int WindowNumber() const { return window_; }
    const ResultPeriods& Periods() const { return periods_; }
    const ResultTable& Table() const { return table_; }
    // The content options of the (hidden) menu of the main window.
    static ResultOptions& Options();

    // Opening and closing: the heading toggles all groups, a group header its group.
    void ToggleAll();
    void ToggleGroupAtRow(int gridRow, bool keepCurrentRow);

    QFrame* OuterFrame = nullptr;
    QFrame* InnerFrame = nullptr;
    ResultGrid* Grid = nullptr;

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    void Refill();
    void ApplyFont();
    void SetHint(const char* text);
    void Print();

    std::string caption_;
    int window_ = 1;
    bool followsCurrent_ = false;
    ResultPeriods periods_;
    ResultTable table_;
};

} // namespace tv

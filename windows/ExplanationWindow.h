#pragma once

#include "core/Explanation.h"
#include "windows/WorkingWindow.h"

#include <memory>

class QLabel;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tv {

class Explainer;

// "Warum?": why a variable of the period a result window shows differs from the period
// before (or from the baseline, when the result windows compare with it). On top the answer
// in one sentence; below, as two views, the tree of the quantities its equation uses, each
// with its contribution to the change and a bar (a variable of any period opens into its
// own equation), and the drivers: the parameter values the change finally comes from.
class ExplanationWindow : public WorkingWindow {
    Q_OBJECT
  public:
    // Explains variable n for the period of result window `window` (1 or 2).
    ExplanationWindow(WindowFrame& frame, int n, int window);
    ~ExplanationWindow() override;

    // Asks about another variable (the window exists once).
    void Ask(int n, int window);
    // Asks about variable n of period t, against the baseline when there is one that covers
    // t (otherwise against t - 1), and shows the drivers.
    void AskDrivers(int n, int t);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    int Variable() const { return variable_; }
    int Period() const { return period_; }
    // The compared period, or -1 for the baseline.
    int ComparedPeriod() const { return previous_; }
    // The visible rows as the picture and the printout show them: one line per row, the
    // cells separated by tabs, the symbol indented by two blanks per level.
    QStringList VisibleRows() const;

    QLabel* Answer = nullptr; // the sentence, or why there is none
    QTabWidget* Views = nullptr;
    QTreeWidget* Tree = nullptr;
    QTreeWidget* DriversView = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Rebuild();
    void Fill(QTreeWidgetItem* item, const ExplanationNode& node);
    void AddChildren(QTreeWidgetItem* item, const ExplanationNode& node);
    void Open(QTreeWidgetItem* item);
    void FillDrivers(const std::vector<Driver>& drivers, double change);
    void ApplyHeadings();

    int variable_ = 0;
    int window_ = 1;
    int period_ = 0;
    int fixedPeriod_ = -1; // the period asked for, or -1: the result window's
    bool preferBaseline_ = false;
    int previous_ = -1;
    bool rebuildDue_ = false;
    std::unique_ptr<Explainer> explainer_;
};

// Opens the explanation window for variable n of result window `window`, or turns the open
// one to it, and brings it to the front.
ExplanationWindow* OpenExplanation(WindowFrame& frame, int n, int window);
// Opens the window on the drivers of variable n of period t (against the baseline when there
// is one), or turns the open one to them.
ExplanationWindow* OpenDrivers(WindowFrame& frame, int n, int t);

} // namespace tv

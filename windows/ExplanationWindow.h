#pragma once

#include "core/Explanation.h"
#include "windows/WorkingWindow.h"

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

namespace tv {

class Explainer;

// "Warum?": why a variable of the period a result window shows differs from the period
// before (or from the baseline, when the result windows compare with it). A tree of the
// quantities its equation uses, each with its contribution to the change and a bar; an
// input that is a variable of the same period opens into its own equation.
class ExplanationWindow : public WorkingWindow {
    Q_OBJECT
  public:
    // Explains variable n for the period of result window `window` (1 or 2).
    ExplanationWindow(WindowFrame& frame, int n, int window);
    ~ExplanationWindow() override;

    // Asks about another variable (the window exists once).
    void Ask(int n, int window);
    // Asks about variable n of period t against the baseline, whatever the result windows
    // show.
    void AskAgainstBaseline(int n, int t);

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

    QTreeWidget* Tree = nullptr;

  private:
    void Rebuild();
    void Fill(QTreeWidgetItem* item, const ExplanationNode& node);
    void Open(QTreeWidgetItem* item);
    void ApplyHeadings();

    int variable_ = 0;
    int window_ = 1;
    int period_ = 0;
    int previous_ = -1;
    int pinnedPeriod_ = -1; // set by AskAgainstBaseline
    std::unique_ptr<Explainer> explainer_;
};

// Opens the explanation window for variable n of result window `window`, or turns the open
// one to it, and brings it to the front.
ExplanationWindow* OpenExplanation(WindowFrame& frame, int n, int window);
// The same for variable n of period t against the baseline.
ExplanationWindow* OpenExplanationAgainstBaseline(WindowFrame& frame, int n, int t);

} // namespace tv

#pragma once

#include "core/Task.h"
#include "windows/WorkingWindow.h"

#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace tv {

// A prediction task as a student works it: first the task sheet (the text and, per
// variable and horizon, "rises", "falls" or "stays" to choose), then, after "Solve", the
// result sheet (each prediction with the actual change from the baseline, right or wrong,
// and "Why?", the drivers of that change).
class TaskWindow : public WorkingWindow {
    Q_OBJECT
  public:
    TaskWindow(WindowFrame& frame, Task task);

    const Task& task() const { return task_; }
    // The prediction chosen for question k (TaskQuestions' order), if any.
    std::optional<Direction> Prediction(size_t k) const;
    // Shows the result sheet for the solved questions.
    void ShowResults(std::vector<TaskQuestion> questions);
    bool ShowingResults() const { return !questions_.empty(); }
    // How many predictions were right; the result sheet's questions.
    int RightCount() const;

    // Applies the task and solves; the main window sets it.
    std::function<void()> OnSolve;

    void RefreshLanguage() override;
    long Message(int msg, long wParam, long lParam) override;

    QPushButton* SolveButton = nullptr;
    // The choice buttons per question (rises, falls, stays) and the "Why?" buttons of the
    // result sheet.
    std::vector<std::vector<QAbstractButton*>> Choices;
    std::vector<QPushButton*> WhyButtons;

  private:
    void Build();
    void BuildTaskSheet(QGridLayout* grid);
    void BuildResultSheet(QGridLayout* grid);

    Task task_;
    std::vector<std::optional<Direction>> predictions_;
    std::vector<TaskQuestion> questions_;
    QWidget* sheet_ = nullptr;
    std::optional<bool> sheetShown_; // which sheet the size fits: false task, true results
};

} // namespace tv

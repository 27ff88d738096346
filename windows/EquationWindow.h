#pragma once

#include "windows/EquationSystem.h"
#include "windows/WorkingWindow.h"

#include <QFrame>
#include <QLabel>
#include <QTreeWidget>

#include <functional>

namespace tv {

// A label that reports double clicks.
class tDoppelKlickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// The equation outline: reports right double clicks on a line and Shift+Enter.
class EquationTree : public QTreeWidget {
    Q_OBJECT
  public:
    using QTreeWidget::QTreeWidget;
  signals:
    void rightDoubleClicked(QTreeWidgetItem* item);
    void toggleRequested();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

// "Gleichungssystem 1" and "Gleichungssystem 2": the equation system of one period as a
// tree with the period's numbers written in.
class EquationWindow : public BaseWindow {
    Q_OBJECT
  public:
    EquationWindow(BaseWindowRole which, WindowFrame& frame);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;
    void Rebuild();

    // Opens input dialog 1..6 (goods demand .. expectations); set by the main window once
    // the input dialogs exist. Without it a right double click opens nothing.
    static std::function<void(int dialog)>& InputDialogOpener();

    int WindowNumber() const { return window_; }
    int ShownPeriod() const { return shown_; }
    const EquationSystem& System() const { return system_; }
    // Opens the dialog page of tree line `index` as a right double click does.
    void OpenLine(int index);
    void ToggleTree();
    // Index of the line the user selected, or -1; pictures and print-outs mark it.
    int SelectedLine() const;

    QFrame* OuterFrame = nullptr;
    QFrame* InnerFrame = nullptr;
    tDoppelKlickLabel* Titel = nullptr;
    EquationTree* Tree = nullptr;

  private:
    void ApplyFont();
    void SetHint(const char* text);
    bool FollowsCurrent() const;
    void Print();

    std::string caption_;
    const char* hint_ = "";
    int window_ = 1;
    int shown_ = 0;
    bool followsCurrent_ = false;
    EquationSystem system_;
};

} // namespace tv

#pragma once

#include "windows/BaseArrangement.h"
#include "windows/WindowMessages.h"

#include <QMdiSubWindow>
#include <QRect>

#include <utility>

class QPainter;
class QPaintDevice;

namespace tv {

class WindowFrame;

// Where PaintTo draws: the window's own screen controls, a printer page or a bitmap.
struct PaintTarget {
    enum Kind { Screen, Printer, Image };
    Kind kind = Screen;
    QPainter* painter = nullptr; // none for Screen
    QPaintDevice* device = nullptr;
    QRect body; // the part of the device the content may use
};

// The base of every child window of the main window: lifetime, the reaction to window
// state changes, and the services the main window reaches by message (minimise, print,
// copy as picture). Subclasses put their content into the sub-window with setWidget()
// and override Message() for the messages they handle, passing the rest on.
class WorkingWindow : public QMdiSubWindow {
    Q_OBJECT
  public:
    explicit WorkingWindow(WindowFrame& frame, QWidget* parent = nullptr);
    ~WorkingWindow() override;

    // Constructs a working window and applies its language once, as every non-base window
    // does after construction (a constructor cannot reach the subclass's override).
    template <class W, class... Args> static W* Create(Args&&... args) {
        W* w = new W(std::forward<Args>(args)...);
        if (!w->IsBaseWindow) w->RefreshLanguage();
        return w;
    }

    // Handles one message; returns 0 (like the platform's handlers). Overrides call the
    // base for every message they do not handle themselves.
    virtual long Message(int msg, long wParam, long lParam);
    // Draws the content onto a target. The base draws nothing.
    virtual void PaintTo(const PaintTarget& target);
    // Re-applies the caption in the current language and rebuilds the content.
    virtual void RefreshLanguage() {}

    bool IsBaseWindow = false;
    Qt::WindowStates SavedWindowState = Qt::WindowNoState;

    WindowFrame& frame() const { return frame_; }

    // The bitmap MSG_COPY_PICTURE puts on the clipboard (also for tests and export).
    QImage RenderPicture(int width, int height);
    // Prints the window as one page with header and footer onto the frame's printer.
    void PrintWindow();

  protected:
    // Starts a print job of the window on the frame's printer and prints its title line;
    // says so and returns false when the printer cannot be started.
    bool BeginPrintJob(QPainter& painter);
    // The same with the title in the given font (enlarged as every page title is).
    bool BeginPrintJob(QPainter& painter, const QFont& titleFont);
    // Text of a picture: the printer font's colour on the printer, black elsewhere.
    QColor TextColour(const PaintTarget& target) const;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void StateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);
    WindowFrame& frame_;
};

// The four permanent base windows (two equation windows, two result windows). Closing
// only minimises them; they tile themselves on MSG_ARRANGE_BASE.
class BaseWindow : public WorkingWindow {
    Q_OBJECT
  public:
    explicit BaseWindow(WindowFrame& frame, QWidget* parent = nullptr);

    long Message(int msg, long wParam, long lParam) override;
    // Which of the four this window is, by its caption in either language.
    BaseWindowRole Which() const;
    void ArrangeBase(int percent);
};

// The four base-window forms. Their content comes with the equation and result windows;
// until then they are empty frames with their captions and design-time sizes.
BaseWindow* CreateBaseWindow(BaseWindowRole which, WindowFrame& frame);

} // namespace tv

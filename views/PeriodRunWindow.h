#pragma once

#include "core/PeriodRun.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QGroupBox;
class QScrollBar;
class QTabWidget;
class QToolButton;

namespace tv {

class CommandHost;

constexpr const char* PeriodRunCaption = "Periodendurchlauf##Dynamic Time Control";

// The small tool window that lets the current period step through the analysis interval.
// A run is driven by a timer and measured on a monotonic clock, so the user interface stays
// responsive between the steps; each step goes through the main window's period-changed
// step, so every open window follows. A run stops when the next step would pass the right
// edge, on Escape, on the pause button, when the window closes or hides, when a modal
// dialog is open, and on a model change.
class PeriodRunWindow : public QWidget {
    Q_OBJECT
    // Read by the main window, which does not know this class.
    Q_PROPERTY(bool running READ Running)
  public:
    explicit PeriodRunWindow(CommandHost& main);
    ~PeriodRunWindow() override;

    void Start();
    void Pause();
    bool Running() const { return running_; }
    PeriodRun& Run() { return run_; }
    void SetDelay(int tenths); // also the scroll bar (0 only programmatically)
    void SetJumpWidth(int periods);
    void RefreshLanguage();
    // Steps taken since the window opened (for measurements).
    long long Steps() const { return steps_; }

    QToolButton* PlayButton = nullptr;
    QToolButton* PauseButton = nullptr;
    QToolButton* BackButton = nullptr;
    QToolButton* ForwardButton = nullptr;
    QTabWidget* Tabs = nullptr;
    QGroupBox* DelayGroup = nullptr;
    QGroupBox* JumpGroup = nullptr;
    QScrollBar* DelayBar = nullptr;
    QScrollBar* JumpBar = nullptr;

  signals:
    void closed();
    void stopped();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void Tick();
    void Step();
    void ShowCaptions();
    int Language() const;

    CommandHost& main_;
    PeriodRun run_;
    QTimer timer_;
    QElapsedTimer clock_;
    bool running_ = false;
    long long steps_ = 0;
};

// Binds "Periodendurchlauf" (F3, checkable) to showing and closing the run window.
void InstallPeriodRunCommand(CommandHost& main);
// The open run window, if any.
PeriodRunWindow* FindPeriodRunWindow(CommandHost& main);

} // namespace tv

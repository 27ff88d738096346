#pragma once

#include "core/UserHost.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QWidget;
class QSoundEffect;

namespace tv {

class Model;
class SolveInfoWindow;

// The core's user interface in real windows: message and question dialogs, the status
// panel, the solution information window with its STOP button, the wait cursor and the
// sounds. What concerns the main window is passed on through the callbacks.
class QtUserHost : public QObject, public UserHost {
    Q_OBJECT
  public:
    QtUserHost(Model& m, QWidget* parent);
    ~QtUserHost() override;

    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string& hint = {}) override;
    bool Ask(const std::string& title, const std::string& text) override;
    bool AskDestructive(const std::string& title, const std::string& text) override;
    // A question that can also be left unanswered (Escape, "Abbrechen"): none then.
    std::optional<bool> AskOrCancel(const std::string& title, const std::string& text);
    // helpContext: the page F1 opens in the question (0: none).
    bool AskWithHint(const std::string& title, const std::string& text, const std::string& hint,
                     bool yesIsDefault = true, int helpContext = 0);
    void PlaySound(const std::string& waveFile) override;
    // Whether the system has a sound output at all.
    static bool HasSoundOutput();
    // Plays a sound and waits until it has ended (at most a few seconds).
    void PlaySoundToEnd(const std::string& waveFile);
    void SetStatus(const std::string& text) override;

    void ProgressOpen(const std::string& label, const std::string& group,
                      const std::string& minimum, const std::string& maximum) override;
    void ProgressSetMaximumLabel(const std::string& maximum) override;
    void ProgressSet(double fraction) override;
    void ProgressHide() override;
    void ProgressShow() override;
    void ProgressClose() override;
    bool StopRequested() override;
    void SetBusy(bool busy) override;

    void BroadcastModelChanged() override;
    void ShowSolveControl(bool visible) override;
    void CurrentPeriodChanged() override;
    void RulesChanged() override;
    void RefreshRuleMonitors() override;

    SolveInfoWindow* InfoWindow() const { return info_; }
    QString Tr(const std::string& bilingual) const;

    bool SoundOn = false;
    QString SoundDirectory; // the program's directory

    // Main-window reactions.
    // The status arrives bilingual: the receiver shows the half of the current language and
    // shows the other half after a language switch.
    std::function<void(const QString&)> onStatus;
    std::function<void()> onBroadcastModelChanged;
    std::function<void(bool)> onShowSolveControl;
    std::function<void()> onCurrentPeriodChanged;
    std::function<void()> onRulesChanged;
    std::function<void()> onRefreshRuleMonitors;

    // Scripted answers for tests and unattended runs: when set, no dialog is shown. Texts
    // arrive translated, with "\r\n" as "\n".
    std::function<bool(const QString& title, const QString& text)> scriptAsk;
    std::function<void(const QString& title, const QString& text)> scriptMessage;
    // The sounds asked for (also when silent), for tests.
    std::function<void(const QString&)> onSound;

  private:
    QString Display(const std::string& bilingual) const;
    Model& m_;
    QWidget* parent_;
    SolveInfoWindow* info_;
    int busyDepth_ = 0;
    std::map<QString, std::unique_ptr<QSoundEffect>> sounds_;
};

} // namespace tv

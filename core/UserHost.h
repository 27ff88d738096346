#pragma once

#include <string>

namespace tv {

// Everything the core says to or asks of the user goes through this interface. The main
// window implements it with real dialogs; the batch tool and the tests script the answers.
// Texts are bilingual ("Deutsch##English"); the host translates them for display.
class UserHost {
  public:
    virtual ~UserHost() = default;

    virtual void ShowMessage(const std::string& title, const std::string& text,
                             const std::string& hint = {}) = 0;
    virtual bool Ask(const std::string& title, const std::string& text) = 0;
    // A question whose "yes" throws work away: a dialog offers "no" as its default, so that
    // Enter keeps the data. Scripted hosts answer it like any question.
    virtual bool AskDestructive(const std::string& title, const std::string& text) {
        return Ask(title, text);
    }
    virtual void PlaySound(const std::string& waveFile) = 0;
    virtual void SetStatus(const std::string& text) = 0;

    // Solution information window: a label, a group caption, minimum and maximum labels,
    // a gauge in 0..1 and a STOP button polled between periods and iterations.
    virtual void ProgressOpen(const std::string& label, const std::string& group,
                              const std::string& minimum, const std::string& maximum) = 0;
    virtual void ProgressSetMaximumLabel(const std::string& maximum) = 0;
    virtual void ProgressSet(double fraction) = 0;
    virtual void ProgressHide() = 0;
    virtual void ProgressShow() = 0;
    virtual void ProgressClose() = 0;
    virtual bool StopRequested() = 0;
    virtual void SetBusy(bool busy) = 0;

    // Main-window steps the solution driver triggers.
    virtual void BroadcastModelChanged() {}
    virtual void ShowSolveControl(bool /*visible*/) {}
    virtual void CurrentPeriodChanged() {}
    virtual void RulesChanged() {}
    virtual void RefreshRuleMonitors() {}
};

// A host that answers every question with a fixed answer and ignores everything else.
class SilentHost : public UserHost {
  public:
    explicit SilentHost(bool answer = true) : answer_(answer) {}
    void ShowMessage(const std::string&, const std::string&, const std::string&) override {}
    bool Ask(const std::string&, const std::string&) override { return answer_; }
    void PlaySound(const std::string&) override {}
    void SetStatus(const std::string& text) override { status = text; }
    void ProgressOpen(const std::string&, const std::string&, const std::string&,
                      const std::string&) override {}
    void ProgressSetMaximumLabel(const std::string&) override {}
    void ProgressSet(double) override {}
    void ProgressHide() override {}
    void ProgressShow() override {}
    void ProgressClose() override {}
    bool StopRequested() override { return false; }
    void SetBusy(bool) override {}

    std::string status; // the last status as the core set it, bilingual

  private:
    bool answer_;
};

} // namespace tv

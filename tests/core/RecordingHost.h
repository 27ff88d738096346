#pragma once

#include "core/Catalogue.h"
#include "core/UserHost.h"

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace tv::test {

// Records everything the core says and answers questions from a script (default: yes).
// Language 0 records the bilingual texts as given, 1 or 2 their German or English half.
class RecordingHost : public UserHost {
  public:
    explicit RecordingHost(int language = 0) : language(language) {}

    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string& hint) override {
        messages.push_back(T(title) + ": " + T(text) + (hint.empty() ? "" : " | " + T(hint)));
    }
    bool Ask(const std::string& title, const std::string& text) override {
        questions.push_back(T(title) + ": " + T(text));
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void PlaySound(const std::string& wave) override { sounds.push_back(wave); }
    void SetStatus(const std::string& text) override { statuses.push_back(T(text)); }
    void ProgressOpen(const std::string& label, const std::string& group, const std::string& min,
                      const std::string& max) override {
        progress.push_back("open " + T(label) + " | " + T(group) + " | " + min + " | " + max);
        windowPolls.push_back(0);
    }
    void ProgressSetMaximumLabel(const std::string& max) override {
        progress.push_back("max " + max);
    }
    void ProgressSet(double f) override { gauge.push_back(f); }
    void ProgressHide() override { progress.push_back("hide"); }
    void ProgressShow() override { progress.push_back("show"); }
    void ProgressClose() override { progress.push_back("close"); }
    bool StopRequested() override {
        if (!windowPolls.empty()) ++windowPolls.back();
        // A search that keeps polling has run away: end the test instead of hanging.
        if (++polls > 1000000) throw std::runtime_error("STOP polled a million times");
        return keepStopping || polls == stopAtPoll;
    }
    void SetBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busyDepth < 0) busyUnbalanced = true;
    }
    void BroadcastModelChanged() override { ++broadcasts; }
    void ShowSolveControl(bool visible) override { controlVisible = visible; }
    void RulesChanged() override { ++ruleNotices; }
    void RefreshRuleMonitors() override { ruleNotices += 10; }

    std::string Status() const { return statuses.empty() ? "" : statuses.back(); }
    std::string T(const std::string& text) const {
        return language == 0 ? text : Translate(text, language);
    }

    std::vector<std::string> messages, questions, sounds, statuses, progress;
    std::vector<double> gauge;
    std::deque<bool> answers;
    long polls = 0;
    std::vector<long> windowPolls; // STOP polls per opened information window
    long stopAtPoll = -1;
    bool keepStopping = false; // STOP reported at every poll
    int broadcasts = 0;
    int ruleNotices = 0; // one per changed rule base, ten per monitor refresh
    int busyDepth = 0;
    bool busyUnbalanced = false;
    bool controlVisible = false;
    int language;
};

} // namespace tv::test

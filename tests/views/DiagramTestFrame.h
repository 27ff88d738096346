#pragma once

// A bare main window for diagram-window tests: the model, a host that records its
// messages, and switches for a running solution and a period run.

#include "TestModels.h"
#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/Settings.h"
#include "services/WindowFrame.h"
#include "windows/WorkingWindow.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QPrinter>

#include <memory>
#include <string>
#include <vector>

namespace tv::test {

// Solved textbook models with a shock in period 5, seen from the left edge 0 at period 12.
inline Model Solved(Model m, int left, int current) {
    SilentHost host;
    Solve(m, host);
    m.Periods.LeftEdge = left;
    m.Periods.CurrentPeriod = current;
    return m;
}

inline Model ClosedMoneyShock() {
    Model m = ClosedISLMModel();
    SetFrom(m, 5, {{par::MNAut, 660}});
    return Solved(m, 0, 12);
}

inline Model OpenFiscalShock() {
    Model m = OpenFlexibleModel();
    SetFrom(m, 5, {{par::GAut, 198}});
    return Solved(m, 0, 12);
}

class MessageHost : public SilentHost {
  public:
    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string&) override {
        // What a German user reads.
        messages.push_back(Translate(title, 1) + " | " + Translate(text, 1));
    }
    std::vector<std::string> messages;
};

class TestFrame : public WindowFrame {
  public:
    explicit TestFrame(Model model) : m(std::move(model)) {
        area.resize(1000, 800);
        area.show();
    }
    Model& model() override { return m; }
    UserHost& host() override { return messages; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return {0, 0, 800, 600}; }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(); }
    QFont screenFont() const override { return QFont(); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return 0; }
    const Settings* userSettings() const override { return &settings; }
    bool solving() const override { return busy; }
    bool periodRunning() const override { return running; }
    const Baseline* baseline() const override { return base.get(); }

    template <class W, class... Args> W* Open(Args... args) {
        W* w = WorkingWindow::Create<W>(*this, args...);
        area.addSubWindow(w);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }

    Model m;
    MessageHost messages;
    QMdiArea area;
    QPrinter printer_;
    Settings settings;
    bool busy = false, running = false;
    std::unique_ptr<Baseline> base; // a frozen baseline run, or none
};

} // namespace tv::test

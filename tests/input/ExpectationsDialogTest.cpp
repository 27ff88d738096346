#include "input/ExpectationsDialog.h"
#include "windows/NumberSpinBox.h"

#include "RecordingHost.h"
#include "TestMainWindow.h"
#include "TestModels.h"
#include "app/MainWindow.h"
#include "core/Catalogue.h"
#include "core/RuleServer.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "input/InputCommands.h"
#include "input/ModelMonitor.h"
#include "services/QtUserHost.h"
#include "windows/EquationSystem.h"
#include "windows/WindowMessages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <stdexcept>

using namespace tv;
using namespace tv::expect;

namespace {

// A server that fails in the call the test names.
class FailingServer : public LeastSquaresRuleServer {
  public:
    void InitialiseRuleBase() override { throw std::runtime_error("rule base locked"); }
    std::vector<std::string> AntecedentList() override { return {"N", "Y", "Quatsch"}; }
};

QListWidgetItem* ItemOf(QListWidget* list, int series) {
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->data(Qt::UserRole).toInt() == series) return list->item(row);
    return nullptr;
}

void MoveToAntecedents(ExpectationsDialog& d, std::initializer_list<int> series) {
    d.SrcList->clearSelection();
    for (int n : series) {
        QListWidgetItem* item = ItemOf(d.SrcList, n);
        QVERIFY(item);
        item->setSelected(true);
    }
    d.MoveOne->click();
}

} // namespace

class ExpectationsDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { DialogStartPage() = {1, 1, 1, 1, 1, 0}; }

    // The enabling rules reach the radio buttons of every page.
    void choicesFollowTheEnablingRules() {
        struct Case {
            const char* what;
            int sw21, sw9;
            int k, method;
            bool enabled;
        };
        const Case cases[] = {
            {"actual income, fixed rates", 0, 1, Income, 1, true},
            {"actual income, flexible rates", 1, 1, Income, 1, false},
            {"actual import value, supply-driven", 0, 0, Imports, 1, false},
            {"synchronised, supply-driven", 0, 0, Imports, 4, true},
            {"synchronised, demand-driven", 0, 1, Imports, 4, false},
            {"extrapolative inflation", 1, 0, Inflation, 2, true},
        };
        for (const Case& c : cases) {
            Model m = test::StartModel();
            m.Switch[21] = static_cast<uint8_t>(c.sw21);
            m.Switch[9] = static_cast<uint8_t>(c.sw9);
            m.Expect[Demand].Method = 2;
            m.Expect[Imports].Method = 2;
            test::RecordingHost host;
            ExpectationsDialog d(m, host);
            d.Select(c.k);
            QCOMPARE(d.Pages->currentIndex(), c.k);
            QVERIFY2(d.Conventionals[c.k].Method(c.method)->isEnabled() == c.enabled, c.what);
        }
    }

    void titleAndPeriodFieldAsShown() {
        Model m = test::StartModel();
        m.Periods.RightEdge = 30;
        test::RecordingHost host;
        for (int language : {1, 2}) {
            m.Language = static_cast<uint8_t>(language);
            ExpectationsDialog d(m, host);
            QCOMPARE(d.windowTitle(), language == 1
                                          ? QStringLiteral("Modellbaudialog: Erwartungen")
                                          : QStringLiteral("Modelling Dialog: Expectations"));
            d.reject();
        }
    }

    void wageIncomeFollowsTheGeneralSettingsWhileTicked() {
        Model m = test::StartModel();
        test::RecordingHost host;
        ExpectationsDialog d(m, host);
        d.Select(WageIncome);
        auto& page = d.Conventionals[WageIncome];
        QVERIFY(page.followGeneral->isChecked());
        QVERIFY(!page.Method(2)->isEnabled());
        d.Select(Income);
        d.Conventionals[Income].Method(2)->click();
        d.Conventionals[Income].lags->setValue(3);
        QCOMPARE(m.Expect[WageIncome].Method, uint8_t(2));
        QVERIFY(page.Method(2)->isChecked());
        QCOMPARE(page.lags->value(), 3);
        d.Select(WageIncome);
        page.followGeneral->click();
        QVERIFY(page.Method(3)->isEnabled());
        page.Method(3)->click();
        d.accept();
        QCOMPARE(m.Expect[WageIncome].Method, uint8_t(3));
        QCOMPARE(m.Expect[WageIncome].OwnSettings, uint8_t(1));
        QCOMPARE(m.Expect[ProfitIncome].Method, uint8_t(2));
        QCOMPARE(DialogStartPage()[5], int(WageIncome));
    }

    void inflationChoosesBetweenObservedAndAnnouncedMoneyGrowth() {
        Model m = test::StartModel();
        test::RecordingHost host;
        ExpectationsDialog d(m, host);
        d.Select(Inflation);
        auto& page = d.Conventionals[Inflation];
        QVERIFY(!page.announced->isEnabled());
        page.Method(4)->click();
        QCOMPARE(m.Expect[Inflation].Method, uint8_t(4));
        page.announced->click();
        QCOMPARE(m.Expect[Inflation].Method, uint8_t(5));
        page.Method(4)->click(); // the money-growth button keeps "announced"
        QCOMPARE(m.Expect[Inflation].Method, uint8_t(5));
        QVERIFY(page.Method(4)->isChecked() && page.announced->isChecked());
    }

    // A rule-based expectation formed through the in-process server changes the solution.
    void ruleBasedExpectationChangesTheSolution() {
        Model m = test::KeynesianModel();
        test::SetFrom(m, 20, {{par::GAut, 150}});
        test::RecordingHost host;
        Solve(m, host);
        const double conventional = m.GetVar(25, var::NErw);
        RuleBaseLink link([] { return std::make_unique<LeastSquaresRuleServer>(); });
        m.Rules = &link;
        {
            ExpectationsDialog d(m, host);
            d.ComboBoxVariables->setCurrentIndex(Demand);
            d.RuleBased->click();
            QCOMPARE(d.Pages->currentWidget(), d.RulePage);
            QVERIFY(!d.StartInitialisation->isEnabled());
            QVERIFY(!d.GetAntecedents->isEnabled());
            MoveToAntecedents(d, {64 + var::N, par::GAut});
            QCOMPARE(d.DstList->count(), 2);
            QCOMPARE(m.Expect[Demand].Antecedents, (std::vector<int32_t>{par::GAut, 64 + var::N}));
            d.ToRightEdge->click();
            d.SpinEditTo->setValue(30);
            QVERIFY(d.StartInitialisation->isEnabled());
            d.StartInitialisation->click();
            QVERIFY(link.Serves(Demand));
            QVERIFY(d.GetAntecedents->isEnabled());
            QCOMPARE(d.OpenServer->text(), QStringLiteral("Show KALIRON"));
            QCOMPARE(m.Expect[Demand].InitTo, 30);
            m.RecalcInterval = 0;
            d.OkButton->click();
        }
        QCOMPARE(m.RecalcInterval, uint8_t(1));
        Solve(m, host);
        QCOMPARE(host.Status(), std::string("Ok"));
        QVERIFY(m.GetVar(25, var::NErw) != conventional);
        QVERIFY(host.messages.empty());
    }

    void cancelRestoresTheRecords() {
        Model m = test::StartModel();
        m.Expect[Imports].Antecedents = {3};
        const Expectations before = m.Expect;
        RuleBaseLink link([] { return std::make_unique<LeastSquaresRuleServer>(); });
        m.Rules = &link;
        test::RecordingHost host;
        m.RecalcInterval = 0;
        {
            ExpectationsDialog d(m, host);
            d.Select(Demand);
            d.Conventionals[Demand].Method(3)->click();
            d.Select(Imports);
            d.RuleBased->click();
            MoveToAntecedents(d, {64 + var::Y});
            d.BackAll->click();
            QCOMPARE(d.DstList->count(), 0);
            d.CancelButton->click();
        }
        for (int k = 0; k < ExpectationCount; ++k) {
            QCOMPARE(m.Expect[k].Method, before[k].Method);
            QCOMPARE(m.Expect[k].RuleBased, before[k].RuleBased);
            QCOMPARE(m.Expect[k].Antecedents, before[k].Antecedents);
        }
        QCOMPARE(m.RecalcInterval, uint8_t(0));
    }

    // Errors of the server are shown, unknown antecedents named, and the dialog goes on.
    void serverFailuresLeaveTheDialogUsable() {
        Model m = test::StartModel();
        RuleBaseLink link([] { return std::make_unique<FailingServer>(); });
        m.Rules = &link;
        test::RecordingHost host;
        ExpectationsDialog d(m, host);
        d.Select(Demand);
        d.RuleBased->click();
        d.GetAntecedents->setEnabled(true); // as if connected elsewhere: says what to do first
        d.GetAntecedents->click();
        QCOMPARE(host.messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(host.messages[0]).contains("Connect to KALIRON"));
        MoveToAntecedents(d, {1});
        d.StartInitialisation->click();
        QCOMPARE(host.messages.size(), size_t(2));
        QVERIFY(QString::fromStdString(host.messages[1]).contains("rule base locked"));
        QVERIFY(d.isEnabled() && d.StartInitialisation->isEnabled());
        d.GetAntecedents->click(); // connected by the failed initialisation
        QVERIFY(QString::fromStdString(host.messages.at(2)).contains("Quatsch"));
        QCOMPARE(m.Expect[Demand].Antecedents, (std::vector<int32_t>{64 + var::Y}));
        QCOMPARE(d.DstList->count(), 1);
        d.CloseServer->click();
        QVERIFY(!link.Serves(Demand));
        QVERIFY(!d.CloseServer->isEnabled());
    }

    void withoutAServerTheServerButtonsAreOff() {
        Model m = test::StartModel();
        test::RecordingHost host;
        ExpectationsDialog d(m, host);
        d.Select(Inflation);
        d.RuleBased->click();
        MoveToAntecedents(d, {64 + var::gP});
        for (QPushButton* b :
             {d.StartInitialisation, d.OpenServer, d.CloseServer, d.GetAntecedents})
            QVERIFY(!b->isEnabled());
        d.OkButton->click(); // the expectation would silently be 0: say so
        QCOMPARE(host.messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(host.messages[0]).contains("Inflationserwartung"));
    }

    void monitorBarsStayInTheirGroup() {
        struct Case {
            int tzr, mzzr;
        };
        for (Case c : {Case{1, 1}, Case{8, 3}, Case{15, 255}, Case{255, 7}}) {
            Model m = test::StartModel();
            m.Switch[23] = static_cast<uint8_t>(c.tzr);
            m.Switch[22] = static_cast<uint8_t>(c.mzzr);
            m.Switch[14] = 1;
            ModelMonitor monitor(m);
            monitor.Tabs->setCurrentIndex(1);
            monitor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&monitor));
            const int inner = monitor.TimeGroup->width() - 2 * ModelMonitor::BarLeft;
            const int basic = monitor.PanelNormPeriode->width();
            for (QLabel* bar : {monitor.PanelTZR, monitor.PanelMZZR}) {
                QVERIFY(bar->geometry().right() < monitor.TimeGroup->width());
                QVERIFY(bar->width() >= basic);
                QVERIFY(bar->width() <= inner);
            }
            if (c.tzr >= 15) QCOMPARE(monitor.PanelTZR->width(), inner);
            if (c.tzr == 1) QCOMPARE(monitor.PanelTZR->width(), basic);
            // The bars show the lengths: one period is a fifteenth of the width.
            QCOMPARE(basic, qRound(inner / 15.0));
            if (c.tzr <= 15) QCOMPARE(monitor.PanelTZR->width(), qRound(inner * c.tzr / 15.0));
            QVERIFY(monitor.BarLabels[1]->text().endsWith(QStringLiteral(" = %1").arg(c.tzr)));
            QCOMPARE(monitor.PanelTZR->palette().color(QPalette::Window), QColor(Qt::red));
        }
    }

    void monitorFollowsModelAndLanguage() {
        Model m = test::StartModel();
        m.Switch[17] = 2;
        ModelMonitor monitor(m);
        QCOMPARE(monitor.Labels[0]->text(), QStringLiteral(": endogen [geldmarkträumend]"));
        m.Switch[17] = 0;
        m.Language = 2;
        monitor.Message(MSG_MODEL_CHANGED, 0, 0);
        QCOMPARE(monitor.Labels[0]->text(), QStringLiteral(": exogenous"));
        QCOMPARE(monitor.windowTitle(), QStringLiteral("Modell-Monitor"));
        monitor.Message(MSG_MONITOR_RELABEL, 0, 0);
        QCOMPARE(monitor.windowTitle(), QStringLiteral("Modelling Monitor"));
        QCOMPARE(monitor.Buttons[3]->text(), QStringLiteral("Wage Level"));
        std::vector<std::pair<int, int>> opened;
        monitor.openDialog = [&opened](int d, int p) { opened.push_back({d, p}); };
        for (QPushButton* b : monitor.Buttons)
            b->click();
        QTest::mouseClick(monitor.PanelMZZR, Qt::LeftButton);
        QCOMPARE(opened, (std::vector<std::pair<int, int>>{
                             {4, 1}, {4, 3}, {2, 3}, {2, 4}, {5, 1}, {4, 3}}));
    }

    // Through the main window: OK runs the model-changed step; the monitor entry is ticked
    // while the monitor is open and the monitor follows an accepted input.
    void commandsOfTheMainWindow() {
        QTemporaryDir dir;
        Model m;
        m.InitialiseForProgramStart();
        RuleBaseLink link([] { return std::make_unique<LeastSquaresRuleServer>(); });
        m.Rules = &link;
        MainWindow w(m, TestProgramOptions(dir.path()));
        InstallInputCommands(w);
        w.userHost().scriptAsk = [](const QString&, const QString&) { return true; };
        w.userHost().scriptMessage = [](const QString&, const QString&) {};
        QSignalSpy done(&w, &MainWindow::startupFinished);
        w.show();
        QVERIFY(done.wait(10000));

        QAction* entry = w.Action(QStringLiteral("MIModellbauErwartungen"));
        QVERIFY(entry->isEnabled());
        bool driven = false;
        QTimer::singleShot(0, this, [&] {
            auto* d = qobject_cast<ExpectationsDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            driven = true;
            d->Select(Demand);
            d->Conventionals[Demand].Method(3)->click();
            d->Conventionals[Demand].weight->setValue(30);
            d->OkButton->click();
        });
        entry->trigger();
        QVERIFY(driven);
        QCOMPARE(m.Expect[Demand].Method, uint8_t(3));
        QVERIFY(w.modelFile().ModelModified);
        QCOMPARE(m.Periods.LastSolved, m.Periods.RightEdge);
        QCOMPARE(w.StatusText(), QStringLiteral("Ok"));

        QAction* monitorEntry = w.Action(QStringLiteral("MIModellbauMonitor"));
        QVERIFY(monitorEntry->isEnabled());
        QVERIFY(!monitorEntry->isChecked());
        monitorEntry->trigger();
        QVERIFY(monitorEntry->isChecked());
        auto* monitor = w.findChild<ModelMonitor*>();
        QVERIFY(monitor && monitor->isVisible());
        monitorEntry->trigger(); // choosing it again shows the open monitor
        QVERIFY(monitor->isVisible() && monitorEntry->isChecked());
        QCOMPARE(monitor->Labels[4]->text(), QStringLiteral(": fest"));
        m.Switch[21] = 1;
        w.ModelChanged();
        QCOMPARE(monitor->Labels[4]->text(), QStringLiteral(": flexibel"));
        w.SetLanguage(2);
        QCOMPARE(monitor->Labels[4]->text(), QStringLiteral(": flexible"));
        monitor->CloseButton->click();
        QTRY_VERIFY(!w.findChild<ModelMonitor*>());
        QVERIFY(!monitorEntry->isChecked());
    }
};

QTEST_MAIN(ExpectationsDialogTest)
#include "ExpectationsDialogTest.moc"

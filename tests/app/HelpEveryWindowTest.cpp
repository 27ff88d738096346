// F1 in every window the program opens, in both languages: each window opens its own help
// page (and section), never the contents. The windows are opened through their menu entries
// in a main window with every layer's commands, over an example with money creation, so that
// every entry is enabled.

#include "OpenedModel.h"
#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "exchange/BookingLink.h"
#include "input/ExpectationsDialog.h"
#include "input/InputCommands.h"
#include "input/InputDialog.h"
#include "input/ModelMonitor.h"
#include "input/TotalInputCommands.h"
#include "logic/HelpPages.h"
#include "money/MoneyCommands.h"
#include "services/HelpSystem.h"
#include "services/QtUserHost.h"
#include "views/AccountSchemeCommands.h"
#include "views/ViewCommands.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tv;

namespace {

struct Opened {
    QString page, anchor, folder;
};

Opened PressF1(QWidget* target) {
    QTest::keyClick(target, Qt::Key_F1);
    HelpWindow* h = HelpSystem::Window();
    if (!h || !h->isVisible()) return {};
    const QString path = h->Browser()->source().toLocalFile();
    return {h->CurrentPage(), h->Browser()->source().fragment(),
            path.section(QLatin1Char('/'), -2, -2)};
}

QString Expected(const char* page, const char* anchor, int language) {
    return QStringLiteral("%1/%2#%3")
        .arg(QString::fromLatin1(HelpLanguageFolder(language)), QString::fromLatin1(page),
             QString::fromLatin1(anchor));
}

QString Got(const Opened& o) {
    return QStringLiteral("%1/%2#%3").arg(o.folder, o.page, o.anchor);
}

} // namespace

class HelpEveryWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    Model m_;
    std::unique_ptr<MainWindow> w_;

    void SetLanguage(int language) {
        w_->Action(language == 1 ? QStringLiteral("MIOptionenDeutsch")
                                 : QStringLiteral("MIOptionenEnglisch"))
            ->trigger();
        QCOMPARE(int(m_.Language), language);
    }

    // Runs a menu entry that shows a modal dialog; while it is open, `press` chooses the
    // widget F1 is pressed in. The dialog is cancelled afterwards.
    Opened InModalDialog(const QString& action, std::function<QWidget*(QDialog*)> press) {
        Opened result;
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            seen = true;
            result = PressF1(press(d));
            HelpSystem::close();
            d->reject();
        });
        w_->Action(action)->trigger();
        if (!seen) qWarning("%s showed no modal dialog", qPrintable(action));
        return result;
    }

  private slots:
    void initTestCase() {
        QVERIFY(test::OpenAsTheProgramDoes(m_, EXAMPLES_DIR "/06-money-creation.TV5"));
        w_ = std::make_unique<MainWindow>(m_, TestProgramOptions(dir_.path()));
        w_->userHost().scriptMessage = [](const QString& title, const QString& text) {
            qWarning("message: %s: %s", qPrintable(title), qPrintable(text));
        };
        InstallExportBookingCommands(*w_);
        InstallInputCommands(*w_);
        InstallTotalInputCommands(*w_);
        InstallViewCommands(*w_);
        InstallMoneyCommands(*w_);
        InstallAccountSchemeCommands(*w_);
        QSignalSpy done(w_.get(), &MainWindow::startupFinished);
        w_->resize(1200, 800);
        w_->show();
        QVERIFY(done.wait(10000));
        HelpSystem::Install(w_.get(), QStringLiteral(HELP_BUILD_DIR),
                            [this] { return int(m_.Language); });
    }

    // The working windows and tool windows of the menus.
    void presentationWindows() {
        struct Case {
            const char* action;
            const char* page;
            const char* anchor;
        };
        const Case cases[] = {
            {"MIAufbTabelleAbsolut", "sequence-table", ""},
            {"MIAufbTabelleDifferenzen", "sequence-table", ""},
            {"MIAufbGrafik1", "sequence-graphs", ""},
            {"MIAufbGrafik2", "sequence-graphs", ""},
            {"MIAufbSchnellgrafik", "sequence-graphs", "rapid"},
            {"MIAufbStruktur", "structure-graph", ""},
            {"MIAufbFluss", "flow-chart", ""},
            {"MIAufbKonten", "account-scheme", ""},
            {"MIAufbGeldSequenz", "money-creation", "worksheet"},
            {"MIAufbGeldKonten", "money-creation", "accounts"},
            {"MIAufbEAGrafik", "income-expenditure", ""},
            {"MIAufbEZGrafik", "is-lm", ""},
            {"MIAufbEPGrafik", "as-ad", ""},
            {"MIAufbEIGrafik", "dynamic-as-ad", ""},
            {"MIAufbKurveIS", "curve-derivations", "is"},
            {"MIAufbKurveLM", "curve-derivations", "lm"},
            {"MIAufbKurveZ", "curve-derivations", "z"},
            {"MIModellbauTotal", "total-input", ""},
        };
        for (int language : {1, 2}) {
            SetLanguage(language);
            for (const Case& c : cases) {
                QAction* a = w_->Action(QString::fromLatin1(c.action));
                QVERIFY2(a && a->isEnabled(), c.action);
                a->trigger();
                QMdiSubWindow* sub = w_->mdiArea()->activeSubWindow();
                QVERIFY2(sub, c.action);
                QWidget* target = sub->focusWidget() ? sub->focusWidget() : sub;
                QCOMPARE(Got(PressF1(target)), Expected(c.page, c.anchor, language));
                HelpSystem::close();
                sub->close();
            }
        }
    }

    void toolWindows() {
        for (int language : {1, 2}) {
            SetLanguage(language);
            // The period run.
            QAction* run = w_->Action(QStringLiteral("MIPeriodenDurchlauf"));
            run->trigger();
            auto* runWindow = w_->findChild<QWidget*>(QStringLiteral("PeriodRunWindow"));
            QVERIFY(runWindow && runWindow->isVisible());
            QCOMPARE(Got(PressF1(runWindow)), Expected("period-run", "", language));
            HelpSystem::close();
            run->trigger();
            // The monitor: the page of the tab shown.
            QAction* monitorEntry = w_->Action(QStringLiteral("MIModellbauMonitor"));
            QVERIFY(monitorEntry->isEnabled());
            monitorEntry->trigger();
            ModelMonitor* monitor = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* m = qobject_cast<ModelMonitor*>(top); m && m->isVisible()) monitor = m;
            QVERIFY(monitor && monitor->isVisible());
            auto* tabs = monitor->findChild<QTabWidget*>();
            QCOMPARE(Got(PressF1(tabs)), Expected("monitor", "structure", language));
            tabs->setCurrentIndex(1);
            QCOMPARE(Got(PressF1(tabs)), Expected("monitor", "time", language));
            HelpSystem::close();
            QPointer<ModelMonitor> closing = monitor;
            monitor->close();
            QTRY_VERIFY(!closing); // deleted on close, so that the entry opens a new one
        }
    }

    // Modal dialogs, and in the input dialogs the focused control's topic before the
    // dialog's.
    void dialogs() {
        struct Case {
            const char* action;
            std::function<QWidget*(QDialog*)> press;
            const char* page;
            const char* anchor;
        };
        auto itself = [](QDialog* d) -> QWidget* {
            return d->focusWidget() ? d->focusWidget() : d;
        };
        auto grid = [](QDialog* d) -> QWidget* { return qobject_cast<InputDialog*>(d)->Grid; };
        auto cancel = [](QDialog* d) -> QWidget* {
            return qobject_cast<InputDialog*>(d)->CancelButton;
        };
        auto expectationPage = [](QDialog* d) -> QWidget* {
            return d->findChild<QStackedWidget*>()->currentWidget();
        };
        auto expectationOk = [](QDialog* d) -> QWidget* {
            return qobject_cast<ExpectationsDialog*>(d)->OkButton;
        };
        const Case cases[] = {
            {"MIOptionenGrafik", itself, "graph-options", ""},
            {"MIOptionenZahlenformat", itself, "sequence-table", "number-format"},
            {"MIDateiExport", itself, "export", ""},
            {"MIDateiValdaEinstellungen", itself, "export", "booking"},
            {"MIBearbeitenKopieren", itself, "copy-clear", "copy"},
            {"MIBearbeitenLoeschen", itself, "copy-clear", "clear"},
            {"MIModellbauNachfrage", grid, "sector-demand", "cat1"},
            {"MIModellbauNachfrage", cancel, "sector-demand", ""},
            {"MIModellbauWertpapiermarkt", cancel, "sector-bonds", ""},
            {"MIModellbauErwartungen", expectationPage, "expectations", "conventional"},
            {"MIModellbauErwartungen", expectationOk, "expectations", ""},
        };
        for (int language : {1, 2}) {
            SetLanguage(language);
            for (const Case& c : cases) {
                QVERIFY2(w_->Action(QString::fromLatin1(c.action))->isEnabled(), c.action);
                const Opened o = InModalDialog(QString::fromLatin1(c.action), c.press);
                QVERIFY2(Got(o) == Expected(c.page, c.anchor, language),
                         qPrintable(QString::fromLatin1(c.action) + QStringLiteral(": ") + Got(o)));
            }
        }
        SetLanguage(1);
    }

    // Pictures of diagram pages in the help window for a look at them
    // (TERVALIS_SCREENSHOTS=folder).
    void screenshots() {
        const QString folder = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
        for (int language : {1, 2}) {
            SetLanguage(language);
            for (int context : {help::IncomeInterest, help::FirstSteps, help::MoneyWorksheet}) {
                HelpSystem::show(context);
                HelpWindow* h = HelpSystem::Window();
                h->resize(1000, 760);
                QTest::qWait(50);
                h->grab().save(QStringLiteral("%1/help-%2-%3.png")
                                   .arg(folder, h->CurrentPage(),
                                        QString::fromLatin1(HelpLanguageFolder(language))));
            }
        }
        HelpSystem::close();
        SetLanguage(1);
    }

    void cleanupTestCase() {
        HelpSystem::close();
        w_.reset();
    }
};

QTEST_MAIN(HelpEveryWindowTest)
#include "HelpEveryWindowTest.moc"

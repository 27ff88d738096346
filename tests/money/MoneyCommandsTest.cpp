// The menu entries of the two windows in the real main window, offscreen.

#include "TestModels.h"

#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "money/MoneyCommands.h"
#include "money/MoneyWindows.h"
#include "services/QtUserHost.h"

#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace tv;

class MoneyCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void openSwitchLanguageAndClose() {
        QTemporaryDir dir;
        Model m = test::OpenFlexibleModel();
        MainWindow w(m, TestProgramOptions(dir.path()));
        QStringList told;
        w.userHost().scriptMessage = [&told](const QString& t, const QString& text) {
            told << t + QStringLiteral(": ") + text;
        };
        InstallMoneyCommands(w);
        QSignalSpy done(&w, &MainWindow::startupFinished);
        w.resize(1000, 700);
        w.show();
        QVERIFY(done.wait(10000));
        m.Periods.CurrentPeriod = 2;
        w.ModelChanged();
        QVERIFY(w.Menu(QStringLiteral("MIAufbGeld"))->isEnabled());

        QAction* sheetEntry = w.Action(QStringLiteral("MIAufbGeldSequenz"));
        QAction* accountsEntry = w.Action(QStringLiteral("MIAufbGeldKonten"));
        QVERIFY(sheetEntry->isEnabled());
        QVERIFY(accountsEntry->isEnabled());
        sheetEntry->trigger();
        accountsEntry->trigger();
        sheetEntry->trigger(); // an open window comes to the front, no second one
        int count = 0;
        for (QMdiSubWindow* s : w.mdiArea()->subWindowList())
            if (s->windowTitle().startsWith(QStringLiteral("Geld- und Kreditschöpfung"))) ++count;
        QCOMPARE(count, 2);
        QPointer<WorkingWindow> sheet = w.FindChild(MoneyWorksheetCaption);
        QPointer<WorkingWindow> accounts = w.FindChild(MoneyAccountsCaption);
        QVERIFY(sheet);
        QVERIFY(accounts);
        QCOMPARE(w.mdiArea()->activeSubWindow(), sheet.data());

        w.SetLanguage(2);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Creation of Money and Credit: Worksheet"));
        QCOMPARE(static_cast<MoneyAccountsWindow*>(accounts.data())->CycleEndButton->text(),
                 QStringLiteral("End of Cycle"));
        w.SetLanguage(1);

        m.Switch[18] = 0;
        w.ModelChanged();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!sheet);
        QVERIFY(!accounts);
        QVERIFY(!told.isEmpty());
        QVERIFY(told.last().startsWith(QStringLiteral("So nicht!: Das Geldangebot")));
    }
};

QTEST_MAIN(MoneyCommandsTest)
#include "MoneyCommandsTest.moc"

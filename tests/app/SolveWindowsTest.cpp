// The solution information window and its STOP button, driven through the core's solver.

#include "app/SolveWindows.h"
#include "app/QtUserHost.h"

#include "TestModels.h"
#include "core/Model.h"
#include "core/Solver.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tv;

class SolveWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void stopIsConsumedWhenRead();
    void stopDuringTheSearchEndsItOnceAndTheIntervalRuns();
};

void SolveWindowsTest::stopIsConsumedWhenRead() {
    SolveInfoWindow info;
    info.Open("label", "group", "0", "10");
    QTest::mouseClick(info.StopButton, Qt::LeftButton);
    QVERIFY(info.Poll());
    QVERIFY(!info.Poll());
    QTest::keyClick(&info, Qt::Key_S);
    QVERIFY(info.Poll());
    QVERIFY(!info.Poll());
    info.close();
}

void SolveWindowsTest::stopDuringTheSearchEndsItOnceAndTheIntervalRuns() {
    // A wage period of 3 and 500 iterations: after STOP the search must still reach the end
    // of a round (iteration 501), and the interval after it must not see the same press.
    Model m = test::KeynesianModel();
    m.Switch[23] = 3;
    m.Options.ShowSolveInfo = 1;
    m.Periods.LastSolved = -1;
    QtUserHost host(m, nullptr);
    QString status;
    QStringList messages;
    host.onStatus = [&status](const QString& s) { status = s; };
    host.scriptMessage = [&messages](const QString& title, const QString&) { messages << title; };
    host.scriptAsk = [](const QString&, const QString&) { return false; };
    bool clicked = false;
    // Runs inside the window's first event processing, before the first iteration.
    QTimer::singleShot(0, [&] {
        clicked = host.InfoWindow()->isVisible();
        QTest::mouseClick(host.InfoWindow()->StopButton, Qt::LeftButton);
    });
    Solve(m, host);
    QVERIFY(clicked);
    // The status comes bilingual; the main window shows the half of its language.
    QCOMPARE(status, QStringLiteral("GG-Lösung ungenau##Equilibrium inexact"));
    QCOMPARE(m.Periods.LastSolved, 100);
    QCOMPARE(messages, QStringList{QStringLiteral("Hinweis")});
    QVERIFY(!host.InfoWindow()->isVisible());
}

QTEST_MAIN(SolveWindowsTest)
#include "SolveWindowsTest.moc"

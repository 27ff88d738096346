// The solution information window and its STOP button, driven through the core's solver.

#include "services/SolveWindows.h"
#include "services/QtUserHost.h"

#include "TestModels.h"
#include "core/Model.h"
#include "core/Solver.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tv;

class SolveWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void stopIsConsumedWhenRead();
    void stopDuringTheSearchEndsItOnceAndTheIntervalRuns();
    void enterKeepsTheDataOfADestructiveQuestion();
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

// Questions of the host in real dialogs: Enter takes the default answer, which for a question
// whose "yes" throws work away is "no".
void SolveWindowsTest::enterKeepsTheDataOfADestructiveQuestion() {
    Model m = test::KeynesianModel();
    QtUserHost host(m, nullptr);
    struct Case {
        std::function<bool()> ask;
        bool answer;
    };
    const Case cases[] = {
        {[&] { return host.AskDestructive("Bestätigung##Confirmation", "Alles löschen?"); }, false},
        {[&] { return host.AskWithHint("Beenden", "Daten verwerfen?", {}, false); }, false},
        {[&] { return host.Ask("Was nun?##Please decide", "Übernehmen?"); }, true},
    };
    for (const Case& c : cases) {
        bool shown = false;
        QTimer::singleShot(0, [&shown] {
            QWidget* box = QApplication::activeModalWidget();
            shown = box != nullptr;
            if (box) QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(c.ask(), c.answer);
        QVERIFY(shown);
    }
}

QTEST_MAIN(SolveWindowsTest)
#include "SolveWindowsTest.moc"

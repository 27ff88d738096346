// The presentations' commands in the main window: the graph options reach every diagram
// and the settings written at program end.

#include "views/ViewCommands.h"
#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "services/QtUserHost.h"
#include "views/DerivationWindows.h"
#include "views/GraphOptionsDialog.h"
#include "views/GraphWindow.h"
#include "views/IncomeWindows.h"
#include "views/PaintBox.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tv;

namespace {

class Plain : public GraphWindow {
  public:
    explicit Plain(WindowFrame& f) : GraphWindow(f, "Probe##Probe") { AddCoordinateSystem(cs); }
    void DrawDiagram(const GraphPaint& g) override {
        TakeRange(cs);
        BeginFrame(cs, g);
        ++draws;
    }
    CoordinateSystem cs;
    int draws = 0;
};

} // namespace

class ViewCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void graphOptionsReachEveryDiagram();
    void diagramEntriesOpenEachWindowOnce();
};

void ViewCommandsTest::graphOptionsReachEveryDiagram() {
    QTemporaryDir dir;
    Model m;
    m.InitialiseForProgramStart();
    MainWindow w(m, TestProgramOptions(dir.path()));
    w.userHost().scriptMessage = [](const QString&, const QString&) {};
    w.userHost().scriptAsk = [](const QString&, const QString&) { return true; };
    InstallViewCommands(w);
    QSignalSpy done(&w, &MainWindow::startupFinished);
    w.resize(1000, 700);
    w.show();
    QVERIFY(done.wait(10000));

    QAction* entry = w.Action(QStringLiteral("MIOptionenGrafik"));
    QVERIFY(entry && entry->isEnabled());
    auto* diagram = static_cast<Plain*>(w.OpenChild(WorkingWindow::Create<Plain>(w)));
    diagram->Box()->grab();
    const int draws = diagram->draws;

    // Cancel changes nothing.
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<GraphOptionsDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->SelectItem(3);
        d->SetColour(0x00FF00);
        d->reject();
    });
    entry->trigger();
    QCOMPARE(w.EditSettings().BackgroundColour, 0xFFFFFF);

    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<GraphOptionsDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->SelectItem(3);
        d->SetColour(0x00FF00);
        d->accept();
    });
    entry->trigger();
    QCOMPARE(w.EditSettings().BackgroundColour, 0x00FF00);
    diagram->Box()->grab();
    QCOMPARE(diagram->draws, draws + 1);
    QCOMPARE(diagram->cs.Background, Colour(0x00FF00));
    w.close();
}

void ViewCommandsTest::diagramEntriesOpenEachWindowOnce() {
    QTemporaryDir dir;
    Model m;
    m.InitialiseForProgramStart();
    MainWindow w(m, TestProgramOptions(dir.path()));
    w.userHost().scriptMessage = [](const QString&, const QString&) {};
    w.userHost().scriptAsk = [](const QString&, const QString&) { return true; };
    InstallViewCommands(w);
    QSignalSpy done(&w, &MainWindow::startupFinished);
    w.resize(1000, 700);
    w.show();
    QVERIFY(done.wait(10000));

    struct Entry {
        const char* action;
        const char* caption;
    };
    for (Entry e : {Entry{"MIAufbEAGrafik", IncomeExpenditureWindow::Caption},
                    Entry{"MIAufbEZGrafik", IncomeInterestWindow::Caption},
                    Entry{"MIAufbKurveIS", ISDerivationWindow::Caption},
                    Entry{"MIAufbKurveLM", LMDerivationWindow::Caption},
                    Entry{"MIAufbKurveZ", ZDerivationWindow::Caption}}) {
        QAction* entry = w.Action(QString::fromLatin1(e.action));
        QVERIFY(entry && entry->isEnabled());
        entry->trigger();
        WorkingWindow* first = w.FindChild(e.caption);
        QVERIFY(first && first->isVisible());
        first->showMinimized();
        entry->trigger();
        QCOMPARE(w.FindChild(e.caption), first);
        QVERIFY(!first->isMinimized());
        int count = 0;
        for (QMdiSubWindow* s : w.findChild<QMdiArea*>()->subWindowList())
            count += s->windowTitle() == first->windowTitle();
        QCOMPARE(count, 1);
    }
    // A model change redraws them without a word (the start model has a finite multiplier).
    w.ModelChanged();
    w.close();
}

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"

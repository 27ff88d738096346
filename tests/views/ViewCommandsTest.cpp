// The presentations' commands in the main window: the graph options reach every diagram
// and the settings written at program end.

#include "views/ViewCommands.h"
#include "app/MainWindow.h"
#include "app/QtUserHost.h"
#include "core/Model.h"
#include "views/GraphOptionsDialog.h"
#include "views/GraphWindow.h"
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
};

void ViewCommandsTest::graphOptionsReachEveryDiagram() {
    QTemporaryDir dir;
    Model m;
    m.InitialiseForProgramStart();
    MainWindowOptions o;
    o.programDirectory = dir.path();
    o.userConfigDirectory = dir.path();
    o.readSettings = false;
    o.writeSettingsAtEnd = false;
    MainWindow w(m, o);
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

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"

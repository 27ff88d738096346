// The chart entries in the main window: each window opens once, and what the windows keep
// reaches the settings file at program end.

#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "services/QtUserHost.h"
#include "views/ChartWindows.h"
#include "views/QuickGraphWindow.h"
#include "views/ViewCommands.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

class ChartCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void entriesOpenOnceAndSettingsReachTheFile();
};

void ChartCommandsTest::entriesOpenOnceAndSettingsReachTheFile() {
    QTemporaryDir dir;
    Model m;
    m.InitialiseForProgramStart();
    MainWindowOptions o = TestProgramOptions(dir.path());
    o.writeSettingsAtEnd = true;
    MainWindow w(m, o);
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
    for (Entry e : {Entry{"MIAufbGrafik1", SequenceChartCaption(1)},
                    Entry{"MIAufbGrafik2", SequenceChartCaption(2)},
                    Entry{"MIAufbSchnellgrafik", QuickGraphCaption},
                    Entry{"MIAufbStruktur", StructureCaption}}) {
        QAction* entry = w.Action(QString::fromLatin1(e.action));
        QVERIFY(entry && entry->isEnabled());
        entry->trigger();
        WorkingWindow* first = w.FindChild(e.caption);
        QVERIFY(first && first->isVisible());
        entry->trigger();
        int count = 0;
        for (QMdiSubWindow* s : w.findChild<QMdiArea*>()->subWindowList())
            count += s->windowTitle() == first->windowTitle();
        QCOMPARE(count, 1);
    }
    auto* quick = qobject_cast<QuickGraphWindow*>(w.FindChild(QuickGraphCaption));
    QVERIFY(quick);
    quick->SetSlot(0, {SeriesKind::Variable, var::YVErw, true, 16});
    auto* chart = qobject_cast<SequenceChartWindow*>(w.FindChild(SequenceChartCaption(2)));
    SeriesFlags params{};
    params[par::GAut] = true;
    chart->SetSelection(params, chart->Vars());
    w.ModelChanged();
    w.close();

    QFile ini(dir.filePath(QStringLiteral("tv5.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    for (const char* line :
         {"[SequRapidGraph]", "Art1=2", "Symbol1=YV,er", "RightAxis1=1", "Diff1=16", "Symbol2=xxx",
          "[SequGraph2]", "P12=1", "E37=1", "[SequGraph1]", "E31=1"})
        QVERIFY2(text.contains(QString::fromLatin1(line)), line);
}

QTEST_MAIN(ChartCommandsTest)
#include "ChartCommandsTest.moc"

// The whole program, as users start it, driven offscreen over one model (a data row: the new
// model or one of the examples): in German and then in English every enabled menu entry and
// function-bar button once (each dialog answered with Escape, windows left open), the
// current period to the left edge, the middle and the right edge, one parameter changed in
// the total input, a baseline frozen and discarded, five steps of the period run, the
// language switched, every window closed and the program ended. It passes when nothing
// crashed and every window that opened has painted. Each row runs as a CTest case of its
// own, so that the rows run side by side.

#include "TestMainWindow.h"
#include "app/Program.h"
#include "core/Model.h"
#include "exchange/BookingLink.h"
#include "input/TotalInputWindow.h"
#include "services/PeriodNavigator.h"
#include "views/PeriodRunWindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

using namespace tv;

namespace {

// Entries the menu sweep leaves to the steps after it: they replace the model, end the
// program, close the window in front or switch the language.
const QSet<QString> kLaterEntries = {
    QStringLiteral("MIDateiNeuesModell"), QStringLiteral("MIDateiBeenden"),
    QStringLiteral("MIFensterSchliessen"), QStringLiteral("MIOptionenDeutsch"),
    QStringLiteral("MIOptionenEnglisch")};

bool IsWindow(QWidget* w) {
    if (qobject_cast<QMdiSubWindow*>(w)) return true;
    const Qt::WindowType type = w->windowType();
    return w->isWindow() && (type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet);
}

// Notes every window that is shown and every window that paints (a widget painting inside
// it counts for the window).
class PaintRecorder : public QObject {
  public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!o->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(o);
        if (e->type() == QEvent::Show && IsWindow(w)) {
            if (!shown.contains(w)) opened.append(QPointer<QWidget>(w));
            shown.insert(w);
        } else if (e->type() == QEvent::Paint) {
            for (QWidget* p = w; p; p = p->parentWidget()) {
                if (IsWindow(p)) painted.insert(p);
                if (p->isWindow()) break;
            }
        }
        return false;
    }

    // Paints every window still open that has not painted yet (a window behind others
    // need not get a paint event of its own offscreen); the windows that still did not
    // paint are returned by title.
    QStringList PaintOpenWindows() {
        QStringList silent;
        for (const QPointer<QWidget>& w : opened) {
            if (!w || painted.contains(w) || !w->isVisible()) continue;
            w->grab();
            if (!painted.contains(w)) silent << w->windowTitle();
        }
        return silent;
    }

    QList<QPointer<QWidget>> opened;
    QSet<QWidget*> shown, painted;
};

// Answers each modal dialog: paints it, then Escape; a dialog that stays is rejected. While
// answerYes is set, a question is answered yes instead (freezing a baseline, the exit).
class DialogAnswerer : public QObject {
  public:
    explicit DialogAnswerer(PaintRecorder& paints) : paints_(paints) {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
        timer_.start();
    }
    bool answerYes = false;
    QStringList answered;

  private:
    void Tick() {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            last_ = nullptr;
            return;
        }
        if (modal != last_) {
            last_ = modal;
            answered << modal->windowTitle();
            modal->grab();
            if (!paints_.painted.contains(modal)) answered << QStringLiteral("<not painted>");
            if (auto* box = qobject_cast<QMessageBox*>(modal); box && answerYes) {
                if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
                    yes->click();
                    return;
                }
            }
            QTest::keyClick(modal, Qt::Key_Escape);
            return;
        }
        // Escape did not answer it.
        if (auto* d = qobject_cast<QDialog*>(modal))
            d->reject();
        else
            modal->close();
    }

    PaintRecorder& paints_;
    QTimer timer_;
    QPointer<QWidget> last_;
};

// The offscreen platform says so at every raise and resize; the rest goes to Qt Test.
QtMessageHandler qtTestHandler = nullptr;
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    qtTestHandler(type, context, text);
}

} // namespace

class ProgramSweepTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void sweep_data();
    void sweep();
    void secondProgramLeavesTheExchangeToTheFirst();

  private:
    void Settle();
    void CheckPainted(const QString& after);
    void SweepCommands(MainWindow& w);
    void Run(QAction* a);
    void MovePeriod(MainWindow& w, int period);
    void ChangeOneParameter(MainWindow& w);
    void RunFiveSteps(MainWindow& w);

    QTemporaryDir runtime_;
    PaintRecorder* paints_ = nullptr;
    QStringList silent_;
    int triggered_ = 0;
};

void ProgramSweepTest::initTestCase() {
    // The exchange server's socket goes to a runtime directory of this run's own, so that
    // sweeps running side by side each serve their own.
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    qtTestHandler = qInstallMessageHandler(QuietOffscreen);
}

void ProgramSweepTest::sweep_data() {
    QTest::addColumn<QString>("example");
    QTest::newRow("new") << QString();
    const QStringList examples = QDir(QStringLiteral(TERVALIS_SOURCE_DIR "/examples"))
                                     .entryList({QStringLiteral("*.TV5")}, QDir::Files, QDir::Name);
    for (const QString& e : examples)
        QTest::newRow(qPrintable(e.section(QLatin1Char('.'), 0, 0))) << e;
}

void ProgramSweepTest::Settle() {
    QTest::qWait(5);
    QCoreApplication::processEvents();
}

void ProgramSweepTest::CheckPainted(const QString& after) {
    for (const QString& title : paints_->PaintOpenWindows())
        silent_ << after + QStringLiteral(": ") + title;
}

void ProgramSweepTest::Run(QAction* a) {
    // The calculator is looked up on the PATH: an empty one gives the message instead of a
    // program started on the machine.
    const bool calculator = a->objectName() == QLatin1String("MIDateiRechner");
    const QByteArray path = qgetenv("PATH");
    if (calculator) qputenv("PATH", QFile::encodeName(runtime_.path()));
    a->trigger();
    if (calculator) qputenv("PATH", path);
    ++triggered_;
    Settle();
    CheckPainted(a->objectName());
}

void ProgramSweepTest::SweepCommands(MainWindow& w) {
    // The function bar first: the menus can hide it.
    QList<QPointer<QToolButton>> buttons;
    for (QToolButton* b : w.FunctionBar->findChildren<QToolButton*>())
        buttons.append(b);
    for (const QPointer<QToolButton>& b : buttons) {
        if (!b || !b->isVisible() || !b->isEnabled()) continue;
        b->click();
        ++triggered_;
        Settle();
        CheckPainted(b->objectName());
    }
    std::function<void(QMenu*)> sweepMenu = [&](QMenu* menu) {
        emit menu->aboutToShow(); // menus fill and enable their entries here
        QList<QPointer<QAction>> actions;
        for (QAction* a : menu->actions())
            actions.append(a);
        for (const QPointer<QAction>& a : actions) {
            if (!a || a->isSeparator() || !a->isVisible()) continue;
            if (a->menu()) {
                sweepMenu(a->menu());
                continue;
            }
            if (!a->isEnabled() || kLaterEntries.contains(a->objectName())) continue;
            Run(a);
        }
        emit menu->aboutToHide();
    };
    for (QAction* top : w.menuBar()->actions())
        if (top->menu()) sweepMenu(top->menu());
}

void ProgramSweepTest::MovePeriod(MainWindow& w, int period) {
    QLineEdit* field = w.Navigator()->CurrentPeriodEdit();
    field->setText(QString::number(period));
    QTest::keyClick(field, Qt::Key_Return);
    Settle();
    QCOMPARE(w.model().Periods.CurrentPeriod, period);
    CheckPainted(QStringLiteral("period %1").arg(period));
}

void ProgramSweepTest::ChangeOneParameter(MainWindow& w) {
    if (!w.FindChild(TotalInputCaption)) w.Action(QStringLiteral("MIModellbauTotal"))->trigger();
    auto* total = qobject_cast<TotalInputWindow*>(w.FindChild(TotalInputCaption));
    QVERIFY(total);
    const int t = w.model().Periods.CurrentPeriod;
    // The first parameter of the first page that takes its value plus one.
    for (int sector = 0; sector < total->SectorTabs->count(); ++sector) {
        total->SelectTabs(sector, 0);
        const int row = t - total->Sheet().FirstPeriod();
        const auto& columns = total->Sheet().Columns();
        for (int c = 0; c < int(columns.size()); ++c) {
            const QModelIndex cell = total->TableModel->index(row, c);
            const double before = w.model().ModelPar(t, columns[c]);
            if (!cell.isValid() || !(cell.flags() & Qt::ItemIsEditable)) continue;
            if (!total->TableModel->setData(cell, QString::number(std::round(before) + 1),
                                            Qt::EditRole))
                continue;
            total->AcceptButton->click();
            Settle();
            QCOMPARE(w.model().ModelPar(t, columns[c]), std::round(before) + 1);
            CheckPainted(QStringLiteral("total input"));
            return;
        }
    }
    QFAIL("no parameter of the total input took a value");
}

void ProgramSweepTest::RunFiveSteps(MainWindow& w) {
    MovePeriod(w, w.model().Periods.LeftEdge);
    PeriodRunWindow* run = FindPeriodRunWindow(w);
    if (!run) {
        w.Action(QStringLiteral("MIPeriodenDurchlauf"))->trigger();
        run = FindPeriodRunWindow(w);
    }
    QVERIFY(run);
    run->show();
    const long long before = run->Steps();
    run->SetJumpWidth(1);
    run->SetDelay(1);
    run->PlayButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(run->Steps() >= before + 5 || !run->Running(), 10000);
    run->PauseButton->click();
    QVERIFY(run->Steps() >= before + 5);
    CheckPainted(QStringLiteral("period run"));
}

void ProgramSweepTest::sweep() {
    QFETCH(QString, example);
    auto program = std::make_unique<TestProgram>();
    QVERIFY(program->dir.isValid());
    // The model is saved by the sweep: a copy, never the shipped file.
    QString file;
    if (!example.isEmpty()) {
        file = program->dir.filePath(example);
        QVERIFY(QFile::copy(QStringLiteral(TERVALIS_SOURCE_DIR "/examples/") + example, file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }
    PaintRecorder paints;
    paints_ = &paints;
    qApp->installEventFilter(&paints);
    DialogAnswerer answers(paints);
    silent_.clear();
    triggered_ = 0;
    {
        MainWindow& w = program->window();
        QVERIFY(program->Start(1200, 800));

        for (const char* language : {"MIOptionenDeutsch", "MIOptionenEnglisch"}) {
            Run(w.Action(QString::fromLatin1(language)));
            if (!file.isEmpty()) {
                w.fileNameProvider = [file](bool, const QString&, const QString&, const QString&) {
                    return file;
                };
                w.onOpenModel();
                w.fileNameProvider = nullptr; // the sweep meets the real file dialogs
                Settle();
            }
            SweepCommands(w);
            const Model& m = w.model();
            for (int t : {m.Periods.LeftEdge, (m.Periods.LeftEdge + m.Periods.RightEdge) / 2,
                          m.Periods.RightEdge})
                MovePeriod(w, t);
            ChangeOneParameter(w);
            answers.answerYes = true;
            w.onFreezeBaseline();
            Settle();
            answers.answerYes = false;
            QVERIFY2(w.baseline(), qPrintable(answers.answered.join(QLatin1Char('\n'))));
            w.onDiscardBaseline();
            Settle();
            QVERIFY(!w.baseline());
            RunFiveSteps(w);
            // New model last (the English pass opens the example again); a question about
            // unsaved changes is answered with Escape.
            Run(w.Action(QStringLiteral("MIDateiNeuesModell")));
        }
        QCOMPARE(int(w.model().Language), 2);
        Run(w.Action(QStringLiteral("MIOptionenDeutsch")));
        QCOMPARE(int(w.model().Language), 1);

        // Every window closed, the one in front through its entry, then the program ends
        // through its Exit entry.
        Run(w.Action(QStringLiteral("MIFensterSchliessen")));
        w.mdiArea()->closeAllSubWindows();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != &w && top->isVisible()) top->close();
        Settle();
        answers.answerYes = true;
        w.Action(QStringLiteral("MIDateiBeenden"))->trigger();
        Settle();
        QVERIFY(!w.isVisible());
        program.reset();
    }
    qApp->removeEventFilter(&paints);
    paints_ = nullptr;
    QVERIFY2(!answers.answered.contains(QStringLiteral("<not painted>")),
             qPrintable(answers.answered.join(QLatin1Char('\n'))));
    QVERIFY2(silent_.isEmpty(), qPrintable(silent_.join(QLatin1Char('\n'))));
    qInfo("%d entries and buttons, %d windows opened, %d dialogs answered", triggered_,
          int(paints.opened.size()), int(answers.answered.size()));
    // The sweep really ran: entries triggered, windows and dialogs opened.
    QVERIFY2(triggered_ > 150, qPrintable(QString::number(triggered_)));
    QVERIFY2(paints.opened.size() > 40, qPrintable(QString::number(paints.opened.size())));
    QVERIFY(answers.answered.size() > 20);
}

void ProgramSweepTest::secondProgramLeavesTheExchangeToTheFirst() {
    auto first = std::make_unique<TestProgram>();
    TestProgram second;
    const QString socket = ExchangeSocketPath(QStringLiteral("TERVALIS"));
    QVERIFY(QFileInfo::exists(socket));
    const QString name = QStringLiteral("MIDateiValdaESA");
    QVERIFY(!first->window().Action(name)->statusTip().contains(QStringLiteral("andere")));
    QVERIFY2(second.window().Action(name)->statusTip().contains(
                 QStringLiteral("andere laufende TERVALIS-Sitzung")),
             qPrintable(second.window().Action(name)->statusTip()));
    second.window().SetLanguage(2);
    QVERIFY(second.window().Action(name)->statusTip().contains(QStringLiteral("Another running")));
    // The first one's socket goes with it.
    first.reset();
    QVERIFY(!QFileInfo::exists(socket));
}

QTEST_MAIN(ProgramSweepTest)
#include "ProgramSweepTest.moc"

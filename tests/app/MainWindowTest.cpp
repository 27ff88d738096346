// The main window as a user drives it: start-up, commands and shortcuts, the two central
// steps, the language switch, the file commands and STOP.

#include "app/MainWindow.h"
#include "RecordingHost.h"
#include "TestMainWindow.h"
#include "app/MainLogic.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "services/PeriodNavigator.h"
#include "services/Printing.h"
#include "services/QtUserHost.h"
#include "services/SolveWindows.h"
#include "windows/WorkingWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tv;

namespace {

struct Sent {
    int msg;
    long w, l;
    bool operator==(const Sent&) const = default;
};

// A child window that records every message it receives.
class Recorder : public WorkingWindow {
  public:
    Recorder(WindowFrame& f, const QString& caption) : WorkingWindow(f) {
        setWindowTitle(caption);
        setWidget(new QWidget);
    }
    long Message(int msg, long w, long l) override {
        log.append({msg, w, l});
        return WorkingWindow::Message(msg, w, l);
    }
    QList<Sent> Of(std::initializer_list<int> msgs) const {
        QList<Sent> out;
        for (const Sent& s : log)
            if (std::find(msgs.begin(), msgs.end(), s.msg) != msgs.end()) out.append(s);
        return out;
    }
    QList<Sent> log;
};

char* toString(const Sent& s) {
    return qstrdup(QStringLiteral("%1(%2,%3)").arg(MessageName(s.msg)).arg(s.w).arg(s.l).toUtf8());
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void startUpSolvesAndShowsOk();
    void menusHaveCaptionsAndShortcuts();
    void shortcutsTrigger();
    void confirmedDialogRunsModelChangedStep();
    void periodChangedStepBroadcastsInOrder();
    void languageSwitchRelabels();
    void halfScreenCycle();
    void zoomCycle();
    void numberFormatBits();
    void baseAssignment();
    void exitQuestion();
    void saveLoadNewThroughCommands();
    void saveAsRefusesOtherExtensions();
    void cancelledDiscardKeepsTheModelUnsaved();
    void keysAndHintsReachTheirCommands();
    void stopInterruptsIntervalRun();
    void solveOptionsDialog();
    void stepwiseSolving();
    void functionBarScrolls();
    void policyBarsAndMoneyWindowsFollowTheStructure();
    void commandLineModelOpensAfterStartUp();
    void openingFromTheMenuSolvesTheModel();
    void revolvingFormDisablesTheLeftEdgeCommand();
    void numbersUseTheLocalesDecimalSeparator();
    void withoutAPrinterPrintingGoesToAPdfFile();
    void screenFontColourFromTheSettings();
    void printCommandAsksFirst();
    void statusAndBackgroundClicks();
    void screenshots();

  private:
    Recorder* AddRecorder(const QString& caption = QStringLiteral("Recorder"));

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Model> m_;
    std::unique_ptr<MainWindow> w_;
    QStringList asked_, told_;
    bool answer_ = true;
    qint64 startupMs_ = 0;
};

void MainWindowTest::init() {
    QElapsedTimer startClock;
    startClock.start();
    CreateTestMainWindow(dir_, m_, w_);
    asked_.clear();
    told_.clear();
    answer_ = true;
    w_->userHost().scriptAsk = [this](const QString& t, const QString& text) {
        asked_ << t + QStringLiteral(": ") + text;
        return answer_;
    };
    w_->userHost().scriptMessage = [this](const QString& t, const QString& text) {
        told_ << t + QStringLiteral(": ") + text;
    };
    QSignalSpy done(w_.get(), &MainWindow::startupFinished);
    w_->resize(1000, 700);
    w_->show();
    QVERIFY(done.wait(10000));
    startupMs_ = startClock.elapsed();
    // Shortcuts need the active window (a virtual X screen has no window manager to give it).
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
}

void MainWindowTest::cleanup() {
    answer_ = true;
    w_->close();
    w_.reset();
    m_.reset();
    dir_.reset();
}

Recorder* MainWindowTest::AddRecorder(const QString& caption) {
    auto* r = new Recorder(*w_, caption);
    w_->mdiArea()->addSubWindow(r);
    r->show();
    return r;
}

void MainWindowTest::startUpSolvesAndShowsOk() {
    qInfo("start-up to the solved main window: %lld ms", startupMs_);
    QCOMPARE(w_->windowTitle(), QStringLiteral("TERVALIS 5.1"));
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QCOMPARE(m_->Periods.LastSolved, m_->Periods.RightEdge);
    bool anyValue = false;
    for (int n = 1; n <= VarCount; ++n)
        anyValue = anyValue || m_->GetVar(100, n) != 0;
    QVERIFY(anyValue);
    QVERIFY(!w_->Action(QStringLiteral("MILoesungUngeloeste"))->isEnabled());
    // The four base windows in their creation order, tiled equally.
    QStringList captions;
    for (QMdiSubWindow* s : w_->mdiArea()->subWindowList(QMdiArea::CreationOrder))
        captions << s->windowTitle();
    QCOMPARE(captions, (QStringList{"Modellergebnisse 2", "Gleichungssystem 2",
                                    "Modellergebnisse 1", "Gleichungssystem 1"}));
    const QRect area = w_->baseArea();
    const auto eq1 = w_->FindChild("Gleichungssystem 1")->geometry();
    QCOMPARE(eq1.topLeft(), QPoint(0, 0));
    QCOMPARE(eq1.width(), qRound(area.width() / 2.0) - 2);
    QVERIFY(w_->Button(QStringLiteral("SBGleichrangig"))->isChecked());
    QVERIFY(w_->Button(QStringLiteral("SBImmerLoesen"))->isChecked());
    QVERIFY(!w_->RuleBar->isVisible());
    QVERIFY(!w_->WageBar->isVisible());
    QVERIFY(told_.isEmpty());
}

void MainWindowTest::menusHaveCaptionsAndShortcuts() {
    const QList<QAction*> actions = w_->findChildren<QAction*>();
    int named = 0;
    for (QAction* a : actions) {
        if (!a->objectName().startsWith(QStringLiteral("MI"))) continue;
        ++named;
        QVERIFY2(!a->text().isEmpty(), qPrintable(a->objectName()));
    }
    QVERIFY(named > 90);
    const QList<std::pair<const char*, QKeySequence>> keys = {
        {"MIDateiDrucken", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"MIDateiRechner", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"MIBearbeitenKopieren", QKeySequence(Qt::CTRL | Qt::Key_K)},
        {"MIBearbeitenAllesLoeschen", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L)},
        {"MIPeriodenAktuell", QKeySequence(Qt::Key_F2)},
        {"MIModellbauNachfrage", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"MILoesungUngeloeste", QKeySequence(Qt::Key_F9)},
        {"MILoesungIntervall", QKeySequence(Qt::CTRL | Qt::Key_F9)},
        {"MILoesungKomplett", QKeySequence(Qt::SHIFT | Qt::Key_F9)},
        {"MIFensterZoom", QKeySequence(Qt::Key_F5)},
        {"MIFensterHalb", QKeySequence(Qt::CTRL | Qt::Key_F5)},
        {"MIFensterSchliessen", QKeySequence(Qt::CTRL | Qt::Key_F4)},
        {"MIFensterGleichrangig", QKeySequence(Qt::Key_F6)},
        {"MIFensterGleichungsdominanz", QKeySequence(Qt::Key_F7)},
        {"MIFensterErgebnisdominanz", QKeySequence(Qt::Key_F8)},
    };
    for (const auto& [name, key] : keys)
        QCOMPARE(w_->Action(QString::fromLatin1(name))->shortcut(), key);
    // Commands of windows that do not exist yet are there but cannot be chosen.
    QVERIFY(!w_->Action(QStringLiteral("MIModellbauNachfrage"))->isEnabled());
    QVERIFY(!w_->Button(QStringLiteral("SBNachfrage"))->isEnabled());
    QVERIFY(!w_->Action(QStringLiteral("MIDateiNeueRegeln"))->isVisible());
    QVERIFY(!w_->Action(QStringLiteral("MIDateiRegelnSpeichern"))->isEnabled());
    QCOMPARE(w_->menuBar()->actions().size(), 9);
}

void MainWindowTest::shortcutsTrigger() {
    Recorder* r = AddRecorder();
    QTest::keyClick(w_.get(), Qt::Key_F8);
    QCOMPARE(r->Of({MSG_ARRANGE_BASE}), (QList<Sent>{{MSG_ARRANGE_BASE, 50, 0}}));
    QVERIFY(w_->Button(QStringLiteral("SBErgebnisdominanz"))->isChecked());
    QVERIFY(!w_->Button(QStringLiteral("SBGleichrangig"))->isChecked());
    const QRect area = w_->baseArea();
    const int hh = qRound(area.height() * 50 / 200.0);
    QCOMPARE(w_->FindChild("Modellergebnisse 1")->geometry(),
             QRect(0, hh - 2, qRound(area.width() / 2.0) - 2, area.height() - hh - 2));
    // F9 with nothing due does nothing; Shift+F9 recalculates everything.
    QTest::keyClick(w_.get(), Qt::Key_F9, Qt::ShiftModifier);
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QCOMPARE(r->Of({MSG_MODEL_CHANGED_EQ, MSG_MODEL_CHANGED}),
             (QList<Sent>{{MSG_MODEL_CHANGED_EQ, 1, 1}, {MSG_MODEL_CHANGED, 1, 1}}));
    // Ctrl+F4 on an ordinary child closes it for good.
    QPointer<Recorder> guard = r;
    w_->mdiArea()->setActiveSubWindow(r);
    QTest::keyClick(w_.get(), Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(guard.isNull());

    // From the current-period field, Ctrl+Home and Ctrl+End go to the edge fields (the menu
    // wins over the field) and leave the current period where it is.
    PeriodNavigator* nav = w_->Navigator();
    const int current = m_->Periods.CurrentPeriod;
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    for (auto [key, target] :
         {std::pair{Qt::Key_Home, nav->LeftEdgeEdit()}, {Qt::Key_End, nav->RightEdgeEdit()}}) {
        QTest::keyClick(w_.get(), Qt::Key_F2);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(nav->CurrentPeriodEdit()));
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(target));
        QCOMPARE(m_->Periods.CurrentPeriod, current);
    }
    QVERIFY(told_.isEmpty());
}

void MainWindowTest::confirmedDialogRunsModelChangedStep() {
    Recorder* r = AddRecorder();
    m_->Options.SolveAfterInput = 0;
    MarkUnsolvedFrom(*m_, 49);
    QDialog cancelled;
    QTimer::singleShot(0, &cancelled, &QDialog::reject);
    QVERIFY(!w_->RunInputDialog(cancelled));
    QVERIFY(r->log.isEmpty());
    QVERIFY(!w_->modelFile().ModelModified);

    QDialog confirmed;
    QTimer::singleShot(0, &confirmed, &QDialog::accept);
    QVERIFY(w_->RunInputDialog(confirmed));
    QCOMPARE(r->log, (QList<Sent>{{MSG_MODEL_CHANGED_EQ, 1, 1}, {MSG_MODEL_CHANGED, 1, 1}}));
    QCOMPARE(w_->StatusText(), QStringLiteral("Lösen: t > 49"));
    QVERIFY(w_->modelFile().ModelModified);
    QCOMPARE(w_->ModelFilePanel->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(w_->Action(QStringLiteral("MILoesungUngeloeste"))->isEnabled());

    // With the solve option on, the step solves at once.
    r->log.clear();
    m_->Options.SolveAfterInput = 1;
    QDialog again;
    QTimer::singleShot(0, &again, &QDialog::accept);
    QVERIFY(w_->RunInputDialog(again));
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QCOMPARE(m_->Periods.LastSolved, 100);
    QCOMPARE(r->Of({MSG_MODEL_CHANGED_EQ, MSG_MODEL_CHANGED}),
             (QList<Sent>{{MSG_MODEL_CHANGED_EQ, 1, 1}, {MSG_MODEL_CHANGED, 1, 1}}));

    // Structure no longer allowing actual-value expectations: switched, with a message.
    told_.clear();
    m_->Switch[21] = 1; // flexible exchange rates
    m_->Expect[0].Method = 1;
    w_->ModelChanged();
    QCOMPARE(m_->Expect[0].Method, uint8_t(2));
    QVERIFY(!told_.isEmpty() && told_.first().startsWith(QStringLiteral("Achtung!")));
}

void MainWindowTest::periodChangedStepBroadcastsInOrder() {
    Recorder* r = AddRecorder();
    w_->interval().SetCurrentPeriod(5);
    QCOMPARE(m_->Periods.CurrentPeriod, 5);
    QCOMPARE(r->log, (QList<Sent>{{MSG_PERIOD_MOVED_EQ, 2, 1}, {MSG_PERIOD_MOVED, 2, 1}}));
    r->log.clear();
    w_->interval().SetCurrentPeriod(500); // clamped into the interval
    QCOMPARE(m_->Periods.CurrentPeriod, 100);
    QCOMPARE(r->log.size(), 2);
    // Pair 2 shows the right edge until it follows the current period.
    QCOMPARE(w_->assignedPeriod(2), 100);
    QCOMPARE(w_->assignedPeriod(1), 0);
}

void MainWindowTest::languageSwitchRelabels() {
    QCOMPARE(w_->Menu(QStringLiteral("MIDatei"))->title(), QStringLiteral("&Datei"));
    w_->Action(QStringLiteral("MIOptionenEnglisch"))->trigger();
    QCOMPARE(m_->Language, uint8_t(2));
    QCOMPARE(w_->Menu(QStringLiteral("MIDatei"))->title(), QStringLiteral("&File"));
    QCOMPARE(w_->Action(QStringLiteral("MIDateiModellLaden"))->text(),
             QStringLiteral("&Open Model ..."));
    QCOMPARE(w_->Action(QStringLiteral("MIFensterErgebnisdominanz"))->text(),
             QStringLiteral("Enlarge Model &Results"));
    QCOMPARE(w_->Button(QStringLiteral("SBBF1"))->text(), QStringLiteral("BW1= tL"));
    QCOMPARE(w_->Button(QStringLiteral("SBImmerLoesen"))->text(), QStringLiteral("Always solve?"));
    QVERIFY(w_->Button(QStringLiteral("SBModellSpeichern"))->toolTip().startsWith("Save model"));
    // The navigator and Qt's own texts follow.
    QCOMPARE(w_->Navigator()->LeftEdgeEdit()->toolTip(),
             QStringLiteral("Left border of the analysis interval"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    QVERIFY(w_->ChildExists("Gleichungssystem 1##Equation System 1"));
    QVERIFY(w_->FindChild("Equation System 1") != nullptr);
    QVERIFY(w_->Action(QStringLiteral("MIOptionenEnglisch"))->isChecked());
    QVERIFY(!w_->Action(QStringLiteral("MIOptionenDeutsch"))->isChecked());
    w_->Action(QStringLiteral("MIOptionenDeutsch"))->trigger();
    QCOMPARE(w_->FindChild("Gleichungssystem 1##")->windowTitle(),
             QStringLiteral("Gleichungssystem 1"));
    QCOMPARE(w_->Button(QStringLiteral("SBBF2"))->text(), QStringLiteral("BF2 = tR"));
    QCOMPARE(w_->Navigator()->LeftEdgeEdit()->toolTip(), QStringLiteral("Linker Analyserand"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
    QCOMPARE(w_->Action(QStringLiteral("MIOptionenSound"))->isEnabled(),
             QtUserHost::HasSoundOutput());
}

void MainWindowTest::halfScreenCycle() {
    Recorder* r = AddRecorder();
    w_->mdiArea()->setActiveSubWindow(r);
    r->showMaximized();
    const int W = w_->mdiArea()->viewport()->width(), H = w_->mdiArea()->viewport()->height();
    const QList<QRect> expected = {
        QRect(0, 0, W / 2 - 2, H - 4), QRect(W / 2 - 2, 0, W / 2 - 2, H - 4),
        QRect(0, 0, W - 4, H / 2 - 2), QRect(0, H / 2 - 2, W - 4, H / 2 - 2)};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(w_.get(), Qt::Key_F5, Qt::ControlModifier);
        QVERIFY(!r->isMaximized());
        QCOMPARE(r->geometry(), expected[i % 4]);
    }
    // Another window starts its own cycle.
    Recorder* other = AddRecorder(QStringLiteral("Other"));
    w_->mdiArea()->setActiveSubWindow(other);
    QTest::keyClick(w_.get(), Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(other->geometry(), expected[0]);
}

void MainWindowTest::zoomCycle() {
    Recorder* r = AddRecorder();
    w_->mdiArea()->setActiveSubWindow(r);
    w_->onZoom();
    QVERIFY(r->isMaximized());
    w_->onZoom();
    QVERIFY(r->isMinimized());
    QVERIFY(w_->mdiArea()->activeSubWindow() != r);
    w_->mdiArea()->setActiveSubWindow(r);
    w_->onZoom();
    QVERIFY(!r->isMinimized() && !r->isMaximized());
}

void MainWindowTest::numberFormatBits() {
    Recorder* r = AddRecorder();
    w_->DecimalPlacesBox->setCurrentIndex(4);
    QCOMPARE(r->log, (QList<Sent>{{MSG_NUMBER_FORMAT, 2, 1}}));
    QCOMPARE(m_->DecimalPlaces, uint8_t(4));
    r->log.clear();
    w_->IntegerDigitsBox->setCurrentIndex(3);
    QCOMPARE(r->log, (QList<Sent>{{MSG_NUMBER_FORMAT, 1, 1}}));
    r->log.clear();
    w_->SetNumberFormat(5, 6);
    QCOMPARE(r->log, (QList<Sent>{{MSG_NUMBER_FORMAT, 3, 1}}));
    QCOMPARE(w_->IntegerDigitsBox->currentIndex(), 5);
    QCOMPARE(NumberFormatBits(1, 1, 2, 2), 0);
}

void MainWindowTest::baseAssignment() {
    Recorder* r = AddRecorder();
    w_->interval().SetCurrentPeriod(7);
    r->log.clear();
    w_->Button(QStringLiteral("SBBF1"))->click();
    QCOMPARE(r->log, (QList<Sent>{{MSG_ASSIGN_EQ, 1, 0}, {MSG_ASSIGN_RES, 1, 0}}));
    QCOMPARE(w_->Button(QStringLiteral("SBBF1"))->text(), QStringLiteral("BF1= t"));
    QVERIFY(w_->Action(QStringLiteral("MIOptionenBF1Aktuell"))->isChecked());
    QCOMPARE(w_->assignedPeriod(1), 7);
    r->log.clear();
    w_->Action(QStringLiteral("MIOptionenBF2Aktuell"))->trigger();
    QCOMPARE(r->log, (QList<Sent>{{MSG_ASSIGN_EQ, 2, 0}, {MSG_ASSIGN_RES, 2, 0}}));
    QVERIFY(w_->Button(QStringLiteral("SBBF2"))->isChecked());
    QCOMPARE(w_->assignedPeriod(2), 7);
}

void MainWindowTest::exitQuestion() {
    QCOMPARE(QString::fromStdString(ExitQuestion(true, false, 2)),
             QStringLiteral("Current data have not yet been saved.\nStill exit TERVALIS?"));
    QCOMPARE(QString::fromStdString(ExitQuestion(false, true, 1)),
             QStringLiteral("Aktuelle Regeln noch nicht gesichert.\nTERVALIS trotzdem beenden?"));
    QCOMPARE(QString::fromStdString(ExitQuestion(true, true, 2)),
             QStringLiteral("Current data and rules have not yet been saved.\nStill exit "
                            "TERVALIS?"));
    QCOMPARE(QString::fromStdString(ExitQuestion(false, false, 2)),
             QStringLiteral("Really exit TERVALIS?"));

    w_->SetLanguage(2);
    w_->modelFile().ModelModified = true;
    answer_ = false;
    QVERIFY(!w_->close());
    QVERIFY(w_->isVisible());
    QCOMPARE(asked_.last(), QStringLiteral("Are you sure?: Current data have not yet been "
                                           "saved.\nStill exit TERVALIS?"));
    answer_ = true;
    QVERIFY(w_->close());
    QVERIFY(w_->Closing());
}

void MainWindowTest::saveLoadNewThroughCommands() {
    const QString file = dir_->filePath(QStringLiteral("Lehrbuch Modell.TV5"));
    QStringList dialogs;
    w_->fileNameProvider = [&](bool save, const QString& title, const QString&, const QString&) {
        dialogs << (save ? QStringLiteral("save: ") : QStringLiteral("open: ")) + title;
        return file;
    };
    m_->SetPar(10, 1, 123.5);
    MarkUnsolvedFrom(*m_, 9);
    w_->ModelChanged();
    QVERIFY(w_->modelFile().ModelModified);
    w_->onSaveModelAs();
    QVERIFY(QFileInfo::exists(file));
    QVERIFY(!w_->modelFile().ModelModified);
    QCOMPARE(w_->ModelFilePanel->text(), QStringLiteral("Lehrbuch Modell"));
    QCOMPARE(w_->ModelFilePanel->palette().color(QPalette::WindowText), QColor(Qt::black));

    // New model: the parameter is back at its default and the window shows a solved model.
    w_->onNewModel();
    QCOMPARE(m_->GetPar(10, 1), DefaultPar(10, 1));
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QVERIFY(!w_->modelFile().ModelModified);

    // Loading an unsaved model asks the last-chance question first; no means drop.
    m_->SetPar(10, 1, 1.0);
    w_->ModelChanged();
    answer_ = false;
    asked_.clear();
    w_->onOpenModel();
    QVERIFY(asked_.first().startsWith(QStringLiteral("Sicherheitsabfrage")));
    QCOMPARE(m_->GetPar(10, 1), 123.5);
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QVERIFY(!w_->modelFile().ModelModified);
    QCOMPARE(dialogs, (QStringList{"save: Modell speichern", "open: Modelldatei laden"}));

    // Ctrl+click on the file panel saves, keeping the backup.
    m_->SetPar(10, 1, 77.0);
    w_->ModelChanged();
    QTest::mouseClick(w_->ModelFilePanel, Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(QFileInfo::exists(dir_->filePath(QStringLiteral("Lehrbuch Modell.ST5"))));
    QVERIFY(!w_->modelFile().ModelModified);
}

// A path that asks before the model goes, answered so that it stays, leaves it unsaved.
void MainWindowTest::cancelledDiscardKeepsTheModelUnsaved() {
    w_->fileNameProvider = [](bool, const QString&, const QString&, const QString&) {
        return QString(); // every file dialog is cancelled
    };
    const std::pair<bool, void (MainWindow::*)()> paths[] = {{false, &MainWindow::onOpenModel},
                                                             {true, &MainWindow::onNewModel},
                                                             {false, &MainWindow::onClearAll}};
    for (const auto& [answer, command] : paths) {
        m_->SetPar(10, 1, 123.5);
        w_->ModelChanged();
        answer_ = answer;
        (w_.get()->*command)();
        QVERIFY(w_->modelFile().ModelModified);
        QCOMPARE(m_->GetPar(10, 1), 123.5);
    }
}

// Menu shortcuts win over the period fields' editing keys; menu mnemonics are unique; no
// button says it is not available yet.
void MainWindowTest::keysAndHintsReachTheirCommands() {
    for (Qt::Key key : {Qt::Key_X, Qt::Key_V, Qt::Key_E}) {
        QKeyEvent override(QEvent::ShortcutOverride, key, Qt::ControlModifier);
        QApplication::sendEvent(w_->Navigator()->CurrentPeriodEdit(), &override);
        QVERIFY(!override.isAccepted());
    }
    for (int language : {1, 2}) {
        w_->SetLanguage(language);
        QSet<QChar> seen;
        for (QAction* a : w_->menuBar()->actions())
            seen.insert(a->text().at(a->text().indexOf(QLatin1Char('&')) + 1).toLower());
        QCOMPARE(seen.size(), w_->menuBar()->actions().size());
        QVERIFY(
            !w_->Button(QStringLiteral("SBKopieren"))->statusTip().contains(QStringLiteral("(n")));
    }
}

void MainWindowTest::saveAsRefusesOtherExtensions() {
    QStringList names = {dir_->filePath(QStringLiteral("m.xls")), QString()};
    w_->fileNameProvider = [&](bool, const QString&, const QString&, const QString&) {
        return names.takeFirst();
    };
    w_->modelFile().ModelModified = true;
    w_->onSaveModelAs();
    QVERIFY(names.isEmpty()); // asked again after the refusal, then cancelled
    QCOMPARE(told_.size(), 1);
    QVERIFY(told_.first().startsWith(QStringLiteral("So nicht!")));
    QVERIFY(!QFileInfo::exists(dir_->filePath(QStringLiteral("m.xls"))));
    QVERIFY(w_->modelFile().ModelModified);
}

void MainWindowTest::stopInterruptsIntervalRun() {
    w_->interval().SetInterval(0, 3000, false);
    // The new periods hold parameters, as after a growing right edge in the program; periods
    // of zeros would overflow and end the run as not solved.
    FillUndefinedPeriods(*m_, 101, 3000);
    m_->Options.ShowSolveInfo = 1;
    SolveInfoWindow* info = w_->userHost().InfoWindow();
    bool sawWindow = false;
    QTimer::singleShot(0, this, [&] {
        sawWindow = info->isVisible();
        QTest::mouseClick(info->StopButton, Qt::LeftButton);
    });
    w_->Action(QStringLiteral("MILoesungIntervall"))->trigger();
    QVERIFY(sawWindow);
    QVERIFY(!info->isVisible());
    QVERIFY(m_->Periods.LastSolved < 3000);
    QCOMPARE(w_->StatusText(),
             QStringLiteral("Lösungsabbruch nach t = %1").arg(m_->Periods.LastSolved));
    QVERIFY(!told_.isEmpty() && told_.last().startsWith(QStringLiteral("Hinweis")));
    // The next request continues and finishes.
    w_->Solve();
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QCOMPARE(m_->Periods.LastSolved, 3000);
}

void MainWindowTest::solveOptionsDialog() {
    // The accuracy steps by tenths while above 1E-8 and tenfold while below 1, keeping its
    // digits and without drift.
    const struct {
        double start;
        int presses; // negative: down
        double end;
    } steps[] = {{1E-5, -5, 1E-8}, {1E-5, 10, 1.0}, {3E-5, -1, 3E-6},
                 {3E-5, 2, 3E-3},  {3E-5, 10, 3.0}, {2E-8, -3, 2E-9}};
    for (const auto& c : steps) {
        SolveOptions o = m_->Options;
        o.Accuracy = c.start;
        SolveOptionsDialog d(o, 1);
        for (int k = 0; k < std::abs(c.presses); ++k)
            (c.presses < 0 ? d.AccuracyDownButton : d.AccuracyUpButton)->click();
        QCOMPARE(d.Accuracy(), c.end);
    }
    // Accuracy change forces a complete recalculation.
    QTimer::singleShot(0, this, [] {
        auto* dlg = qobject_cast<SolveOptionsDialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        dlg->AccuracyDownButton->click();
        QCOMPARE(dlg->AccuracyLabel->text(),
                 QStringLiteral("relative Ergebnisänderung < 0.000001000 %"));
        dlg->OnRequestButton->click();
        dlg->accept();
    });
    Recorder* r = AddRecorder();
    w_->onSolveOptions();
    QCOMPARE(m_->Options.Accuracy, 0.000001);
    QCOMPARE(m_->Options.SolveAfterInput, uint8_t(0));
    QCOMPARE(m_->Periods.LastSolved, -1);
    QCOMPARE(w_->StatusText(), QStringLiteral("Alles lösen!"));
    QVERIFY(!w_->Button(QStringLiteral("SBImmerLoesen"))->isChecked());
    QCOMPARE(r->Of({MSG_MODEL_CHANGED}).size(), 1);
    // Pressing "Immer lösen?" while something is due solves at once.
    w_->Button(QStringLiteral("SBImmerLoesen"))->click();
    QCOMPARE(m_->Options.SolveAfterInput, uint8_t(1));
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
}

void MainWindowTest::stepwiseSolving() {
    // Its caption fits: the window is wider than the caption text.
    QVERIFY(w_->SolveControl->minimumWidth() >
            w_->SolveControl->fontMetrics().horizontalAdvance(w_->SolveControl->windowTitle()));
    m_->Options.StepwiseSolve = 1;
    w_->interval().SetInterval(0, 3, false);
    MarkUnsolvedFrom(*m_, 0);
    w_->Solve();
    QCOMPARE(m_->Periods.LastSolved, 1);
    QVERIFY(w_->SolveControl->isVisible());
    QVERIFY(w_->Action(QStringLiteral("MIFensterLoesungssteuerung"))->isEnabled());
    QCOMPARE(w_->StatusText(), QStringLiteral("Lösung bis t = 1"));
    w_->SolveControl->NextPeriodButton->click();
    QCOMPARE(m_->Periods.LastSolved, 2);
    w_->SolveControl->RestIntervalButton->click();
    QCOMPARE(m_->Periods.LastSolved, 3);
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QVERIFY(!w_->SolveControl->isVisible());
    QVERIFY(!w_->Action(QStringLiteral("MIFensterLoesungssteuerung"))->isEnabled());
}

void MainWindowTest::functionBarScrolls() {
    // Pure rules first: 16 pixels a click, the last step exactly to the end.
    QCOMPARE(StripReset(300, 500).rightArrow, true);
    QCOMPARE(StripReset(600, 500).rightArrow, false);
    StripScroll s = StripScrollRight(0, 300, 340);
    QCOMPARE(s.offset, -16);
    QVERIFY(s.leftArrow && s.rightArrow);
    s = StripScrollRight(-32, 300, 340);
    QCOMPARE(s.offset, -40);
    QVERIFY(!s.rightArrow);
    s = StripScrollLeft(-40, 300, 340);
    QCOMPARE(s.offset, -24);
    QVERIFY(s.leftArrow && s.rightArrow);
    s = StripScrollLeft(-10, 300, 340);
    QCOMPARE(s.offset, 0);
    QVERIFY(!s.leftArrow);

    // The real bar: narrow window, arrows appear and scroll.
    w_->resize(420, 500);
    QTRY_VERIFY(w_->StripRightButton->isVisible());
    QTest::qWait(50);
    QVERIFY(!w_->StripLeftButton->isVisible());
    QTest::mouseClick(w_->StripRightButton, Qt::LeftButton);
    QCOMPARE(w_->StripOffset(), -16);
    QVERIFY(w_->StripLeftButton->isVisible());
    QTest::mouseClick(w_->StripLeftButton, Qt::LeftButton);
    QCOMPARE(w_->StripOffset(), 0);
    w_->resize(1000, 700);
}

void MainWindowTest::policyBarsAndMoneyWindowsFollowTheStructure() {
    QAction* wage = w_->Action(QStringLiteral("MIOptionenTarifleiste"));
    QVERIFY(!wage->isEnabled());
    m_->Switch[14] = 1;
    w_->ModelChanged();
    QVERIFY(wage->isEnabled());
    QVERIFY(wage->isChecked()); // the bar comes with the policy
    QVERIFY(w_->WageBar->isVisible());
    wage->setChecked(false);
    QVERIFY(!w_->WageBar->isVisible());
    m_->Switch[14] = 0;
    w_->ModelChanged();
    QVERIFY(!wage->isEnabled());
    QVERIFY(!w_->WageBar->isVisible());

    // Money and credit creation: the submenu exists only with switch 18 = 1, and its open
    // windows are told to close when the switch goes back to 0.
    m_->Switch[18] = 1;
    w_->ModelChanged();
    QVERIFY(w_->Menu(QStringLiteral("MIAufbGeld"))->isEnabled());
    Recorder* sheet = AddRecorder(QStringLiteral("Geld- und Kreditschöpfung: Sequenztabelle"));
    m_->Switch[18] = 0;
    told_.clear();
    w_->ModelChanged();
    QVERIFY(!w_->Menu(QStringLiteral("MIAufbGeld"))->isEnabled());
    QVERIFY(told_.first().startsWith(QStringLiteral("So nicht!: Das Geldangebot")));
    QCOMPARE(sheet->log.first(), (Sent{MSG_MODEL_CHANGED, 0, 0}));
}

void MainWindowTest::openingFromTheMenuSolvesTheModel() {
    const QString file = QStringLiteral(TERVALIS_SOURCE_DIR) +
                         QStringLiteral("/examples/03-as-ad-prices-and-wages.TV5");
    w_->fileNameProvider = [&](bool, const QString&, const QString&, const QString&) {
        return file;
    };
    const double before = m_->GetVar(5, 1);
    w_->onOpenModel();
    QCOMPARE(m_->Periods.LastSolved, m_->Periods.RightEdge);
    QCOMPARE(w_->StatusText(), QString::fromStdString(Translate(SolvedStatus(*m_), 1)));
    QVERIFY(m_->GetVar(5, 1) != before);
    // The numbers shown are those of a complete recalculation of the loaded model (up to the
    // accuracy of the start equilibrium, whose search starts elsewhere).
    auto copy = std::make_unique<Model>(*m_);
    test::RecordingHost host;
    RecalculateAll(*copy, host);
    for (int t = 0; t <= m_->Periods.RightEdge; ++t)
        for (int v = 1; v <= 63; ++v) {
            const double a = m_->GetVar(t, v), b = copy->GetVar(t, v);
            QVERIFY2(std::abs(a - b) <= 1e-4 * std::max(1.0, std::abs(b)),
                     qPrintable(QStringLiteral("t=%1 v=%2: %3 %4").arg(t).arg(v).arg(a).arg(b)));
        }
}

void MainWindowTest::revolvingFormDisablesTheLeftEdgeCommand() {
    QAction* leftEdge = w_->Action(QStringLiteral("MIPeriodenLinkerRand"));
    QToolButton* archiving = w_->Button(QStringLiteral("SBVerschieben"));
    QToolButton* revolving = w_->Button(QStringLiteral("SBVerschiebenRevolvierend"));
    QVERIFY(revolving);
    for (bool on : {true, false, true}) {
        w_->interval().SetAnalysisForm(on);
        QCOMPARE(leftEdge->isEnabled(), !on);
        QCOMPARE(archiving->isVisibleTo(w_.get()), !on);
        QCOMPARE(revolving->isVisibleTo(w_.get()), on);
        QCOMPARE(revolving->isEnabled(), archiving->isEnabled());
    }
}

void MainWindowTest::numbersUseTheLocalesDecimalSeparator() {
    QCOMPARE(m_->DecimalSeparator, QLocale().decimalPoint().at(0).toLatin1());
    const QLocale saved;
    for (auto [language, separator] : {std::pair{QLocale::German, ','}, {QLocale::English, '.'}}) {
        QLocale::setDefault(QLocale(language));
        Model m;
        m.InitialiseForProgramStart();
        MainWindowOptions o;
        o.programDirectory = dir_->path();
        o.readSettings = false;
        o.writeSettingsAtEnd = false;
        MainWindow w(m, o);
        QCOMPARE(m.DecimalSeparator, separator);
        QCOMPARE(QString::fromStdString(m.FormatNumber(-0.92)),
                 QStringLiteral("-0") + QChar(separator) + QStringLiteral("92"));
    }
    QLocale::setDefault(saved);
}

void MainWindowTest::withoutAPrinterPrintingGoesToAPdfFile() {
    QCOMPARE(PdfFileName(QStringLiteral("/d"), QStringLiteral("m"), QStringLiteral("A/B: C?")),
             QStringLiteral("/d/m - A_B_ C_.pdf"));
    if (!QPrinterInfo::availablePrinters().isEmpty()) QSKIP("this machine has a printer");
    auto* w = w_->FindChild("Modellergebnisse 1");
    w_->mdiArea()->setActiveSubWindow(w);
    w_->onPrint();
    const QString pdf = QDir(dir_->path()).filePath(QStringLiteral("NEU - Modellergebnisse 1.pdf"));
    QVERIFY2(asked_.last().contains(pdf), qPrintable(asked_.last()));
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void MainWindowTest::screenFontColourFromTheSettings() {
    QTemporaryDir prog;
    QFile ini(prog.filePath(QStringLiteral("tv5.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Bildschirmschrift]\r\nName=DejaVu Sans\r\nGroesse=10\r\nFarbe=16711680\r\n");
    ini.close();
    Model m;
    m.InitialiseForProgramStart();
    MainWindowOptions o;
    o.programDirectory = prog.path();
    o.userConfigDirectory = prog.path();
    o.writeSettingsAtEnd = false;
    MainWindow w(m, o);
    w.userHost().scriptMessage = [](const QString&, const QString&) {};
    const QColor blue(0, 0, 255); // 0x00BBGGRR
    QCOMPARE(w.FindChild("Modellergebnisse 1")->widget()->palette().color(QPalette::Text), blue);
    auto* r = new Recorder(w, QStringLiteral("Farbe"));
    w.OpenChild(r);
    QCOMPARE(r->widget()->palette().color(QPalette::WindowText), blue);
}

void MainWindowTest::commandLineModelOpensAfterStartUp() {
    const std::string file = std::string(TERVALIS_SOURCE_DIR) + "/examples/02-closed-is-lm.TV5";
    const char* argv[] = {"tervalis", file.c_str()};
    QCOMPARE(CommandLineFileName(2, argv), file);
    const char* split[] = {"tervalis", "/tmp/Mein", "Modell.TV5"};
    QCOMPARE(CommandLineFileName(3, split), std::string("/tmp/Mein Modell.TV5"));

    w_.reset();
    Model m;
    m.InitialiseForProgramStart();
    MainWindowOptions o;
    o.programDirectory = dir_->path();
    o.readSettings = false;
    o.writeSettingsAtEnd = false;
    o.commandLineFile = file;
    w_ = std::make_unique<MainWindow>(m, o);
    w_->userHost().scriptAsk = [](const QString&, const QString&) { return true; };
    w_->userHost().scriptMessage = [this](const QString& t, const QString& text) {
        told_ << t + QStringLiteral(": ") + text;
    };
    QSignalSpy done(w_.get(), &MainWindow::startupFinished);
    w_->show();
    QVERIFY(done.wait(10000));
    QCOMPARE(w_->ModelFilePanel->text(), QStringLiteral("02-closed-is-lm"));
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QVERIFY(!w_->modelFile().ModelModified);
    QVERIFY(told_.isEmpty());
    const QString shots = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (!shots.isEmpty()) {
        w_->resize(1100, 760);
        QTest::qWait(100);
        w_->grab().save(shots + QStringLiteral("/main-loaded.png"));
    }
    w_->close();
    w_.reset();
    m_->InitialiseForProgramStart();
    init(); // a fresh window for cleanup()
}

void MainWindowTest::printCommandAsksFirst() {
    QTemporaryDir out;
    w_->printer().setOutputFormat(QPrinter::PdfFormat);
    w_->printer().setOutputFileName(out.filePath(QStringLiteral("p.pdf")));
    auto* r = AddRecorder(QStringLiteral("Sequenztabelle"));
    w_->mdiArea()->setActiveSubWindow(r);
    answer_ = false;
    w_->Action(QStringLiteral("MIDateiDrucken"))->trigger();
    QVERIFY(r->Of({MSG_PRINT}).isEmpty());
    QVERIFY(asked_.last().startsWith(
        QStringLiteral("Druckauftrag bestätigen: Sequenztabelle\nauf \"")));
    QVERIFY(asked_.last().endsWith(QStringLiteral("\" drucken?")));
    answer_ = true;
    QTest::keyClick(w_.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(r->Of({MSG_PRINT}), (QList<Sent>{{MSG_PRINT, 1, 1}}));
    QVERIFY(QFileInfo(out.filePath(QStringLiteral("p.pdf"))).size() > 0);
    QCOMPARE(PrintConfirmText(QStringLiteral("W"), QStringLiteral("N"), 2),
             QStringLiteral("Print W\non \"N\"?"));

    // The period-range dialog keeps to the interval and hands back an ascending range.
    PeriodPrintDialog range(3, 10, 40);
    range.FromBox->setValue(1);
    QCOMPARE(range.FromBox->value(), 3);
    range.Preset(30, 12);
    QCOMPARE(range.From(), 12);
    QCOMPARE(range.To(), 30);
    range.ToRightEdgeButton->click();
    range.FromCurrentButton->click();
    QCOMPARE(range.From(), 10);
    QCOMPARE(range.To(), 40);
}

void MainWindowTest::statusAndBackgroundClicks() {
    m_->Options.SolveAfterInput = 0;
    MarkUnsolvedFrom(*m_, 20);
    w_->ModelChanged();
    QCOMPARE(w_->StatusText(), QStringLiteral("Lösen: t > 20"));
    QCOMPARE(w_->SolveStatusPanel->palette().color(QPalette::WindowText), QColor(Qt::red));
    QTest::mouseClick(w_->SolveStatusPanel, Qt::LeftButton);
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QCOMPARE(w_->SolveStatusPanel->palette().color(QPalette::WindowText), QColor(Qt::black));

    for (QMdiSubWindow* s : w_->mdiArea()->subWindowList())
        s->showMinimized();
    QTest::mouseClick(w_->mdiArea()->viewport(), Qt::LeftButton, {}, QPoint(300, 100));
    QVERIFY(!told_.isEmpty() && told_.last().startsWith(QStringLiteral("Hallo, User!")));
}

void MainWindowTest::screenshots() {
    // Pictures for a look by eye when TERVALIS_SCREENSHOTS names a folder.
    const QString out = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
    const QString file = QStringLiteral(TERVALIS_SOURCE_DIR) +
                         QStringLiteral("/examples/03-as-ad-prices-and-wages.TV5");
    w_->fileNameProvider = [&](bool, const QString&, const QString&, const QString&) {
        return file;
    };
    w_->onOpenModel();
    if (QAction* wage = w_->Action(QStringLiteral("MIOptionenTarifleiste")); wage->isEnabled())
        wage->setChecked(true);
    for (int language : {1, 2}) {
        w_->SetLanguage(language);
        const QString tag = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
        for (auto [size, name] : {std::pair{QSize(1024, 720), "default"},
                                  {QSize(1600, 1000), "large"},
                                  {QSize(600, 500), "narrow"}}) {
            w_->resize(size);
            QTest::qWait(100);
            w_->grab().save(out + QStringLiteral("/main-%1-%2.png").arg(tag, name));
        }
        w_->SolveControl->show();
        QTest::qWait(50);
        w_->SolveControl->grab().save(out + QStringLiteral("/solve-control-%1.png").arg(tag));
        w_->SolveControl->hide();
    }
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"

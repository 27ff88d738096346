// The period run driven through the main window, and the flow chart following it.

#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "logic/AnalysisInterval.h"
#include "services/PeriodNavigator.h"
#include "services/QtUserHost.h"
#include "views/FlowChartWindow.h"
#include "views/PeriodRunWindow.h"
#include "views/ViewCommands.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tv;

class PeriodRunTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void runVisitsEveryJumpAndPauses();
    void interruptionsStopTheRun_data();
    void interruptionsStopTheRun();
    void delayIsKeptBetweenSteps();
    void closingClearsTheCheck();
    void flowChartFollowsThePeriod();
    void flowChartWithoutSizeDrawsNothing();
    void diagramNoticesWaitForTheRunToEnd();
    void hintsFollowTheLanguage();
    void captionsFollowTheMenuLanguageAndTheDecimalSeparator();

  private:
    PeriodRunWindow* OpenRun();
    void Prepare(int left, int right, int current);
    std::vector<int> visits_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Model> m_;
    std::unique_ptr<MainWindow> w_;
};

void PeriodRunTest::initTestCase() {
    CreateTestMainWindow(dir_, m_, w_);
    w_->userHost().scriptMessage = [](const QString&, const QString&) {};
    w_->userHost().scriptAsk = [](const QString&, const QString&) { return true; };
    InstallViewCommands(*w_);
    QSignalSpy done(w_.get(), &MainWindow::startupFinished);
    w_->resize(1100, 760);
    w_->show();
    QVERIFY(done.wait(20000));
    connect(w_->Navigator(), &PeriodNavigator::periodChanged, this, [this](int kind) {
        if (kind == KindCurrentPeriod) visits_.push_back(m_->Periods.CurrentPeriod);
    });
}

void PeriodRunTest::cleanupTestCase() {
    if (PeriodRunWindow* r = FindPeriodRunWindow(*w_)) r->close();
    w_.reset();
}

PeriodRunWindow* PeriodRunTest::OpenRun() {
    QAction* entry = w_->Action(QStringLiteral("MIPeriodenDurchlauf"));
    if (!FindPeriodRunWindow(*w_)) entry->trigger();
    return FindPeriodRunWindow(*w_);
}

void PeriodRunTest::Prepare(int left, int right, int current) {
    w_->interval().SetInterval(left, right, false);
    w_->interval().SetCurrentPeriod(current);
    visits_.clear();
}

void PeriodRunTest::runVisitsEveryJumpAndPauses() {
    PeriodRunWindow* run = OpenRun();
    QVERIFY(run);
    QVERIFY(w_->Action(QStringLiteral("MIPeriodenDurchlauf"))->isChecked());
    const struct {
        int current, jump;
        std::vector<int> visits;
    } cases[] = {{0, 3, {3, 6, 9}}, {10, 1, {}}, {7, 1, {8, 9, 10}}};
    for (const auto& c : cases) {
        Prepare(0, 10, c.current);
        run->SetJumpWidth(c.jump);
        run->SetDelay(0);
        run->PlayButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!run->Running(), 5000);
        QCOMPARE(visits_, c.visits);
        QVERIFY(run->PauseButton->isChecked());
        QVERIFY(!run->PlayButton->isChecked());
    }
    // Backward and forward set the edges.
    run->BackButton->click();
    QCOMPARE(m_->Periods.CurrentPeriod, 0);
    run->ForwardButton->click();
    QCOMPARE(m_->Periods.CurrentPeriod, 10);
}

void PeriodRunTest::interruptionsStopTheRun_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Escape") << 0;
    QTest::newRow("pause button") << 1;
    QTest::newRow("model change") << 2;
    QTest::newRow("modal dialog") << 3;
    QTest::newRow("hidden") << 4;
}

void PeriodRunTest::interruptionsStopTheRun() {
    QFETCH(int, how);
    PeriodRunWindow* run = OpenRun();
    run->show();
    Prepare(0, 10, 0);
    run->SetJumpWidth(1);
    run->SetDelay(1);
    run->PlayButton->click();
    QCOMPARE(visits_, std::vector<int>{1}); // the first step comes at once
    QVERIFY(run->Running());
    QDialog dialog(w_.get());
    switch (how) {
    case 0:
        QTest::keyClick(run, Qt::Key_Escape);
        break;
    case 1:
        QTest::mouseClick(run->PauseButton, Qt::LeftButton);
        break;
    case 2:
        w_->ModelChanged();
        break;
    case 3:
        dialog.setModal(true);
        dialog.show();
        break;
    case 4:
        run->hide();
        break;
    }
    QTest::qWait(350);
    QVERIFY(!run->Running());
    QVERIFY(run->PauseButton->isChecked());
    QCOMPARE(m_->Periods.CurrentPeriod, 1);
    dialog.hide();
    run->show();
}

void PeriodRunTest::delayIsKeptBetweenSteps() {
    PeriodRunWindow* run = OpenRun();
    Prepare(0, 3, 0);
    run->SetJumpWidth(1);
    run->SetDelay(1);
    QElapsedTimer clock;
    clock.start();
    run->PlayButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!run->Running(), 5000);
    // Three steps, each followed by at least 0.1 s before the next check.
    QVERIFY(clock.elapsed() >= 300);
    QCOMPARE(visits_, (std::vector<int>{1, 2, 3}));
    QCOMPARE(run->DelayGroup->title(), QStringLiteral("Verzögerung = 0.1s"));
    run->JumpBar->setValue(4);
    QCOMPARE(run->JumpGroup->title(), QStringLiteral("Sprungweite = 4 Per."));
    w_->interval().SetInterval(0, 100, false);
}

void PeriodRunTest::closingClearsTheCheck() {
    QPointer<PeriodRunWindow> run = OpenRun();
    QAction* entry = w_->Action(QStringLiteral("MIPeriodenDurchlauf"));
    QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F3));
    run->close();
    QVERIFY(!entry->isChecked());
    QTRY_VERIFY(run.isNull());
    entry->trigger(); // F3 again: a new window
    QVERIFY(entry->isChecked());
    QVERIFY(FindPeriodRunWindow(*w_));
    entry->trigger(); // and away
    QVERIFY(!entry->isChecked());
    QTRY_VERIFY(!FindPeriodRunWindow(*w_));
}

void PeriodRunTest::flowChartFollowsThePeriod() {
    w_->Action(QStringLiteral("MIAufbFluss"))->trigger();
    auto* chart = dynamic_cast<FlowChartWindow*>(w_->FindChild(FlowChartCaption));
    QVERIFY(chart);
    w_->interval().SetInterval(0, 20, false);
    // A small economy with a government and trade (the start model is all zero).
    for (int t = -1; t <= 20; ++t)
        for (auto [n, x] : {std::pair{par::CAut, 100.0},
                            {par::cY, 0.6},
                            {par::IAut, 50.0},
                            {par::GAut, 80.0},
                            {par::TAut, 30.0},
                            {par::ExAut, 20.0},
                            {par::ImAut, 10.0}})
            m_->SetModelPar(t, n, x);
    m_->Periods.LastSolved = -1;
    w_->Solve();
    w_->interval().SetCurrentPeriod(4);
    const int n = chart->Data().PresentCount();
    QVERIFY(n > 0);
    QCOMPARE(chart->TitleText(), QStringLiteral("Zahlungsströme (0 von %1)").arg(n));
    chart->NextButton->click();
    chart->NextButton->click();
    QCOMPARE(chart->TitleText(), QStringLiteral("Zahlungsströme (2 von %1)").arg(n));
    QVERIFY(chart->Animating());
    chart->ReverseButton->click();
    QCOMPARE(chart->TitleText(), QStringLiteral("Leistungsströme (2 von %1)").arg(n));
    chart->ReverseButton->click();

    // Every period step reads the solved values of the new period.
    w_->interval().SetCurrentPeriod(7);
    QCOMPARE(chart->Data().Flow(0).realised, m_->ModelVar(7, var::Y));
    QCOMPARE(chart->Data().Flow(4).planned, m_->ModelVar(7, var::C));
    QCOMPARE(chart->Data().Flow(10).realised,
             m_->ModelVar(7, var::I) + m_->ModelVar(7, var::X) - m_->ModelVar(7, var::N));
    // A coarser number format can make flows vanish: it is applied at once.
    const int before = chart->Data().PresentCount();
    m_->SetModelVar(7, var::Tr, 0.004);
    w_->SetNumberFormat(m_->IntegerDigits, m_->DecimalPlaces == 2 ? 3 : 2);
    w_->SetNumberFormat(m_->IntegerDigits, 2);
    QCOMPARE(chart->Data().Flow(3).present, false);
    QVERIFY(chart->Data().PresentCount() <= before);

    // Pointing: a band names its variable and fills the value panels, a box its identity,
    // the empty background nothing.
    chart->AllButton->click();
    const QRect area = chart->Canvas->rect();
    auto device = [&](LogicalPoint p) { return *FlowCanvas::Map(p.x, p.y, area); };
    const QString g = chart->Point(device(PointAlong(Route(5), 0.2)));
    QVERIFY2(g.startsWith(QStringLiteral("Staatsnachfrage")), qPrintable(g));
    QVERIFY(chart->PlannedPanel->text().startsWith(QStringLiteral("geplant: ")));
    const QString households = chart->Point(device({1000, 1000}));
    QVERIFY2(households.contains(QStringLiteral("   ||   ")), qPrintable(households));
    QCOMPARE(chart->InfoLine->text(), households);
    QVERIFY(chart->Point(device({5000, 300})).isEmpty());
    QCOMPARE(chart->PlannedPanel->text(), QStringLiteral("geplant:"));
}

void PeriodRunTest::flowChartWithoutSizeDrawsNothing() {
    QVERIFY(!FlowCanvas::Map(5000, 5000, QRect(0, 0, 0, 100)));
    QVERIFY(!FlowCanvas::Map(5000, 5000, QRect(0, 0, 100, 0)));
    QCOMPARE(*FlowCanvas::Map(5000, 10000, QRect(10, 20, 200, 100)), QPoint(110, 120));
    auto* chart = dynamic_cast<FlowChartWindow*>(w_->FindChild(FlowChartCaption));
    QVERIFY(chart);
    chart->Data().ShowAll();
    QImage empty = chart->RenderPicture(0, 0); // must not crash nor draw
    Q_UNUSED(empty);
    chart->showMinimized();
    QTRY_VERIFY(!chart->Animating());
    chart->showNormal();
    QTRY_VERIFY(chart->Animating());
}

// The diagrams say once per change that a period has no IS curve, but not between the steps
// of a period run: the main window reports the run to them.
void PeriodRunTest::diagramNoticesWaitForTheRunToEnd() {
    int notices = 0;
    w_->userHost().scriptMessage = [&notices](const QString&, const QString& text) {
        if (text.contains(QStringLiteral("unendlich"))) ++notices;
    };
    std::vector<double> kept;
    for (int t = -1; t <= m_->Periods.RightEdge; ++t) {
        kept.push_back(m_->GetPar(t, par::mY));
        m_->SetPar(t, par::mY, kept.back() + DomesticSpendingPropensity(*m_, t) - 1);
    }
    Prepare(0, 10, 0);
    w_->Action(QStringLiteral("MIAufbEZGrafik"))->trigger();
    w_->Action(QStringLiteral("MIAufbKurveIS"))->trigger();
    QTest::qWait(20);
    notices = 0;
    PeriodRunWindow* run = OpenRun();
    QVERIFY(!w_->periodRunning());
    run->SetJumpWidth(1);
    run->SetDelay(0);
    run->PlayButton->click();
    QVERIFY(w_->periodRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!run->Running(), 5000);
    QVERIFY(!w_->periodRunning());
    QCOMPARE(visits_.size(), size_t(10));
    QCOMPARE(notices, 0);
    // Outside a run one change: each of the two windows names the left edge and the period.
    w_->interval().SetCurrentPeriod(5);
    QTest::qWait(20);
    QCOMPARE(notices, 4);

    for (int t = -1; t <= m_->Periods.RightEdge; ++t)
        m_->SetPar(t, par::mY, kept[size_t(t + 1)]);
    for (const char* caption :
         {"Einkommen-Zins-Grafik##Income-Interest-Diagram", "Herleitung der IS-Kurve"})
        if (WorkingWindow* open = w_->FindChild(caption)) open->close();
    w_->userHost().scriptMessage = [](const QString&, const QString&) {};
}

void PeriodRunTest::hintsFollowTheLanguage() {
    PeriodRunWindow* run = OpenRun();
    w_->SetLanguage(2);
    QCOMPARE(run->BackButton->toolTip(), QStringLiteral("left border"));
    QVERIFY(run->DelayGroup->statusTip().startsWith(QStringLiteral("Minimum delay")));
    w_->SetLanguage(1);
    QCOMPARE(run->BackButton->toolTip(), QStringLiteral("linker Analyserand"));
}

void PeriodRunTest::captionsFollowTheMenuLanguageAndTheDecimalSeparator() {
    PeriodRunWindow* run = OpenRun();
    const char separator = m_->DecimalSeparator;
    m_->DecimalSeparator = ',';
    run->SetDelay(15);
    struct Case {
        const char* entry;
        const char* delayTab;
        const char* stepsTab;
        const char* delay;
    } cases[] = {{"MIOptionenEnglisch", "Delay", "Steps", "Delay = 1,5s"},
                 {"MIOptionenDeutsch", "Verzögerung", "Sprungweite", "Verzögerung = 1,5s"}};
    for (const Case& c : cases) {
        // As the user chooses it: through the menu entry.
        w_->Action(QString::fromLatin1(c.entry))->trigger();
        QCOMPARE(run->Tabs->tabText(0), QString::fromUtf8(c.delayTab));
        QCOMPARE(run->Tabs->tabText(1), QString::fromUtf8(c.stepsTab));
        QCOMPARE(run->DelayGroup->title(), QString::fromUtf8(c.delay));
    }
    m_->DecimalSeparator = separator;
    run->SetDelay(1);
}

QTEST_MAIN(PeriodRunTest)
#include "PeriodRunTest.moc"

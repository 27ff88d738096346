#include "logic/AnalysisInterval.h"
#include "services/PeriodNavigator.h"
#include "services/PolicyBars.h"
#include "services/ShiftDialog.h"

#include "RecordingHost.h"
#include "core/Model.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace tv;

class PeriodWidgetsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Model> m;
    std::unique_ptr<test::RecordingHost> host;
    std::unique_ptr<AnalysisInterval> rules;
    std::unique_ptr<PeriodNavigator> nav;

    void Interval(int left, int right, int current) {
        m->Periods.LeftEdge = left;
        m->Periods.RightEdge = right;
        m->Periods.CurrentPeriod = current;
        nav->ShowPeriods();
    }
    int Current() const { return m->Periods.CurrentPeriod; }

  private slots:
    void init() {
        m = std::make_unique<Model>();
        m->InitialiseForProgramStart();
        m->Periods.LastSolved = 100;
        host = std::make_unique<test::RecordingHost>();
        rules = std::make_unique<AnalysisInterval>(*m, *host);
        nav = std::make_unique<PeriodNavigator>(*rules);
        nav->resize(600, nav->height());
        nav->show();
        QVERIFY(QTest::qWaitForWindowExposed(nav.get()));
    }
    void cleanup() {
        nav.reset();
        rules.reset();
    }

    void periodFieldKeys() {
        QSignalSpy spy(nav.get(), &PeriodNavigator::periodChanged);
        QLineEdit* ed = nav->CurrentPeriodEdit();
        Interval(0, 100, 100);
        QTest::keyClick(ed, Qt::Key_Up);
        QCOMPARE(Current(), 0); // wraps to the left edge
        QCOMPARE(ed->text(), QStringLiteral("0"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), KindCurrentPeriod);
        QVERIFY(!nav->PeriodBackButton()->isEnabled());
        QVERIFY(nav->PeriodForwardButton()->isEnabled());

        m->Switch[23] = 4;
        Interval(0, 100, 98);
        QTest::keyClick(ed, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(Current(), 98);
        QTest::keyClick(ed, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(Current(), 94);
        QTest::keyClick(ed, Qt::Key_End);
        QCOMPARE(Current(), 100);
        QVERIFY(!nav->PeriodForwardButton()->isEnabled());
        QTest::keyClick(ed, Qt::Key_Home);
        QCOMPARE(Current(), 0);
    }

    void editedFieldIsRedUntilEnterOrEsc() {
        QLineEdit* ed = nav->CurrentPeriodEdit();
        Interval(10, 100, 50);
        ed->setFocus();
        ed->selectAll();
        QTest::keyClicks(ed, "7x");
        QCOMPARE(ed->text(), QStringLiteral("7")); // digits only
        QCOMPARE(ed->palette().color(QPalette::Text), QColor(Qt::red));
        QTest::keyClick(ed, Qt::Key_Up); // arrows do nothing while red
        QCOMPARE(Current(), 50);
        QTest::keyClick(ed, Qt::Key_Escape);
        QCOMPARE(ed->text(), QStringLiteral("50"));
        QCOMPARE(ed->palette().color(QPalette::Text), QColor(Qt::black));

        ed->selectAll();
        QTest::keyClicks(ed, "7");
        QTest::keyClick(ed, Qt::Key_Return);
        QCOMPARE(Current(), 10); // outside: corrected to the left edge
        QCOMPARE(host->sounds.back(), std::string("SoNicht.wav"));
        QCOMPARE(ed->text(), QStringLiteral("10"));
    }

    void leftEdgeEnterRefusedBeyondTheSolvedPeriods() {
        m->Periods.LastSolved = 10;
        QLineEdit* ed = nav->LeftEdgeEdit();
        ed->selectAll();
        QTest::keyClicks(ed, "50");
        QTest::keyClick(ed, Qt::Key_Return);
        QCOMPARE(m->Periods.LeftEdge, 0);
        QCOMPARE(ed->text(), QStringLiteral("0"));
        QCOMPARE(ed->palette().color(QPalette::Text), QColor(Qt::black));
        QVERIFY(host->messages.back().find("liegt im Bereich ungelöster Perioden.") !=
                std::string::npos);

        QSignalSpy spy(nav.get(), &PeriodNavigator::periodChanged);
        QTest::keyClick(ed, Qt::Key_Right);
        QCOMPARE(m->Periods.LeftEdge, 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), KindLeftEdge);
        QCOMPARE(ed->text(), QStringLiteral("1"));
    }

    void rightEdgeEnterGrowsAndAsks() {
        QSignalSpy model(nav.get(), &PeriodNavigator::modelChanged);
        QLineEdit* ed = nav->RightEdgeEdit();
        ed->selectAll();
        QTest::keyClicks(ed, "120");
        QTest::keyClick(ed, Qt::Key_Enter);
        QCOMPARE(m->Periods.RightEdge, 120);
        QCOMPARE(host->questions.size(), size_t(1));
        QCOMPARE(model.count(), 1);
        QCOMPARE(ed->text(), QStringLiteral("120"));
        QTest::keyClick(ed, Qt::Key_Home); // to the current period, at least left + 1
        QCOMPARE(m->Periods.RightEdge, 1);
    }

    void revolvingDisablesTheLeftEdgeControls() {
        QSignalSpy spy(nav.get(), &PeriodNavigator::analysisFormChanged);
        rules->ToggleAnalysisForm();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QVERIFY(!nav->LeftEdgeEdit()->isEnabled());
        QVERIFY(!nav->LeftEdgeBackButton()->isEnabled());
        QVERIFY(!nav->LeftEdgeToCurrentButton()->isEnabled());
        QCOMPARE(nav->LeftEdgeEdit()->text(), QStringLiteral("1"));
        rules->ToggleAnalysisForm();
        QVERIFY(nav->LeftEdgeEdit()->isEnabled());
    }

    void sliderFollowsAndDragsThePeriod() {
        Interval(0, 100, 0);
        const int span = nav->RailWidth() - nav->SliderWidth();
        QCOMPARE(nav->SliderLeft(), 1);
        rules->SetCurrentPeriod(100);
        QCOMPARE(nav->SliderLeft(), span - 1);
        rules->SetCurrentPeriod(50);
        QCOMPARE(nav->SliderLeft(), Nearest(0.5 * span));

        // Drag the period field to the far right, then release.
        QLineEdit* ed = nav->CurrentPeriodEdit();
        const QPoint start(ed->width() / 2, ed->height() / 2);
        QTest::mousePress(ed, Qt::LeftButton, {}, start);
        QTest::mouseMove(ed, start + QPoint(span, 0));
        QCOMPARE(ed->text(), QStringLiteral("100"));
        QCOMPARE(Current(), 50); // not before the release
        QTest::mouseRelease(ed, Qt::LeftButton, {}, start + QPoint(span, 0));
        QCOMPARE(Current(), 100);
    }

    void railClicksStepAroundTheSlider() {
        m->Switch[22] = 5;
        Interval(0, 100, 50);
        QWidget* rail = nav->Rail();
        QTest::mouseClick(rail, Qt::LeftButton, {}, QPoint(2, rail->height() / 2));
        QCOMPARE(Current(), 49);
        QTest::mouseClick(rail, Qt::LeftButton, Qt::ControlModifier,
                          QPoint(rail->width() - 3, rail->height() / 2));
        QCOMPARE(Current(), 54);
        nav->PeriodForwardButton()->click();
        QCOMPARE(Current(), 55);
    }

    void wageBarShowsTheRoundAndMovesByIt() {
        m->Switch[23] = 4;
        Interval(0, 100, 9);
        PolicyBar bar(PolicyBar::Kind::Wage, *rules);
        bar.Follow(nav.get());
        bar.resize(1000, bar.height());
        bar.show();
        QCOMPARE(bar.Label()->text(), QStringLiteral("TZR: 3 (4)"));
        QCOMPARE(bar.StatusLabel()->text(), QString::fromUtf8("Tarifvertrag läuft ..."));
        QCOMPARE(bar.Monitor()->x(), nav->RailLeft() + nav->SliderWidth() / 2);
        QCOMPARE(bar.Monitor()->width(), nav->RailWidth() - nav->SliderWidth() + 3);

        bar.ForwardButton()->click();
        QCOMPARE(Current(), 13);
        QCOMPARE(bar.Label()->text(), QStringLiteral("TZR: 4 (4)"));
        Interval(0, 100, 3);
        bar.Refresh();
        QVERIFY(!bar.BackButton()->isEnabled());

        // A click in the middle of the strip goes to the nearest round start.
        QTest::mouseClick(bar.Monitor(), Qt::LeftButton, {}, QPoint(bar.Monitor()->width() / 2, 5));
        QCOMPARE(Current() % 4, 0);
        QVERIFY(std::abs(Current() - 50) <= 3);
        QCOMPARE(bar.StatusLabel()->text(), QStringLiteral("Tarifverhandlung"));
        // The status fits between the forward button and the bar's right edge.
        QLabel* status = bar.StatusLabel();
        QVERIFY(status->x() + status->width() <= bar.width());
        QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());

        // Rounds are told apart: a background pixel between neighbouring segments.
        const QImage strip = bar.Monitor()->grab().toImage();
        const auto segments = AnalysisInterval::MonitorSegments(
            m->Periods.LeftEdge, m->Periods.RightEdge, Current(), 4, bar.Monitor()->width());
        QVERIFY(segments.size() > 2);
        const int boundary = segments[1].x1;
        QVERIFY(strip.pixelColor(boundary, 5) != strip.pixelColor(boundary - 1, 5));

        QSignalSpy dbl(&bar, &PolicyBar::monitorDoubleClicked);
        QTest::mouseDClick(bar.Monitor(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(dbl.count(), 1);

        QImage shot = bar.Monitor()->grab().toImage();
        QVERIFY(!shot.isNull());
    }

    void moneyBarTexts() {
        m->Switch[22] = 3;
        Interval(0, 100, 6);
        PolicyBar bar(PolicyBar::Kind::Money, *rules);
        QCOMPARE(bar.Label()->text(), QStringLiteral("MZZR:  3 (3)"));
        QCOMPARE(bar.StatusLabel()->text(), QStringLiteral("aktive Geldpolitik"));
        bar.BackButton()->click();
        QCOMPARE(Current(), 3);
    }

    void shiftDialogShowsTheOffer() {
        const auto offer = rules->PrepareShift();
        QVERIFY(offer.has_value());
        ShiftDialog dialog(*offer, 1);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Intervall verschieben (archivierend)"));
        QCOMPARE(dialog.HelpContext(), 212);
        QCOMPARE(dialog.TrackBar()->minimum(), 101);
        QCOMPARE(dialog.TrackBar()->maximum(), 600);
        QCOMPARE(dialog.TrackPosition(), 200);
        QCOMPARE(dialog.EndLabel()->text(), QStringLiteral("bis Periode 200"));
        dialog.TrackBar()->setValue(150);
        QCOMPARE(dialog.EndLabel()->text(), QStringLiteral("bis Periode 150"));
        QVERIFY(dialog.ChoiceButton(1)->isChecked());
        dialog.ChoiceButton(3)->setChecked(true);
        QCOMPARE(dialog.Choice(), 3);
        ShiftDialog english(*offer, 2);
        QCOMPARE(english.windowTitle(), QStringLiteral("Move interval (archiving)"));
        english.TrackBar()->setValue(150);
        QCOMPARE(english.EndLabel()->text(), QStringLiteral("up to period 150"));
        QCOMPARE(english.ChoiceButton(1)->text(), QStringLiteral("keep the data already there"));
        rules->ApplyShift(dialog.TrackPosition(), dialog.Choice());
        QCOMPARE(nav->LeftEdgeEdit()->text(), QStringLiteral("101"));
        QCOMPARE(nav->RightEdgeEdit()->text(), QStringLiteral("150"));
    }
};

QTEST_MAIN(PeriodWidgetsTest)
#include "PeriodWidgetsTest.moc"

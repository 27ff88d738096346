// Sequence charts, quick graph and structure graph on a bare frame, offscreen.

#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "logic/Settings.h"
#include "services/WindowFrame.h"
#include "views/ChartWindows.h"
#include "views/PaintBox.h"
#include "views/QuickGraphWindow.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QMdiArea>
#include <QPieSeries>
#include <QPrinter>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QtTest>

using namespace tv;

namespace {

// True when the picture holds more than one colour (something was drawn).
bool Drawn(const QImage& image) {
    if (image.isNull()) return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if (image.pixel(x, y) != first) return true;
    return false;
}

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        area.resize(1000, 680);
        area.show();
    }
    Model& model() override { return m; }
    UserHost& host() override { return silent; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return QRect(0, 0, area.width(), area.height()); }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 10); }
    QFont screenFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 9); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return m.Periods.CurrentPeriod; }
    const Settings* userSettings() const override { return &settings; }
    WindowSettings* windowSettings() override { return &settings.Windows; }
    bool revolvingInterval() const override { return revolving; }

    Model m;
    bool revolving = false;
    Settings settings;
    SilentHost silent;
    QMdiArea area;
    QPrinter printer_{QPrinter::HighResolution};
};

// The bond-market model with more government purchases from period 3, solved over 0..12;
// the current period is 5.
void Shocked(Model& m) {
    m = test::BondMarketModel();
    test::SetFrom(m, 3, {{par::GAut, m.GetPar(3, par::GAut) + 50}});
    m.Periods.RightEdge = 12;
    test::RecordingHost host;
    Solve(m, host);
    m.Periods.CurrentPeriod = 5;
}

template <class W, class... Args> W* Open(TestFrame& f, Args... args) {
    auto* w = WorkingWindow::Create<W>(f, args...);
    f.area.addSubWindow(w);
    w->show();
    QCoreApplication::processEvents();
    return w;
}

SeriesFlags Flags(std::initializer_list<int> numbers) {
    SeriesFlags s{};
    for (int n : numbers)
        s[n] = true;
    return s;
}

// What the event loop does between two paints (charts delete replaced items later).
void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// With TERVALIS_SCREENSHOTS set: the window in both languages, at its size and maximised.
void Screenshots(TestFrame& f, WorkingWindow* w, const QString& name) {
    const QString dir = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    for (int lang : {1, 2}) {
        f.m.Language = uint8_t(lang);
        w->RefreshLanguage();
        const QString suffix = lang == 1 ? QStringLiteral("-de") : QStringLiteral("-en");
        w->showNormal();
        Settle();
        w->grab().save(dir + QLatin1Char('/') + name + suffix + QStringLiteral(".png"));
        w->showMaximized();
        Settle();
        w->grab().save(dir + QLatin1Char('/') + name + suffix + QStringLiteral("-max.png"));
        w->showNormal();
    }
    f.m.Language = 1;
    w->RefreshLanguage();
}

} // namespace

class ChartWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void sequenceChartSeriesAreTheSolvedValues() {
        TestFrame f;
        Shocked(f.m);
        auto* w = Open<SequenceChartWindow>(f, 1);
        w->SetSelection(Flags({par::GAut}), Flags({var::Y, var::C}));
        const auto series = w->Chart->series();
        QCOMPARE(series.size(), 3);
        const QStringList names{QString::fromStdString(Translate(ParamName(par::GAut), 1)),
                                QString::fromStdString(Translate(VarName(var::C), 1)),
                                QString::fromStdString(Translate(VarName(var::Y), 1))};
        for (int k = 0; k < 3; ++k) {
            auto* line = qobject_cast<QLineSeries*>(series[k]);
            QVERIFY(line);
            QCOMPARE(line->name(), names[k]);
            QCOMPARE(line->count(), 13);
            for (int t = 0; t <= 12; ++t) {
                const double expected = k == 0   ? f.m.GetPar(t, par::GAut)
                                        : k == 1 ? f.m.GetVar(t, var::C)
                                                 : f.m.GetVar(t, var::Y);
                QCOMPARE(line->at(t), QPointF(t, expected));
            }
        }
        Screenshots(f, w, QStringLiteral("sequence-chart"));
        // Stacked bars reach the largest sum of a period.
        w->StackButton->setChecked(true);
        QVERIFY(qobject_cast<QStackedBarSeries*>(w->Chart->series().value(0)));
        double largest = 0;
        for (int t = 0; t <= 12; ++t)
            largest = std::max(largest, f.m.GetPar(t, par::GAut) + f.m.GetVar(t, var::C) +
                                            f.m.GetVar(t, var::Y));
        QCOMPARE(w->Axis().Max, largest);
        Screenshots(f, w, QStringLiteral("sequence-chart-stacked"));
        QVERIFY(Drawn(w->RenderPicture(500, 350)));
        // A model change is taken over.
        f.m.SetVar(7, var::Y, 12345);
        w->StackButton->setChecked(false);
        w->Message(MSG_MODEL_CHANGED, 1, 1);
        QCOMPARE(qobject_cast<QLineSeries*>(w->Chart->series()[2])->at(7).y(), 12345.0);
    }

    void sequenceChartSelectionRoundTrip() {
        TestFrame f;
        Shocked(f.m);
        auto* first = Open<SequenceChartWindow>(f, 2);
        QCOMPARE(SequenceColumns(first->Vars()), (std::vector<int>{31, 36, 37}));
        first->SetSelection(Flags({par::GAut, 64}), Flags({var::YVErw}));
        first->close();
        delete first;
        auto* again = Open<SequenceChartWindow>(f, 2);
        QCOMPARE(again->Params(), Flags({par::GAut, 64}));
        QCOMPARE(again->Vars(), Flags({var::YVErw}));
        // Chart 1 keeps its own selection.
        auto* other = Open<SequenceChartWindow>(f, 1);
        QCOMPARE(SequenceColumns(other->Vars()), (std::vector<int>{31, 36, 37}));
        // Nothing chosen shows employment.
        again->SetSelection({}, {});
        QCOMPARE(again->Data().Legends.size(), size_t(1));
        QCOMPARE(again->Data().Legends[0], Translate(VarName(var::N), 1));
    }

    void quickGraphDrawsAndReadsOut() {
        TestFrame f;
        Shocked(f.m);
        auto* w = Open<QuickGraphWindow>(f);
        w->SetSlot(0, {SeriesKind::Variable, var::Y, false, 0});
        w->SetSlot(1, {SeriesKind::Parameter, par::GAut, true, 1});
        w->SetSlot(2, {SeriesKind::Variable, var::YVErw, false, 0});
        QCOMPARE(w->SeriesBoxes[2]->currentText(), QStringLiteral("YV,er(t)"));
        QCOMPARE(w->SeriesBoxes[1]->currentText(), QStringLiteral("G,aut(t-1)"));
        w->resize(760, 460);
        QCoreApplication::processEvents();
        (void)w->Box()->grab(); // paints: the mapping of the frame is there now
        const CoordinateSystem& cs = w->System();
        QVERIFY(cs.RightAxisShown());
        QCOMPARE(cs.XMin, 0.0);
        QCOMPARE(cs.XMax, 12.0);
        // Moving over period 3 shows the values of period 3.
        w->ShowPosition(cs.WorldToDeviceX(3.2));
        QCOMPARE(w->InfoGroup->title(), QStringLiteral("Variablenwerte für t = 3"));
        QCOMPARE(w->InfoLines[1]->text().toStdString(), Translate(ParamName(par::GAut), 1) + ": " +
                                                            f.m.FormatNumber(50) +
                                                            " (Diff. zu t-1)");
        // The selection is kept for the next window.
        const QuickSlots kept = ReadQuickSlots(f.settings.Windows);
        QCOMPARE(kept[2].Number, var::YVErw);
        QCOMPARE(kept[1].RightAxis, true);
        Screenshots(f, w, QStringLiteral("quick-graph"));
        const QString dir = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
        if (!dir.isEmpty()) {
            w->Box()->TogglePositionForm();
            w->ShowPosition(cs.WorldToDeviceX(3.2));
            Settle();
            w->InfoForm->grab().save(dir + QStringLiteral("/quick-graph-position-de.png"));
        }
    }

    void quickGraphReadsTheAnalysisForm() {
        TestFrame f;
        Shocked(f.m);
        auto* w = Open<QuickGraphWindow>(f);
        for (bool revolving : {false, true, false}) {
            f.revolving = revolving;
            QCOMPARE(w->Options().Revolving, revolving);
        }
    }

    void quickGraphIgnoresZoomBandBeyondTheRightEdge() {
        TestFrame f;
        Shocked(f.m);
        f.m.Periods.RightEdge = 11;
        auto* w = Open<QuickGraphWindow>(f);
        w->SetSlot(0, {SeriesKind::Variable, var::Y, false, 0});
        w->resize(760, 460);
        QCoreApplication::processEvents();
        (void)w->Box()->grab();
        const CoordinateSystem& cs = w->System();
        QVERIFY(cs.XAxisMax > 12); // the axis runs on beyond the right edge
        const struct {
            double from, to;
            bool zoomed;
        } bands[] = {{cs.XAxisMax - 0.5, 12.5, false}, {2, 6, true}};
        for (const auto& b : bands) {
            w->Message(MSG_ZOOM, 0, 0);
            (void)w->Box()->grab();
            const int y1 = cs.ToDeviceY(cs.PlotTop) + 5, y2 = cs.ToDeviceY(cs.PlotBottom) - 5;
            const QPoint p1(cs.WorldToDeviceX(b.from), y1), p2(cs.WorldToDeviceX(b.to), y2);
            QTest::mousePress(w->Box(), Qt::LeftButton, {}, p1);
            QMouseEvent move(QEvent::MouseMove, p2, w->Box()->mapToGlobal(p2), Qt::NoButton,
                             Qt::LeftButton, {});
            QCoreApplication::sendEvent(w->Box(), &move);
            QTest::mouseRelease(w->Box(), Qt::LeftButton, {}, p2);
            (void)w->Box()->grab();
            QCOMPARE(cs.Zoomed, b.zoomed);
            QVERIFY(cs.XMax <= 11);
        }
    }

    void structureColumnsFollowThePeriods() {
        TestFrame f;
        Shocked(f.m);
        f.m.Periods.LeftEdge = 2;
        auto* w = Open<StructureWindow>(f);
        const int periods[] = {2, 5, 12};
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(w->ColumnPeriod(c), periods[c]);
            QCOMPARE(w->TitleButtons[c]->text(), QStringLiteral("<<t=%1>>").arg(periods[c]));
            auto* pie = qobject_cast<QPieSeries*>(w->DemandChart(c)->series().value(0));
            QVERIFY(pie);
            QCOMPARE(pie->count(), 4);
            for (int k = 0; k < 4; ++k)
                QCOMPARE(pie->slices()[k]->value(), f.m.GetVar(periods[c], var::C + k));
            QCOMPARE(qobject_cast<QPieSeries*>(w->SupplyChart(c)->series().value(0))->count(), 3);
        }
        // Moving only the current period refills only the middle column.
        const int fills[] = {w->ColumnFills(0), w->ColumnFills(1), w->ColumnFills(2)};
        f.m.Periods.CurrentPeriod = 7;
        w->Message(MSG_PERIOD_MOVED, 2, 1);
        QCOMPARE(w->ColumnFills(0), fills[0]);
        QCOMPARE(w->ColumnFills(1), fills[1] + 1);
        QCOMPARE(w->ColumnFills(2), fills[2]);
        QCOMPARE(w->TitleButtons[1]->text(), QStringLiteral("<<t=7>>"));
        // One column alone, then all three again.
        w->TitleButtons[2]->click();
        QCOMPARE(w->TitleButtons[2]->text(), QStringLiteral(">>t=12<<"));
        QVERIFY(w->TitleButtons[0]->isHidden() || !w->TitleButtons[0]->isVisible());
        w->TitleButtons[2]->click();
        QVERIFY(w->TitleButtons[0]->isVisible());
        // At least one kind of chart stays.
        w->DemandBox->setChecked(false);
        QVERIFY(!w->SupplyBox->isEnabled());
        w->DemandBox->setChecked(true);
        QVERIFY(w->SupplyBox->isEnabled());
        Screenshots(f, w, QStringLiteral("structure"));
    }

    void structureShowsNegativesAsBars() {
        TestFrame f;
        Shocked(f.m);
        f.m.SetVar(5, var::I, -40); // disinvestment in the current period
        f.m.SetVar(12, var::Im, -1);
        auto* w = Open<StructureWindow>(f);
        const struct {
            int column;
            bool demandBars, supplyBars;
        } cases[] = {{0, false, false}, {1, true, false}, {2, false, true}};
        for (const auto& c : cases) {
            QCOMPARE(w->DemandAsBars(c.column), c.demandBars);
            QCOMPARE(w->SupplyAsBars(c.column), c.supplyBars);
        }
        auto* bars = qobject_cast<QBarSeries*>(w->DemandChart(1)->series().value(0));
        QVERIFY(bars);
        QCOMPARE(bars->count(), 4);
        QCOMPARE(bars->barSets()[1]->at(0), -40.0);
        w->PatternBox->setChecked(true);
        Screenshots(f, w, QStringLiteral("structure-negative"));
        // Copies and printouts go through the same picture.
        QVERIFY(Drawn(w->RenderPicture(500, 350)));
    }
};

QTEST_MAIN(ChartWindowsTest)
#include "ChartWindowsTest.moc"

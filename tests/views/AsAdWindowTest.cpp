// The income-price and income-inflation windows: what a paint draws, the solution-run
// guard, the raster control, and that painting leaves later solutions untouched.

#include "TestModels.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/Settings.h"
#include "services/WindowFrame.h"
#include "views/AsAdWindow.h"
#include "views/PaintBox.h"
#include "views/PositionForm.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiArea>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <cstring>

using namespace tv;

namespace {

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        area.resize(900, 700);
        area.show();
    }
    Model& model() override { return m; }
    UserHost& host() override { return quiet; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return {0, 0, 800, 600}; }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 10); }
    QFont screenFont() const override { return QFont(); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return 0; }
    const Settings* userSettings() const override { return &settings; }
    bool solving() const override { return busy; }

    Model m;
    SilentHost quiet;
    QMdiArea area;
    QPrinter printer_{QPrinter::HighResolution};
    Settings settings;
    bool busy = false;
};

// Mark-up prices and a wage equation, a spending rise from period 5.
Model SolvedModel() {
    Model m = test::BondMarketModel();
    test::SetFrom(m, 5, {{par::GAut, 260}});
    m.Periods.RightEdge = 20;
    SilentHost host;
    Solve(m, host);
    m.Periods.LeftEdge = 2;
    m.Periods.CurrentPeriod = 12;
    return m;
}

AsAdWindow* Open(TestFrame& f, AsAdPlane plane) {
    auto* w = WorkingWindow::Create<AsAdWindow>(f, plane);
    f.area.addSubWindow(w);
    w->show();
    w->resize(800, 560);
    return w;
}

std::vector<std::string> Names(const AsAdWindow* w) {
    std::vector<std::string> names;
    for (const NamedPolyline& c : w->Curves())
        names.push_back(c.Name);
    return names;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class AsAdWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void PaintingDrawsTheCurvesAndLeavesLaterSolutionsIdentical() {
        TestFrame f;
        f.m = SolvedModel();
        Model plain = f.m;
        AsAdWindow* w = Open(f, AsAdPlane::Price);
        w->RenderPicture(800, 500); // copy
        w->grab();                  // screen
        QCOMPARE(Names(w), (std::vector<std::string>{"AD(2)", "AS(2)", "LAS(2)", "AD(12)", "AS(12)",
                                                     "LAS(12)", "Pfad"}));
        AsAdWindow* d = Open(f, AsAdPlane::Inflation);
        d->RenderPicture(800, 500);
        QVERIFY(!d->Curves().empty());
        for (Model* m : {&f.m, &plain}) {
            SilentHost host;
            MarkUnsolvedFrom(*m, 0);
            m->RecalcAll = 1;
            Solve(*m, host);
        }
        for (int t = -5; t <= 20; ++t)
            for (int n = 1; n <= VarCount; ++n)
                QVERIFY2(SameBits(f.m.GetVar(t, n), plain.GetVar(t, n)),
                         qPrintable(QStringLiteral("%1/%2").arg(t).arg(n)));
    }

    void NoSamplingDuringASolutionRun() {
        TestFrame f;
        f.m = SolvedModel();
        AsAdWindow* w = Open(f, AsAdPlane::Price);
        f.busy = true;
        w->Message(MSG_MODEL_CHANGED, 1, 1);
        w->RenderPicture(800, 500);
        QVERIFY(w->Curves().empty());
        f.busy = false;
        w->RenderPicture(800, 500);
        QVERIFY(!w->Curves().empty());
    }

    void UnsolvedCurrentPeriodDrawsNothing() {
        TestFrame f;
        f.m = SolvedModel();
        f.m.Periods.LastSolved = 11;
        AsAdWindow* w = Open(f, AsAdPlane::Inflation);
        QVERIFY(!w->RenderPicture(800, 500).isNull());
        QVERIFY(w->Curves().empty());
    }

    void RasterIsTakenOnlyByItsButton() {
        TestFrame f;
        f.m = SolvedModel();
        AsAdWindow* w = Open(f, AsAdPlane::Price);
        QCOMPARE(w->RasterButton->text(), QStringLiteral("&Raster: 54"));
        w->RasterBar->setValue(10);
        QCOMPARE(w->RasterButton->text(), QStringLiteral("&Raster: 10"));
        QVERIFY(!w->RasterButton->isChecked()); // shown up: not taken yet
        QCOMPARE(w->Options().Raster, 54);
        w->RenderPicture(800, 500);
        for (const NamedPolyline& c : w->Curves())
            if (c.Name == "AD(12)") QCOMPARE(c.Points.size(), size_t(55));
        w->RasterButton->click();
        QVERIFY(w->RasterButton->isChecked());
        QCOMPARE(w->Options().Raster, 10);
        w->RenderPicture(800, 500);
        for (const NamedPolyline& c : w->Curves())
            if (c.Name == "AD(12)") QCOMPARE(c.Points.size(), size_t(11));
    }

    void NumbersAreThoseOfTheBatchToolForEveryPaint() {
        TestFrame f;
        f.m = SolvedModel();
        for (AsAdPlane plane : {AsAdPlane::Price, AsAdPlane::Inflation}) {
            const char* name = plane == AsAdPlane::Price ? "as-ad" : "dynamic-as-ad";
            AsAdWindow* w = Open(f, plane);
            emit w->Box()->Menu->aboutToShow();
            w->grab();
            const DiagramResult batch = ComputeDiagramNumbers(f.m, name, {12, 2, 54});
            QVERIFY(batch.Ok);
            QCOMPARE(DiagramCsv(*w->Numbers()), DiagramCsv(batch.Numbers));
            w->RenderPicture(800, 500); // a copy in between
            QCOMPARE(DiagramCsv(*w->Numbers()), DiagramCsv(batch.Numbers));
            emit w->Box()->Menu->aboutToShow();
            QVERIFY(w->SaveDataItem->isVisible() && w->SaveDataItem->isEnabled());
            // The raster taken is the raster exported.
            w->RasterBar->setValue(10);
            w->RasterButton->click();
            w->grab();
            QCOMPARE(DiagramCsv(*w->Numbers()),
                     DiagramCsv(ComputeDiagramNumbers(f.m, name, {12, 2, 10}).Numbers));
        }
        // Nothing drawn, nothing to give.
        f.m.Periods.LastSolved = 11;
        AsAdWindow* w = Open(f, AsAdPlane::Price);
        w->grab();
        emit w->Box()->Menu->aboutToShow();
        QVERIFY(w->CopyDataItem->isVisible() && !w->CopyDataItem->isEnabled());
        QVERIFY(!w->CopyNumbers());
    }

    void LongRunLineNeedsWageResponse() {
        TestFrame f;
        f.m = SolvedModel();
        f.m.Switch[14] = 0;
        AsAdWindow* w = Open(f, AsAdPlane::Price);
        QVERIFY(!w->LongRunBox->isEnabled());
        QVERIFY(!w->LongRunBox->isChecked());
        f.m.Switch[14] = 2;
        w->Message(MSG_MODEL_CHANGED, 1, 1);
        QVERIFY(w->LongRunBox->isEnabled());
    }

    void PositionFormsFromTheContextMenuFollowTheMouse() {
        struct Case {
            AsAdPlane plane;
            int language;
            const char* title;
            const char* firstGroup;
        } cases[] = {{AsAdPlane::Price, 1, "Einkommen-Preis-Info", "Positionswerte"},
                     {AsAdPlane::Inflation, 2, "Income-Inflation-Info", "Position"}};
        for (const Case& c : cases) {
            TestFrame f;
            f.m = SolvedModel();
            f.m.Language = static_cast<uint8_t>(c.language);
            AsAdWindow* w = Open(f, c.plane);
            w->Box()->grab();
            // The context menu offers the form.
            emit w->Box()->Menu->aboutToShow();
            QVERIFY(w->Box()->PositionItem->isVisible());
            w->Box()->PositionItem->trigger();
            QVERIFY(w->Position->isVisible());
            const DeviceRect box = w->CoordinateSystems().front()->PlotBox();
            // A point of its own for each window: the cursor moves there.
            const int shift = c.plane == AsAdPlane::Price ? 0 : 17;
            QTest::mouseMove(w->Box(), QPoint((box.Left + box.Right) / 2 + shift,
                                              (box.Top + box.Bottom) / 2 + shift));
            QTRY_COMPARE(w->Position->windowTitle(), QString::fromUtf8(c.title));
            const QStringList texts = w->Position->Texts();
            QCOMPARE(texts.size(), 7); // two group titles, two and three lines
            QCOMPARE(texts[0], QString::fromUtf8(c.firstGroup));
            QVERIFY(texts[6].startsWith(QStringLiteral("=> ")));
            w->Box()->PositionItem->trigger();
            QVERIFY(!w->Position->isVisible());
        }
    }
};

QTEST_MAIN(AsAdWindowTest)
#include "AsAdWindowTest.moc"

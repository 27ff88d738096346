// The windows with a frozen baseline: the diagrams draw its curves dashed and list them in
// their data, the sequence graphs draw its values; discarding it restores every picture.
// Screenshots on request: set TERVALIS_SHOT_DIR.

#include "DiagramTestFrame.h"
#include "OpenedModel.h"
#include "PdfText.h"
#include "TestModels.h"
#include "logic/ModelChange.h"
#include "logic/ModelFile.h"
#include "views/AsAdWindow.h"
#include "views/ChartWindows.h"
#include "views/IncomeWindows.h"
#include "views/PaintBox.h"
#include "views/QuickGraphWindow.h"
#include "windows/WindowMessages.h"

#include <QChart>
#include <QDir>
#include <QFile>
#include <QLineSeries>
#include <QMdiArea>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {

// The closed IS-LM model solved up to 20, seen from the left edge 0 at period 12.
Model Unshocked() {
    Model m = ClosedISLMModel();
    m.Periods.RightEdge = 20;
    return Solved(std::move(m), 0, 12);
}

// The money supply raised from period 5 and the model solved again.
void RaiseMoneySupply(Model& m) {
    SetFrom(m, 5, {{par::MNAut, 660}});
    m.Periods.LastSolved = 4;
    SilentHost host;
    Solve(m, host);
}

void Broadcast(TestFrame& f, int msg, long w = 1, long l = 1) {
    for (QMdiSubWindow* s : f.area.subWindowList())
        if (auto* w2 = dynamic_cast<WorkingWindow*>(s)) w2->Message(msg, w, l);
    QCoreApplication::processEvents();
}

void Freeze(TestFrame& f) {
    f.base = std::make_unique<Baseline>(f.m);
    Broadcast(f, MSG_BASELINE_CHANGED, 1);
}

void Discard(TestFrame& f) {
    f.base.reset();
    Broadcast(f, MSG_BASELINE_CHANGED, 0);
}

// The pictures and data of the open windows.
struct Snapshot {
    std::vector<QImage> images;
    std::vector<std::string> data;
};

Snapshot Take(const std::vector<GraphWindow*>& graphs, SequenceChartWindow* chart) {
    Snapshot s;
    for (GraphWindow* g : graphs) {
        s.images.push_back(g->Box()->grab().toImage());
        const std::optional<DiagramNumbers> n = g->Numbers();
        s.data.push_back(n ? DiagramCsv(*n) : "");
    }
    // Charts delete replaced items later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    s.images.push_back(chart->RenderPicture(640, 440));
    std::string series;
    for (const auto& v : chart->Data().Series)
        for (double x : v)
            series += std::to_string(x) + ",";
    s.data.push_back(series + std::to_string(chart->Data().BaselineSeries.size()) + "/" +
                     std::to_string(chart->Chart->series().size()));
    return s;
}

int BaselineCurves(const std::optional<DiagramNumbers>& n) {
    int count = 0;
    if (n)
        for (const ExportedCurve& c : n->Curves)
            count += c.Name.size() > 6 && c.Name.substr(c.Name.size() - 6) == " Basis";
    return count;
}

} // namespace

class BaselineWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void discardingRestoresEveryGraph();
    void windowDataAreThoseOfTheBatchTool();
    void screenshots();
};

void BaselineWindowsTest::discardingRestoresEveryGraph() {
    TestFrame f(Unshocked());
    auto* isLm = f.Open<IncomeInterestWindow>();
    auto* ie = f.Open<IncomeExpenditureWindow>();
    auto* price = f.Open<AsAdWindow>(AsAdPlane::Price);
    auto* inflation = f.Open<AsAdWindow>(AsAdPlane::Inflation);
    auto* quick = f.Open<QuickGraphWindow>();
    quick->SetSlot(0, {SeriesKind::Variable, var::Y, false, 0});
    auto* chart = f.Open<SequenceChartWindow>(1);
    const std::vector<GraphWindow*> graphs{isLm, ie, price, inflation, quick};
    for (GraphWindow* g : graphs)
        g->resize(600, 480);
    QCoreApplication::processEvents();
    const Snapshot before = Take(graphs, chart);

    Freeze(f);
    const Snapshot frozen = Take(graphs, chart);
    for (GraphWindow* g : std::vector<GraphWindow*>{isLm, ie, price, inflation})
        QVERIFY2(BaselineCurves(g->Numbers()) >= 1, g->windowTitle().toUtf8());
    QCOMPARE(chart->Data().BaselineSeries.size(), chart->Data().Series.size());
    // Each series with its baseline, and one legend entry for the baseline.
    QCOMPARE(int(chart->Chart->series().size()), int(2 * chart->Data().Series.size()) + 1);
    for (size_t k = 0; k < graphs.size(); ++k)
        QVERIFY2(frozen.images[k] != before.images[k], graphs[k]->windowTitle().toUtf8());

    // A copied picture and the printed page show the baseline as the screen does.
    const QImage copy = isLm->RenderPicture(600, 480);
    QTemporaryDir pdfDir;
    f.printer_.setOutputFormat(QPrinter::PdfFormat);
    f.printer_.setOutputFileName(pdfDir.filePath(QStringLiteral("is-lm.pdf")));
    isLm->Message(MSG_PRINT, 1, 1);
    QFile pdf(pdfDir.filePath(QStringLiteral("is-lm.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdftext::Extract(pdf.readAll()).contains(QStringLiteral("Basislauf")));
    Discard(f);
    QVERIFY(isLm->RenderPicture(600, 480) != copy);

    const Snapshot after = Take(graphs, chart);
    for (size_t k = 0; k < before.images.size(); ++k)
        QVERIFY2(after.images[k] == before.images[k], std::to_string(k).c_str());
    QCOMPARE(after.data, before.data);

    // With a shock after freezing, the baseline's current curves are the old ones.
    Freeze(f);
    RaiseMoneySupply(f.m);
    Broadcast(f, MSG_MODEL_CHANGED);
    (void)isLm->Box()->grab();
    const Curve* lm = nullptr;
    const Curve* lmBase = nullptr;
    for (const Curve& c : isLm->LastPlot().Curves) {
        if (c.Name == "LM(12)") lm = &c;
        if (c.Name == "LM(12) Basis") lmBase = &c;
    }
    QVERIFY(lm && lmBase);
    QCOMPARE(lmBase->Style, CurveStyle::Baseline);
    QVERIFY(lm->Points.back().X > lmBase->Points.back().X); // more money: LM to the right
}

void BaselineWindowsTest::windowDataAreThoseOfTheBatchTool() {
    TestFrame f(Unshocked());
    Freeze(f);
    RaiseMoneySupply(f.m);
    auto* isLm = f.Open<IncomeInterestWindow>();
    auto* ie = f.Open<IncomeExpenditureWindow>();
    auto* price = f.Open<AsAdWindow>(AsAdPlane::Price);
    const struct {
        GraphWindow* window;
        const char* name;
    } cases[] = {{isLm, "is-lm"}, {ie, "income-expenditure"}, {price, "as-ad"}};
    for (const auto& c : cases) {
        c.window->resize(640, 560);
        (void)c.window->Box()->grab();
        DiagramRequest request{12, 0, 54};
        request.BaselineRun = f.base.get();
        const DiagramResult batch = ComputeDiagramNumbers(f.m, c.name, request);
        QVERIFY(batch.Ok);
        QCOMPARE(DiagramCsv(*c.window->Numbers()), DiagramCsv(batch.Numbers));
        QVERIFY(BaselineCurves(c.window->Numbers()) >= 2);
    }
}

// Example 2 (money supply 600, 660 from period 5) loaded as the program loads it.
Model Example2() {
    Model m;
    if (!test::OpenAsTheProgramDoes(m, EXAMPLES_DIR "/02-closed-is-lm.TV5")) return Unshocked();
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 20;
    return m;
}

void BaselineWindowsTest::screenshots() {
    const QString dir = qEnvironmentVariable("TERVALIS_SHOT_DIR");
    if (dir.isEmpty()) QSKIP("set TERVALIS_SHOT_DIR to write the screenshots");
    QDir().mkpath(dir);
    for (int language : {1, 2}) {
        Model m = Example2();
        m.Language = static_cast<uint8_t>(language);
        TestFrame f(std::move(m));
        // Frozen, then the money supply raised once more from period 15.
        Freeze(f);
        SetFrom(f.m, 15, {{par::MNAut, 720}});
        f.m.Periods.LastSolved = 14;
        SilentHost host;
        Solve(f.m, host);
        const QString lang = language == 1 ? "de" : "en";
        auto* w = f.Open<IncomeInterestWindow>();
        auto* q = f.Open<QuickGraphWindow>();
        q->SetSlot(0, {SeriesKind::Variable, var::Y, false, 0});
        q->SetSlot(1, {SeriesKind::Variable, var::i, true, 0});
        auto* c = f.Open<SequenceChartWindow>(1);
        c->SetSelection({}, [] {
            SeriesFlags v{};
            v[var::Y] = v[var::C] = true;
            return v;
        }());
        auto* a = f.Open<AsAdWindow>(AsAdPlane::Price);
        auto* ie = f.Open<IncomeExpenditureWindow>();
        const struct {
            WorkingWindow* window;
            const char* name;
        } shots[] = {{w, "is-lm"},
                     {q, "quick-graph"},
                     {c, "sequence-chart"},
                     {a, "as-ad"},
                     {ie, "income-expenditure"}};
        for (const auto& s : shots) {
            s.window->resize(640, 500);
            // Charts delete replaced items later.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            QVERIFY(s.window->grab().save(dir + "/" + s.name + "-" + lang + ".png"));
            // The whole working area, as a maximised window fills it.
            s.window->setGeometry(f.area.viewport()->rect());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            QVERIFY(s.window->grab().save(dir + "/" + s.name + "-max-" + lang + ".png"));
        }
    }
}

QTEST_MAIN(BaselineWindowsTest)
#include "BaselineWindowsTest.moc"

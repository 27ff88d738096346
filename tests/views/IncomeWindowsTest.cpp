// The income-interest and income-expenditure windows: they paint the diagram data, say
// once per change when a period has no IS curve, and look right (screenshots on request:
// set TERVALIS_SHOT_DIR).

#include "DiagramTestFrame.h"
#include "TestModels.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "views/IncomeWindows.h"
#include "views/PaintBox.h"

#include <QCheckBox>
#include <QDir>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {

Model Solved(Model m, int left, int current) {
    SilentHost host;
    Solve(m, host);
    m.Periods.LeftEdge = left;
    m.Periods.CurrentPeriod = current;
    return m;
}

Model ClosedMoneyShock() {
    Model m = ClosedISLMModel();
    SetFrom(m, 5, {{par::MNAut, 660}});
    return Solved(m, 0, 12);
}

Model OpenFiscalShock() {
    Model m = OpenFlexibleModel();
    SetFrom(m, 5, {{par::GAut, 198}});
    return Solved(m, 0, 12);
}

bool SameCurves(const Plot& a, const Plot& b) {
    if (a.Curves.size() != b.Curves.size()) return false;
    for (size_t k = 0; k < a.Curves.size(); ++k) {
        const Curve &x = a.Curves[k], &y = b.Curves[k];
        if (x.Name != y.Name || x.Style != y.Style || x.Points.size() != y.Points.size())
            return false;
        for (size_t j = 0; j < x.Points.size(); ++j)
            if (x.Points[j].X != y.Points[j].X || x.Points[j].Y != y.Points[j].Y) return false;
    }
    return true;
}

} // namespace

class IncomeWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void noticesOncePerChangeNeverFromPaintOrRun();
    void windowsPaintTheirData();
    void screenshots();
};

void IncomeWindowsTest::noticesOncePerChangeNeverFromPaintOrRun() {
    Model m = KeynesianModel();
    SetAll(m, {{par::cY, 1}});
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 3;
    TestFrame f(std::move(m));
    auto* w = f.Open<IncomeInterestWindow>();
    auto& said = f.messages.messages;
    QCOMPARE(int(said.size()), 2); // on opening: left edge and current period
    QVERIFY(said[0].find("So nicht! | ") == 0);
    for (int k = 0; k < 3; ++k) {
        w->Box()->grab();
        w->Redraw();
        QCoreApplication::processEvents();
    }
    w->RenderPicture(300, 200);
    QCOMPARE(int(said.size()), 2);
    w->Message(MSG_MODEL_CHANGED_EQ, 1, 1);
    QCOMPARE(int(said.size()), 2);
    w->Message(MSG_MODEL_CHANGED, 1, 1);
    QCOMPARE(int(said.size()), 4);
    f.m.Periods.LeftEdge = 3;
    w->Message(MSG_PERIOD_MOVED, 1, 1);
    QCOMPARE(int(said.size()), 5); // left edge = current period: one notice
    f.running = true;
    for (int t = 4; t < 8; ++t) {
        f.m.Periods.CurrentPeriod = t;
        w->Message(MSG_PERIOD_MOVED, 2, 1);
        w->Box()->grab();
    }
    QCOMPARE(int(said.size()), 5);
    f.running = false;

    // A propensity of -1 has a finite multiplier.
    SetAll(f.m, {{par::cY, -1}});
    w->Message(MSG_MODEL_CHANGED, 1, 1);
    QCOMPARE(int(said.size()), 5);
}

void IncomeWindowsTest::windowsPaintTheirData() {
    TestFrame f(ClosedMoneyShock());
    auto* w = f.Open<IncomeInterestWindow>();
    w->resize(640, 520);
    w->Box()->grab();
    const CoordinateSystem& cs = *w->CoordinateSystems().front();
    const AxisRange axes{cs.XAxisMin, cs.XAxisMax, cs.YAxisMin, cs.YAxisMax};
    QVERIFY(SameCurves(w->LastPlot(), IncomeInterestCurves(f.m, w->Options(), axes)));
    QVERIFY(w->LastPlot().Curves.size() >= 5); // IS, LM of both periods and the path

    // The options reach the data; TV only with the path.
    w->RealButton->setChecked(true);
    w->LFBox->setChecked(true);
    w->Box()->grab();
    QVERIFY(w->Options().RealRate && w->Options().LF);
    bool lf = false;
    for (const Curve& c : w->LastPlot().Curves)
        lf = lf || c.Name == "LF(12)";
    QVERIFY(lf);
    w->PathButton->setChecked(false);
    QVERIFY(!w->WageRoundsButton->isEnabled());

    auto* e = f.Open<IncomeExpenditureWindow>();
    e->resize(560, 640);
    e->Box()->grab();
    QVERIFY(!e->LastGoodsPlot().Curves.empty() && !e->LastCapitalPlot().Curves.empty());
    // The last panel shown cannot be switched off.
    e->GoodsBox->setChecked(false);
    QVERIFY(!e->CapitalBox->isEnabled());
    e->Box()->grab();
    QCOMPARE(e->CoordinateSystems()[0]->DeviceWidth, 0);
    QVERIFY(e->CoordinateSystems()[1]->DeviceWidth > 0);
}

void IncomeWindowsTest::screenshots() {
    const QString dir = qEnvironmentVariable("TERVALIS_SHOT_DIR");
    if (dir.isEmpty()) QSKIP("set TERVALIS_SHOT_DIR to write the screenshots");
    QDir().mkpath(dir);
    struct Shot {
        const char* name;
        Model (*make)();
    };
    for (Shot s : {Shot{"closed-money-shock", ClosedMoneyShock},
                   Shot{"open-flexible-fiscal", OpenFiscalShock}}) {
        for (int language : {1, 2}) {
            Model m = s.make();
            m.Language = static_cast<uint8_t>(language);
            TestFrame f(std::move(m));
            const QString suffix = QString("-%1-%2.png").arg(s.name, language == 1 ? "de" : "en");
            auto* w = f.Open<IncomeInterestWindow>();
            w->resize(720, 560);
            QCoreApplication::processEvents();
            QVERIFY(w->grab().save(dir + "/income-interest" + suffix));
            auto* e = f.Open<IncomeExpenditureWindow>();
            e->resize(620, 700);
            QCoreApplication::processEvents();
            QVERIFY(e->grab().save(dir + "/income-expenditure" + suffix));
        }
    }
}

QTEST_MAIN(IncomeWindowsTest)
#include "IncomeWindowsTest.moc"

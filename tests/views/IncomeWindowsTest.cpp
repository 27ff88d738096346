// The income-interest and income-expenditure windows: they paint the diagram data, say
// once per change when a period has no IS curve, and look right (pictures for review:
// tools/render_examples.sh).

#include "DiagramTestFrame.h"
#include "TestModels.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "views/IncomeWindows.h"
#include "views/PaintBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenu>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {

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
    void numbersAreThoseOfTheBatchToolAndReachClipboardAndFile();
    void positionMarkFollowsTheMouseUntilTheOptionsChange();
    void capitalZoomBandStaysRightOfTheOrigin();
    void saveDataStartsInTheDataFolder();
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

void IncomeWindowsTest::numbersAreThoseOfTheBatchToolAndReachClipboardAndFile() {
    TestFrame f(OpenFiscalShock());
    f.m.DecimalSeparator = ',';
    auto* w = f.Open<IncomeInterestWindow>();
    auto* e = f.Open<IncomeExpenditureWindow>();
    const struct {
        GraphWindow* window;
        const char* name;
    } cases[] = {{w, "is-lm"}, {e, "income-expenditure"}};
    for (const auto& c : cases) {
        c.window->resize(640, 560);
        c.window->Box()->grab();
        const DiagramResult batch = ComputeDiagramNumbers(f.m, c.name, {12, 0, 54});
        QVERIFY(batch.Ok);
        const std::optional<DiagramNumbers> shown = c.window->Numbers();
        QVERIFY(shown && shown->Diagram == c.name);
        QCOMPARE(DiagramCsv(*shown), DiagramCsv(batch.Numbers));
        c.window->Box()->grab(); // painting again changes nothing
        QCOMPARE(DiagramCsv(*c.window->Numbers()), DiagramCsv(batch.Numbers));

        emit c.window->Box()->Menu->aboutToShow();
        QVERIFY(c.window->CopyDataItem->isVisible() && c.window->CopyDataItem->isEnabled());
        QCOMPARE(c.window->CopyDataItem->text(), QStringLiteral("Daten kopieren"));
        QCOMPARE(c.window->SaveDataItem->text(), QString::fromUtf8("Daten speichern…"));
        QVERIFY(c.window->CopyNumbers());
        QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
                 DiagramTabText(batch.Numbers, ','));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.csv"));
        QVERIFY(c.window->SaveNumbers(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), DiagramCsv(batch.Numbers));
        // A folder that is not there: said, and nothing claimed.
        f.messages.messages.clear();
        QVERIFY(!c.window->SaveNumbers(dir.filePath(QStringLiteral("missing/data.csv"))));
        QCOMPARE(f.messages.messages.size(), size_t(1));
        QVERIFY(f.messages.messages[0].find("data.csv") != std::string::npos);
    }
    // Only the panels shown.
    e->GoodsBox->setChecked(false);
    e->Box()->grab();
    const std::optional<DiagramNumbers> capitalOnly = e->Numbers();
    QVERIFY(capitalOnly && !capitalOnly->Curves.empty());
    for (const ExportedCurve& curve : capitalOnly->Curves)
        QVERIFY2(curve.Name.rfind("capital:", 0) == 0, curve.Name.c_str());
}

void IncomeWindowsTest::positionMarkFollowsTheMouseUntilTheOptionsChange() {
    TestFrame f(OpenFiscalShock());
    auto* e = f.Open<IncomeExpenditureWindow>();
    e->resize(560, 640);
    e->Box()->grab();
    QVERIFY(!e->Mark());
    const DeviceRect goods = e->CoordinateSystems()[0]->PlotBox();
    const DeviceRect capital = e->CoordinateSystems()[1]->PlotBox();
    const QPoint at((goods.Left + goods.Right) / 2 + 7, (goods.Top + goods.Bottom) / 2 + 5);
    QTest::mouseMove(e->Box(), at);
    QTRY_VERIFY(e->Mark() && *e->Mark() == at);
    const QImage picture = e->Box()->grab().toImage();
    // A vertical line through both panels in the current curves' colour (black), and the
    // cross in the panel under the mouse.
    auto black = [&picture](int x, int y) { return picture.pixelColor(x, y) == QColor(Qt::black); };
    struct Probe {
        const char* what;
        int x, y;
    } probes[] = {{"goods line", at.x(), goods.Top + 3},
                  {"capital line", at.x(), (capital.Top + capital.Bottom) / 2 + 11},
                  {"cross", at.x() + 2, at.y() + 2},
                  {"cross", at.x() - 2, at.y() + 2}};
    for (const Probe& p : probes)
        QVERIFY2(black(p.x, p.y), p.what);
    // Until the next change of the options.
    e->GrossBox->setChecked(true);
    QVERIFY(!e->Mark());
    const QImage after = e->Box()->grab().toImage();
    QVERIFY(after.pixelColor(at.x(), capital.Top + 3) != QColor(Qt::black));
}

void IncomeWindowsTest::capitalZoomBandStaysRightOfTheOrigin() {
    TestFrame f(OpenFiscalShock());
    auto* e = f.Open<IncomeExpenditureWindow>();
    e->resize(560, 640);
    e->Box()->grab();
    const DeviceRect capital = e->CoordinateSystems()[1]->PlotBox();
    // From inside the capital panel to the margin left of its axis.
    const QPoint from(capital.Left + 60, capital.Top + 20), to(2, capital.Bottom - 10);
    QTest::mousePress(e->Box(), Qt::LeftButton, {}, from);
    QTest::mouseMove(e->Box(), to);
    QTest::mouseRelease(e->Box(), Qt::LeftButton, {}, to);
    e->Box()->grab();
    const CoordinateSystem& cs = *e->CoordinateSystems()[1];
    QVERIFY(cs.Zoomed);
    QVERIFY(cs.XMin >= 0);
    QVERIFY(cs.XAxisMin >= 0);
    QVERIFY(cs.XMax >= 1);
}

void IncomeWindowsTest::saveDataStartsInTheDataFolder() {
    TestFrame f(OpenFiscalShock());
    QTemporaryDir data;
    f.settings.DataDirectory = data.path().toStdString() + "/";
    auto* w = f.Open<IncomeInterestWindow>();
    w->Box()->grab();
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = d->directory().absolutePath();
            d->reject();
        }
    });
    emit w->Box()->Menu->aboutToShow();
    w->SaveDataItem->trigger();
    QCOMPARE(shown, QDir(data.path()).absolutePath());
}

QTEST_MAIN(IncomeWindowsTest)
#include "IncomeWindowsTest.moc"

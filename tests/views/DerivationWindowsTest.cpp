// The curve-derivation windows: they paint the derivation data, enlarge one quadrant by
// selector or double click, say once per change when the IS curve cannot be derived, and
// look right (pictures for review: tools/render_examples.sh). The position read-outs of the
// income diagrams follow the mouse.

#include "DiagramTestFrame.h"
#include "TestModels.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "views/DerivationWindows.h"
#include "views/IncomeWindows.h"
#include "views/PaintBox.h"
#include "views/PositionForm.h"

#include <QComboBox>
#include <QDir>
#include <QToolButton>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {

void DoubleClick(QWidget* w, QPoint at) {
    QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(at), w->mapToGlobal(QPointF(at)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

bool HasCurve(const Plot& p, const std::string& name) {
    for (const Curve& c : p.Curves)
        if (c.Name == name) return true;
    return false;
}

} // namespace

class DerivationWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void paintsTheDerivationData();
    void selectorAndDoubleClickEnlarge();
    void noticesOncePerChangeNeverFromPaintOrRun();
    void positionFormsFollowTheMouse();
    void bothCurveLettersToggleTheCurveInBothLanguages();
};

void DerivationWindowsTest::paintsTheDerivationData() {
    TestFrame f(OpenFiscalShock());
    auto* w = f.Open<ZDerivationWindow>();
    w->resize(720, 620);
    w->Box()->grab();
    // Without the buttons: the partial lines only, the result quadrant empty.
    QVERIFY(HasCurve(w->LastPlots()[0], "NK(0)") && HasCurve(w->LastPlots()[0], "NK(12)"));
    QVERIFY(w->LastPlots()[3].Curves.empty());
    w->Point1Button->click();
    w->CurveButton->click();
    w->Box()->grab();
    QVERIFY(HasCurve(w->LastPlots()[3], "Z(12)") && HasCurve(w->LastPlots()[3], "P1"));
    QVERIFY(!HasCurve(w->LastPlots()[3], "P2"));
    // The quadrants of one row line up.
    QCOMPARE(w->Quadrant(1).WorldToDeviceY(1.0), w->Quadrant(4).WorldToDeviceY(1.0));
    QCOMPARE(w->Quadrant(3).WorldToDeviceX(100.0), w->Quadrant(4).WorldToDeviceX(100.0));
    // Alt+2 and Alt+C toggle point 2 and the curve.
    QApplication::setActiveWindow(&f.area);
    QVERIFY(QTest::qWaitForWindowActive(&f.area));
    f.area.setActiveSubWindow(w);
    w->ZoomBox->setFocus();
    QTest::keyClick(f.area.windowHandle(), Qt::Key_2, Qt::AltModifier);
    QTest::keyClick(f.area.windowHandle(), Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(w->Point2Button->isChecked()); // a mnemonic clicks with a short delay
    QVERIFY(!w->CurveButton->isChecked());
    // The legend names the left edge.
    f.m.Periods.LeftEdge = 3;
    w->Message(MSG_PERIOD_MOVED, 1, 1);
    w->Box()->grab();
    QVERIFY(HasCurve(w->LastPlots()[0], "NK(3)"));
}

void DerivationWindowsTest::bothCurveLettersToggleTheCurveInBothLanguages() {
    TestFrame f(ClosedMoneyShock());
    auto* w = f.Open<LMDerivationWindow>();
    QApplication::setActiveWindow(&f.area);
    QVERIFY(QTest::qWaitForWindowActive(&f.area));
    f.area.setActiveSubWindow(w);
    for (int language : {1, 2}) {
        f.m.Language = static_cast<uint8_t>(language);
        w->RefreshLanguage();
        for (Qt::Key key : {Qt::Key_K, Qt::Key_C}) {
            const bool before = w->CurveButton->isChecked();
            w->ZoomBox->setFocus();
            QTest::keyClick(f.area.windowHandle(), key, Qt::AltModifier);
            QTRY_VERIFY2(w->CurveButton->isChecked() != before,
                         qPrintable(QStringLiteral("language %1, key %2").arg(language).arg(key)));
        }
    }
}

void DerivationWindowsTest::selectorAndDoubleClickEnlarge() {
    TestFrame f(ClosedMoneyShock());
    auto* w = f.Open<LMDerivationWindow>();
    w->resize(720, 620);
    w->Box()->grab();
    for (int k = 1; k <= 4; ++k)
        QVERIFY(w->Quadrant(k).DeviceWidth > 0);
    w->ZoomBox->setCurrentIndex(4); // "LM-Kurve" alone
    w->Box()->grab();
    QCOMPARE(w->Quadrant(1).DeviceWidth, 0);
    QVERIFY(w->Quadrant(4).DeviceWidth > 0);
    DoubleClick(w->Box(), QPoint(50, 50));
    QCOMPARE(w->Enlarged(), 0);
    // The quadrant under the mouse: bottom right is the speculative demand.
    const QSize s = w->Box()->size();
    DoubleClick(w->Box(), QPoint(s.width() - 20, s.height() - 20));
    QCOMPARE(w->Enlarged(), 3);
    QVERIFY(!w->Box()->UndoZoomItem->isVisible());

    // The empty quadrant of the IS derivation does nothing.
    auto* is = f.Open<ISDerivationWindow>();
    is->resize(720, 620);
    is->Box()->grab();
    DoubleClick(is->Box(), QPoint(20, 20));
    QCOMPARE(is->Enlarged(), 0);
    DoubleClick(is->Box(), QPoint(20, is->Box()->height() - 20));
    QCOMPARE(is->Enlarged(), 1);
}

void DerivationWindowsTest::noticesOncePerChangeNeverFromPaintOrRun() {
    Model m = KeynesianModel();
    SetAll(m, {{par::cY, 1}});
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 3;
    TestFrame f(std::move(m));
    auto* w = f.Open<ISDerivationWindow>();
    auto& said = f.messages.messages;
    QCOMPARE(int(said.size()), 2); // on opening: left edge and current period
    QVERIFY(said[0].find("So nicht! | Der Multiplikator für den linken Analyserand") == 0);
    for (int k = 0; k < 3; ++k) {
        w->Box()->grab();
        w->Redraw();
        QCoreApplication::processEvents();
    }
    QCOMPARE(int(said.size()), 2);
    // One change that moves both model and period says it once.
    w->Message(MSG_MODEL_CHANGED, 1, 1);
    w->Message(MSG_PERIOD_MOVED, 1, 1);
    QCOMPARE(int(said.size()), 2); // not from inside the broadcast
    QCoreApplication::processEvents();
    QCOMPARE(int(said.size()), 4);
    f.running = true;
    for (int t = 4; t < 8; ++t) {
        f.m.Periods.CurrentPeriod = t;
        w->Message(MSG_PERIOD_MOVED, 2, 1);
        QCoreApplication::processEvents();
        w->Box()->grab();
    }
    f.running = false;
    f.busy = true;
    w->Message(MSG_MODEL_CHANGED, 1, 1);
    QCoreApplication::processEvents();
    f.busy = false;
    QCOMPARE(int(said.size()), 4);
    // A propensity of -1 has a finite multiplier.
    SetAll(f.m, {{par::cY, -1}});
    w->Message(MSG_MODEL_CHANGED, 1, 1);
    QCoreApplication::processEvents();
    QCOMPARE(int(said.size()), 4);
    // The LM derivation has nothing to say.
    SetAll(f.m, {{par::cY, 1}});
    f.Open<LMDerivationWindow>();
    QCOMPARE(int(said.size()), 4);
}

void DerivationWindowsTest::positionFormsFollowTheMouse() {
    TestFrame f(OpenFiscalShock());
    f.m.Language = 2;
    auto* w = f.Open<IncomeInterestWindow>();
    w->resize(640, 520);
    w->Box()->grab();
    QVERIFY(w->Box()->PositionForm);
    const CoordinateSystem& cs = *w->CoordinateSystems().front();
    const QPoint at(cs.WorldToDeviceX(cs.XAxisMin + 0.3 * cs.XSpan),
                    cs.WorldToDeviceY(cs.YAxisMin + 0.5 * cs.YSpan));
    // Hidden: nothing is computed.
    emit w->Box()->mouseMoved(at);
    QVERIFY(w->Position->Texts().isEmpty());
    w->Box()->TogglePositionForm();
    QVERIFY(w->Position->isVisible());
    emit w->Box()->mouseMoved(at);
    const PositionReadout expected = IncomeInterestReadout(
        f.m, w->Options(), cs.DeviceToWorldX(at.x()), cs.DeviceToWorldY(at.y()), 2);
    QCOMPARE(w->Position->windowTitle(), QString::fromStdString(expected.Caption));
    QCOMPARE(w->Position->Texts().at(1), QString::fromStdString(expected.Groups[0].Lines[0]));
    QVERIFY(w->Position->Texts().join('\n').contains("Money Market: "));

    auto* e = f.Open<IncomeExpenditureWindow>();
    e->resize(560, 640);
    e->Box()->grab();
    e->Box()->TogglePositionForm();
    const QSize s = e->Box()->size();
    emit e->Box()->mouseMoved(QPoint(s.width() / 2, s.height() / 4));
    QVERIFY(e->Position->Texts().contains("Goods Market"));
    emit e->Box()->mouseMoved(QPoint(s.width() / 2, s.height() * 3 / 4));
    QVERIFY(e->Position->Texts().contains("Capital Market"));
    QVERIFY(e->Position->windowTitle().endsWith("(t = 12)"));
}

QTEST_MAIN(DerivationWindowsTest)
#include "DerivationWindowsTest.moc"

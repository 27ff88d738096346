// Curve labels a class can read: every diagram of the examples, painted at several periods
// in both languages, at its own size and projected, writes no label over another, none
// outside its plot, none crossed by a drawn line and none nearer another curve than its own.

#include "DiagramTestFrame.h"
#include "OpenedModel.h"

#include "views/AsAdWindow.h"
#include "views/DerivationWindows.h"
#include "views/IncomeWindows.h"
#include "views/LabelPlacement.h"
#include "views/PaintBox.h"
#include "views/QtGraphCanvas.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>
#include <sstream>

using namespace tv;
using namespace tv::test;

namespace {

struct WrittenText {
    std::string Text;
    QRect Rect;
};

// The real canvas, watched: opaque texts are the curve labels; their rectangles are kept.
class WatchingCanvas : public GraphCanvas {
  public:
    explicit WatchingCanvas(QtGraphCanvas& inner) : inner_(inner) {}
    void SetFont(const char* family, int size, bool italic) override {
        inner_.SetFont(family, size, italic);
    }
    int TextWidth(const std::string& t) override { return inner_.TextWidth(t); }
    int TextHeight(const std::string& t) override { return inner_.TextHeight(t); }
    void SetPen(Colour c, int w) override { inner_.SetPen(c, w); }
    void SetDotted(bool d) override { inner_.SetDotted(d); }
    void SetDashed(bool d) override { inner_.SetDashed(d); }
    void SetBrush(Colour c) override { inner_.SetBrush(c); }
    void SetFontColour(Colour c) override { inner_.SetFontColour(c); }
    void Line(int x1, int y1, int x2, int y2) override { inner_.Line(x1, y1, x2, y2); }
    void FillRect(int l, int t, int r, int b) override { inner_.FillRect(l, t, r, b); }
    void Text(int x, int y, const std::string& t, HAlign h, VAlign v, bool opaque) override {
        inner_.Text(x, y, t, h, v, opaque);
        if (!opaque) return;
        const int w = inner_.TextWidth(t), height = inner_.TextHeight(t);
        const int left = h == HAlign::Left ? x : h == HAlign::Centre ? x - w / 2 : x - w;
        const int top = v == VAlign::Top ? y : y - height;
        labels.push_back({t, QRect(left, top, w, height)});
    }
    std::vector<WrittenText> labels;

  private:
    QtGraphCanvas& inner_;
};

struct Painting {
    std::vector<WrittenText> labels;
    std::vector<QRect> plots; // the axis boxes, frame included
    LabelFaults lineFaults;   // lines through labels, labels nearer another curve
    int leftOut = 0;          // labels without a free place
};

// A diagram window that paints onto a watched canvas as its paint box would.
template <class W> class Watched : public W {
  public:
    using W::W;
    Painting Paint(int width, int height) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::lightGray);
        QPainter p(&image);
        QtGraphCanvas canvas(p);
        WatchingCanvas watch(canvas);
        const GraphPaint g{watch, GraphTarget::Screen, width, height};
        this->DrawDiagram(g);
        Painting out;
        for (CoordinateSystem* cs : this->CoordinateSystems()) {
            cs->EndPaint();
            if (cs->DeviceWidth <= 0) continue;
            const DeviceRect b = cs->PlotBox();
            out.plots.push_back(QRect(QPoint(b.Left, b.Top), QPoint(b.Right, b.Bottom)));
            std::vector<LabelOnPlot> written;
            for (const auto& l : cs->WrittenLabels())
                written.push_back({l.Rect, l.Curve, l.Leader});
            const LabelFaults f = CountLabelFaults(cs->DrawnLines(), written);
            out.lineFaults.CrossedByALine += f.CrossedByALine;
            out.lineFaults.NearerAnotherCurve += f.NearerAnotherCurve;
            out.leftOut += cs->LabelsLeftOut();
        }
        canvas.Flush();
        out.labels = watch.labels;
        return out;
    }
};

// What is wrong with the labels of one painting; empty when nothing is.
std::string Faults(const Painting& p) {
    std::ostringstream out;
    for (size_t i = 0; i < p.labels.size(); ++i) {
        const QRect& r = p.labels[i].Rect;
        bool inside = false;
        for (const QRect& box : p.plots)
            inside = inside || box.contains(r);
        if (!inside) out << " [" << p.labels[i].Text << " leaves the plot]";
        for (size_t j = i + 1; j < p.labels.size(); ++j)
            if (r.intersects(p.labels[j].Rect))
                out << " [" << p.labels[i].Text << " over " << p.labels[j].Text << "]";
    }
    if (p.leftOut > 0) out << " [" << p.leftOut << " left out]";
    if (p.lineFaults.CrossedByALine > 0)
        out << " [" << p.lineFaults.CrossedByALine << " crossed by a line]";
    if (p.lineFaults.NearerAnotherCurve > 0)
        out << " [" << p.lineFaults.NearerAnotherCurve << " nearer another curve]";
    return out.str();
}

const char* const Examples[] = {"01-keynesian-cross",        "02-closed-is-lm",
                                "03-as-ad-prices-and-wages", "04-open-fixed-rates",
                                "05-open-flexible-rates",    "06-money-creation"};

using Painter = std::function<Painting(TestFrame&, QSize)>;

template <class W, class... Args> Painter PainterOf(std::function<void(W*)> setUp, Args... args) {
    return [=](TestFrame& f, QSize size) {
        auto* w = WorkingWindow::Create<Watched<W>>(f, args...);
        f.area.addSubWindow(w);
        w->show();
        setUp(w);
        if (!size.isValid()) size = w->Box()->size();
        const Painting p = w->Paint(size.width(), size.height());
        delete w;
        return p;
    };
}

struct NamedPainter {
    const char* name;
    Painter paint;
};

std::vector<NamedPainter> Diagrams() {
    auto derivation = [](CurveDerivationWindow* w) {
        for (QToolButton* b : {w->Point1Button, w->Point2Button, w->CurveButton})
            b->setChecked(true);
    };
    return {
        {"income-expenditure",
         PainterOf<IncomeExpenditureWindow>(
             std::function<void(IncomeExpenditureWindow*)>([](IncomeExpenditureWindow*) {}))},
        {"is-lm with LF",
         PainterOf<IncomeInterestWindow>(std::function<void(IncomeInterestWindow*)>(
             [](IncomeInterestWindow* w) { w->LFBox->setChecked(true); }))},
        {"as-ad", PainterOf<AsAdWindow>(std::function<void(AsAdWindow*)>([](AsAdWindow*) {}),
                                        AsAdPlane::Price)},
        {"dynamic as-ad",
         PainterOf<AsAdWindow>(std::function<void(AsAdWindow*)>([](AsAdWindow*) {}),
                               AsAdPlane::Inflation)},
        {"LM derivation",
         PainterOf<LMDerivationWindow>(std::function<void(LMDerivationWindow*)>(derivation))},
        {"IS derivation",
         PainterOf<ISDerivationWindow>(std::function<void(ISDerivationWindow*)>(derivation))},
        {"Z derivation",
         PainterOf<ZDerivationWindow>(std::function<void(ZDerivationWindow*)>(derivation))},
    };
}

} // namespace

class DiagramLabelsTest : public QObject {
    Q_OBJECT
  private slots:
    void labelsNeitherOverlapNorLeaveThePlot_data();
    void labelsNeitherOverlapNorLeaveThePlot();
    void screenshots();
};

void DiagramLabelsTest::labelsNeitherOverlapNorLeaveThePlot_data() {
    QTest::addColumn<QString>("example");
    QTest::addColumn<int>("textSize");
    QTest::addColumn<QSize>("size");
    for (const char* e : Examples) {
        // Each window at its own size, and projected: maximised with a large text.
        QTest::newRow(e) << QString(e) << 8 << QSize();
        QTest::newRow((std::string(e) + " 16pt").c_str()) << QString(e) << 16 << QSize(1600, 900);
    }
}

void DiagramLabelsTest::labelsNeitherOverlapNorLeaveThePlot() {
    QFETCH(QString, example);
    QFETCH(int, textSize);
    QFETCH(QSize, size);
    Model m;
    const std::string file = std::string(EXAMPLES_DIR) + "/" + example.toStdString() + ".TV5";
    QVERIFY(OpenAsTheProgramDoes(m, file));
    TestFrame f(std::move(m));
    f.settings.DiagramTextSize = textSize;
    const int left = f.m.Periods.LeftEdge, right = f.m.Periods.RightEdge;
    std::string faults;
    int labels = 0;
    for (int language : {1, 2})
        for (int current : {0, 6, 12, 50, 100}) {
            if (current < left || current > right) continue;
            f.m.Language = static_cast<uint8_t>(language);
            f.m.Periods.CurrentPeriod = current;
            for (const NamedPainter& d : Diagrams()) {
                const Painting p = d.paint(f, size);
                labels += int(p.labels.size());
                const std::string wrong = Faults(p);
                if (!wrong.empty())
                    faults += std::string("\n  ") + d.name + " at t=" + std::to_string(current) +
                              (language == 1 ? " de:" : " en:") + wrong;
            }
        }
    qInfo("%d labels checked", labels);
    QVERIFY(labels > 0);
    QVERIFY2(faults.empty(), faults.c_str());
}

// Example 03 at period 12 as a class sees it: default size with the default text, and
// maximised to 1600 x 900 with a 16-point text, German and English.
void DiagramLabelsTest::screenshots() {
    const QString dir = qEnvironmentVariable("TERVALIS_SHOT_DIR");
    if (dir.isEmpty()) QSKIP("set TERVALIS_SHOT_DIR to write the screenshots");
    QDir().mkpath(dir);
    for (int language : {1, 2})
        for (bool projected : {false, true}) {
            Model m;
            QVERIFY(OpenAsTheProgramDoes(m, EXAMPLES_DIR "/03-as-ad-prices-and-wages.TV5"));
            m.Periods.CurrentPeriod = 12;
            m.Language = static_cast<uint8_t>(language);
            TestFrame f(std::move(m));
            f.settings.DiagramTextSize = projected ? 16 : 8;
            if (projected) f.area.resize(1600, 900);
            const QString suffix = QStringLiteral("-%1-%2.png")
                                       .arg(projected ? "maximised-16pt" : "default")
                                       .arg(language == 1 ? "de" : "en");
            std::vector<std::pair<QString, GraphWindow*>> shots = {
                {"is-lm", f.Open<IncomeInterestWindow>()},
                {"as-ad", f.Open<AsAdWindow>(AsAdPlane::Price)},
                {"dynamic-as-ad", f.Open<AsAdWindow>(AsAdPlane::Inflation)}};
            for (auto& [name, w] : shots) {
                // The whole 1600 x 900 of a maximised window.
                if (projected) w->resize(1600, 900);
                f.area.setActiveSubWindow(w);
                QCoreApplication::processEvents();
                QVERIFY(w->grab().save(dir + "/" + name + suffix));
            }
        }
}

QTEST_MAIN(DiagramLabelsTest)
#include "DiagramLabelsTest.moc"

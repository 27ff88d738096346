#include "views/DerivationWindows.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "services/WindowFrame.h"
#include "views/PaintBox.h"
#include "views/QtGraphCanvas.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

// The line style of the reference curves with the left edge it stands for.
class LegendPanel : public QWidget {
  public:
    explicit LegendPanel(CurveDerivationWindow& w) : QWidget(nullptr), w_(w) {
        setMinimumWidth(80);
    }
    QString Text() const { return QStringLiteral("t=%1").arg(w_.frame().model().Periods.LeftEdge); }
    QSize sizeHint() const override {
        return {40 + fontMetrics().horizontalAdvance(Text()) + 8, fontMetrics().height() + 8};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const GraphStyle style = w_.Style();
        QPen pen(ToQColor(style.ColourOf(CurveKind::Reference)));
        pen.setWidth(style.WidthOf(CurveKind::Reference));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        const int y = height() / 2;
        p.drawLine(4, y, 34, y);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(40, 0, width() - 40, height()), Qt::AlignVCenter | Qt::AlignLeft, Text());
    }

  private:
    CurveDerivationWindow& w_;
};

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A hint "short|long": the short part (or the long one when there is none) as the tooltip,
// the long part on the status line.
void SetHint(QWidget* w, const std::string& hint) {
    const QString h = Q(hint);
    const int bar = h.indexOf(QLatin1Char('|'));
    const QString shortText = bar < 0 ? h : h.left(bar).trimmed();
    const QString longText = bar < 0 ? h : h.mid(bar + 1).trimmed();
    w->setToolTip(shortText.isEmpty() ? longText : shortText);
    w->setStatusTip(longText);
}

QToolButton* Toggle(QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setCheckable(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

const char* CurveLetter(DerivationKind kind) {
    switch (kind) {
    case DerivationKind::LM:
        return "LM";
    case DerivationKind::IS:
        return "IS";
    case DerivationKind::Z:
    default:
        return "Z";
    }
}

} // namespace

CurveDerivationWindow::CurveDerivationWindow(WindowFrame& frame, DerivationKind kind,
                                             const char* caption)
    : GraphWindow(frame, caption), kind_(kind) {
    for (CoordinateSystem& cs : cs_) {
        cs.FixedMargins = true;
        // Room for the tick labels of a quarter of the window.
        cs.PlotLeft = 150;
        cs.PlotRight = 960;
        cs.PlotTop = 60;
        cs.PlotBottom = 880;
        AddCoordinateSystem(cs);
    }
    // The quadrants keep their scales: no rubber band, no "Undo zoom".
    Box()->ZoomAllowed = false;
    Box()->UndoZoomItem->setVisible(false);
    for (QAction* a : Box()->Menu->actions())
        if (a->isSeparator()) {
            a->setVisible(false);
            break;
        }
    resize(720, 620);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 2, 4, 0);
    column->addLayout(row);
    column->addWidget(Box(), 1);
    setWidget(content);
    // After setWidget: replacing the subwindow's widget drops this window's filters on it.
    Box()->installEventFilter(this);

    ZoomGroup = new QGroupBox(content);
    ZoomBox = new QComboBox(ZoomGroup);
    ZoomBox->setObjectName(QStringLiteral("ComBoxZoom"));
    for (const std::string& name : QuadrantNames(kind))
        ZoomBox->addItem(Q(Tr(name.c_str())));
    auto* zoomRow = new QHBoxLayout(ZoomGroup);
    zoomRow->setContentsMargins(6, 0, 6, 2);
    zoomRow->addWidget(ZoomBox);
    Point1Button = Toggle(content);
    Point2Button = Toggle(content);
    CurveButton = Toggle(content);
    Legend = new LegendPanel(*this);
    row->addWidget(ZoomGroup);
    row->addWidget(Point1Button);
    row->addWidget(Point2Button);
    row->addWidget(CurveButton);
    row->addStretch(1);
    row->addWidget(Legend);
    // The button's accelerator is K in German and C in English; the other letter toggles it
    // as well (the language switch sets which one).
    curveKey_ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_C), this);
    curveKey_->setContext(Qt::WidgetWithChildrenShortcut);
    connect(curveKey_, &QShortcut::activated, CurveButton, &QToolButton::toggle);

    for (QToolButton* b : {Point1Button, Point2Button, CurveButton})
        connect(b, &QToolButton::toggled, this, [this] { Redraw(); });
    connect(ZoomBox, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
    ScheduleNotices();
}

std::optional<DiagramNumbers> CurveDerivationWindow::Numbers() const {
    DiagramNumbers d;
    static constexpr const char* names[] = {"lm-derivation", "is-derivation", "z-derivation"};
    d.Diagram = names[static_cast<int>(kind_)];
    AppendQuadrants(d, kind_, plots_);
    return d;
}

DerivationOptions CurveDerivationWindow::Options() const {
    DerivationOptions o;
    o.Point1 = Point1Button->isChecked();
    o.Point2 = Point2Button->isChecked();
    o.Curve = CurveButton->isChecked();
    return o;
}

int CurveDerivationWindow::Enlarged() const {
    return std::max(0, ZoomBox->currentIndex());
}

void CurveDerivationWindow::LanguageChanged() {
    ZoomGroup->setTitle(QStringLiteral(" &Zoom"));
    const std::string zoomHint =
        Tr("| Vergrößert das eingestellte Diagramm auf volle Fenstergröße (entspricht "
           "Doppelklick auf Grafik)##| Enlarges the chosen diagram to the whole window (as a "
           "double click on the graph does)");
    SetHint(ZoomGroup, zoomHint);
    SetHint(ZoomBox, zoomHint);
    const std::vector<std::string> names = QuadrantNames(kind_);
    for (int k = 0; k < ZoomBox->count() && k < int(names.size()); ++k)
        ZoomBox->setItemText(k, Q(Tr(names[size_t(k)].c_str())));
    const std::string letter = CurveLetter(kind_);
    const std::string level =
        Tr(kind_ == DerivationKind::LM ? "Einkommen##income" : "Zinsniveau##interest rate");
    Point1Button->setText(Q(Tr("Punkt &1##Point &1")));
    Point2Button->setText(Q(Tr("Punkt &2##Point &2")));
    for (int k : {1, 2}) {
        const std::string n = std::to_string(k);
        SetHint(k == 1 ? Point1Button : Point2Button,
                FillIn(Tr("Herleitung für %1 %2| Zeigt Herleitung eines Punktes auf der "
                          "%3-Kurve der aktuellen Periode für %1 %2##Derivation for %1 %2| Shows "
                          "the derivation of a point on the %3 curve of the current period for "
                          "%1 %2"),
                       {level, n, letter}));
    }
    CurveButton->setText(Q(FillIn(Tr("%1-&Kurve##%1 &Curve"), letter)));
    // The letter the button's own accelerator does not take; the same letter twice would
    // make the key ambiguous.
    curveKey_->setKey(QKeySequence(Qt::ALT | (Language() == 2 ? Qt::Key_K : Qt::Key_C)));
    SetHint(CurveButton, FillIn(Tr("aktuelle %1-Kurve anzeigen| Blendet die %1-Kurve für die "
                                   "aktuelle Periode ein##Show current %1 curve| Shows the %1 "
                                   "curve of the current period"),
                                letter));
    SetHint(Legend, Tr("Legende für linken Rand| Zeigt die Linienart für den linken Rand des "
                       "Analyseintervalls##Legend for the left border| Shows the line style of the "
                       "left border of the analysis interval"));
    Legend->updateGeometry();
    Legend->update();
}

long CurveDerivationWindow::Message(int msg, long wParam, long lParam) {
    // Zoom bands do not apply here; everything else redraws as in every diagram.
    if (msg == MSG_ZOOM) return 0;
    const long r = GraphWindow::Message(msg, wParam, lParam);
    if (msg == MSG_MODEL_CHANGED || msg == MSG_PERIOD_MOVED || msg == MSG_GRAPH_OPTIONS) {
        Legend->updateGeometry();
        Legend->update();
    }
    if (msg == MSG_MODEL_CHANGED || msg == MSG_PERIOD_MOVED) ScheduleNotices();
    return r;
}

void CurveDerivationWindow::ScheduleNotices() {
    if (noticesPending_) return;
    noticesPending_ = true;
    QTimer::singleShot(0, this, [this] {
        noticesPending_ = false;
        ShowNotices();
    });
}

void CurveDerivationWindow::ShowNotices() {
    if (frame().solving() || frame().periodRunning()) return;
    for (const std::string& text : DerivationNotices(frame().model(), kind_))
        frame().host().ShowMessage("So nicht!##Not possible!", text);
}

void CurveDerivationWindow::DoubleClickAt(QPoint position) {
    if (Enlarged() != 0) {
        ZoomBox->setCurrentIndex(0);
        return;
    }
    const int w = Box()->width(), h = Box()->height();
    if (w <= 0 || h <= 0) return;
    const int k = QuadrantAt(kind_, position.x() * 2 >= w ? 1 : 0, position.y() * 2 >= h ? 1 : 0);
    if (k > 0) ZoomBox->setCurrentIndex(k);
}

bool CurveDerivationWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Box() && e->type() == QEvent::MouseButtonDblClick) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton) DoubleClickAt(me->position().toPoint());
        return true;
    }
    return GraphWindow::eventFilter(watched, e);
}

void CurveDerivationWindow::DrawDiagram(const GraphPaint& g) {
    const Model& m = frame().model();
    const int enlarged = Enlarged();
    const std::array<AxisRange, 4> ranges = DerivationRanges(m, kind_);
    std::array<AxisRange, 4> axes{};
    for (int k = 0; k < 4; ++k)
        axes[k] = AxesFor(ranges[k]);
    plots_ = DerivationPlots(m, kind_, Options(), axes);

    const Viewport base = g.Narrow();
    const GraphStyle style = Style();
    for (int k = 1; k <= 4; ++k) {
        CoordinateSystem& cs = cs_[k - 1];
        const bool shown = k <= QuadrantCount(kind_) && (enlarged == 0 || enlarged == k);
        if (!shown) {
            cs.DeviceWidth = 0;
            continue;
        }
        Viewport v = base;
        if (enlarged == 0) {
            const QuadrantPlace place = PlaceOf(kind_, k);
            v.FactorX = base.FactorX / 2;
            v.FactorY = base.FactorY / 2;
            v.OffsetX = base.OffsetX + place.Column * v.FactorX;
            v.OffsetY = base.OffsetY + place.Row * v.FactorY;
        }
        const AxisRange& r = ranges[k - 1];
        cs.FixedXMin = cs.AutoXMin = r.XMin;
        cs.FixedXMax = cs.AutoXMax = r.XMax;
        cs.FixedYMin = cs.AutoYMin = r.YMin;
        cs.FixedYMax = cs.AutoYMax = r.YMax;
        cs.AutoRange = false;
        cs.Zoomed = false;
        TakeRange(cs);
        const QuadrantTitles titles = TitlesOf(kind_, k, enlarged == k, Language());
        cs.XTitle = titles.X;
        cs.YTitle = titles.Y;
        if (!BeginFrame(cs, g, v)) continue;
        DrawPlot(cs, plots_[k - 1], style);
    }
}

} // namespace tv

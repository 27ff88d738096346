#include "views/AsAdWindow.h"
#include "logic/HelpPages.h"
#include "services/HelpSystem.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/WindowFrame.h"
#include "views/BaselineCurves.h"
#include "views/PaintBox.h"
#include "views/PositionForm.h"
#include "windows/WindowMessages.h"

#include <QCheckBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace tv {

namespace {

constexpr int RasterMin = 10, RasterMax = 99, RasterStart = 54;

// The long part of a "short|long" hint as the tool tip.
QString HintText(const std::string& s) {
    const auto bar = s.find('|');
    return QString::fromStdString(bar == std::string::npos ? s : s.substr(bar + 1)).trimmed();
}

QCheckBox* CurveBox(QHBoxLayout* row) {
    auto* box = new QCheckBox;
    box->setChecked(true);
    row->addWidget(box);
    return box;
}

// Texts and hints of the controls, bilingual; the window sets them on every language switch.
constexpr const char* ReferenceHint =
    "Blendet Kurven für linken Rand des Analyseintervalls als Referenzkonstellation ein##"
    "Shows the curves of the left border of the analysis interval as the reference";
constexpr const char* DemandHint = "| Blendet Nachfragekurve ein##| Shows the demand curve";
constexpr const char* SupplyHint =
    "| Blendet Angebots-Kurve ein (bzw. Preislinie bei exogenem Preisniveau)##| Shows the supply "
    "curve (or the price line when the price level is exogenous)";
constexpr const char* PathHint =
    "| Zeigt und verbindet alle realisierten Einkommen-Preis-Kombinationen bis zur aktuellen "
    "Periode##| Shows and connects every realized combination of income and price level up to "
    "the current period";
constexpr const char* WageRoundsHint =
    "| Filtert aus dem Anpassungspfad nur diejenigen Perioden heraus, in denen "
    "Tarifverhandlungen stattfinden##| Keeps only those periods of the adjustment path in which "
    "wages are bargained";
constexpr const char* RasterHint =
    "Kurvenrasterung (= Anzahl der linearen Teilstücke) mit Rollbalken einstellen und mit "
    "nebenstehendem Schalter bestätigen##Set the curve resolution (= number of linear pieces) "
    "with the scroll bar and confirm it with the button beside it";

bool Finite(const WorldPoint& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

} // namespace

AsAdWindow::AsAdWindow(WindowFrame& frame, AsAdPlane plane)
    : GraphWindow(frame, plane == AsAdPlane::Price ? IncomePriceCaption : IncomeInflationCaption),
      plane_(plane), raster_(RasterStart) {
    SetHelpContext(this, plane == AsAdPlane::Price ? help::IncomePrice : help::IncomeInflation);
    AddCoordinateSystem(cs_);
    Box()->AutoZoomItem->setVisible(true);
    const bool price = plane == AsAdPlane::Price;

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* row = new QHBoxLayout;
    ReferenceButton = new QPushButton(QStringLiteral("R&ef."));
    ReferenceButton->setCheckable(true);
    ReferenceButton->setChecked(true);
    row->addWidget(ReferenceButton);
    DemandBox = CurveBox(row);
    DemandBox->setText(price ? QStringLiteral("A&D") : QStringLiteral("DA&D"));
    SupplyBox = CurveBox(row);
    SupplyBox->setText(price ? QStringLiteral("A&S") : QStringLiteral("DA&S"));
    LongRunBox = CurveBox(row);
    LongRunBox->setText(price ? QStringLiteral("&LAS") : QStringLiteral("&LDAS"));
    PathBox = CurveBox(row);
    if (!price) {
        WageRoundsBox = CurveBox(row);
        WageRoundsBox->setChecked(false);
        // Without price setting there is no supply curve in the inflation plane.
        if (frame.model().Sw(12) == 0) {
            SupplyBox->setChecked(false);
            SupplyBox->setEnabled(false);
        }
    }
    RasterBar = new QScrollBar(Qt::Horizontal);
    RasterBar->setRange(RasterMin, RasterMax);
    RasterBar->setValue(RasterStart);
    RasterBar->setMinimumWidth(120);
    RasterButton = new QPushButton;
    RasterButton->setCheckable(true);
    RasterButton->setChecked(true);
    row->addStretch(1);
    row->addWidget(RasterButton);
    row->addWidget(RasterBar);
    RasterMoved(RasterStart);
    layout->addLayout(row);
    setWidget(nullptr); // the paint box moves under the controls
    layout->addWidget(Box(), 1);
    setWidget(content);
    resize(640, 480);

    connect(ReferenceButton, &QPushButton::toggled, this, [this] { Redraw(); });
    for (QCheckBox* box : {DemandBox, SupplyBox, LongRunBox})
        connect(box, &QCheckBox::toggled, this, [this] { CurvesChanged(); });
    connect(PathBox, &QCheckBox::toggled, this, [this] {
        if (WageRoundsBox) WageRoundsBox->setEnabled(PathBox->isChecked());
        Redraw();
    });
    if (WageRoundsBox) connect(WageRoundsBox, &QCheckBox::toggled, this, [this] { Redraw(); });
    connect(RasterBar, &QScrollBar::valueChanged, this, [this](int v) { RasterMoved(v); });
    connect(RasterButton, &QPushButton::clicked, this, [this] { TakeRaster(); });
    UpdateLongRunBox();
    Position = new PositionForm(this);
    Box()->PositionForm = Position;
    connect(Box(), &PaintBox::mouseMoved, this, &AsAdWindow::ShowPosition);
}

void AsAdWindow::ShowPosition(QPoint device) {
    if (!Position->isVisible() || frame().solving() || cs_.DeviceWidth <= 0) return;
    Position->Show(AsAdReadout(frame().model(), plane_, cs_.DeviceToWorldX(device.x()),
                               cs_.DeviceToWorldY(device.y()), Language()));
}

void AsAdWindow::LanguageChanged() {
    ReferenceButton->setToolTip(HintText(Tr(ReferenceHint)));
    DemandBox->setToolTip(HintText(Tr(DemandHint)));
    SupplyBox->setToolTip(HintText(Tr(SupplyHint)));
    PathBox->setText(QString::fromStdString(Tr("&Pfad##&Path")));
    PathBox->setToolTip(HintText(Tr(PathHint)));
    if (WageRoundsBox) {
        // Wage bargaining
        WageRoundsBox->setText(QString::fromStdString(Tr("&TV##&WB")));
        WageRoundsBox->setToolTip(HintText(Tr(WageRoundsHint)));
    }
    RasterButton->setToolTip(HintText(Tr(RasterHint)));
    if (Position && Position->isVisible()) ShowPosition(Box()->mapFromGlobal(QCursor::pos()));
}

AsAdOptions AsAdWindow::Options() const {
    AsAdOptions o;
    o.Reference = ReferenceButton->isChecked();
    o.Demand = DemandBox->isChecked();
    o.Supply = SupplyBox->isChecked() && SupplyBox->isEnabled();
    o.LongRun = LongRunBox->isChecked() && LongRunBox->isEnabled();
    o.Path = PathBox->isChecked();
    o.WageRoundsOnly = WageRoundsBox && WageRoundsBox->isChecked() && WageRoundsBox->isEnabled();
    o.Raster = raster_;
    return o;
}

std::optional<DiagramNumbers> AsAdWindow::Numbers() const {
    DiagramNumbers d;
    d.Diagram = plane_ == AsAdPlane::Price ? "as-ad" : "dynamic-as-ad";
    AppendPolylines(d, curves_);
    return d;
}

void AsAdWindow::CurvesChanged() {
    cache_.Clear();
    baselineCache_.Period = -1;
    Redraw();
}

void AsAdWindow::RasterMoved(int position) {
    RasterButton->setText(QStringLiteral("&Raster: %1").arg(position));
    // Up means: press to take this raster.
    RasterButton->setChecked(position == raster_);
}

void AsAdWindow::TakeRaster() {
    raster_ = RasterBar->value();
    RasterButton->setChecked(true);
    CurvesChanged();
}

void AsAdWindow::UpdateLongRunBox() {
    const bool available = LongRunAvailable(frame().model());
    if (!available) LongRunBox->setChecked(false);
    LongRunBox->setEnabled(available);
}

long AsAdWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_MODEL_CHANGED:
        cache_.Clear();
        baselineCache_.Period = -1; // the axes it was sampled over may have changed
        UpdateLongRunBox();
        break;
    case MSG_BASELINE_CHANGED:
        baselineCache_.Period = -1;
        break;
    case MSG_PERIOD_MOVED:
        // Samples of a period that stays are kept; the cache knows its periods.
        UpdateLongRunBox();
        break;
    default:
        break;
    }
    return GraphWindow::Message(msg, wParam, lParam);
}

void AsAdWindow::DrawDiagram(const GraphPaint& g) {
    Model& m = frame().model();
    curves_.clear();
    if (!AsAdDrawable(m)) {
        g.Canvas.SetFont("Arial", 10, false);
        g.Canvas.SetFontColour(Black);
        g.Canvas.Text(10, 10, Tr(AsAdUnsolvedText(plane_)), HAlign::Left, VAlign::Top, false);
        return;
    }
    const bool price = plane_ == AsAdPlane::Price;
    const AsAdRanges r = ComputeAsAdRanges(m, plane_);
    cs_.FixedXMin = r.FixedXMin, cs_.FixedXMax = r.FixedXMax;
    cs_.FixedYMin = r.FixedYMin, cs_.FixedYMax = r.FixedYMax;
    cs_.AutoXMin = r.AutoXMin, cs_.AutoXMax = r.AutoXMax;
    cs_.AutoYMin = r.AutoYMin, cs_.AutoYMax = r.AutoYMax;
    if (TakeRange(cs_)) BoundAsAdZoom(plane_, cs_.XMin, cs_.XMax, cs_.YMin, cs_.YMax);
    cs_.XTitle = Tr("Einkommen##Income") + "#";
    cs_.YTitle = price ? Tr("Preisniveau##Price Level") + "#" : Tr("Inflation##Inflation") + "#%";
    if (!BeginFrame(cs_, g)) return;

    const AsAdAxes axes{cs_.XAxisMin, cs_.XAxisMax, cs_.YAxisMin, cs_.YAxisMax};
    curves_ = ComputeAsAdCurves(m, plane_, Options(), axes, &cache_);
    bool baseline = false;
    for (NamedPolyline& c : ComputeAsAdBaselineCurves(frame().baseline(), plane_, Options(), axes,
                                                      m.Periods.CurrentPeriod, &baselineCache_)) {
        curves_.push_back(std::move(c));
        baseline = true;
    }
    DrawAsAdCurves(cs_, curves_, Style(), Language());
    if (PathBox->isChecked()) DrawPathMarks(g.Canvas);
    if (baseline) DrawBaselineKey(cs_, Style(), Language());
}

void AsAdWindow::DrawPathMarks(GraphCanvas& c) {
    const Model& m = frame().model();
    const int left = m.Periods.LeftEdge, current = m.Periods.CurrentPeriod;
    UsePen(cs_, CurveKind::Path);
    const DeviceRect box = cs_.PlotBox();
    const auto inside = [&box](int x, int y) {
        return x >= box.Left && x <= box.Right && y >= box.Top && y <= box.Bottom;
    };
    const int s = cs_.ScaledWidth(1); // marks grow with the diagram's text
    const WorldPoint a = AsAdPathPoint(m, plane_, left);
    if (Finite(a)) {
        const int x = cs_.WorldToDeviceX(a.X), y = cs_.WorldToDeviceY(a.Y);
        if (inside(x, y)) {
            // A circle of radius 2 pixels.
            const int px[] = {2, 1, -1, -2, -2, -1, 1, 2, 2};
            const int py[] = {1, 2, 2, 1, -1, -2, -2, -1, 1};
            for (int k = 1; k < 9; ++k)
                c.Line(x + s * px[k - 1], y + s * py[k - 1], x + s * px[k], y + s * py[k]);
        }
    }
    const WorldPoint b = AsAdPathPoint(m, plane_, current);
    if (current > left && Finite(b)) {
        const int x = cs_.WorldToDeviceX(b.X), y = cs_.WorldToDeviceY(b.Y);
        if (inside(x, y)) {
            c.Line(x - 3 * s, y - 3 * s, x + 3 * s, y + 3 * s);
            c.Line(x - 3 * s, y + 3 * s, x + 3 * s, y - 3 * s);
        }
    }
}

} // namespace tv

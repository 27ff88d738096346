#include "views/IncomeWindows.h"

#include "core/Model.h"
#include "core/UserHost.h"
#include "services/WindowFrame.h"
#include "views/BaselineCurves.h"
#include "views/PaintBox.h"
#include "views/PositionForm.h"
#include "views/PositionReadouts.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QToolButton* ToggleButton(QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setCheckable(true);
    b->setChecked(true);
    b->setAutoRaise(false);
    return b;
}

// A hint "short|long": the short part (or the long one when there is none) as the tooltip,
// the long part on the status line.
void SetHint(QWidget* w, const std::string& hint) {
    const auto bar = hint.find('|');
    std::string shortText = bar == std::string::npos ? hint : hint.substr(0, bar);
    std::string longText = bar == std::string::npos ? hint : hint.substr(bar + 1);
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        return s;
    };
    shortText = trim(shortText);
    longText = trim(longText);
    w->setToolTip(Q(shortText.empty() ? longText : shortText));
    w->setStatusTip(Q(longText));
}

// Puts the controls above the paint box.
QHBoxLayout* ControlsAbove(QMdiSubWindow* window, PaintBox* box) {
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 2, 4, 0);
    column->addLayout(row);
    column->addWidget(box, 1);
    window->setWidget(content);
    return row;
}

AxisRange AxesOf(const CoordinateSystem& cs) {
    return {cs.XAxisMin, cs.XAxisMax, cs.YAxisMin, cs.YAxisMax};
}

void TakeSets(CoordinateSystem& cs, const RangeSets& r) {
    cs.FixedXMin = r.Fixed.XMin, cs.FixedXMax = r.Fixed.XMax;
    cs.FixedYMin = r.Fixed.YMin, cs.FixedYMax = r.Fixed.YMax;
    cs.AutoXMin = r.Auto.XMin, cs.AutoXMax = r.Auto.XMax;
    cs.AutoYMin = r.Auto.YMin, cs.AutoYMax = r.Auto.YMax;
}

constexpr const char* ReferenceHint =
    "Referenzkurven| Blendet Kurven für linken Rand des Analyseintervalls als "
    "Referenzkonstellation ein##Reference curves| Shows the curves of the left border of the "
    "analysis interval as the reference";

} // namespace

// ------------------------------------------------------------------ income-interest

IncomeInterestWindow::IncomeInterestWindow(WindowFrame& frame) : GraphWindow(frame, Caption) {
    AddCoordinateSystem(cs_);
    Box()->AutoZoomItem->setVisible(true);
    resize(620, 520);
    QHBoxLayout* row = ControlsAbove(this, Box());
    QWidget* host = row->parentWidget();
    ReferenceButton = ToggleButton(host);
    PathButton = ToggleButton(host);
    WageRoundsButton = ToggleButton(host);
    WageRoundsButton->setChecked(false);
    ISBox = new QCheckBox(host);
    LMBox = new QCheckBox(host);
    ZBox = new QCheckBox(host);
    LFBox = new QCheckBox(host);
    for (QCheckBox* b : {ISBox, LMBox, ZBox})
        b->setChecked(true);
    RateGroup = new QGroupBox(host);
    NominalButton = new QRadioButton(RateGroup);
    RealButton = new QRadioButton(RateGroup);
    NominalButton->setChecked(true);
    auto* rates = new QHBoxLayout(RateGroup);
    rates->setContentsMargins(6, 0, 6, 0);
    rates->addWidget(NominalButton);
    rates->addWidget(RealButton);
    for (QWidget* w : std::initializer_list<QWidget*>{ReferenceButton, PathButton, WageRoundsButton,
                                                      ISBox, LMBox, ZBox, LFBox, RateGroup})
        row->addWidget(w);
    row->addStretch(1);

    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             ReferenceButton, PathButton, WageRoundsButton, ISBox, LMBox, ZBox, LFBox,
             NominalButton, RealButton})
        connect(b, &QAbstractButton::toggled, this, [this] {
            WageRoundsButton->setEnabled(PathButton->isChecked());
            Redraw();
        });
    // A model that opens without an IS curve says why once, after the window is shown.
    QTimer::singleShot(0, this, [this] { AnnounceNotices(); });
    Position = new PositionForm(this);
    Box()->PositionForm = Position;
    connect(Box(), &PaintBox::mouseMoved, this, &IncomeInterestWindow::ShowPosition);
}

void IncomeInterestWindow::ShowPosition(QPoint device) {
    if (!Position->isVisible() || frame().solving() || cs_.DeviceWidth <= 0) return;
    Position->Show(IncomeInterestReadout(frame().model(), Options(), cs_.DeviceToWorldX(device.x()),
                                         cs_.DeviceToWorldY(device.y()), Language()));
}

IncomeInterestOptions IncomeInterestWindow::Options() const {
    IncomeInterestOptions o;
    o.Reference = ReferenceButton->isChecked();
    o.Path = PathButton->isChecked();
    o.WageRounds = WageRoundsButton->isChecked() && o.Path;
    o.RealRate = RealButton->isChecked();
    o.IS = ISBox->isChecked();
    o.LM = LMBox->isChecked();
    o.Z = ZBox->isChecked();
    o.LF = LFBox->isChecked();
    return o;
}

void IncomeInterestWindow::LanguageChanged() {
    ReferenceButton->setText(QStringLiteral("R&ef."));
    SetHint(ReferenceButton, Tr(ReferenceHint));
    PathButton->setText(Q(Tr("&Pfad##&Path")));
    SetHint(PathButton, Tr("| Zeigt und verbindet alle realisierten Einkommen-Zins-Kombinationen "
                           "bis zur aktuellen Periode##| Shows and connects every realized "
                           "combination of income and interest rate up to the current period"));
    // Wage bargaining
    WageRoundsButton->setText(Q(Tr("&TV##&WB")));
    SetHint(WageRoundsButton,
            Tr("| Filtert aus dem Anpassungspfad nur diejenigen Perioden heraus, in denen "
               "Tarifverhandlungen stattfinden##| Keeps only those periods of the adjustment path "
               "in which wages are bargained"));
    ISBox->setText(QStringLiteral("&IS"));
    LMBox->setText(QStringLiteral("&LM"));
    ZBox->setText(QStringLiteral("&Z"));
    LFBox->setText(QStringLiteral("L&F"));
    RateGroup->setTitle(Q(" " + Tr("Zinssatz##Interest Rate") + ":"));
    NominalButton->setText(QStringLiteral("&nominal"));
    RealButton->setText(QStringLiteral("&real"));
    // An open read-out shows the point under the mouse again, in the new language.
    if (Position->isVisible()) ShowPosition(Box()->mapFromGlobal(QCursor::pos()));
}

long IncomeInterestWindow::Message(int msg, long wParam, long lParam) {
    const long r = GraphWindow::Message(msg, wParam, lParam);
    if (msg == MSG_MODEL_CHANGED || msg == MSG_PERIOD_MOVED) AnnounceNotices();
    return r;
}

void IncomeInterestWindow::AnnounceNotices() {
    // Once per change, from the change itself: never from a paint (it would repeat with
    // every repaint) and never between the steps of a period run.
    if (frame().solving() || frame().periodRunning()) return;
    for (const std::string& text : InfiniteMultiplierNotices(frame().model()))
        frame().host().ShowMessage(InfiniteMultiplierTitle(), text);
}

std::optional<DiagramNumbers> IncomeInterestWindow::Numbers() const {
    DiagramNumbers d;
    d.Diagram = "is-lm";
    AppendPlot(d, plot_);
    return d;
}

void IncomeInterestWindow::DrawDiagram(const GraphPaint& g) {
    const Model& m = frame().model();
    const IncomeInterestOptions o = Options();
    TakeSets(cs_, IncomeInterestRanges(m));
    if (TakeRange(cs_)) {
        cs_.XMax = std::max(cs_.XMax, 1.0);
        cs_.XMin = std::max(cs_.XMin, 0.0);
    }
    cs_.XTitle = Tr("Einkommen##Income") + " (Y)#";
    cs_.YTitle = o.RealRate
                     ? Tr("Erw.##Exp.") + " " + Tr("Realzins##Real Interest Rate") + " (r,erw)#%"
                     : Tr("Nominalzins##Nominal Interest Rate") + " (i)#%";
    plot_ = {};
    if (!BeginFrame(cs_, g)) return;
    const AxisRange axes = AxesOf(cs_);
    plot_ = IncomeInterestCurves(m, o, axes);
    AddBaselineCurves(plot_, frame().baseline(), m.Periods.CurrentPeriod,
                      [&](const Model& f) { return IncomeInterestCurves(f, o, axes); });
    DrawPlot(cs_, plot_, Style());
    if (HasBaselineCurves(plot_)) DrawBaselineKey(cs_, Style(), Language());
}

// ------------------------------------------------------------------ income-expenditure

IncomeExpenditureWindow::IncomeExpenditureWindow(WindowFrame& frame) : GraphWindow(frame, Caption) {
    AddCoordinateSystem(goods_);
    AddCoordinateSystem(capital_);
    Box()->AutoZoomItem->setVisible(true);
    resize(560, 640);
    QHBoxLayout* row = ControlsAbove(this, Box());
    QWidget* host = row->parentWidget();
    ReferenceButton = ToggleButton(host);
    PathButton = ToggleButton(host);
    GoodsBox = new QCheckBox(host);
    CapitalBox = new QCheckBox(host);
    GrossBox = new QCheckBox(host);
    GoodsBox->setChecked(true);
    CapitalBox->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{GoodsBox, CapitalBox, GrossBox,
                                                      ReferenceButton, PathButton})
        row->addWidget(w);
    row->addStretch(1);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             ReferenceButton, PathButton, GoodsBox, CapitalBox, GrossBox})
        connect(b, &QAbstractButton::toggled, this, [this] {
            mark_.reset();
            PanelsChanged();
            Redraw();
        });
    Position = new PositionForm(this);
    Box()->PositionForm = Position;
    connect(Box(), &PaintBox::mouseMoved, this, &IncomeExpenditureWindow::ShowPosition);
    connect(Box(), &PaintBox::mouseMoved, this, [this](QPoint p) {
        if (Box()->Dragging()) return;
        mark_ = p;
        Redraw();
    });
}

void IncomeExpenditureWindow::ShowPosition(QPoint device) {
    if (!Position->isVisible() || frame().solving()) return;
    const IncomeExpenditureOptions o = Options();
    // The panel under the mouse: the goods market above the capital market.
    const bool goods = o.GoodsMarket && (!o.CapitalMarket || device.y() * 2 < Box()->height());
    const CoordinateSystem& cs = goods ? goods_ : capital_;
    if (cs.DeviceWidth <= 0) return;
    Position->Show(IncomeExpenditureReadout(frame().model(), o, goods,
                                            cs.DeviceToWorldX(device.x()),
                                            cs.DeviceToWorldY(device.y()), Language()));
}

void IncomeExpenditureWindow::PanelsChanged() {
    // One panel always stays: the last one shown cannot be switched off.
    GoodsBox->setEnabled(CapitalBox->isChecked());
    CapitalBox->setEnabled(GoodsBox->isChecked());
    GrossBox->setEnabled(GoodsBox->isChecked());
}

IncomeExpenditureOptions IncomeExpenditureWindow::Options() const {
    IncomeExpenditureOptions o;
    o.Reference = ReferenceButton->isChecked();
    o.Path = PathButton->isChecked();
    o.GoodsMarket = GoodsBox->isChecked();
    o.CapitalMarket = CapitalBox->isChecked();
    o.Gross = GrossBox->isChecked();
    return o;
}

void IncomeExpenditureWindow::LanguageChanged() {
    ReferenceButton->setText(QStringLiteral("R&ef."));
    SetHint(ReferenceButton, Tr(ReferenceHint));
    PathButton->setText(Q(Tr("&Pfad##&Path")));
    GoodsBox->setText(Q(Tr("&Gütermarkt##&Goods Market")));
    CapitalBox->setText(Q(Tr("&Kapitalmarkt##&Capital Market")));
    GrossBox->setText(Q(Tr("&Bruttoausweis##G&ross Aggregates")));
    if (Position->isVisible()) ShowPosition(Box()->mapFromGlobal(QCursor::pos()));
}

std::optional<DiagramNumbers> IncomeExpenditureWindow::Numbers() const {
    DiagramNumbers d;
    d.Diagram = "income-expenditure";
    AppendPlot(d, goodsPlot_, "goods:");
    AppendPlot(d, capitalPlot_, "capital:");
    return d;
}

void IncomeExpenditureWindow::DrawDiagram(const GraphPaint& g) {
    const Model& m = frame().model();
    goodsPlot_ = {};
    capitalPlot_ = {};
    const IncomeExpenditureOptions o = Options();
    const Viewport whole = g.Standard();
    const bool both = o.GoodsMarket && o.CapitalMarket;
    Viewport upper = whole, lower = whole;
    if (both) {
        upper.FactorY = whole.FactorY / 2;
        lower.FactorY = whole.FactorY / 2;
        lower.OffsetY = whole.OffsetY + whole.FactorY / 2;
    }
    if (o.GoodsMarket) {
        TakeSets(goods_, GoodsMarketRanges(m, o));
        if (TakeRange(goods_)) {
            goods_.XMax = std::max(goods_.XMax, 1.0);
            goods_.XMin = std::max(goods_.XMin, 0.0);
            goods_.YMax = std::max(goods_.YMax, 1.0);
            goods_.YMin = std::max(goods_.YMin, 0.0);
        }
        goods_.XTitle = Tr("Einkommen##Income") + " (Y)#";
        goods_.YTitle = o.Gross ? Tr("Güternachfrage##Demand for Goods") + " (N), " +
                                      Tr("Güterangebot##Supply of Goods") + " (X)#"
                                : Tr("Nettogüternachfrage##Net Demand for Goods") + " (D)#";
        if (BeginFrame(goods_, g, upper)) {
            const AxisRange axes = AxesOf(goods_);
            goodsPlot_ = GoodsMarketCurves(m, o, axes);
            AddBaselineCurves(goodsPlot_, frame().baseline(), m.Periods.CurrentPeriod,
                              [&](const Model& f) { return GoodsMarketCurves(f, o, axes); });
            DrawPlot(goods_, goodsPlot_, Style());
            if (HasBaselineCurves(goodsPlot_)) DrawBaselineKey(goods_, Style(), Language());
        }
    } else {
        // A hidden panel takes no zoom band.
        goods_.DeviceWidth = 0;
    }
    if (o.CapitalMarket) {
        TakeSets(capital_, CapitalMarketRanges(m));
        if (TakeRange(capital_)) {
            capital_.XMax = std::max(capital_.XMax, 1.0);
            capital_.XMin = std::max(capital_.XMin, 0.0);
        }
        capital_.XTitle = Tr("Einkommen##Income") + " (Y)#";
        capital_.YTitle = Tr("Kapitalströme##Capital Flows") + "#";
        if (BeginFrame(capital_, g, both ? lower : whole)) {
            const AxisRange axes = AxesOf(capital_);
            capitalPlot_ = CapitalMarketCurves(m, o, axes);
            AddBaselineCurves(capitalPlot_, frame().baseline(), m.Periods.CurrentPeriod,
                              [&](const Model& f) { return CapitalMarketCurves(f, o, axes); });
            DrawPlot(capital_, capitalPlot_, Style());
            if (HasBaselineCurves(capitalPlot_)) DrawBaselineKey(capital_, Style(), Language());
        }
    } else {
        capital_.DeviceWidth = 0;
    }
    if (g.Target == GraphTarget::Screen) DrawMark();
}

void IncomeExpenditureWindow::DrawMark() {
    if (!mark_) return;
    const int x = mark_->x(), y = mark_->y();
    for (CoordinateSystem* cs : {&goods_, &capital_}) {
        if (cs->DeviceWidth <= 0 || !cs->Bound()) continue;
        const DeviceRect box = cs->PlotBox();
        if (x < box.Left || x > box.Right) continue;
        UsePen(*cs, CurveKind::Current);
        cs->SetPenWidth(1);
        cs->DeviceLine(x, box.Top, x, box.Bottom);
        if (y >= box.Top && y <= box.Bottom) {
            cs->DeviceLine(x - 3, y - 3, x + 3, y + 3);
            cs->DeviceLine(x - 3, y + 3, x + 3, y - 3);
        }
    }
}

} // namespace tv

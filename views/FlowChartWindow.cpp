#include "views/FlowChartWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "logic/HelpPages.h"
#include "services/CommandHost.h"
#include "services/HelpSystem.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Logical to device coordinates of a point known to map (the area is not empty).
QPointF At(LogicalPoint p, const QRect& area) {
    return QPointF(*FlowCanvas::Map(p.x, p.y, area));
}

QRectF AtRect(const LogicalRect& r, const QRect& area) {
    return QRectF(At({r.left, r.top}, area), At({r.right, r.bottom}, area));
}

} // namespace

// ---------------------------------------------------------------- canvas

FlowCanvas::FlowCanvas(FlowChartWindow& owner) : owner_(owner) {
    setMinimumSize(0, 0);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

std::optional<QPoint> FlowCanvas::Map(int x, int y, const QRect& area) {
    if (area.width() <= 0 || area.height() <= 0) return std::nullopt;
    return QPoint(static_cast<int>(std::lround(x / 10000.0 * area.width())) + area.left(),
                  static_cast<int>(std::lround(y / 10000.0 * area.height())) + area.top());
}

std::optional<LogicalPoint> FlowCanvas::Unmap(QPoint device, const QRect& area) {
    if (area.width() <= 0 || area.height() <= 0) return std::nullopt;
    return LogicalPoint{
        static_cast<int>(std::lround((device.x() - area.left()) * 10000.0 / area.width())),
        static_cast<int>(std::lround((device.y() - area.top()) * 10000.0 / area.height()))};
}

void FlowCanvas::mouseMoveEvent(QMouseEvent* e) {
    QWidget::mouseMoveEvent(e);
    const QString tip = owner_.Point(e->position().toPoint());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(e->globalPosition().toPoint(), tip, this);
}

void FlowCanvas::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    owner_.Point(QPoint(-1, -1));
}

void FlowCanvas::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0) return;
    QPainter p(this);
    owner_.Draw(p, rect());
}

void FlowCanvas::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    owner_.UpdateAnimation();
}

void FlowCanvas::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    owner_.UpdateAnimation();
}

void FlowCanvas::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    owner_.UpdateAnimation();
}

// ---------------------------------------------------------------- window

FlowChartWindow::FlowChartWindow(WindowFrame& frame) : WorkingWindow(frame) {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    // Two rows, so that every caption fits at the default width and with large fonts.
    auto* controls = new QGridLayout;
    NextButton = new QPushButton;
    HideLastButton = new QPushButton;
    AllButton = new QPushButton;
    NoneButton = new QPushButton;
    AlwaysAllButton = new QToolButton;
    AlwaysAllButton->setCheckable(true);
    ReverseButton = new QPushButton;
    SlowerButton = new QToolButton;
    SlowerButton->setArrowType(Qt::DownArrow);
    FasterButton = new QToolButton;
    FasterButton->setArrowType(Qt::UpArrow);
    AlwaysAllButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    int column = 0;
    for (QWidget* w : {static_cast<QWidget*>(NextButton), static_cast<QWidget*>(HideLastButton),
                       static_cast<QWidget*>(AllButton), static_cast<QWidget*>(NoneButton)})
        controls->addWidget(w, 0, column++);
    column = 0;
    auto* speed = new QHBoxLayout;
    speed->addWidget(SlowerButton);
    speed->addWidget(FasterButton);
    speed->addStretch();
    controls->addWidget(AlwaysAllButton, 1, column++);
    controls->addWidget(ReverseButton, 1, column++);
    controls->addLayout(speed, 1, column++);
    controls->setColumnStretch(4, 1);
    AlwaysAllButton->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addLayout(controls);

    Canvas = new FlowCanvas(*this);
    layout->addWidget(Canvas, 1);

    auto* bottom = new QHBoxLayout;
    InfoLine = new QLabel;
    PlannedPanel = new QPushButton;
    RealisedPanel = new QPushButton;
    for (QPushButton* b : {PlannedPanel, RealisedPanel}) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
    }
    PlannedPanel->setChecked(true);
    bottom->addWidget(InfoLine, 1);
    bottom->addWidget(PlannedPanel);
    bottom->addWidget(RealisedPanel);
    layout->addLayout(bottom);
    setWidget(content);
    resize(720, 600);
    SetHelpContext(this, help::FlowChart);
    Canvas->setAccessibleName(QStringLiteral("FlowChart"));

    animation_.setInterval(100);
    connect(&animation_, &QTimer::timeout, this, [this] {
        phase_ = (phase_ + 1) % 10;
        Canvas->update();
    });
    connect(NextButton, &QPushButton::clicked, this, [this] {
        data_.ShowNext();
        Changed();
    });
    connect(HideLastButton, &QPushButton::clicked, this, [this] {
        data_.HideLast();
        Changed();
    });
    connect(AllButton, &QPushButton::clicked, this, [this] {
        data_.ShowAll();
        InfoLine->clear();
        Changed();
    });
    connect(NoneButton, &QPushButton::clicked, this, [this] {
        data_.HideAll();
        Changed();
    });
    connect(AlwaysAllButton, &QToolButton::toggled, this, [this](bool on) {
        data_.AlwaysAll = on;
        if (on) data_.ShowAll();
        Changed();
    });
    connect(ReverseButton, &QPushButton::clicked, this, [this] {
        data_.GoodsView = !data_.GoodsView;
        Changed();
    });
    connect(SlowerButton, &QToolButton::clicked, this,
            [this] { animation_.setInterval(std::min(animation_.interval() * 3, 1000)); });
    connect(FasterButton, &QToolButton::clicked, this,
            [this] { animation_.setInterval(std::max(animation_.interval() / 3, 1)); });
    connect(RealisedPanel, &QPushButton::toggled, this, [this](bool on) {
        data_.Realised = on;
        Changed();
    });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction(this);
    copy->setObjectName(QStringLiteral("CopyChart"));
    connect(copy, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setPixmap(Canvas->grab()); });
    addAction(copy);
    Recompute();
}

void FlowChartWindow::ApplyTexts() {
    const int lang = frame().model().Language;
    auto T = [lang](const char* s) { return Q(Translate(s, lang)); };
    setWindowTitle(T(FlowChartCaption));
    NextButton->setText(T("nächster Strom##next flow"));
    HideLastButton->setText(T("letzten Strom ausblenden##hide last flow"));
    AllButton->setText(T("alle Ströme##all flows"));
    NoneButton->setText(T("alle Ströme ausblenden##hide all flows"));
    AlwaysAllButton->setText(T("alle Ströme##all flows"));
    AlwaysAllButton->setToolTip(T("immer alle Ströme zeigen##always show all flows"));
    ReverseButton->setText(T("Stromumkehr##reverse flows"));
    SlowerButton->setToolTip(T("langsamer##slower"));
    FasterButton->setToolTip(T("schneller##faster"));
    PlannedPanel->setText(T("geplant##planned") + QLatin1Char(':'));
    RealisedPanel->setText(T("tatsächlich##realized") + QLatin1Char(':'));
    if (QAction* copy = findChild<QAction*>(QStringLiteral("CopyChart")))
        copy->setText(T("Schema in Zwischenablage kopieren##Copy Chart to Clipboard"));
    Canvas->setStatusTip(
        T("Mauszeiger liefert Diagramminformationen##Move mouse to get information about the "
          "diagram elements"));
    Canvas->setAccessibleDescription(TitleText());
}

QString FlowChartWindow::Point(QPoint device) {
    const int lang = frame().model().Language;
    auto T = [lang](const char* s) { return Q(Translate(s, lang)); };
    const QString planned = T("geplant##planned") + QLatin1Char(':');
    const QString realised = T("tatsächlich##realized") + QLatin1Char(':');
    PlannedPanel->setText(planned);
    RealisedPanel->setText(realised);
    const auto p = FlowCanvas::Unmap(device, Canvas->rect());
    if (!p || !Canvas->rect().contains(device)) return {};
    const Model& m = frame().model();
    // A band is about 100 logical units wide; a little more makes it easy to hit.
    const int flow = FlowAt(data_, *p, 120);
    if (flow >= 0) {
        const SectorFlow& f = data_.Flow(flow);
        InfoLine->setText(Q(Translate(VarName(f.variable), lang)));
        PlannedPanel->setText(planned + QLatin1Char(' ') + Q(m.FormatNumber(f.planned)));
        RealisedPanel->setText(realised + QLatin1Char(' ') + Q(m.FormatNumber(f.realised)));
        return Q(FlowPointText(m, data_, flow));
    }
    if (const auto node = NodeAt(data_, *p)) {
        const QString text = Q(NodeBalanceText(m, m.Periods.CurrentPeriod, data_, *node));
        InfoLine->setText(text);
        return text;
    }
    return {};
}

void FlowChartWindow::RefreshLanguage() {
    ApplyTexts();
    Recompute();
}

void FlowChartWindow::Recompute() {
    const Model& m = frame().model();
    data_.Recompute(m, m.Periods.CurrentPeriod);
    Changed();
}

void FlowChartWindow::Changed() {
    UpdateAnimation();
    Canvas->setAccessibleDescription(TitleText());
    Canvas->update();
}

QString FlowChartWindow::TitleText() const {
    return Q(data_.Title(frame().model().Language));
}

void FlowChartWindow::UpdateAnimation() {
    // Animate only what can be seen: nothing while hidden, empty or without a shown flow.
    const bool wanted = Canvas->isVisible() && Canvas->width() > 0 && Canvas->height() > 0 &&
                        data_.ShownCount() > 0;
    if (wanted && !animation_.isActive())
        animation_.start();
    else if (!wanted)
        animation_.stop();
}

void FlowChartWindow::showEvent(QShowEvent* e) {
    WorkingWindow::showEvent(e);
    UpdateAnimation();
}

void FlowChartWindow::hideEvent(QHideEvent* e) {
    WorkingWindow::hideEvent(e);
    UpdateAnimation();
}

long FlowChartWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_PERIOD_MOVED:
    case MSG_MODEL_CHANGED:
    case MSG_NUMBER_FORMAT:
        Recompute();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

void FlowChartWindow::PaintTo(const PaintTarget& target) {
    if (!target.painter || target.body.isEmpty()) return;
    Draw(*target.painter, target.body);
}

void FlowChartWindow::Draw(QPainter& p, const QRect& area) const {
    if (!FlowCanvas::Map(0, 0, area)) return;
    const int lang = frame().model().Language;
    const Model& m = frame().model();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Arial"), 8);
    p.setFont(font);
    const double width = std::max(3.0, std::min(area.width(), area.height()) / 90.0);

    // Bands first, boxes over their ends, labels over everything.
    struct Label {
        QPointF at;
        QString text;
        QColor colour;
    };
    std::vector<Label> labels;
    for (int k = 0; k < FlowCount; ++k) {
        const SectorFlow& f = data_.Flow(k);
        if (!f.shown) continue;
        const FlowRoute& r = Route(k);
        const double value = data_.ShownValue(k);
        QPolygonF path;
        for (const LogicalPoint& lp : r.points)
            path << At(lp, area);
        // Payments run along the route; goods, or a negative value, the other way.
        if ((value < 0) != data_.GoodsView) std::reverse(path.begin(), path.end());
        const QColor colour = QColor::fromHsv((k * 33) % 360, 200, 190);
        QPen band(colour, width, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin);
        band.setDashOffset(-phase_ * 0.4);
        p.setPen(band);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(path);
        // An arrowhead near the end of every leg, pointing along the flow.
        p.setPen(Qt::NoPen);
        p.setBrush(colour.darker(130));
        for (int j = 1; j < path.size(); ++j) {
            const QPointF d = path[j] - path[j - 1];
            const double len = std::hypot(d.x(), d.y());
            if (len < width * 4) continue;
            const QPointF unit = d / len, normal(-unit.y(), unit.x());
            const QPointF tip = path[j - 1] + d * 0.85, base = tip - unit * width * 2.5;
            p.drawPolygon(QPolygonF{tip, base + normal * width * 1.6, base - normal * width * 1.6});
        }
        const LogicalPoint anchor = PointAlong(r, r.label);
        labels.push_back(
            {At(anchor, area),
             Q(VarSymbol(f.variable, lang)) + QStringLiteral(" = ") + Q(m.FormatNumber(value)),
             colour});
    }
    for (int k = 0; k < FlowNodeCount; ++k) {
        const auto n = FlowNode(k);
        if (!NodeDrawn(data_, n)) continue;
        const QRectF r = AtRect(NodeRect(n), area);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 255, 220));
        if (n == FlowNode::CapitalMarket)
            p.drawRoundedRect(r, 12, 12);
        else
            p.drawRect(r);
        QString name = Q(Translate(NodeName(n), lang));
        name.remove(QLatin1Char('&'));
        p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, name);
    }
    // Each label on its band, on a white ground framed in the band's colour.
    const QFontMetricsF fm(font);
    for (const Label& l : labels) {
        QRectF box = fm.boundingRect(l.text).adjusted(-3, -1, 3, 1);
        box.moveCenter(l.at);
        p.setPen(QPen(l.colour, 1));
        p.setBrush(Qt::white);
        p.drawRect(box);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, l.text);
    }

    const QString title = TitleText();
    if (!title.isEmpty()) {
        QFont bold = font;
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(Qt::black);
        p.drawText(area.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop, title);
    }
    p.restore();
}

// ---------------------------------------------------------------- command

void InstallFlowChartCommand(CommandHost& main) {
    main.BindCommand(QStringLiteral("MIAufbFluss"), [&main] {
        if (WorkingWindow* open = main.FindChild(FlowChartCaption)) {
            if (open->isMinimized()) open->showNormal();
            main.mdiArea()->setActiveSubWindow(open);
            return;
        }
        main.OpenChild(WorkingWindow::Create<FlowChartWindow>(main));
    });
}

} // namespace tv

#include "views/FlowChartWindow.h"

#include "app/MainWindow.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

enum Node { Households, Business, Government, Foreign, CapitalMarket };

// Payment direction of each flow of the table, from -> to.
struct Route {
    Node from, to;
};
constexpr Route Routes[FlowCount] = {
    {Business, Households},      // Y
    {Business, Foreign},         // Im
    {Households, Government},    // T
    {Government, Households},    // Tr
    {Households, Business},      // C
    {Government, Business},      // G
    {Foreign, Business},         // Ex
    {Households, CapitalMarket}, // S
    {Government, CapitalMarket}, // BS
    {CapitalMarket, Foreign},    // AB
    {CapitalMarket, Business},   // I
};

// Box corners on the logical 10000 x 10000 area.
constexpr int Box = 2500;
QPoint NodeCorner(Node n) {
    switch (n) {
    case Households:
        return {500, 500};
    case Business:
        return {7000, 500};
    case Government:
        return {500, 7000};
    case Foreign:
        return {7000 - 750, 7000 - 750};
    case CapitalMarket:
        return {4000, 4000};
    }
    return {};
}
int NodeSize(Node n) {
    return n == CapitalMarket ? 2000 : Box;
}
QPoint NodeCentre(Node n) {
    const QPoint c = NodeCorner(n);
    return c + QPoint(NodeSize(n) / 2, NodeSize(n) / 2);
}
const char* NodeName(Node n) {
    switch (n) {
    case Households:
        return "pr. Haushalte##pr. Households";
    case Business:
        return "Unternehmen##Business Sector";
    case Government:
        return "Staat##Government";
    case Foreign:
        return "Ausland##Rest of the World";
    case CapitalMarket:
        return "Kapitalmarkt##Capital Market";
    }
    return "";
}

} // namespace

// ---------------------------------------------------------------- canvas

FlowCanvas::FlowCanvas(FlowChartWindow& owner) : owner_(owner) {
    setMinimumSize(0, 0);
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

    auto* controls = new QHBoxLayout;
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
    for (QWidget* w : std::initializer_list<QWidget*>{NextButton, HideLastButton, AllButton,
                                                      NoneButton, AlwaysAllButton, ReverseButton,
                                                      SlowerButton, FasterButton})
        controls->addWidget(w);
    controls->addStretch();
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
    resize(620, 520);

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
    auto map = [&](QPoint logical) { return FlowCanvas::Map(logical.x(), logical.y(), area); };
    if (!map({0, 0})) return;
    const int lang = frame().model().Language;
    const Model& m = frame().model();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Arial"), 8);
    p.setFont(font);

    auto boxRect = [&](Node n) {
        const QPoint c = NodeCorner(n);
        return QRect(*map(c), *map(c + QPoint(NodeSize(n), NodeSize(n))));
    };
    auto drawBox = [&](Node n) {
        const QRect r = boxRect(n);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 255, 220));
        if (n == CapitalMarket)
            p.drawRoundedRect(r, 12, 12);
        else
            p.drawRect(r);
        p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, Q(Translate(NodeName(n), lang)));
    };

    // Bands first, boxes over their ends.
    std::array<int, 25> used{}; // flows already drawn per node pair, for the lane offset
    for (int k = 0; k < FlowCount; ++k) {
        const SectorFlow& f = data_.Flow(k);
        if (!f.shown) continue;
        Node from = Routes[k].from, to = Routes[k].to;
        const Node lo = std::min(from, to), hi = std::max(from, to);
        const int lane = used[lo * 5 + hi]++;
        const double value = data_.ShownValue(k);
        if ((value < 0) != data_.GoodsView) std::swap(from, to);
        QPointF a = *map(NodeCentre(from)), b = *map(NodeCentre(to));
        const QPointF d = b - a;
        const double len = std::hypot(d.x(), d.y());
        if (len < 1) continue;
        const QPointF unit = d / len, normal(-unit.y(), unit.x());
        // Lanes side by side; the pair's first flow on one side, the second on the other.
        const double width = std::max(2.0, area.width() / 100.0);
        const QPointF shift =
            normal * (width * 1.6) * (lane % 2 ? -(lane + 1) / 2 : lane / 2 + 0.5);
        a += shift;
        b += shift;
        QPen band(QColor::fromHsv((k * 33) % 360, 200, 200), width, Qt::DashLine, Qt::FlatCap);
        band.setDashOffset(-phase_ * 0.4);
        p.setPen(band);
        p.drawLine(a, b);
        // Arrowhead at the middle, pointing along the flow.
        const QPointF mid = (a + b) / 2, tip = mid + unit * width * 2;
        QPolygonF head{tip, mid - unit * width + normal * width * 1.5,
                       mid - unit * width - normal * width * 1.5};
        p.setPen(Qt::NoPen);
        p.setBrush(band.color().darker(130));
        p.drawPolygon(head);
        p.setPen(Qt::black);
        const QString label =
            Q(VarSymbol(f.variable, lang)) + QStringLiteral(" = ") + Q(m.FormatNumber(value));
        p.drawText(mid + normal * width * 2.5, label);
    }
    drawBox(Households);
    drawBox(Business);
    if (data_.GovernmentPresent()) drawBox(Government);
    if (data_.ForeignPresent()) drawBox(Foreign);
    drawBox(CapitalMarket);

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

void InstallFlowChartCommand(MainWindow& main) {
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

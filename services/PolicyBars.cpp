#include "services/PolicyBars.h"

#include "core/Model.h"
#include "logic/AnalysisInterval.h"
#include "services/PeriodNavigator.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace tv {

namespace {
constexpr int BarHeight = 15;
constexpr int ButtonWidth = 14;
} // namespace

PolicyMonitor::PolicyMonitor(AnalysisInterval& rules, bool wage, QWidget* parent)
    : QWidget(parent), rules_(rules), wage_(wage) {
    setObjectName(wage ? QStringLiteral("TZRMonitor") : QStringLiteral("MZZRMonitor"));
}

int PolicyMonitor::Length() const {
    return wage_ ? rules_.model().TZR() : rules_.model().MZZR();
}

void PolicyMonitor::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const PeriodState& ps = rules_.model().Periods;
    const int w = width(), h = height();
    const QColor face = palette().color(QPalette::Button);
    const QColor grey(0x80, 0x80, 0x80);
    for (const MonitorSegment& s : AnalysisInterval::MonitorSegments(ps.LeftEdge, ps.RightEdge,
                                                                     ps.CurrentPeriod, Length(), w))
        // One pixel of the strip's background stays between rounds, so that they show.
        p.fillRect(QRect(QPoint(s.x0, 2), QPoint(std::max(s.x0, s.x1 - 1), h - 3)),
                   s.current ? face : grey);
    p.setPen(grey);
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(Qt::white);
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
}

void PolicyMonitor::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    rules_.MonitorClick(event->position().toPoint().x(), width(), Length());
}

void PolicyMonitor::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

PolicyBar::PolicyBar(Kind kind, AnalysisInterval& rules, QWidget* parent)
    : QWidget(parent), kind_(kind), rules_(rules) {
    const bool wage = kind == Kind::Wage;
    setObjectName(wage ? QStringLiteral("Tarifleiste") : QStringLiteral("Geldleiste"));
    setFixedHeight(BarHeight);
    label_ = new QLabel(this);
    status_ = new QLabel(this);
    back_ = new QToolButton(this);
    forward_ = new QToolButton(this);
    back_->setArrowType(Qt::LeftArrow);
    forward_->setArrowType(Qt::RightArrow);
    back_->setObjectName(wage ? QStringLiteral("SBTZRZurueck") : QStringLiteral("SBMZZRZurueck"));
    forward_->setObjectName(wage ? QStringLiteral("SBTZRVor") : QStringLiteral("SBMZZRVor"));
    for (QToolButton* b : {back_, forward_})
        b->setFocusPolicy(Qt::NoFocus);
    monitor_ = new PolicyMonitor(rules_, wage, this);
    // The bar is only 15 pixels high and the status label shares the right module's width.
    QFont small = font();
    small.setPixelSize(9);
    label_->setFont(small);
    status_->setFont(small);
    status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const StepSize size = wage ? StepSize::WageRound : StepSize::MonetaryRound;
    connect(back_, &QToolButton::clicked, this, [this, size] { rules_.CurrentStep(-1, size); });
    connect(forward_, &QToolButton::clicked, this, [this, size] { rules_.CurrentStep(+1, size); });
    connect(monitor_, &PolicyMonitor::doubleClicked, this, &PolicyBar::monitorDoubleClicked);
    Place();
    Refresh();
}

void PolicyBar::Follow(PeriodNavigator* navigator) {
    connect(navigator, &PeriodNavigator::railGeometryChanged, this, &PolicyBar::SetRail);
    connect(navigator, &PeriodNavigator::periodChanged, this, [this] {
        if (isVisible()) Refresh();
    });
    SetRail(navigator->RailLeft(), navigator->RailWidth(), navigator->SliderWidth());
}

void PolicyBar::SetRail(int railLeft, int railWidth, int sliderWidth) {
    railLeft_ = railLeft;
    railWidth_ = railWidth;
    sliderWidth_ = sliderWidth;
    Place();
}

void PolicyBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Place();
}

void PolicyBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

void PolicyBar::Place() {
    const int monitorLeft = railLeft_ + sliderWidth_ / 2;
    int monitorWidth = std::max(0, railWidth_ - sliderWidth_ + 3);
    // The longer status text of the bar must fit right of the monitor; where the navigator
    // leaves too little room there, the monitor ends earlier.
    // Both languages: the place must not move when the language is switched.
    int statusWidth = 0;
    for (int language : {1, 2})
        for (int at : {0, 1})
            for (const std::string& text : {AnalysisInterval::WageStatus(at, 2, language),
                                            AnalysisInterval::MoneyStatus(at, 2, language)})
                statusWidth = std::max(statusWidth, status_->fontMetrics().horizontalAdvance(
                                                        QString::fromStdString(text).trimmed()));
    const int room = width() - 1 - (monitorLeft + monitorWidth + 2 + ButtonWidth + 1);
    if (room < statusWidth + 2) monitorWidth = std::max(0, monitorWidth - (statusWidth + 2 - room));
    monitor_->setGeometry(monitorLeft, 0, monitorWidth, BarHeight);
    back_->setGeometry(monitorLeft - 2 - ButtonWidth, 0, ButtonWidth, BarHeight);
    forward_->setGeometry(monitorLeft + monitorWidth + 2, 0, ButtonWidth, BarHeight);
    label_->setGeometry(2, 0, std::max(0, back_->x() - 4), BarHeight);
    const int statusLeft = forward_->x() + ButtonWidth + 1;
    // The status ends at the bar's right edge: the right-edge module is narrow, and its
    // padding spaces would push "Tarifverhandlung" out of sight; every pixel counts for
    // "Tarifvertrag läuft ...".
    status_->setGeometry(statusLeft, 0, std::max(0, width() - statusLeft - 1), BarHeight);
}

void PolicyBar::Refresh() {
    const Model& m = rules_.model();
    const PeriodState& ps = m.Periods;
    const bool wage = kind_ == Kind::Wage;
    const int len = wage ? m.TZR() : m.MZZR();
    const int cur = ps.CurrentPeriod;
    label_->setText(QString::fromStdString(wage ? AnalysisInterval::WageLabel(cur, len, m.Language)
                                                : AnalysisInterval::MoneyLabel(cur, len)));
    status_->setText(
        QString::fromStdString(wage ? AnalysisInterval::WageStatus(cur, len, m.Language)
                                    : AnalysisInterval::MoneyStatus(cur, len, m.Language))
            .trimmed());
    back_->setEnabled(ps.LeftEdge + len <= cur);
    forward_->setEnabled(cur + len <= ps.RightEdge);
    Place(); // the texts' language may have changed
    monitor_->update();
}

} // namespace tv

#include "input/ModelMonitor.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/HelpSystem.h"
#include "windows/WindowMessages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

namespace {

constexpr const char* kButtonCaptions[] = {
    "Zinsniveau##Interest Rate", "Geldmenge##Money Supply",    "Preisniveau##Price Level",
    "Lohnniveau##Wage Level",    "Wechselkurs##Exchange Rate",
};
constexpr const char* kButtonNames[] = {"BtnZinsniveau", "BtnGeldmenge", "BtnPreisniveau",
                                        "BtnLohnniveau", "BtnWechselkurs"};
constexpr const char* kLabelNames[] = {"LabelZinsniveau", "LabelGeldmenge", "LabelPreisniveau",
                                       "LabelLohnniveau", "LabelWechselkurs"};
// Dialog and page each button opens.
constexpr std::pair<int, int> kTargets[] = {{4, 1}, {4, 3}, {2, 3}, {2, 4}, {5, 1}};

constexpr const char* kNormPeriod = "Normperiode##Basic Period";
constexpr const char* kWagePeriod = "Tarifzeitraumlänge##Length of Wage Period";
constexpr const char* kMonetaryPeriod = "Monetäre Zielzeitraumlänge##Time Horizon of Monetary "
                                        "Policy";
constexpr int kBarHeight = 14;
constexpr int kLabelHeight = 16;
constexpr int kBarGap = 4;
constexpr int kRowHeight = kLabelHeight + kBarHeight + kBarGap;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

void Colour(QLabel* bar, bool active) {
    QPalette p = bar->palette();
    p.setColor(QPalette::Window,
               active ? QColor(Qt::red) : bar->style()->standardPalette().color(QPalette::Button));
    p.setColor(QPalette::WindowText, active ? QColor(Qt::white) : QColor(128, 128, 128));
    bar->setPalette(p);
}

} // namespace

ModelMonitor::ModelMonitor(Model& m, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_(m) {
    setObjectName(QStringLiteral("ModelMonitor"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    Tabs = new QTabWidget;
    layout->addWidget(Tabs, 1);

    auto* structure = new QWidget;
    auto* grid = new QGridLayout(structure);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < 5; ++i) {
        Buttons[i] = new QPushButton;
        Buttons[i]->setObjectName(QString::fromLatin1(kButtonNames[i]));
        Buttons[i]->setAutoDefault(false);
        Labels[i] = new QLabel;
        Labels[i]->setObjectName(QString::fromLatin1(kLabelNames[i]));
        grid->addWidget(Buttons[i], i, 0);
        grid->addWidget(Labels[i], i, 1);
        const auto [dialog, page] = kTargets[i];
        connect(Buttons[i], &QPushButton::clicked, this, [this, dialog, page] {
            if (openDialog) openDialog(dialog, page);
        });
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    Tabs->addTab(structure, QString());

    auto* time = new QWidget;
    auto* timeLayout = new QVBoxLayout(time);
    Explanation = new QLabel;
    Explanation->setWordWrap(true);
    timeLayout->addWidget(Explanation);
    TimeGroup = new QGroupBox;
    TimeGroup->setMinimumHeight(3 * kRowHeight + 24);
    PanelNormPeriode = new QLabel(TimeGroup);
    PanelNormPeriode->setObjectName(QStringLiteral("PanelNormPeriode"));
    PanelTZR = new QLabel(TimeGroup);
    PanelTZR->setObjectName(QStringLiteral("PanelTZR"));
    PanelMZZR = new QLabel(TimeGroup);
    PanelMZZR->setObjectName(QStringLiteral("PanelMZZR"));
    for (QLabel* bar : {PanelNormPeriode, PanelTZR, PanelMZZR}) {
        bar->setAutoFillBackground(true);
        bar->setFrameShape(QFrame::Panel);
        bar->setFrameShadow(QFrame::Raised);
        bar->setAlignment(Qt::AlignCenter);
        bar->installEventFilter(this);
    }
    for (QLabel*& label : BarLabels)
        label = new QLabel(TimeGroup);
    PanelTZR->setCursor(Qt::PointingHandCursor);
    PanelMZZR->setCursor(Qt::PointingHandCursor);
    TimeGroup->installEventFilter(this);
    timeLayout->addWidget(TimeGroup, 1);
    Tabs->addTab(time, QString());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    CloseButton = new QPushButton;
    CloseButton->setObjectName(QStringLiteral("BBSchliessen"));
    HelpButton = new QPushButton;
    HelpButton->setObjectName(QStringLiteral("BBHilfe"));
    HelpButton->setText(QStringLiteral("?"));
    HelpButton->setFixedWidth(HelpButton->fontMetrics().horizontalAdvance(QStringLiteral("?")) +
                              24);
    for (QPushButton* b : {CloseButton, HelpButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        if (showHelp) showHelp(Tabs->currentIndex() == 0 ? 216 : 218);
    });
    // F1 anywhere in the monitor opens the help of the page shown, as the help button does.
    SetHelpContext(this, 216);
    connect(Tabs, &QTabWidget::currentChanged, this,
            [this](int page) { SetHelpContext(this, page == 0 ? 216 : 218); });

    Relabel();
}

QString ModelMonitor::Tr(const char* text) const {
    return Q(Translate(text, m_.Language));
}

void ModelMonitor::Message(int msg, long, long) {
    if (msg == MSG_MODEL_CHANGED)
        RefreshValues();
    else if (msg == MSG_MONITOR_RELABEL)
        Relabel();
}

void ModelMonitor::Relabel() {
    setWindowTitle(Tr("Modell-Monitor##Modelling Monitor"));
    setToolTip(Tr("| Überblick und Eingabezugang für periodenunabhängige  Modell-Konfiguration##| "
                  "Overview of and access to the model configuration that holds for all periods")
                   .mid(2));
    Tabs->setTabText(0, Tr("&Endogenität##&Model Structure"));
    Tabs->setTabText(1, Tr("&Zeitgerüst##&Time Structure"));
    int buttonWidth = 0;
    for (int i = 0; i < 5; ++i) {
        Buttons[i]->setText(Tr(kButtonCaptions[i]));
        Buttons[i]->setMinimumWidth(0);
        buttonWidth = std::max(buttonWidth, Buttons[i]->sizeHint().width());
    }
    // One column of equally wide buttons in either language.
    for (QPushButton* b : Buttons)
        b->setMinimumWidth(buttonWidth);
    Explanation->setText(
        Tr("Die Normperiode ist der Anker für alle übrigen Zeitraumbezüge. Sie bildet den Zeitraum "
           "konstanter Einkommens- und Nachfrageerwartungen ab.##The basic period serves as an "
           "anchor for the other time concepts. It represents the span of constant income and "
           "demand expectations."));
    PanelNormPeriode->setText(Tr(kNormPeriod));
    CloseButton->setText(Tr("&Schließen##&Close"));
    RefreshValues();
}

void ModelMonitor::RefreshValues() {
    const MonitorQuantity quantities[] = {
        MonitorQuantity::InterestRate, MonitorQuantity::MoneySupply, MonitorQuantity::PriceLevel,
        MonitorQuantity::WageLevel, MonitorQuantity::ExchangeRate};
    for (int i = 0; i < 5; ++i)
        Labels[i]->setText(Q(MonitorLine(m_, quantities[i], m_.Language)));
    BarLabels[0]->setText(Tr(kNormPeriod));
    BarLabels[1]->setText(Tr(kWagePeriod) + QStringLiteral(" = ") + QString::number(m_.Sw(23)));
    BarLabels[2]->setText(Tr(kMonetaryPeriod) + QStringLiteral(" = ") + QString::number(m_.Sw(22)));
    // A bar shows its length; a bar of one period is too short for more than that.
    PanelNormPeriode->setText(QStringLiteral("1"));
    PanelTZR->setText(QString::number(m_.Sw(23)));
    PanelMZZR->setText(QString::number(m_.Sw(22)));
    PanelNormPeriode->setToolTip(BarLabels[0]->text());
    PanelTZR->setToolTip(BarLabels[1]->text());
    PanelMZZR->setToolTip(BarLabels[2]->text());
    Colour(PanelNormPeriode, false);
    Colour(PanelTZR, m_.Sw(14) != 0);
    Colour(PanelMZZR, m_.Sw(20) == 1);
    // The group is wide enough for the longest text above a bar.
    const QFontMetrics fm(BarLabels[0]->font());
    int textWidth = 0;
    for (QLabel* label : BarLabels)
        textWidth = std::max(textWidth, fm.horizontalAdvance(label->text()) + 8);
    TimeGroup->setMinimumWidth(textWidth + 2 * BarLeft);
    PlaceBars();
}

void ModelMonitor::PlaceBars() {
    const int top = TimeGroup->contentsRect().top() + 2;
    const int groupWidth = TimeGroup->width();
    // The basic period is one fifteenth of the width, the unit of the other two bars.
    const int basic = MonitorBarWidth(0, groupWidth, BarLeft, 1);
    const int lengths[] = {1, m_.Sw(23), m_.Sw(22)};
    QLabel* bars[] = {PanelNormPeriode, PanelTZR, PanelMZZR};
    for (int i = 0; i < 3; ++i) {
        const int y = top + i * kRowHeight;
        BarLabels[i]->setGeometry(BarLeft, y, std::max(0, groupWidth - 2 * BarLeft), kLabelHeight);
        bars[i]->setGeometry(BarLeft, y + kLabelHeight,
                             MonitorBarWidth(basic, groupWidth, BarLeft, lengths[i]), kBarHeight);
    }
}

bool ModelMonitor::eventFilter(QObject* watched, QEvent* e) {
    if (watched == TimeGroup && e->type() == QEvent::Resize) PlaceBars();
    if (e->type() == QEvent::MouseButtonPress && openDialog) {
        if (watched == PanelTZR) openDialog(2, 4);
        if (watched == PanelMZZR) openDialog(4, 3);
    }
    return QWidget::eventFilter(watched, e);
}

void ModelMonitor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (e->key() == Qt::Key_F1) {
        HelpButton->click();
        return;
    }
    QWidget::keyPressEvent(e);
}

void ModelMonitor::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (placed_) return;
    placed_ = true;
    if (QScreen* screen = this->screen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void ModelMonitor::closeEvent(QCloseEvent* e) {
    emit closed();
    QWidget::closeEvent(e);
}

} // namespace tv

#include "views/PeriodRunWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "logic/AnalysisInterval.h"
#include "services/CommandHost.h"
#include "services/PeriodNavigator.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// "short| long" hints: the short part as tool tip, the long one in the status line.
void Hint(QWidget* w, const std::string& hint) {
    const QString h = QString::fromStdString(hint);
    const int bar = h.indexOf(QLatin1Char('|'));
    w->setToolTip(h.left(bar).trimmed().isEmpty() ? h.mid(bar + 1).trimmed() : h.left(bar));
    w->setStatusTip(h.mid(bar + 1).trimmed());
}

QToolButton* Button(QWidget* parent, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setAutoRaise(true);
    return b;
}

QScrollBar* Bar() {
    auto* bar = new QScrollBar(Qt::Horizontal);
    bar->setRange(1, 100);
    bar->setPageStep(10);
    return bar;
}

} // namespace

PeriodRunWindow::PeriodRunWindow(CommandHost& main)
    : QWidget(main.widget(), Qt::Tool), main_(main) {
    setObjectName(QStringLiteral("PeriodRunWindow"));
    setAttribute(Qt::WA_DeleteOnClose);

    BackButton = Button(this, QStyle::SP_MediaSkipBackward);
    PlayButton = Button(this, QStyle::SP_MediaPlay);
    PauseButton = Button(this, QStyle::SP_MediaPause);
    ForwardButton = Button(this, QStyle::SP_MediaSkipForward);
    PlayButton->setCheckable(true);
    PauseButton->setCheckable(true);
    auto* pair = new QButtonGroup(this);
    pair->setExclusive(true);
    pair->addButton(PlayButton);
    pair->addButton(PauseButton);
    PauseButton->setChecked(true);

    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {BackButton, PlayButton, PauseButton, ForwardButton})
        buttons->addWidget(b);
    buttons->addStretch();

    Tabs = new QTabWidget(this);
    auto page = [&](QGroupBox*& group, QScrollBar*& bar) {
        auto* p = new QWidget;
        auto* l = new QVBoxLayout(p);
        group = new QGroupBox;
        auto* gl = new QVBoxLayout(group);
        bar = Bar();
        gl->addWidget(bar);
        l->addWidget(group);
        return p;
    };
    Tabs->addTab(page(DelayGroup, DelayBar), QString());
    Tabs->addTab(page(JumpGroup, JumpBar), QString());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(Tabs);

    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PeriodRunWindow::Tick);
    // A click on play while running is a click on the checked button: nothing happens.
    connect(PlayButton, &QToolButton::clicked, this, [this] {
        if (!running_) Start();
    });
    connect(PauseButton, &QToolButton::clicked, this, &PeriodRunWindow::Pause);
    connect(BackButton, &QToolButton::clicked, this, [this] {
        Pause();
        main_.Navigator()->rules().SetCurrentPeriod(main_.model().Periods.LeftEdge);
    });
    connect(ForwardButton, &QToolButton::clicked, this, [this] {
        Pause();
        main_.Navigator()->rules().SetCurrentPeriod(main_.model().Periods.RightEdge);
    });
    connect(DelayBar, &QScrollBar::valueChanged, this, [this](int v) {
        run_.SetDelay(v);
        ShowCaptions();
    });
    connect(JumpBar, &QScrollBar::valueChanged, this, [this](int v) {
        run_.SetJumpWidth(v);
        ShowCaptions();
    });
    // A changed model invalidates what the run is replaying.
    main_.OnModelChangeBroadcast(this, [this] { Pause(); });
    // After the language is set (a menu entry toggles before it sets the language).
    main_.OnLanguageChanged(this, [this] { RefreshLanguage(); });
    RefreshLanguage();
    adjustSize();
}

PeriodRunWindow::~PeriodRunWindow() = default;

int PeriodRunWindow::Language() const {
    return main_.model().Language;
}

void PeriodRunWindow::RefreshLanguage() {
    setWindowTitle(Q(Translate(PeriodRunCaption, Language())));
    Tabs->setTabText(0, Q(Translate("Verzögerung##Delay", Language())));
    Tabs->setTabText(1, Q(Translate("Sprungweite##Steps", Language())));
    const auto hint = [this](QWidget* w, const char* text) {
        Hint(w, Translate(text, Language()));
    };
    hint(this, "| Steuerungsfenster für Periodendurchlauf:  Aus- und Einblenden mit F3##| Control "
               "window of the period run: show and hide it with F3");
    hint(BackButton,
         "linker Analyserand| Setzt die aktuelle Periode auf den linken Rand des "
         "Analyseintervalls##left border| Sets the current period to the left border of "
         "the analysis interval");
    hint(PlayButton, "Start| Startet den Periodendurchlauf, sofern aktuelle Periode < rechter "
                     "Rand des Analyseintervalls##Start| Starts the period run if the current "
                     "period < right border of the analysis interval");
    hint(PauseButton, "Pause| Hält den Periodendurchlauf an##Pause| Stops the period run");
    hint(ForwardButton, "rechter Analyserand| Setzt die aktuelle Periode auf den rechten Rand "
                        "des Analyseintervalls##right border| Sets the current period to the right "
                        "border of the analysis interval");
    hint(DelayGroup, "| Minimale Verzögerungszeit zwischen zwei Periodensprüngen (dauert's "
                     "länger, sollten Sie Ihren Rechner aufrüsten)##| Minimum delay between two "
                     "period steps (if it takes longer, your computer is too slow)");
    hint(JumpGroup, "| Einstellung, jede wievielte Periode während des Periodendurchlaufs "
                    "angesprungen werden soll##| Sets how many periods each step of the period "
                    "run moves on");
    ShowCaptions();
}

void PeriodRunWindow::ShowCaptions() {
    DelayGroup->setTitle(Q(run_.DelayCaption(Language(), main_.model().DecimalSeparator)));
    JumpGroup->setTitle(Q(run_.JumpCaption(Language())));
}

void PeriodRunWindow::SetDelay(int tenths) {
    run_.SetDelay(tenths);
    const QSignalBlocker block(DelayBar);
    DelayBar->setValue(run_.Delay());
    ShowCaptions();
}

void PeriodRunWindow::SetJumpWidth(int periods) {
    JumpBar->setValue(periods);
    run_.SetJumpWidth(periods);
    ShowCaptions();
}

void PeriodRunWindow::Start() {
    running_ = true;
    PlayButton->setChecked(true);
    Step();
}

void PeriodRunWindow::Pause() {
    const bool was = running_;
    running_ = false;
    timer_.stop();
    PauseButton->setChecked(true);
    if (was) emit stopped();
}

void PeriodRunWindow::Tick() {
    if (!running_) return;
    // A modal dialog may change the model or the interval under the run.
    if (QApplication::activeModalWidget()) {
        Pause();
        return;
    }
    // Timers may fire early; the monotonic clock decides whether the delay has passed.
    const qint64 left = run_.DelayMilliseconds() - clock_.elapsed();
    if (left > 0) {
        timer_.start(static_cast<int>(left));
        return;
    }
    Step();
}

void PeriodRunWindow::Step() {
    const PeriodState& ps = main_.model().Periods;
    const int next = run_.NextPeriod(ps.CurrentPeriod, ps.RightEdge);
    if (!running_ || next < 0) {
        Pause();
        return;
    }
    ++steps_;
    main_.Navigator()->rules().SetCurrentPeriod(next);
    main_.Navigator()->Slider()->update();
    if (!running_) return; // a window stopped the run while it followed the step
    clock_.restart();
    timer_.start(run_.DelayMilliseconds());
}

void PeriodRunWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        Pause();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void PeriodRunWindow::closeEvent(QCloseEvent* e) {
    Pause();
    emit closed();
    QWidget::closeEvent(e);
}

void PeriodRunWindow::hideEvent(QHideEvent* e) {
    Pause();
    QWidget::hideEvent(e);
}

PeriodRunWindow* FindPeriodRunWindow(CommandHost& main) {
    return main.widget()->findChild<PeriodRunWindow*>(QStringLiteral("PeriodRunWindow"),
                                                      Qt::FindDirectChildrenOnly);
}

void InstallPeriodRunCommand(CommandHost& main) {
    QAction* entry = main.Action(QStringLiteral("MIPeriodenDurchlauf"));
    if (!entry) return;
    entry->setCheckable(true);
    main.BindCommand(
        QStringLiteral("MIPeriodenDurchlauf"),
        [&main, entry] {
            PeriodRunWindow* w = FindPeriodRunWindow(main);
            if (!entry->isChecked()) {
                if (w) w->close();
                return;
            }
            if (!w) {
                w = new PeriodRunWindow(main);
                QObject::connect(w, &PeriodRunWindow::closed, entry,
                                 [entry] { entry->setChecked(false); });
            }
            w->show();
            w->raise();
            w->activateWindow();
        },
        "Periodendurchlauf| Blendet Steuerfenster für selbständigen Periodendurchlauf ein und "
        "aus##Period run| Shows and hides the control window of the automatic period run");
}

} // namespace tv

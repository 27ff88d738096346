#include "services/SolveWindows.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {
QString Tr(const char* text, int language) {
    return QString::fromStdString(Translate(text, language));
}
} // namespace

SolveInfoWindow::SolveInfoWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SolveInfoWindow"));
    setWindowModality(Qt::ApplicationModal);
    InfoLabel = new QLabel(this);
    ProgressGroup = new QGroupBox(this);
    MinimumLabel = new QLabel(ProgressGroup);
    MaximumLabel = new QLabel(ProgressGroup);
    MaximumLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    GaugeFrame = new QFrame(ProgressGroup);
    GaugeFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    GaugeFrame->setFixedSize(240, 18);
    Gauge = new QFrame(GaugeFrame);
    Gauge->setAutoFillBackground(true);
    QPalette pal = Gauge->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128));
    Gauge->setPalette(pal);
    Gauge->setGeometry(2, 2, 0, GaugeFrame->height() - 4);
    auto* grid = new QGridLayout(ProgressGroup);
    grid->addWidget(MinimumLabel, 0, 0);
    grid->addWidget(MaximumLabel, 0, 1);
    grid->addWidget(GaugeFrame, 1, 0, 1, 2);
    StopButton = new QPushButton(QStringLiteral("&STOP"), this);
    StopButton->setDefault(true);
    connect(StopButton, &QPushButton::clicked, this, [this] { stopped_ = true; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(InfoLabel);
    layout->addWidget(ProgressGroup);
    layout->addWidget(StopButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void SolveInfoWindow::Open(const QString& label, const QString& group, const QString& minimum,
                           const QString& maximum) {
    InfoLabel->setText(label);
    ProgressGroup->setTitle(group);
    MinimumLabel->setText(minimum);
    MaximumLabel->setText(maximum);
    stopped_ = false;
    SetFraction(0);
    show();
    if (parentWidget()) {
        // Centred over the main window.
        const QRect p = parentWidget()->frameGeometry();
        move(p.center() - rect().center());
    }
    raise();
    StopButton->setFocus();
    sinceEvents_.invalidate();
    ProcessEvents(); // paint it before the first period is computed
}

void SolveInfoWindow::SetMaximumLabel(const QString& maximum) {
    MaximumLabel->setText(maximum);
}

void SolveInfoWindow::SetFraction(double fraction) {
    const int inner = GaugeFrame->width() - 3;
    const int w = std::clamp(static_cast<int>(fraction * inner), 0, inner);
    Gauge->setFixedWidth(w);
    Gauge->setVisible(w > 0);
}

int SolveInfoWindow::GaugeWidth() const {
    return Gauge->isVisible() ? Gauge->width() : 0;
}

void SolveInfoWindow::ProcessEvents() {
    if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= 30) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        sinceEvents_.start();
    }
}

bool SolveInfoWindow::Poll() {
    ProcessEvents();
    // One press is one event: reading it consumes it, so that a search that went on to the
    // end of its round is not stopped again and again.
    const bool stop = stopped_;
    stopped_ = false;
    return stop;
}

void SolveInfoWindow::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space:
    case Qt::Key_S:
        stopped_ = true;
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

SolveControlDialog::SolveControlDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SolveControlDialog"));
    NextPeriodButton = new QPushButton(this);
    NextPeriodButton->setDefault(true);
    RestIntervalButton = new QPushButton(this);
    connect(NextPeriodButton, &QPushButton::clicked, this, &SolveControlDialog::NextPeriod);
    connect(RestIntervalButton, &QPushButton::clicked, this, &SolveControlDialog::RestInterval);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(NextPeriodButton);
    layout->addWidget(RestIntervalButton);
    SetLanguage(1);
}

void SolveControlDialog::SetLanguage(int language) {
    setWindowTitle(Tr("Lösungssteuerung: Was lösen?##Solution control: what to solve?", language));
    NextPeriodButton->setText(Tr("nächste Periode##next period", language));
    NextPeriodButton->setStatusTip(Tr("Setzt den Lösungsalgorithmus mit der nächsten noch "
                                      "ungelösten Periode fort##Continues the solution with the "
                                      "next unsolved period",
                                      language));
    NextPeriodButton->setToolTip(NextPeriodButton->statusTip());
    RestIntervalButton->setText(Tr("Restintervall##rest of the interval", language));
    RestIntervalButton->setStatusTip(Tr("Löst alle noch nicht gelösten Perioden im "
                                        "Analyseintervall##Solves all unsolved periods of the "
                                        "analysis interval",
                                        language));
    RestIntervalButton->setToolTip(RestIntervalButton->statusTip());
    // The window manager cuts a caption wider than the window: make room for it and the
    // title bar's buttons (title fonts are often bold and larger).
    QFont title = font();
    title.setBold(true);
    setMinimumWidth(QFontMetrics(title).horizontalAdvance(windowTitle()) * 5 / 4 + 100);
}

SolveOptionsDialog::SolveOptionsDialog(const SolveOptions& o, int language, QWidget* parent)
    : QDialog(parent), accuracy_(o.Accuracy), language_(language) {
    setObjectName(QStringLiteral("SolveOptionsDialog"));
    setWindowTitle(Tr("Lösungsoptionen##Solving options", language));
    const QString forT0 = QStringLiteral(" ") + Tr("für##for", language) + QStringLiteral(" t=0");

    auto* gAcc = new QGroupBox(Tr("&Genauigkeit##&Accuracy", language) + forT0, this);
    AccuracyLabel = new QLabel(gAcc);
    AccuracyUpButton = new QToolButton(gAcc);
    AccuracyUpButton->setArrowType(Qt::UpArrow);
    AccuracyDownButton = new QToolButton(gAcc);
    AccuracyDownButton->setArrowType(Qt::DownArrow);
    auto* accLayout = new QHBoxLayout(gAcc);
    accLayout->addWidget(AccuracyLabel, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(AccuracyUpButton);
    arrows->addWidget(AccuracyDownButton);
    accLayout->addLayout(arrows);
    // Steps between exact powers of ten from 1 down to 1E-8: dividing by 10 again and again
    // drifts (1E-5 / 10 / 10 / 10 is a little above 1E-8 and would allow 1E-9).
    auto step = [this](int direction) {
        static constexpr double Powers[] = {1, 1E-1, 1E-2, 1E-3, 1E-4, 1E-5, 1E-6, 1E-7, 1E-8};
        const int e = static_cast<int>(std::lround(-std::log10(accuracy_)));
        accuracy_ = Powers[std::clamp(e - direction, 0, 8)];
        ShowAccuracy();
    };
    connect(AccuracyDownButton, &QToolButton::clicked, this, [step] { step(-1); });
    connect(AccuracyUpButton, &QToolButton::clicked, this, [step] { step(+1); });

    auto* gIt = new QGroupBox(Tr("&Unterbrechung##&Interruption", language) + forT0, this);
    IterationsSlider = new QSlider(Qt::Vertical, gIt);
    // Shown inverted: the top is the largest number.
    IterationsSlider->setRange(10, 5000);
    IterationsSlider->setPageStep(100);
    IterationsSlider->setTickInterval(500);
    IterationsSlider->setTickPosition(QSlider::TicksRight);
    IterationsSlider->setValue(std::clamp<int>(o.MaxIterations, 10, 5000));
    IterationsSlider->setFixedHeight(110);
    IterationsLabel = new QLabel(gIt);
    IterationsLabel->setWordWrap(true);
    auto* itLayout = new QHBoxLayout(gIt);
    itLayout->addWidget(IterationsSlider);
    itLayout->addWidget(IterationsLabel, 1);
    connect(IterationsSlider, &QSlider::valueChanged, this, [this] { ShowIterations(); });

    auto* gWann = new QGroupBox(Tr("Wa&nn lösen?##&Start the solving algorithm", language), this);
    AfterEachInputButton = new QRadioButton(Tr("nach jeder Eingabe##after each input", language));
    OnRequestButton = new QRadioButton(Tr("nur auf Anforderung##only if asked for", language));
    auto* wl = new QVBoxLayout(gWann);
    wl->addWidget(AfterEachInputButton);
    wl->addWidget(OnRequestButton);
    (o.SolveAfterInput ? AfterEachInputButton : OnRequestButton)->setChecked(true);

    auto* gWie = new QGroupBox(Tr("W&ie lösen?##Sol&ve the interval", language), this);
    CompleteButton = new QRadioButton(Tr("komplettes Intervall##all at once", language));
    StepwiseButton = new QRadioButton(Tr("Intervall schrittweise##step by step", language));
    auto* hl = new QVBoxLayout(gWie);
    hl->addWidget(CompleteButton);
    hl->addWidget(StepwiseButton);
    (o.StepwiseSolve ? StepwiseButton : CompleteButton)->setChecked(true);

    auto* gInfo = new QGroupBox(Tr("Status-Info##Progress information", language), this);
    InfoWindowBox =
        new QCheckBox(Tr("&Lösungsinformationsfenster einblenden##sho&w status dialog", language));
    InfoWindowBox->setChecked(o.ShowSolveInfo);
    (new QVBoxLayout(gInfo))->addWidget(InfoWindowBox);

    auto* gSync =
        new QGroupBox(Tr("Behandlung der aktuellen Periode##Current period", language), this);
    SynchronousBox = new QCheckBox(Tr("mit Lösungs&fortschritt synchronisieren##synch&ronized with "
                                      "solving progress",
                                      language));
    SynchronousBox->setChecked(o.FollowSolution);
    (new QVBoxLayout(gSync))->addWidget(SynchronousBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Abbrechen##Cancel", language));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(gAcc, 0, 0, 1, 2);
    grid->addWidget(gIt, 1, 0, 2, 1);
    grid->addWidget(gWann, 1, 1);
    grid->addWidget(gWie, 2, 1);
    grid->addWidget(gInfo, 3, 0);
    grid->addWidget(gSync, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);
    ShowAccuracy();
    ShowIterations();
}

QString SolveOptionsDialog::AccuracyText(double accuracy, int language) {
    return Tr("relative Ergebnisänderung##relative outcome change", language) +
           QStringLiteral(" < ") + QString::number(accuracy, 'f', 9) + QStringLiteral(" %");
}

void SolveOptionsDialog::ShowAccuracy() {
    AccuracyLabel->setText(AccuracyText(accuracy_, language_));
}

void SolveOptionsDialog::ShowIterations() {
    IterationsLabel->setText(Tr("maximale Anzahl an##maximum number of", language_) +
                             QStringLiteral(" ") + Tr("Iterationen##Iterations", language_) +
                             QStringLiteral(": ") + QString::number(IterationsSlider->value()));
}

void SolveOptionsDialog::Store(SolveOptions& o) const {
    o.Accuracy = accuracy_;
    o.MaxIterations = static_cast<uint16_t>(IterationsSlider->value());
    o.SolveAfterInput = AfterEachInputButton->isChecked() ? 1 : 0;
    o.StepwiseSolve = StepwiseButton->isChecked() ? 1 : 0;
    o.ShowSolveInfo = InfoWindowBox->isChecked() ? 1 : 0;
    o.FollowSolution = SynchronousBox->isChecked() ? 1 : 0;
}

} // namespace tv

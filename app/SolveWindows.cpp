#include "app/SolveWindows.h"

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

TLoesInfoFen::TLoesInfoFen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TLoesInfoFen"));
    setWindowModality(Qt::ApplicationModal);
    LInfo = new QLabel(this);
    GBFortschritt = new QGroupBox(this);
    LMinimum = new QLabel(GBFortschritt);
    LMaximum = new QLabel(GBFortschritt);
    LMaximum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PRahmen = new QFrame(GBFortschritt);
    PRahmen->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PRahmen->setFixedSize(240, 18);
    PAnzeige = new QFrame(PRahmen);
    PAnzeige->setAutoFillBackground(true);
    QPalette pal = PAnzeige->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128));
    PAnzeige->setPalette(pal);
    PAnzeige->setGeometry(2, 2, 0, PRahmen->height() - 4);
    auto* grid = new QGridLayout(GBFortschritt);
    grid->addWidget(LMinimum, 0, 0);
    grid->addWidget(LMaximum, 0, 1);
    grid->addWidget(PRahmen, 1, 0, 1, 2);
    BStop = new QPushButton(QStringLiteral("&STOP"), this);
    BStop->setDefault(true);
    connect(BStop, &QPushButton::clicked, this, [this] { stopped_ = true; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LInfo);
    layout->addWidget(GBFortschritt);
    layout->addWidget(BStop, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TLoesInfoFen::Open(const QString& label, const QString& group, const QString& minimum,
                        const QString& maximum) {
    LInfo->setText(label);
    GBFortschritt->setTitle(group);
    LMinimum->setText(minimum);
    LMaximum->setText(maximum);
    stopped_ = false;
    SetFraction(0);
    show();
    if (parentWidget()) {
        // Centred over the main window.
        const QRect p = parentWidget()->frameGeometry();
        move(p.center() - rect().center());
    }
    raise();
    BStop->setFocus();
    sinceEvents_.invalidate();
    Poll(); // paint it before the first period is computed
}

void TLoesInfoFen::SetMaximumLabel(const QString& maximum) {
    LMaximum->setText(maximum);
}

void TLoesInfoFen::SetFraction(double fraction) {
    const int inner = PRahmen->width() - 3;
    const int w = std::clamp(static_cast<int>(fraction * inner), 0, inner);
    PAnzeige->setFixedWidth(w);
    PAnzeige->setVisible(w > 0);
}

int TLoesInfoFen::GaugeWidth() const {
    return PAnzeige->isVisible() ? PAnzeige->width() : 0;
}

bool TLoesInfoFen::Poll() {
    if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= 30) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        sinceEvents_.start();
    }
    return stopped_;
}

void TLoesInfoFen::keyPressEvent(QKeyEvent* e) {
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

TLoesSteuerDlg::TLoesSteuerDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TLoesSteuerDlg"));
    setWindowTitle(QStringLiteral("Lösungssteuerung: Was lösen?"));
    BNaechstePeriode = new QPushButton(QStringLiteral("nächste Periode"), this);
    BNaechstePeriode->setDefault(true);
    BNaechstePeriode->setStatusTip(
        QStringLiteral("Setzt den Lösungsalgorithmus mit der nächsten noch ungelösten "
                       "Periode fort"));
    BNaechstePeriode->setToolTip(BNaechstePeriode->statusTip());
    BRestintervall = new QPushButton(QStringLiteral("Restintervall"), this);
    BRestintervall->setStatusTip(
        QStringLiteral("Löst alle noch nicht gelösten Perioden im Analyseintervall"));
    BRestintervall->setToolTip(BRestintervall->statusTip());
    connect(BNaechstePeriode, &QPushButton::clicked, this, &TLoesSteuerDlg::NextPeriod);
    connect(BRestintervall, &QPushButton::clicked, this, &TLoesSteuerDlg::RestInterval);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BNaechstePeriode);
    layout->addWidget(BRestintervall);
}

TLoesOptDlg::TLoesOptDlg(const SolveOptions& o, int language, QWidget* parent)
    : QDialog(parent), accuracy_(o.Accuracy), language_(language) {
    setObjectName(QStringLiteral("TLoesOptDlg"));
    setWindowTitle(Tr("Lösungsoptionen##Solving options", language));
    const QString forT0 = QStringLiteral(" ") + Tr("für##for", language) + QStringLiteral(" t=0");

    auto* gAcc = new QGroupBox(Tr("&Genauigkeit##&Accuracy", language) + forT0, this);
    LGenauigkeit = new QLabel(gAcc);
    SBGenauigkeitAuf = new QToolButton(gAcc);
    SBGenauigkeitAuf->setArrowType(Qt::UpArrow);
    SBGenauigkeitAb = new QToolButton(gAcc);
    SBGenauigkeitAb->setArrowType(Qt::DownArrow);
    auto* accLayout = new QHBoxLayout(gAcc);
    accLayout->addWidget(LGenauigkeit, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(SBGenauigkeitAuf);
    arrows->addWidget(SBGenauigkeitAb);
    accLayout->addLayout(arrows);
    connect(SBGenauigkeitAb, &QToolButton::clicked, this, [this] {
        if (accuracy_ > 1E-8) accuracy_ /= 10;
        ShowAccuracy();
    });
    connect(SBGenauigkeitAuf, &QToolButton::clicked, this, [this] {
        if (accuracy_ < 1) accuracy_ *= 10;
        ShowAccuracy();
    });

    auto* gIt = new QGroupBox(Tr("&Unterbrechung##&Interruption", language) + forT0, this);
    TBIterationen = new QSlider(Qt::Vertical, gIt);
    // Shown inverted: the top is the largest number.
    TBIterationen->setRange(10, 5000);
    TBIterationen->setPageStep(100);
    TBIterationen->setTickInterval(500);
    TBIterationen->setTickPosition(QSlider::TicksRight);
    TBIterationen->setValue(std::clamp<int>(o.MaxIterations, 10, 5000));
    TBIterationen->setFixedHeight(110);
    LIterationen = new QLabel(gIt);
    LIterationen->setWordWrap(true);
    auto* itLayout = new QHBoxLayout(gIt);
    itLayout->addWidget(TBIterationen);
    itLayout->addWidget(LIterationen, 1);
    connect(TBIterationen, &QSlider::valueChanged, this, [this] { ShowIterations(); });

    auto* gWann = new QGroupBox(Tr("Wa&nn lösen?##&Start the solving algorithm", language), this);
    RBNachJederEingabe = new QRadioButton(Tr("nach jeder Eingabe##after each input", language));
    RBAufAnforderung = new QRadioButton(Tr("nur auf Anforderung##only if asked for", language));
    auto* wl = new QVBoxLayout(gWann);
    wl->addWidget(RBNachJederEingabe);
    wl->addWidget(RBAufAnforderung);
    (o.SolveAfterInput ? RBNachJederEingabe : RBAufAnforderung)->setChecked(true);

    auto* gWie = new QGroupBox(Tr("W&ie lösen?##Sol&ve the interval", language), this);
    RBKomplett = new QRadioButton(Tr("komplettes Intervall##all at once", language));
    RBSchrittweise = new QRadioButton(Tr("Intervall schrittweise##step by step", language));
    auto* hl = new QVBoxLayout(gWie);
    hl->addWidget(RBKomplett);
    hl->addWidget(RBSchrittweise);
    (o.StepwiseSolve ? RBSchrittweise : RBKomplett)->setChecked(true);

    auto* gInfo = new QGroupBox(Tr("Status-Info##Progress information", language), this);
    CBInfofenster =
        new QCheckBox(Tr("&Lösungsinformationsfenster einblenden##sho&w status dialog", language));
    CBInfofenster->setChecked(o.ShowSolveInfo);
    (new QVBoxLayout(gInfo))->addWidget(CBInfofenster);

    auto* gSync =
        new QGroupBox(Tr("Behandlung der aktuellen Periode##Current period", language), this);
    CBSynchron = new QCheckBox(Tr("mit Lösungs&fortschritt synchronisieren##synch&ronized with "
                                  "solving progress",
                                  language));
    CBSynchron->setChecked(o.FollowSolution);
    (new QVBoxLayout(gSync))->addWidget(CBSynchron);

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

QString TLoesOptDlg::AccuracyText(double accuracy, int language) {
    return Tr("relative Ergebnisänderung##relative outcome change", language) +
           QStringLiteral(" < ") + QString::number(accuracy, 'f', 9) + QStringLiteral(" %");
}

void TLoesOptDlg::ShowAccuracy() {
    LGenauigkeit->setText(AccuracyText(accuracy_, language_));
}

void TLoesOptDlg::ShowIterations() {
    LIterationen->setText(Tr("maximale Anzahl an##maximum number of", language_) +
                          QStringLiteral(" ") + Tr("Iterationen##Iterations", language_) +
                          QStringLiteral(": ") + QString::number(TBIterationen->value()));
}

void TLoesOptDlg::Store(SolveOptions& o) const {
    o.Accuracy = accuracy_;
    o.MaxIterations = static_cast<uint16_t>(TBIterationen->value());
    o.SolveAfterInput = RBNachJederEingabe->isChecked() ? 1 : 0;
    o.StepwiseSolve = RBSchrittweise->isChecked() ? 1 : 0;
    o.ShowSolveInfo = CBInfofenster->isChecked() ? 1 : 0;
    o.FollowSolution = CBSynchron->isChecked() ? 1 : 0;
}

} // namespace tv

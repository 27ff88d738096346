#include "app/Printing.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

QFont TitleFont(const QFont& printerFont) {
    QFont f = printerFont;
    f.setPointSizeF(std::max(1.0, printerFont.pointSizeF()) + 4);
    f.setBold(true);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

QFont FooterFont(const QFont& printerFont) {
    QFont f(printerFont.family());
    f.setPointSize(8);
    return f;
}

// The height of one capital letter, the unit both lines are placed by.
int LetterHeight(QPainter& p, const QFont& f, QChar letter) {
    return QFontMetrics(f, p.device()).tightBoundingRect(QString(letter)).height();
}

// Draws text with its top at y, black on white, and restores the painter afterwards.
void DrawAt(QPainter& p, const QFont& f, int x, int y, const QString& text) {
    p.save();
    p.setFont(f);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Qt::white);
    const QFontMetrics fm(f, p.device());
    p.drawText(x, y + fm.ascent(), text);
    p.restore();
}

} // namespace

int TitleHeight(QPainter& p, const QFont& printerFont) {
    const int h = LetterHeight(p, TitleFont(printerFont), QLatin1Char('E'));
    return 2 * h + static_cast<int>(std::nearbyint(0.025 * p.device()->height()));
}

void PrintTitle(QPainter& p, const QFont& printerFont, const QString& text) {
    const QFont f = TitleFont(printerFont);
    const int width = QFontMetrics(f, p.device()).horizontalAdvance(text);
    DrawAt(p, f, (p.device()->width() - width) / 2, TitleHeight(p, printerFont), text);
}

int FooterHeight(QPainter& p, const QFont& printerFont) {
    return 2 * LetterHeight(p, FooterFont(printerFont), QLatin1Char('T'));
}

void PrintFooter(QPainter& p, const QFont& printerFont, const QString& text) {
    DrawAt(p, FooterFont(printerFont), p.device()->width() / 10,
           p.device()->height() - FooterHeight(p, printerFont), text);
}

QString SourceFooterText(const QString& modelBaseName, const QDateTime& when,
                         const QString& suffix) {
    return QStringLiteral("Quelle: TERVALIS 5.1, Modell: \"") + modelBaseName +
           QStringLiteral("\" (Druckdatum: ") + when.toString(QStringLiteral("dd.MM.yyyy")) +
           QStringLiteral("; Druckzeit: ") + when.toString(QStringLiteral("hh:mm:ss")) +
           QStringLiteral(")") + suffix;
}

void PrintSourceFooter(QPainter& p, const QFont& printerFont, const QString& modelBaseName,
                       const QString& suffix) {
    PrintFooter(p, printerFont,
                SourceFooterText(modelBaseName, QDateTime::currentDateTime(), suffix));
}

QString PrintConfirmText(const QString& caption, const QString& printerName, int language) {
    if (language == 2)
        return QStringLiteral("Print ") + caption + QStringLiteral("\non \"") + printerName +
               QStringLiteral("\"?");
    return caption + QStringLiteral("\nauf \"") + printerName + QStringLiteral("\" drucken?");
}

TPeriodenDruckDlg::TPeriodenDruckDlg(int left, int current, int right, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Druckbereich"));
    auto* group = new QGroupBox(QStringLiteral("Zu druckende Perioden:"), this);
    auto* grid = new QGridLayout(group);
    SEVon = new QSpinBox(group);
    SEBis = new QSpinBox(group);
    for (QSpinBox* s : {SEVon, SEBis})
        s->setRange(left, right);
    SEVon->setValue(left);
    SEBis->setValue(right);
    SBVonLinkerRand = new QPushButton(QStringLiteral("t = %1 (linker Rand)").arg(left), group);
    SBVonAktuell = new QPushButton(QStringLiteral("t = %1 (aktuell)").arg(current), group);
    SBBisAktuell = new QPushButton(QStringLiteral("t = %1 (aktuell)").arg(current), group);
    SBBisRechterRand = new QPushButton(QStringLiteral("t = %1 (rechter Rand)").arg(right), group);
    grid->addWidget(new QLabel(QStringLiteral("Von:"), group), 0, 0);
    grid->addWidget(SEVon, 0, 1);
    grid->addWidget(SBVonLinkerRand, 0, 2);
    grid->addWidget(SBVonAktuell, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("bis:"), group), 1, 0);
    grid->addWidget(SEBis, 1, 1);
    grid->addWidget(SBBisAktuell, 1, 2);
    grid->addWidget(SBBisRechterRand, 1, 3);
    connect(SBVonLinkerRand, &QPushButton::clicked, this, [this, left] { SEVon->setValue(left); });
    connect(SBVonAktuell, &QPushButton::clicked, this,
            [this, current] { SEVon->setValue(current); });
    connect(SBBisAktuell, &QPushButton::clicked, this,
            [this, current] { SEBis->setValue(current); });
    connect(SBBisRechterRand, &QPushButton::clicked, this,
            [this, right] { SEBis->setValue(right); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TPeriodenDruckDlg::Preset(int from, int to) {
    SEVon->setValue(from);
    SEBis->setValue(to);
}

int TPeriodenDruckDlg::From() const {
    return std::min(SEVon->value(), SEBis->value());
}
int TPeriodenDruckDlg::To() const {
    return std::max(SEVon->value(), SEBis->value());
}

} // namespace tv

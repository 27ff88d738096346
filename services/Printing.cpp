#include "services/Printing.h"

#include "core/Catalogue.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextOption>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

QString Tr(const char* bilingual, int language) {
    return QString::fromStdString(Translate(bilingual, language));
}

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

QString SourceFooterText(const QString& modelBaseName, const QDateTime& when, const QString& suffix,
                         int language) {
    const QString text = Tr("Quelle: TERVALIS 5.1, Modell: \"%1\" (Druckdatum: %2; Druckzeit: "
                            "%3)##Source: TERVALIS 5.1, model: \"%1\" (printed on %2 at %3)",
                            language);
    return text.arg(modelBaseName, when.toString(QStringLiteral("dd.MM.yyyy")),
                    when.toString(QStringLiteral("hh:mm:ss"))) +
           suffix;
}

void PrintSourceFooter(QPainter& p, const QFont& printerFont, const QString& modelBaseName,
                       const QString& suffix, int language) {
    PrintFooter(p, printerFont,
                SourceFooterText(modelBaseName, QDateTime::currentDateTime(), suffix, language));
}

QString PageNumberSuffix(int page, int language) {
    return QStringLiteral(", ") + Tr("Seite##Page", language) + QStringLiteral(": ") +
           QString::number(page);
}

PageFlow::PageFlow(QPainter& p, QPrinter& printer, const QFont& titleFont, const QFont& bodyFont,
                   const QString& title, Footer footer)
    : p_(p), printer_(printer), titleFont_(titleFont), title_(title), footer_(std::move(footer)) {
    const int top = TitleHeight(p, titleFont) +
                    QFontMetrics(TitleFont(titleFont), p.device()).height() +
                    QFontMetrics(bodyFont, p.device()).height();
    const int bottom = p.device()->height() - 2 * FooterHeight(p, bodyFont);
    body_ = QRect(p.device()->width() / 10, top, p.device()->width() * 8 / 10,
                  std::max(1, bottom - top));
    y_ = body_.top();
}

void PageFlow::Reserve(int height) {
    if (!AtPageTop() && y_ + height > body_.bottom()) NewPage();
}

void PageFlow::NewPage() {
    if (footer_) footer_(p_, page_);
    printer_.newPage();
    ++page_;
    PrintTitle(p_, titleFont_, title_);
    y_ = body_.top();
}

void PageFlow::Finish() {
    if (finished_) return;
    finished_ = true;
    if (footer_) footer_(p_, page_);
}

int PageFlow::Paragraph(const QString& text, const QFont& font, const QColor& colour,
                        Qt::Alignment align) {
    p_.save();
    p_.setFont(font);
    p_.setPen(colour);
    const QTextOption option = WrappingOption(align);
    const QRectF room(body_.left(), 0, body_.width(), body_.height());
    const int height =
        std::max(QFontMetrics(font, p_.device()).height(),
                 static_cast<int>(std::ceil(p_.boundingRect(room, text, option).height())));
    Reserve(height);
    p_.drawText(QRectF(body_.left(), y_, body_.width(), height), text, option);
    p_.restore();
    y_ += height;
    return height;
}

QTextOption WrappingOption(Qt::Alignment align) {
    QTextOption option(align | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

PageFlow::Footer SourceFooterWithPage(const QFont& printerFont, const QString& modelBaseName,
                                      int language) {
    return [printerFont, modelBaseName, language](QPainter& p, int page) {
        PrintSourceFooter(p, printerFont, modelBaseName, PageNumberSuffix(page, language),
                          language);
    };
}

QString PdfFileName(const QString& directory, const QString& model, const QString& caption) {
    QString name = (model.isEmpty() ? QStringLiteral("TERVALIS") : model) + QStringLiteral(" - ") +
                   caption + QStringLiteral(".pdf");
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    name.replace(unsafe, QStringLiteral("_"));
    return QDir(directory).filePath(name);
}

QString PrintConfirmText(const QString& caption, const QString& printerName, int language) {
    return Tr("%1\nauf \"%2\" drucken?##Print %1\non \"%2\"?", language).arg(caption, printerName);
}

PeriodPrintDialog::PeriodPrintDialog(int left, int current, int right, QWidget* parent,
                                     int language)
    : QDialog(parent) {
    if (language == 0 && parent) language = parent->window()->property("language").toInt();
    auto tr = [language](const char* bilingual) { return Tr(bilingual, language); };
    setWindowTitle(tr("Druckbereich##Print range"));
    auto* group = new QGroupBox(tr("Zu druckende Perioden:##Periods to print:"), this);
    auto* grid = new QGridLayout(group);
    FromBox = new QSpinBox(group);
    ToBox = new QSpinBox(group);
    for (QSpinBox* s : {FromBox, ToBox})
        s->setRange(left, right);
    FromBox->setValue(left);
    ToBox->setValue(right);
    const QString currentText = tr("t = %1 (aktuell)##t = %1 (current)").arg(current);
    FromLeftEdgeButton =
        new QPushButton(tr("t = %1 (linker Rand)##t = %1 (left border)").arg(left), group);
    FromCurrentButton = new QPushButton(currentText, group);
    ToCurrentButton = new QPushButton(currentText, group);
    ToRightEdgeButton =
        new QPushButton(tr("t = %1 (rechter Rand)##t = %1 (right border)").arg(right), group);
    grid->addWidget(new QLabel(tr("Von:##From:"), group), 0, 0);
    grid->addWidget(FromBox, 0, 1);
    grid->addWidget(FromLeftEdgeButton, 0, 2);
    grid->addWidget(FromCurrentButton, 0, 3);
    grid->addWidget(new QLabel(tr("bis:##to:"), group), 1, 0);
    grid->addWidget(ToBox, 1, 1);
    grid->addWidget(ToCurrentButton, 1, 2);
    grid->addWidget(ToRightEdgeButton, 1, 3);
    connect(FromLeftEdgeButton, &QPushButton::clicked, this,
            [this, left] { FromBox->setValue(left); });
    connect(FromCurrentButton, &QPushButton::clicked, this,
            [this, current] { FromBox->setValue(current); });
    connect(ToCurrentButton, &QPushButton::clicked, this,
            [this, current] { ToBox->setValue(current); });
    connect(ToRightEdgeButton, &QPushButton::clicked, this,
            [this, right] { ToBox->setValue(right); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void PeriodPrintDialog::Preset(int from, int to) {
    FromBox->setValue(from);
    ToBox->setValue(to);
}

int PeriodPrintDialog::From() const {
    return std::min(FromBox->value(), ToBox->value());
}
int PeriodPrintDialog::To() const {
    return std::max(FromBox->value(), ToBox->value());
}

} // namespace tv

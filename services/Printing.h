#pragma once

#include <QColor>
#include <QDateTime>
#include <QDialog>
#include <QFont>
#include <QString>
#include <QTextOption>

#include <functional>

class QPainter;
class QPrinter;
class QSpinBox;
class QLabel;
class QPushButton;

namespace tv {

// The page frame every printed window shares: a bold title at the top and a small footer
// line at the bottom, both measured in the device's own units so that printer and bitmap
// targets come out alike. The painter's font, pen and brush are left as they were.

// The title's top edge; the page body starts below it.
int TitleHeight(QPainter& p, const QFont& printerFont);
void PrintTitle(QPainter& p, const QFont& printerFont, const QString& text);
// The room the footer needs at the page bottom.
int FooterHeight(QPainter& p, const QFont& printerFont);
void PrintFooter(QPainter& p, const QFont& printerFont, const QString& text);

// "Quelle: TERVALIS 5.1, Modell: "NAME" (Druckdatum: ...; Druckzeit: ...)" + suffix, in the
// given language (1 German, 2 English).
QString SourceFooterText(const QString& modelBaseName, const QDateTime& when,
                         const QString& suffix = {}, int language = 1);
void PrintSourceFooter(QPainter& p, const QFont& printerFont, const QString& modelBaseName,
                       const QString& suffix = {}, int language = 1);

// The question of the print command, in the given language (1 German, 2 English).
// "DIR/MODEL - CAPTION.pdf", the file a print job goes to when no printer is installed;
// characters a file name cannot hold become "_".
QString PdfFileName(const QString& directory, const QString& model, const QString& caption);
QString PrintConfirmText(const QString& caption, const QString& printerName, int language);

// ", Seite: 2" in the given language: what a footer of a print-out that may run over
// several pages appends.
QString PageNumberSuffix(int page, int language);

// One print job whose content flows down as many pages as it needs. Every page carries the
// title at its top and a footer that numbers it; the caller places blocks of content with
// Reserve (a block that does not fit below moves to the next page) and Advance. The first
// page's title is expected to be printed already (BeginPrintJob of the window).
class PageFlow {
  public:
    // Draws the footer of a page (its number from 1).
    using Footer = std::function<void(QPainter&, int page)>;
    // titleFont is the font PrintTitle enlarges; bodyFont sets the gap below the title.
    PageFlow(QPainter& p, QPrinter& printer, const QFont& titleFont, const QFont& bodyFont,
             const QString& title, Footer footer);

    const QRect& Body() const { return body_; }
    int Y() const { return y_; }
    int Page() const { return page_; }
    bool AtPageTop() const { return y_ == body_.top(); }
    // Starts a new page unless `height` fits below the current position; a block taller
    // than a whole page starts at a page top.
    void Reserve(int height);
    void Advance(int height) { y_ += height; }
    void NewPage();
    // The footer of the last page; the painter stays open.
    void Finish();

    // Draws a paragraph wrapped to the body's width (long words broken anywhere, nothing
    // cut off), on the next page when it does not fit; returns its height.
    int Paragraph(const QString& text, const QFont& font, const QColor& colour = Qt::black,
                  Qt::Alignment align = Qt::AlignLeft);

  private:
    QPainter& p_;
    QPrinter& printer_;
    QFont titleFont_;
    QString title_;
    Footer footer_;
    QRect body_;
    int y_ = 0;
    int page_ = 1;
    bool finished_ = false;
};

// Wraps at word boundaries, and inside a word only where the word is wider than the line:
// a print-out never cuts text off.
QTextOption WrappingOption(Qt::Alignment align = Qt::AlignLeft);

// The source footer with the page number, as a PageFlow footer.
PageFlow::Footer SourceFooterWithPage(const QFont& printerFont, const QString& modelBaseName,
                                      int language);

// "Druckbereich": the periods a window prints. Both fields stay inside [left, right].
// Language 0 takes the language of the parent's main window (its "language" property).
class PeriodPrintDialog : public QDialog {
    Q_OBJECT
  public:
    PeriodPrintDialog(int left, int current, int right, QWidget* parent = nullptr,
                      int language = 0);
    // A caller may preset the range (for example from selected table rows).
    void Preset(int from, int to);
    // The chosen range in ascending order.
    int From() const;
    int To() const;

    QSpinBox* FromBox = nullptr;
    QSpinBox* ToBox = nullptr;
    QPushButton* FromLeftEdgeButton = nullptr;
    QPushButton* FromCurrentButton = nullptr;
    QPushButton* ToCurrentButton = nullptr;
    QPushButton* ToRightEdgeButton = nullptr;
};

} // namespace tv

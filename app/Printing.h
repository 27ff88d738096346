#pragma once

#include <QDateTime>
#include <QDialog>
#include <QFont>
#include <QString>

class QPainter;
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

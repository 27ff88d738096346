#include "render/Handout.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "render/ViewPictures.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"
#include "views/AsAdWindow.h"
#include "views/IncomeWindows.h"
#include "views/SequenceData.h"
#include "views/SequenceTableWindow.h"
#include "windows/WorkingWindow.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryFile>
#include <QToolButton>

#include <cstdio>
#include <memory>

namespace tv {

namespace {

QString Tr(const char* bilingual, int language) {
    return QString::fromStdString(Translate(bilingual, language));
}

// The main window's frame with the base-window pairs on the interval's edges: the handout
// shows the edges whatever the user assigned to the pairs.
class EdgeFrame : public WindowFrame {
  public:
    explicit EdgeFrame(WindowFrame& f) : f_(f) {}
    Model& model() override { return f_.model(); }
    UserHost& host() override { return f_.host(); }
    QMdiArea* mdiArea() override { return nullptr; }
    QRect baseArea() const override { return f_.baseArea(); }
    QPrinter& printer() override { return f_.printer(); }
    QFont printerFont() const override { return f_.printerFont(); }
    QFont screenFont() const override { return f_.screenFont(); }
    QString modelBaseName() const override { return f_.modelBaseName(); }
    QString programTitle() const override { return f_.programTitle(); }
    int assignedPeriod(int pair) const override {
        const PeriodState& p = f_.model().Periods;
        return pair == 1 ? p.LeftEdge : p.RightEdge;
    }
    const Settings* userSettings() const override { return f_.userSettings(); }
    // Nothing the handout's windows choose is kept.
    WindowSettings* windowSettings() override { return nullptr; }
    const Baseline* baseline() const override { return f_.baseline(); }

  private:
    WindowFrame& f_;
};

// Page after page on one printer, each with the title and the source footer.
class Pages {
  public:
    Pages(QPrinter& printer, WindowFrame& frame, QStringList* titles)
        : printer_(printer), frame_(frame), titles_(titles), font_(frame.printerFont()) {}

    bool Begin() { return painter_.begin(&printer_); }
    void End() {
        Footer();
        painter_.end();
    }

    // Starts a page with its title; returns the body below the title and above the footer.
    QRect Page(const QString& title) {
        if (page_ > 0) {
            Footer();
            printer_.newPage();
        }
        ++page_;
        if (titles_) titles_->append(title);
        PrintTitle(painter_, font_, title);
        painter_.setFont(font_);
        const int top = TitleHeight(painter_, font_) + 2 * QFontMetrics(font_, &printer_).height();
        const int bottom = printer_.height() - 2 * FooterHeight(painter_, font_);
        return QRect(printer_.width() / 10, top, printer_.width() * 8 / 10, bottom - top);
    }

    void Window(WorkingWindow& w) {
        PaintTarget target;
        target.kind = PaintTarget::Printer;
        target.painter = &painter_;
        target.device = &printer_;
        target.body = Page(w.windowTitle());
        w.PaintTo(target);
    }

    QPainter& Painter() { return painter_; }
    const QFont& Font() const { return font_; }

  private:
    void Footer() {
        const int language = frame_.model().Language;
        PrintSourceFooter(painter_, font_, frame_.modelBaseName(),
                          QStringLiteral(", ") + Tr("Seite##Page", language) +
                              QStringLiteral(": ") + QString::number(page_),
                          language);
    }

    QPrinter& printer_;
    WindowFrame& frame_;
    QStringList* titles_;
    QFont font_;
    QPainter painter_;
    int page_ = 0;
};

void TitlePage(Pages& pages, const Model& m, const QString& modelFile, int language) {
    const QRect body = pages.Page(Tr("Handout##Handout", language) + QStringLiteral(": ") +
                                  QFileInfo(modelFile).fileName());
    QPainter& p = pages.Painter();
    QFont font = pages.Font();
    const QFontMetrics fm(font, p.device());
    const int step = fm.height() * 5 / 4;
    int y = body.top();
    auto line = [&](const QString& text, bool bold = false) {
        QFont f = font;
        f.setBold(bold);
        p.setFont(f);
        p.drawText(QPoint(body.left(), y + fm.ascent()), text);
        y += step;
    };
    const QLocale locale(language == 2 ? QLocale::English : QLocale::German);
    line(Tr("Modelldatei: ##Model file: ", language) + QDir::toNativeSeparators(modelFile));
    line(Tr("Datum: ##Date: ", language) +
         locale.toString(QDate::currentDate(), QLocale::LongFormat));
    line(Tr("Analyseintervall: ##Analysis interval: ", language) +
         QString::number(m.Periods.LeftEdge) + Tr(" bis ## to ", language) +
         QString::number(m.Periods.RightEdge));
    y += step;
    line(Tr("Modellstruktur##Model structure", language), true);
    for (const QString& s : SwitchesInWords(m, language))
        line(s);
}

// The table's rows over as many pages as they need, the header row on each.
void TablePages(Pages& pages, SequenceTableWindow& table, int language) {
    const SequenceTableModel& data = *table.TableModel;
    const int rows = data.rowCount(), cols = data.columnCount();
    QPainter& p = pages.Painter();
    int row = 0;
    (void)language;
    do {
        const QRect body = pages.Page(table.windowTitle());
        QFont font = pages.Font();
        const QString widest = QStringLiteral("-0000000.00");
        const int need =
            (cols + 1) * (QFontMetrics(font, p.device()).horizontalAdvance(widest) + 8);
        if (need > body.width())
            font.setPointSizeF(std::max(4.0, font.pointSizeF() * body.width() / need));
        const QFontMetrics fm(font, p.device());
        QFont bold = font;
        bold.setBold(true);
        const int rowHeight = fm.height() * 5 / 4;
        const int width = body.width() / (cols + 1);
        auto cell = [&](int r, int c, const QString& text, bool isBold, Qt::Alignment align) {
            const QRect rect(body.left() + c * width, body.top() + r * rowHeight, width, rowHeight);
            p.setFont(isBold ? bold : font);
            p.drawRect(rect);
            p.drawText(rect.adjusted(4, 0, -4, 0), align | Qt::AlignVCenter, text);
        };
        p.setPen(Qt::black);
        cell(0, 0, QStringLiteral("t"), true, Qt::AlignHCenter);
        for (int c = 0; c < cols; ++c)
            cell(0, c + 1, data.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), true,
                 Qt::AlignHCenter);
        const int fit = std::max(1, body.height() / rowHeight - 1);
        for (int r = 0; r < fit && row < rows; ++r, ++row) {
            cell(r + 1, 0, QString::number(data.PeriodOfRow(row)), true, Qt::AlignHCenter);
            for (int c = 0; c < cols; ++c)
                cell(r + 1, c + 1, data.CellText(row, c), false, Qt::AlignRight);
        }
    } while (row < rows);
}

} // namespace

QStringList SwitchesInWords(const Model& m, int language) {
    // A value without words of its own shows as its number after the topic.
    auto pick = [&](int k, std::initializer_list<const char*> texts) {
        const int v = m.Sw(k);
        if (v < static_cast<int>(texts.size())) return Tr(*(texts.begin() + v), language);
        const QString first = Tr(*texts.begin(), language);
        return first.left(first.indexOf(QLatin1Char(':')) + 1) + QLatin1Char(' ') +
               QString::number(v);
    };
    QStringList out;
    out << pick(1, {"Konsum: eine Konsumneigung auf das verfügbare Einkommen##Consumption: one "
                    "propensity on disposable income",
                    "Konsum: getrennte Konsumneigungen für Lohn- und Gewinneinkommen##"
                    "Consumption: separate propensities for wage and profit income"});
    out << pick(3, {"Investition: abhängig vom erwarteten Einkommen##Investment: depends on "
                    "expected income",
                    "Investition: Akzelerator##Investment: accelerator"});
    out << pick(6, {"Technologie: limitational##Technology: limitational",
                    "Technologie: substitutional##Technology: substitutional"});
    out << pick(8, {"Kapitalstock: wächst mit den Investitionen##Capital stock: accumulates "
                    "investment",
                    "Kapitalstock: exogen##Capital stock: exogenous"});
    out << pick(9, {"Importe: angebotsbestimmt##Imports: supply-driven",
                    "Importe: nachfragebestimmt##Imports: demand-driven"});
    out << pick(12, {"Preise: exogen##Prices: exogenous",
                     "Preise: gewinnmaximierend##Prices: profit maximising",
                     "Preise: Aufschlagskalkulation##Prices: mark-up",
                     "Preise: Aufschlag mit importierten Vorleistungen##Prices: mark-up "
                     "including imported inputs"});
    out << pick(14, {"Lohnniveau: exogen##Wage level: exogenous",
                     "Lohnniveau: endogen##Wage level: endogenous",
                     "Lohnniveau: endogen mit Anpassung der Effektivlöhne##Wage level: "
                     "endogenous with adjustment of actual wages"});
    out << pick(16, {"Steuern: ein Steuersatz##Taxes: one rate",
                     "Steuern: getrennte Sätze für Löhne und Gewinne##Taxes: separate rates "
                     "on wages and profits"});
    out << pick(17, {"Zins: exogen##Interest rate: exogenous",
                     "Zins: vollständiger Wertpapiermarkt##Interest rate: complete bond market",
                     "Zins: nur Geldmarkt##Interest rate: money market only"});
    out << pick(18, {"Geldschöpfung: ohne multiple Geldschöpfung##Money creation: without "
                     "multiple money creation",
                     "Geldschöpfung: Geldbasis und Multiplikator##Money creation: monetary base "
                     "and multiplier"});
    out << pick(20, {"Geldmenge: statisch##Money supply: static",
                     "Geldmenge: dynamisch##Money supply: dynamic"});
    out << pick(21, {"Wechselkurs: fest##Exchange rate: fixed",
                     "Wechselkurs: flexibel##Exchange rate: flexible"});
    out << Tr("Lohnrunde: ##Wage contract period: ", language) + QString::number(m.Sw(23)) +
               Tr(" Perioden## periods", language);
    return out;
}

bool WriteHandout(WindowFrame& frame, const QString& modelFile, const QString& path, QString& error,
                  QStringList* pageTitles) {
    Model& m = frame.model();
    const int language = m.Language;
    EdgeFrame edges(frame);
    // Written beside the target and renamed over it when complete.
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.tervalis-XXXXXX.pdf"));
    if (!temp.open()) {
        error = temp.errorString();
        return false;
    }
    temp.close();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(temp.fileName());
    printer.setDocName(frame.programTitle() + QStringLiteral(": ") +
                       Tr("Handout##Handout", language));
    if (pageTitles) pageTitles->clear();
    Pages pages(printer, frame, pageTitles);
    if (!pages.Begin()) {
        error = QStringLiteral("the PDF cannot be started");
        return false;
    }
    TitlePage(pages, m, modelFile, language);
    for (BaseWindowRole role : {BaseWindowRole::Equations1, BaseWindowRole::Results1,
                                BaseWindowRole::Equations2, BaseWindowRole::Results2}) {
        std::unique_ptr<BaseWindow> w(CreateBaseWindow(role, edges));
        w->RefreshLanguage();
        pages.Window(*w);
    }
    {
        // The handout's own choice, not the user's: the shared table state is put back.
        const SequenceTableState kept = SharedSequenceTableState();
        auto table = std::unique_ptr<SequenceTableWindow>(
            WorkingWindow::Create<SequenceTableWindow>(edges, false));
        table->SetVisible(DefaultSequenceSet(m));
        if (frame.baseline()) table->SetBaselineColumns(BaselineColumnChoice{});
        TablePages(pages, *table, language);
        table.reset();
        SharedSequenceTableState() = kept;
    }
    // The diagrams of the right edge, the left edge as reference.
    const int current = m.Periods.CurrentPeriod;
    m.Periods.CurrentPeriod = m.Periods.RightEdge;
    {
        std::unique_ptr<IncomeExpenditureWindow> ie(
            WorkingWindow::Create<IncomeExpenditureWindow>(edges));
        ie->ReferenceButton->setChecked(true);
        pages.Window(*ie);
        std::unique_ptr<IncomeInterestWindow> islm(
            WorkingWindow::Create<IncomeInterestWindow>(edges));
        islm->ReferenceButton->setChecked(true);
        pages.Window(*islm);
        std::unique_ptr<AsAdWindow> asad(
            WorkingWindow::Create<AsAdWindow>(edges, AsAdPlane::Price));
        asad->ReferenceButton->setChecked(true);
        pages.Window(*asad);
    }
    m.Periods.CurrentPeriod = current;
    pages.End();
    if (QFileInfo(temp.fileName()).size() == 0 || !MoveIntoPlace(temp.fileName(), path)) {
        error = QStringLiteral("the file cannot be written");
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

} // namespace tv

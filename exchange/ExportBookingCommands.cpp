// The menu commands of the worksheet export and the booking-application link.

#include "core/Model.h"
#include "exchange/BookingLink.h"
#include "exchange/ExportDialog.h"
#include "logic/Booking.h"
#include "logic/HelpPages.h"
#include "logic/Settings.h"
#include "services/CommandHost.h"
#include "services/HelpSystem.h"
#include "workbook/WorkbookError.h"
#include "workbook/XlsWrite.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <fstream>

namespace tv {

namespace {

// Lives as long as the main window: the export file name, the shares and the two links
// are kept for the run; the links are closed with it.
class ExportBookingState : public QObject {
  public:
    explicit ExportBookingState(CommandHost& w)
        : QObject(w.widget()), w_(w), journalFolder_(w.EditSettings().DataDirectory),
          links_(BookingLinks::IndexedFactory([this](int index) {
              // One journal per link; a link made anew after a dead one goes on with it.
              const bool fresh = !journalStarted_[index];
              journalStarted_[index] = true;
              return std::make_unique<JournalLink>(journalFolder_ + (index == BookingEsa
                                                                         ? "VALDA-journal-ESA.txt"
                                                                         : "VALDA-journal-BPM.txt"),
                                                   fresh);
          })) {
        exportFile_ = QString::fromStdString(w.EditSettings().ExportFileName());
        exchange_ = new ExchangeServer(this);
        exchange_->ShowMessage = [this](const QString& t) {
            QMessageBox::information(w_.widget(), QStringLiteral("TERVALIS"), t);
        };
        exchange_->BringToFront = [this] {
            w_.widget()->raise();
            w_.widget()->activateWindow();
        };
        exchange_->StartTransfer = [this] {
            PokeBookingApplication(QStringLiteral("VALDA"),
                                   QString::fromStdString(BookingDataText(w_.model())));
        };
        exchange_->Listen(QStringLiteral("TERVALIS"));
    }

    bool ServesExchange() const { return !exchange_->AnotherServes(); }
    void Export();
    void Transfer(int index);
    void Shares();
    void Close(int index) {
        links_.Close(index);
        UpdateCloseEntries();
    }
    void UpdateCloseEntries() {
        if (QAction* a = w_.Action(QStringLiteral("MIDateiValdaESASchliessen")))
            a->setEnabled(links_.IsOpen(BookingEsa));
        if (QAction* a = w_.Action(QStringLiteral("MIDateiValdaBPMSchliessen")))
            a->setEnabled(links_.IsOpen(BookingBpm));
    }

  private:
    // The in-process stand-in: its journal is written next to the model files after every
    // transfer and when the link closes, so that a user can read what was booked.
    struct JournalLink : BookingJournal {
        // A fresh journal starts its file anew; otherwise the calls are appended.
        JournalLink(std::string file, bool fresh) : file(std::move(file)), truncate(fresh) {}
        ~JournalLink() override { Save(); }
        void AfterTransfer() override {
            BookingJournal::AfterTransfer();
            Save();
        }
        void Save() {
            std::ofstream out(file, truncate ? std::ios::trunc : std::ios::app);
            if (!out) return;
            truncate = false;
            for (; written < Calls.size(); ++written)
                out << Calls[written] << '\n';
        }
        std::string file;
        bool truncate;
        size_t written = 0;
    };

    CommandHost& w_;
    std::string journalFolder_; // the main window's settings may be gone at the end
    bool journalStarted_[2] = {false, false};
    BookingLinks links_;
    BookingShares shares_;
    QString exportFile_;
    ExchangeServer* exchange_;
};

void ExportBookingState::Export() {
    ExportDialog dlg(w_.model(), w_.widget());
    if (dlg.exec() != QDialog::Accepted) return;
    const ExportChoice choice = dlg.Choice();
    if (choice.items.empty()) return;
    const QString title = QStringLiteral("Export File");
    const QString filter = QStringLiteral("Excel 5.0 compatible files (*.xls)");
    QString name;
    if (w_.FileNames()) {
        name = w_.FileNames()(true, title, filter, exportFile_);
    } else {
        QFileDialog fd(w_.widget(), title, QFileInfo(exportFile_).absolutePath(), filter);
        fd.setAcceptMode(QFileDialog::AcceptSave);
        fd.setDefaultSuffix(QStringLiteral("xls"));
        fd.selectFile(exportFile_);
        if (fd.exec() == QDialog::Accepted && !fd.selectedFiles().isEmpty())
            name = fd.selectedFiles().first();
    }
    if (name.isEmpty()) return;
    exportFile_ = name;
    try {
        XlsWriter writer;
        ExportWorksheet(w_.model(), choice, writer, name.toStdString());
    } catch (const WorkbookError& e) {
        QMessageBox::critical(w_.widget(), QStringLiteral("TERVALIS"),
                              QString::fromStdString(e.what()));
    }
}

void ExportBookingState::Transfer(int index) {
    QProgressDialog progress(QStringLiteral("Transfering data to VALDA"), QStringLiteral("Cancel"),
                             0, 1, w_.widget());
    progress.setWindowTitle(QStringLiteral("Progress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    TransferProgress p;
    p.Open = [&](int count) {
        progress.setMaximum(count);
        progress.setValue(0);
        progress.show();
    };
    p.Step = [&](int done) {
        progress.setValue(done);
        progress.setLabelText(QStringLiteral("Transfering data to VALDA\nPeriod %1 of %2")
                                  .arg(done + 1)
                                  .arg(progress.maximum()));
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    p.Close = [&] { progress.close(); };
    w_.widget()->raise();
    const std::string message = links_.Transfer(w_.model(), index, shares_, p);
    UpdateCloseEntries();
    if (message.empty()) return;
    // No link could be made: the box says so under the connection's own title.
    const bool noLink = message.rfind(BookingConnectHeadline, 0) == 0;
    QMessageBox::warning(w_.widget(), QString::fromLatin1(noLink ? BookingConnectTitle : "VALDA"),
                         QString::fromStdString(message));
}

void ExportBookingState::Shares() {
    QDialog dlg(w_.widget());
    dlg.setWindowTitle(QStringLiteral("Configure booking settings for VALDA"));
    SetHelpContext(&dlg, help::BookingShares);
    auto* tabs = new QTabWidget;
    int* targets[] = {&shares_.publicConsumption, &shares_.socialContributions,
                      &shares_.exportServices, &shares_.importServices};
    const char* captions[] = {
        "Public consumption spending as share of government expenditure: ",
        "Social contributions as share of public charges: ", "Services as share of total exports: ",
        "Services as share of total imports: "};
    QSlider* sliders[4];
    for (int page = 0; page < 2; ++page) {
        auto* w = new QWidget;
        auto* l = new QVBoxLayout(w);
        for (int k = page * 2; k < page * 2 + 2; ++k) {
            auto* label = new QLabel;
            auto* s = new QSlider(Qt::Horizontal);
            s->setRange(0, 100);
            const QString caption = QString::fromLatin1(captions[k]);
            auto show = [label, caption](int v) {
                label->setText(caption + QString::number(v) + QStringLiteral(" %"));
            };
            QObject::connect(s, &QSlider::valueChanged, label, show);
            s->setValue(*targets[k]);
            show(*targets[k]);
            l->addWidget(label);
            l->addWidget(s);
            sliders[k] = s;
        }
        l->addStretch();
        tabs->addTab(w, page == 0 ? QStringLiteral("ESA") : QStringLiteral("ESA and BPM"));
    }
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    // The dialog is English only: its buttons too, whatever the system's language.
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    QObject::connect(box, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(tabs);
    layout->addWidget(box);
    if (dlg.exec() != QDialog::Accepted) return;
    for (int k = 0; k < 4; ++k)
        *targets[k] = sliders[k]->value();
}

} // namespace

void InstallExportBookingCommands(CommandHost& w) {
    auto* s = new ExportBookingState(w);
    // A second running program leaves the exchange to the first and says so.
    const char* exchangeHint =
        s->ServesExchange()
            ? nullptr
            : "Daten an VALDA senden|Eine andere laufende TERVALIS-Sitzung bedient den "
              "Datenaustausch mit VALDA; diese beantwortet keine Anfragen.##Send data to "
              "VALDA|Another running TERVALIS session serves the data exchange with VALDA; "
              "this one answers no requests.";
    w.BindCommand(QStringLiteral("MIDateiExport"), [s] { s->Export(); });
    w.BindCommand(
        QStringLiteral("MIDateiValdaESA"), [s] { s->Transfer(BookingEsa); }, exchangeHint);
    w.BindCommand(
        QStringLiteral("MIDateiValdaBPM"), [s] { s->Transfer(BookingBpm); }, exchangeHint);
    w.BindCommand(QStringLiteral("MIDateiValdaEinstellungen"), [s] { s->Shares(); });
    w.BindCommand(QStringLiteral("MIDateiValdaESASchliessen"), [s] { s->Close(BookingEsa); });
    w.BindCommand(QStringLiteral("MIDateiValdaBPMSchliessen"), [s] { s->Close(BookingBpm); });
    // The close entries stay greyed out until a link is open.
    s->UpdateCloseEntries();
}

} // namespace tv

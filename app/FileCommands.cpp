#include "app/MainLogic.h"
#include "app/MainWindow.h"
#include "app/MainWindowShared.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "logic/HelpPages.h"
#include "logic/ModelChange.h"
#include "services/Printing.h"
#include "services/QtUserHost.h"
#include "windows/WorkingWindow.h"
#include <QAbstractPrintDialog>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace tv {

// ---------------------------------------------------------------- file commands

QString MainWindow::modelBaseName() const {
    return Q(ModelBaseName(file_->ModelFileName()));
}

void MainWindow::UpdateFilePanel() {
    ModelFilePanel->setText(modelBaseName());
    ModelFilePanel->setMinimumWidth(
        std::max(80, ModelFilePanel->fontMetrics().horizontalAdvance(modelBaseName()) + 16));
    QPalette p = ModelFilePanel->palette();
    p.setColor(QPalette::WindowText, file_->ModelModified ? Qt::red : Qt::black);
    ModelFilePanel->setPalette(p);
    const QString hint =
        T("Aktuelle Modelldatei: ##Current model file: ") + Q(file_->ModelFileName());
    ModelFilePanel->setToolTip(hint);
    ModelFilePanel->setStatusTip(
        T("Zeigt die aktuelle Modelldatei an. (Linksklick = Speichern_unter , Strg+Linksklick "
          "= Speichern,  Rechtsklick = Laden)##Shows the current model file. (click = save "
          "as, Ctrl+click = save, right click = open)"));
}

QString MainWindow::AskFileName(bool save, const QString& title, const QString& filter,
                                const QString& start, const QString& suffix) {
    if (fileNameProvider) return fileNameProvider(save, title, filter, start);
    QFileDialog dlg(this, title, start, filter);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) {
        dlg.setDefaultSuffix(suffix);
        dlg.selectFile(start);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

bool MainWindow::SaveAsLoop() {
    const QString filter = T("TERVALIS 5.0 Modell (*.TV5 *.tv5)##TERVALIS 5.0 model (*.TV5 *.tv5)");
    for (;;) {
        const QString name =
            AskFileName(true, T("Modell speichern##Save model"), filter, Q(file_->ModelFileName()));
        if (name.isEmpty()) return false;
        if (!file_->CheckModelExtension(name.toStdString())) continue;
        const bool ok = file_->SaveAs(name.toStdString());
        UpdateFilePanel();
        return ok;
    }
}

bool MainWindow::MayReplaceModel() {
    if (!file_->ModelModified || !file_->AskLastChance()) return true;
    SaveAsLoop();
    return !file_->ModelModified;
}

void MainWindow::onSaveModelAs() {
    SaveAsLoop();
}

void MainWindow::onSaveModel() {
    if (solving_) return; // the running solution keeps the model
    file_->Save();
    UpdateFilePanel();
}

void MainWindow::onOpenModel() {
    if (solving_ || !MayReplaceModel()) return; // the running solution keeps the model
    const QString filter =
        T("TERVALIS 5.0 Modell (*.TV5 *.tv5);;Sicherungsdatei (*.ST5 *.st5)##TERVALIS 5.0 "
          "model (*.TV5 *.tv5);;Backup file (*.ST5 *.st5)");
    const QString start = QFileInfo(Q(file_->ModelFileName())).absolutePath();
    for (;;) {
        const QString name = AskFileName(false, T("Modelldatei laden##Open model"), filter, start);
        if (name.isEmpty()) break;
        if (ModelFile::HasExtension(name.toStdString(), "ST5")) file_->ShowBackupLoadHint();
        // Not inside the solve guard: the model-changed step of the load must solve.
        if (file_->OpenModel(QFileInfo(name).absoluteFilePath().toStdString())) break;
    }
    UpdateFilePanel();
}

void MainWindow::onNewModel() {
    if (solving_ || !MayReplaceModel()) return; // the running solution keeps the model
    file_->NewModel();
    UpdateFilePanel();
}

void MainWindow::onClearAll() {
    if (solving_) return; // the running solution keeps the model
    if (!host_->AskDestructive("Bestätigung##Confirmation",
                               "Alle Eingaben in\r\nallen Perioden löschen?##Clear all inputs "
                               "in all periods?"))
        return;
    interval_.ResetToDefaults(m_.Periods.LeftEdge, m_.Periods.RightEdge);
    MarkUnsolvedFrom(m_, m_.Periods.LeftEdge - 1);
    ModelChanged();
}

// ---------------------------------------------------------------- printing

QPrinter& MainWindow::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void MainWindow::onPrint() {
    auto* w = qobject_cast<WorkingWindow*>(mdi_->activeSubWindow());
    if (!w) return;
    // Without an installed printer the job goes to a PDF file in the data directory, named
    // after the model and the window, unless the user chose a file in the printer set-up.
    if (QPrinterInfo::availablePrinters().isEmpty() &&
        (printer().outputFileName().isEmpty() || pdfChosenForUser_)) {
        printer().setOutputFormat(QPrinter::PdfFormat);
        printer().setOutputFileName(
            PdfFileName(Q(settings_.DataDirectory), modelBaseName(), w->windowTitle()));
        pdfChosenForUser_ = true;
    }
    QString printerName = printer().printerName();
    if (printerName.isEmpty())
        printerName = printer().outputFileName().isEmpty() ? T("Standarddrucker##Default printer")
                                                           : printer().outputFileName();
    host_->PlaySound("WasNun.wav");
    if (!host_->AskWithHint(
            "Druckauftrag bestätigen##Confirm print instruction",
            PrintConfirmText(w->windowTitle(), printerName, m_.Language).toStdString(), {}, true,
            help::PrintConfirm))
        return;
    w->Message(MSG_PRINT, 1, 1);
}

void MainWindow::onPrinterSetup() {
    // The dialog proposes "<working folder>/<document>.pdf" for printing into a file: the
    // data folder and the model's name, not the folder the program was started in.
    const QString started = QDir::currentPath();
    const QString data = Q(settings_.DataDirectory);
    if (printer().outputFileName().isEmpty() && QDir(data).exists()) QDir::setCurrent(data);
    printer().setDocName(modelBaseName());
    QPrintDialog dlg(&printer(), this);
    dlg.setWindowTitle(T("Drucker einrichten##Printer setup"));
    dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    const bool accepted = dlg.exec() == QDialog::Accepted;
    QDir::setCurrent(started);
    if (accepted) pdfChosenForUser_ = false;
}

} // namespace tv

#include "render/HandoutCommand.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/ModelFile.h"
#include "render/Handout.h"
#include "services/CommandHost.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace tv {

// The handout of the solved model as one PDF (solved first when the results are stale).
static void RunHandout(CommandHost& main) {
    const int language = main.model().Language;
    const QString title =
        QString::fromStdString(Translate("Handout speichern##Save handout", language));
    const QString filter = QStringLiteral("PDF (*.pdf)");
    const QString model = QString::fromStdString(main.modelFile().ModelFileName());
    QString start = model;
    start.replace(QRegularExpression(QStringLiteral("\\.[^./]*$")), QString());
    start += QStringLiteral(" - Handout.pdf");
    QString path = main.FileNames()
                       ? main.FileNames()(true, title, filter, start)
                       : QFileDialog::getSaveFileName(main.widget(), title, start, filter);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (main.StatusText() != QStringLiteral("Ok")) main.Solve();
    QString error;
    if (!WriteHandout(main, model, path, error))
        main.host().ShowMessage(
            "Handout##Handout",
            FillIn("Das Handout %1 konnte nicht geschrieben werden: %2.##The handout %3 could not "
                   "be written: %4.",
                   {path.toStdString(), error.toStdString(), path.toStdString(),
                    error.toStdString()}));
}

void InstallHandoutCommand(CommandHost& main) {
    main.BindCommand(
        QStringLiteral("MIDateiHandout"), [&main] { RunHandout(main); },
        "Handout|Schreibt Gleichungen, Ergebnisse, Sequenztabelle und Diagramme in ein PDF##"
        "Handout|Writes equations, results, sequence table and diagrams into one PDF");
}

} // namespace tv

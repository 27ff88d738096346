#include "views/ViewCommands.h"

#include "app/MainWindow.h"
#include "app/QtUserHost.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "views/AsAdCommands.h"
#include "views/ChartCommands.h"
#include "views/DerivationWindows.h"
#include "views/FlowChartWindow.h"
#include "views/GraphOptionsDialog.h"
#include "views/Handout.h"
#include "views/IncomeWindows.h"
#include "views/PeriodRunWindow.h"
#include "views/SequenceCommands.h"
#include "windows/WindowMessages.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QRegularExpression>

namespace tv {

static void RunGraphOptions(MainWindow& main) {
    GraphOptionsDialog dialog(GraphStyleFromSettings(main.EditSettings()), main.model().Language,
                              main.host(), &main);
    if (dialog.exec() != QDialog::Accepted) return;
    StoreGraphStyle(dialog.Style(), main.EditSettings());
    main.SendToChildren(MSG_GRAPH_OPTIONS, 1, 1);
}

// The handout of the solved model as one PDF (solved first when the results are stale).
static void RunHandout(MainWindow& main) {
    const int language = main.model().Language;
    const QString title =
        QString::fromStdString(Translate("Handout speichern##Save handout", language));
    const QString filter = QStringLiteral("PDF (*.pdf)");
    const QString model = QString::fromStdString(main.modelFile().ModelFileName());
    QString start = model;
    start.replace(QRegularExpression(QStringLiteral("\\.[^./]*$")), QString());
    start += QStringLiteral(" - Handout.pdf");
    QString path = main.fileNameProvider
                       ? main.fileNameProvider(true, title, filter, start)
                       : QFileDialog::getSaveFileName(&main, title, start, filter);
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

// A presentation window exists at most once: an open one comes to the front.
template <class W> static void OpenDiagram(MainWindow& main) {
    if (WorkingWindow* open = main.FindChild(W::Caption)) {
        open->showNormal();
        main.mdiArea()->setActiveSubWindow(open);
        return;
    }
    main.OpenChild(WorkingWindow::Create<W>(main));
}

void InstallViewCommands(MainWindow& main) {
    main.BindCommand(
        QStringLiteral("MIOptionenGrafik"), [&main] { RunGraphOptions(main); },
        "Grafikeinstellungen|Farben und Linienstärken der Grafiken##"
        "Diagram settings|Colours and line widths of the diagrams");
    main.BindCommand(
        QStringLiteral("MIDateiHandout"), [&main] { RunHandout(main); },
        "Handout|Schreibt Gleichungen, Ergebnisse, Sequenztabelle und Diagramme in ein PDF##"
        "Handout|Writes equations, results, sequence table and diagrams into one PDF");
    InstallAsAdCommands(main);
    InstallSequenceCommands(main);
    InstallChartCommands(main);
    InstallPeriodRunCommand(main);
    InstallFlowChartCommand(main);
    main.BindCommand(QStringLiteral("MIAufbEAGrafik"),
                     [&main] { OpenDiagram<IncomeExpenditureWindow>(main); });
    main.BindCommand(QStringLiteral("MIAufbEZGrafik"),
                     [&main] { OpenDiagram<IncomeInterestWindow>(main); });
    // The curve derivations.
    main.BindCommand(QStringLiteral("MIAufbKurveIS"),
                     [&main] { OpenDiagram<ISDerivationWindow>(main); });
    main.BindCommand(QStringLiteral("MIAufbKurveLM"),
                     [&main] { OpenDiagram<LMDerivationWindow>(main); });
    main.BindCommand(QStringLiteral("MIAufbKurveZ"),
                     [&main] { OpenDiagram<ZDerivationWindow>(main); });
}

} // namespace tv

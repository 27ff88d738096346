#include "views/ViewCommands.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/CommandHost.h"
#include "services/QtUserHost.h"
#include "views/AsAdCommands.h"
#include "views/ChartCommands.h"
#include "views/DerivationWindows.h"
#include "views/FlowChartWindow.h"
#include "views/GraphOptionsDialog.h"
#include "views/IncomeWindows.h"
#include "views/PeriodRunWindow.h"
#include "views/SequenceCommands.h"
#include "windows/WindowMessages.h"

#include <QMdiArea>

namespace tv {

static void RunGraphOptions(CommandHost& main) {
    GraphOptionsDialog dialog(GraphStyleFromSettings(main.EditSettings()), main.model().Language,
                              main.host(), main.widget());
    if (dialog.exec() != QDialog::Accepted) return;
    StoreGraphStyle(dialog.Style(), main.EditSettings());
    main.SendToChildren(MSG_GRAPH_OPTIONS, 1, 1);
}

// A presentation window exists at most once: an open one comes to the front.
template <class W> static void OpenDiagram(CommandHost& main) {
    if (WorkingWindow* open = main.FindChild(W::Caption)) {
        open->showNormal();
        main.mdiArea()->setActiveSubWindow(open);
        return;
    }
    main.OpenChild(WorkingWindow::Create<W>(main));
}

void InstallViewCommands(CommandHost& main) {
    main.BindCommand(
        QStringLiteral("MIOptionenGrafik"), [&main] { RunGraphOptions(main); },
        "Grafikeinstellungen|Farben und Linienstärken der Grafiken##"
        "Diagram settings|Colours and line widths of the diagrams");
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

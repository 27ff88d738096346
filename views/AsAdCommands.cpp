#include "views/AsAdCommands.h"

#include "services/CommandHost.h"
#include "views/AsAdWindow.h"

#include <QMdiArea>

namespace tv {

namespace {

// A diagram exists at most once: an open one comes to the front.
void OpenDiagram(CommandHost& main, AsAdPlane plane) {
    const char* caption = plane == AsAdPlane::Price ? IncomePriceCaption : IncomeInflationCaption;
    if (WorkingWindow* open = main.FindChild(caption)) {
        if (open->isMinimized()) open->showNormal();
        main.mdiArea()->setActiveSubWindow(open);
        return;
    }
    main.OpenChild(WorkingWindow::Create<AsAdWindow>(main, plane));
}

} // namespace

void InstallAsAdCommands(CommandHost& main) {
    main.BindCommand(QStringLiteral("MIAufbEPGrafik"),
                     [&main] { OpenDiagram(main, AsAdPlane::Price); });
    main.BindCommand(QStringLiteral("MIAufbEIGrafik"),
                     [&main] { OpenDiagram(main, AsAdPlane::Inflation); });
}

} // namespace tv

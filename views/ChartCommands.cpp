#include "views/ChartCommands.h"

#include "services/CommandHost.h"
#include "views/ChartWindows.h"
#include "views/QuickGraphWindow.h"

#include <QMdiArea>

namespace tv {

namespace {

// Each of these windows exists at most once: an open one comes to the front.
template <class W, class... Args>
void OpenOnce(CommandHost& main, const char* caption, Args... args) {
    if (WorkingWindow* open = main.FindChild(caption)) {
        if (open->isMinimized()) open->showNormal();
        main.mdiArea()->setActiveSubWindow(open);
        return;
    }
    main.OpenChild(WorkingWindow::Create<W>(main, args...));
}

} // namespace

void InstallChartCommands(CommandHost& main) {
    main.BindCommand(QStringLiteral("MIAufbGrafik1"),
                     [&main] { OpenOnce<SequenceChartWindow>(main, SequenceChartCaption(1), 1); });
    main.BindCommand(QStringLiteral("MIAufbGrafik2"),
                     [&main] { OpenOnce<SequenceChartWindow>(main, SequenceChartCaption(2), 2); });
    main.BindCommand(QStringLiteral("MIAufbSchnellgrafik"),
                     [&main] { OpenOnce<QuickGraphWindow>(main, QuickGraphCaption); });
    main.BindCommand(QStringLiteral("MIAufbStruktur"),
                     [&main] { OpenOnce<StructureWindow>(main, StructureCaption); });
}

} // namespace tv

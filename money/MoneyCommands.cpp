#include "money/MoneyCommands.h"

#include "core/Catalogue.h"
#include "money/MoneyWindows.h"
#include "services/CommandHost.h"

#include <QMdiArea>

namespace tv {

namespace {

// Presentation windows exist at most once: an open one comes to the front.
template <class W> void OpenOnce(CommandHost& w, const char* caption) {
    if (WorkingWindow* open = w.FindChild(caption)) {
        if (open->isMinimized()) open->showNormal();
        w.mdiArea()->setActiveSubWindow(open);
        return;
    }
    w.OpenChild(WorkingWindow::Create<W>(w));
}

} // namespace

void InstallMoneyCommands(CommandHost& w) {
    w.BindCommand(QStringLiteral("MIAufbGeldSequenz"),
                  [&w] { OpenOnce<MoneyWorksheetWindow>(w, MoneyWorksheetCaption); });
    w.BindCommand(QStringLiteral("MIAufbGeldKonten"),
                  [&w] { OpenOnce<MoneyAccountsWindow>(w, MoneyAccountsCaption); });
}

} // namespace tv

#include "views/AccountSchemeCommands.h"

#include "core/Model.h"
#include "core/UserHost.h"
#include "services/CommandHost.h"
#include "views/AccountSchemeWindow.h"

#include <QMdiArea>

namespace tv {

AccountSchemeWindow* OpenAccountScheme(CommandHost& main) {
    if (main.model().Sw(17) == 2) {
        main.host().PlaySound("SoNicht.wav");
        main.host().ShowMessage("So nicht!##Not possible!",
                                "Wertpapiermarkt ist unvollständig modelliert (nur Geldmarkt). "
                                "Kreislaufmodell wird nicht erstellt.##The bond market is "
                                "modelled incompletely (money market only). The account scheme "
                                "is not built.");
        return nullptr;
    }
    if (WorkingWindow* open = main.FindChild(AccountSchemeWindow::Caption)) {
        open->showNormal();
        main.mdiArea()->setActiveSubWindow(open);
        return qobject_cast<AccountSchemeWindow*>(open);
    }
    auto* w = WorkingWindow::Create<AccountSchemeWindow>(main);
    return qobject_cast<AccountSchemeWindow*>(main.OpenChild(w));
}

void InstallAccountSchemeCommands(CommandHost& main) {
    main.BindCommand(QStringLiteral("MIAufbKonten"), [&main] { OpenAccountScheme(main); });
}

} // namespace tv

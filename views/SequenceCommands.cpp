#include "views/SequenceCommands.h"

#include "core/Catalogue.h"
#include "services/CommandHost.h"
#include "views/SequenceTableWindow.h"
#include "windows/WindowMessages.h"

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

void InstallSequenceCommands(CommandHost& main) {
    main.BindCommand(QStringLiteral("MIAufbTabelleAbsolut"), [&main] {
        OpenOnce<SequenceTableWindow>(main, SequenceAbsoluteCaption, false);
    });
    main.BindCommand(QStringLiteral("MIAufbTabelleDifferenzen"), [&main] {
        OpenOnce<SequenceTableWindow>(main, SequenceDifferencesCaption, true);
    });
    main.BindCommand(QStringLiteral("MIOptionenZahlenformat"), [&main] {
        const int bits = EditNumberFormat(main.model(), main.widget());
        if (bits != 0) main.SendToChildren(MSG_NUMBER_FORMAT, bits, 1);
    });
}

} // namespace tv

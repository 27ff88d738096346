#include "input/InputCommands.h"

#include "app/MainWindow.h"
#include "app/QtUserHost.h"
#include "input/InputDialog.h"

#include <QAction>

namespace tv {

std::unique_ptr<InputDialog> CreateSectorDialog(int sector, Model& m, UserHost& host,
                                                bool permanentDefault, QWidget* parent) {
    return std::make_unique<InputDialog>(m, host, sector, permanentDefault, parent);
}

void InstallInputCommands(MainWindow& w) {
    static const char* const entries[] = {
        "MIModellbauNachfrage",       "MIModellbauAngebot",      "MIModellbauVerteilung",
        "MIModellbauWertpapiermarkt", "MIModellbauDevisenmarkt",
    };
    for (int sector = 1; sector <= 5; ++sector) {
        w.BindCommand(QString::fromLatin1(entries[sector - 1]), [&w, sector] {
            QAction* durable = w.Action(QStringLiteral("MIOptionenDauerhaft"));
            auto dialog = CreateSectorDialog(sector, w.model(), w.userHost(),
                                             durable && durable->isChecked(), &w);
            dialog->showHelp = [&w](int topic) { w.ShowHelp(topic); };
            w.RunInputDialog(*dialog);
        });
    }
}

} // namespace tv

#include "input/InputCommands.h"

#include "app/MainWindow.h"
#include "app/QtUserHost.h"
#include "core/InputSession.h"
#include "input/InputDialog.h"
#include "input/SectorDialogs.h"
#include "input/TotalInputWindow.h"
#include "windows/EquationWindow.h"

#include <QAction>

namespace tv {

namespace {

const char* const kSectorEntries[] = {
    "MIModellbauNachfrage",       "MIModellbauAngebot",      "MIModellbauVerteilung",
    "MIModellbauWertpapiermarkt", "MIModellbauDevisenmarkt", "MIModellbauErwartungen",
};

} // namespace

std::unique_ptr<InputDialog> CreateSectorDialog(int sector, Model& m, UserHost& host,
                                                bool permanentDefault, QWidget* parent) {
    switch (sector) {
    case 1:
        return std::make_unique<DemandDialog>(m, host, permanentDefault, parent);
    case 2:
        return std::make_unique<SupplyDialog>(m, host, permanentDefault, parent);
    case 3:
        return std::make_unique<DistributionDialog>(m, host, permanentDefault, parent);
    case 4:
        return std::make_unique<BondMarketDialog>(m, host, permanentDefault, parent);
    case 5:
        return std::make_unique<ExchangeMarketDialog>(m, host, permanentDefault, parent);
    default:
        return std::make_unique<InputDialog>(m, host, sector, permanentDefault, parent);
    }
}

void InstallInputCommands(MainWindow& w) {
    for (int sector = 1; sector <= 5; ++sector) {
        w.BindCommand(QString::fromLatin1(kSectorEntries[sector - 1]), [&w, sector] {
            QAction* durable = w.Action(QStringLiteral("MIOptionenDauerhaft"));
            auto dialog = CreateSectorDialog(sector, w.model(), w.userHost(),
                                             durable && durable->isChecked(), &w);
            dialog->showHelp = [&w](int topic) { w.ShowHelp(topic); };
            if (dialog->exec() != QDialog::Accepted) return;
            if (sector == 5 && SwitchIncomeExpectationsForFlexibleRates(w.model()))
                w.userHost().ShowMessage(
                    "Aufgepaßt!", "Bei flexiblen Wechselkursen ist tatsächliche "
                                  "Einkommenserwartung seitens der Haushalte nicht mehr "
                                  "möglich. Es wird auf extrapolative Erwartungen umgeschaltet.");
            LastInputSector() = sector;
            w.ModelChanged();
        });
    }
    // A right double click on an equation line opens the dialog of its sector at its page.
    EquationWindow::InputDialogOpener() = [&w](int dialog) {
        if (dialog < 1 || dialog > 6) return;
        QAction* a = w.Action(QString::fromLatin1(kSectorEntries[dialog - 1]));
        if (a && a->isEnabled()) a->trigger();
    };
}

} // namespace tv

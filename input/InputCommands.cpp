#include "input/InputCommands.h"

#include "core/InputSession.h"
#include "input/ExpectationsDialog.h"
#include "input/InputDialog.h"
#include "input/ModelMonitor.h"
#include "input/SectorDialogs.h"
#include "input/TotalInputWindow.h"
#include "services/CommandHost.h"
#include "services/QtUserHost.h"
#include "windows/EquationSystem.h"
#include "windows/EquationWindow.h"
#include "windows/WindowMessages.h"

#include <QAction>
#include <QPointer>

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

void RunExpectationsDialog(CommandHost& w) {
    ExpectationsDialog dialog(w.model(), w.userHost(), w.widget());
    dialog.showHelp = [&w](int topic) { w.ShowHelp(topic); };
    if (dialog.exec() == QDialog::Accepted) w.ModelChanged();
}

void InstallModelMonitor(CommandHost& w) {
    QAction* entry = w.Action(QStringLiteral("MIModellbauMonitor"));
    if (!entry) return;
    entry->setCheckable(true);
    auto monitor = std::make_shared<QPointer<ModelMonitor>>();
    w.BindCommand(QStringLiteral("MIModellbauMonitor"), [&w, entry, monitor] {
        // The entry is ticked exactly while the monitor is open; choosing it again brings
        // the open monitor to the front (Escape or its button closes it).
        if (*monitor) {
            (*monitor)->showNormal();
            (*monitor)->raise();
            (*monitor)->activateWindow();
            entry->setChecked(true);
            return;
        }
        auto* m = new ModelMonitor(w.model(), w.widget());
        *monitor = m;
        m->showHelp = [&w](int topic) { w.ShowHelp(topic); };
        m->openDialog = [&w](int dialog, int page) {
            DialogStartPage()[dialog - 1] = page;
            if (QAction* a = w.Action(QString::fromLatin1(kSectorEntries[dialog - 1])))
                if (a->isEnabled()) a->trigger();
        };
        QObject::connect(m, &ModelMonitor::closed, entry, [entry] { entry->setChecked(false); });
        w.OnModelChangeBroadcast(m, [m] { m->Message(MSG_MODEL_CHANGED, 0, 0); });
        w.OnLanguageChanged(m, [m] { m->Message(MSG_MONITOR_RELABEL, 0, 0); });
        m->show();
        entry->setChecked(true);
    });
}

void InstallInputCommands(CommandHost& w) {
    for (int sector = 1; sector <= 5; ++sector) {
        w.BindCommand(QString::fromLatin1(kSectorEntries[sector - 1]), [&w, sector] {
            QAction* durable = w.Action(QStringLiteral("MIOptionenDauerhaft"));
            auto dialog = CreateSectorDialog(sector, w.model(), w.userHost(),
                                             durable && durable->isChecked(), w.widget());
            dialog->showHelp = [&w](int topic) { w.ShowHelp(topic); };
            if (dialog->exec() != QDialog::Accepted) return;
            if (sector == 5 && SwitchIncomeExpectationsForFlexibleRates(w.model()))
                w.userHost().ShowMessage(
                    "Aufgepaßt!##Watch out!",
                    "Bei flexiblen Wechselkursen ist tatsächliche Einkommenserwartung seitens der "
                    "Haushalte nicht mehr möglich. Es wird auf extrapolative Erwartungen "
                    "umgeschaltet.##With flexible exchange rates, households can no longer base "
                    "their income expectations on the realized income. They are switched to "
                    "extrapolative expectations.");
            LastInputSector() = sector;
            w.ModelChanged();
        });
    }
    w.BindCommand(QStringLiteral("MIModellbauErwartungen"), [&w] { RunExpectationsDialog(w); });
    InstallModelMonitor(w);
    // A right double click on an equation line opens the dialog of its sector at its page.
    EquationWindow::InputDialogOpener() = [&w](int dialog) {
        if (dialog < 1 || dialog > 6) return;
        QAction* a = w.Action(QString::fromLatin1(kSectorEntries[dialog - 1]));
        if (a && a->isEnabled()) a->trigger();
    };
}

} // namespace tv

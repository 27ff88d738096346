#include "input/TotalInputCommands.h"

#include "core/Model.h"
#include "input/RangeDialogs.h"
#include "input/TotalInputWindow.h"
#include "services/CommandHost.h"
#include "services/HelpSystem.h"
#include "services/QtUserHost.h"
#include "windows/EquationSystem.h"

#include <QAction>
#include <QEvent>
#include <QPushButton>

namespace tv {

namespace {

const char* const kSectorEntries[] = {
    "MIModellbauNachfrage",       "MIModellbauAngebot",      "MIModellbauVerteilung",
    "MIModellbauWertpapiermarkt", "MIModellbauDevisenmarkt",
};

void RunRangeDialog(CommandHost& w, ParameterRangeDialog::Mode mode) {
    TotalInputWindow* total = OpenTotalInput(w);
    // Edits waiting in the grid are settled first, so that the dialog works on the model
    // the user sees and the grid cannot later overwrite what the dialog wrote.
    if (total) total->SettleEdits(false);
    ParameterRangeDialog dialog(w.model(), w.host(), mode, w.widget());
    const int helpContext = mode == ParameterRangeDialog::Copy ? 156 : 157;
    SetHelpContext(&dialog, helpContext); // F1 as the help button
    QObject::connect(dialog.HelpButton, &QPushButton::clicked, w.widget(),
                     [&w, helpContext] { w.ShowHelp(helpContext); });
    if (dialog.exec() != QDialog::Accepted) return;
    LastInputSector() = 0;
    w.ModelChanged();
}

// The main window's close asks about an unsaved model; edits still waiting in the grid must
// be settled before that question, or they would vanish with the window unasked.
class PendingEditsAtExit : public QObject {
  public:
    explicit PendingEditsAtExit(CommandHost& w) : QObject(w.widget()), w_(w) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == w_.widget() && e->type() == QEvent::Close && !w_.Closing() && !w_.solving())
            if (auto* total = qobject_cast<TotalInputWindow*>(w_.FindChild(TotalInputCaption)))
                total->SettleEdits(false);
        return false;
    }

  private:
    CommandHost& w_;
};

} // namespace

TotalInputWindow* OpenTotalInput(CommandHost& w) {
    auto* window = WorkingWindow::Create<TotalInputWindow>(w);
    window->afterInput = [&w] { w.ModelChanged(); };
    window->askOrCancel = [&w](const std::string& title, const std::string& text) {
        return w.userHost().AskOrCancel(title, text);
    };
    window->openSectorDialog = [&w](int sector, int page) {
        if (sector < 1 || sector > 5) return;
        DialogStartPage()[sector - 1] = page;
        QAction* a = w.Action(QString::fromLatin1(kSectorEntries[sector - 1]));
        if (a && a->isEnabled()) a->trigger();
    };
    return qobject_cast<TotalInputWindow*>(w.OpenChild(window));
}

void InstallTotalInputCommands(CommandHost& w) {
    w.widget()->installEventFilter(new PendingEditsAtExit(w));
    w.BindCommand(
        QStringLiteral("MIModellbauTotal"), [&w] { OpenTotalInput(w); },
        "Eingabematrix für alle Modellparameter| Ok-Schalter oder Schließen des Fensters machen "
        "Daten für Lösung verfügbar##Input Worksheet for All Model Parameters| Accept or closing "
        "the window makes the data available for the solution");
    w.BindCommand(QStringLiteral("MIBearbeitenKopieren"),
                  [&w] { RunRangeDialog(w, ParameterRangeDialog::Copy); });
    w.BindCommand(QStringLiteral("MIBearbeitenLoeschen"),
                  [&w] { RunRangeDialog(w, ParameterRangeDialog::Reset); });
}

} // namespace tv

#include "app/MainWindow.h"
#include "app/MainWindowShared.h"
#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/QtUserHost.h"
#include "windows/WindowMessages.h"

#include <QAction>
#include <QFrame>
#include <QStatusBar>

namespace tv {

// ---------------------------------------------------------------- baseline run

namespace {

std::string Range(const Baseline& b) {
    return std::to_string(b.From()) + "-" + std::to_string(b.To());
}

// A bilingual text with "%1", "%2" replaced in both halves.
std::string Fill(std::string text, const std::string& first, const std::string& second = {}) {
    for (auto [mark, value] : {std::pair{"%1", &first}, std::pair{"%2", &second}})
        for (size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + value->size()))
            text.replace(at, 2, *value);
    return text;
}

} // namespace

void MainWindow::BuildBaselinePanel() {
    BaselinePanel = new QLabel;
    BaselinePanel->setObjectName(QStringLiteral("Basislauf")); // verbatim
    BaselinePanel->setAlignment(Qt::AlignCenter);
    BaselinePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    BaselinePanel->setVisible(false);
    statusBar()->addPermanentWidget(BaselinePanel);
}

void MainWindow::UpdateBaselineMark() {
    if (QAction* discard = Action(QStringLiteral("MILoesungBasisVerwerfen")))
        discard->setEnabled(baseline_ != nullptr);
    if (!BaselinePanel) return;
    BaselinePanel->setVisible(baseline_ != nullptr);
    if (!baseline_) return;
    const QString mark = Q(Translate(BaselineMark(*baseline_), m_.Language));
    BaselinePanel->setText(mark);
    BaselinePanel->setMinimumWidth(BaselinePanel->fontMetrics().horizontalAdvance(mark) + 12);
    const QString hint = Q(Translate(Fill("Eingefrorener Basislauf der Perioden %1: die Fenster "
                                          "vergleichen den Lauf mit ihm##Frozen baseline run of "
                                          "periods %1: the windows compare the run with it",
                                          Range(*baseline_)),
                                     m_.Language));
    BaselinePanel->setToolTip(hint);
    BaselinePanel->setStatusTip(hint);
}

void MainWindow::onFreezeBaseline() {
    if (solving_) return; // the running solution keeps the model
    if (baseline_) {
        host_->PlaySound("WasNun.wav");
        if (!host_->AskDestructive(
                "Sicherheitsabfrage##Safety alert",
                Fill("Den Basislauf %1 durch den jetzigen Lauf ersetzen?##Replace the "
                     "baseline %1 with the current run?",
                     Range(*baseline_))))
            return;
    }
    // A baseline is a solved run: stale results are solved first, as F9 would.
    const PeriodState& p = m_.Periods;
    if (status_ != QStringLiteral("Ok") || p.LastSolved < p.RightEdge || m_.RecalcAll ||
        m_.RecalcInterval)
        Solve();
    if (p.LastSolved < p.LeftEdge) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage("So nicht!", // verbatim: the title of every refusal
                           "Im Analyseintervall ist keine Periode gelöst: es gibt keinen Lauf "
                           "zum Einfrieren.##No period of the analysis interval is solved: "
                           "there is no run to freeze.");
        return;
    }
    auto frozen = std::make_unique<Baseline>(m_);
    if (status_ != QStringLiteral("Ok")) {
        // Stopped early or inexact: the user decides whether this run is worth keeping.
        host_->PlaySound("WasNun.wav");
        if (!host_->Ask("Was nun?##Please decide",
                        Fill("Die Lösung meldet: %1\r\nDie Perioden %2 trotzdem als Basislauf "
                             "einfrieren?##The solution reports: %1\r\nFreeze periods %2 as "
                             "baseline anyway?",
                             status_.toStdString(), Range(*frozen))))
            return;
    }
    baseline_ = std::move(frozen);
    baselineShifted_ = interval_.ShiftedPeriods();
    UpdateBaselineMark();
    SendToChildren(MSG_BASELINE_CHANGED, 1, 0);
}

void MainWindow::DiscardBaseline(const char* note) {
    if (!baseline_) return;
    baseline_.reset();
    UpdateBaselineMark();
    SendToChildren(MSG_BASELINE_CHANGED, 0, 0);
    if (note) host_->ShowMessage("Hinweis##Note", note);
}

void MainWindow::DiscardBaselineOfPreviousModel() {
    if (!baseline_) return;
    DiscardBaseline(nullptr);
    baselineNotePending_ = true;
}

// Said once the other model is solved and shown (its file name is the last thing the load
// updates), not over a half-loaded one.
void MainWindow::ShowPendingBaselineNote() {
    if (!baselineNotePending_) return;
    baselineNotePending_ = false;
    host_->ShowMessage("Hinweis##Note",
                       "Der Basislauf gehörte zum vorigen Modell und wurde verworfen.##The "
                       "baseline belonged to the previous model and was discarded.");
}

void MainWindow::CheckBaselineShift() {
    if (baseline_ && interval_.ShiftedPeriods() != baselineShifted_)
        DiscardBaseline("Die Perioden wurden verschoben: der Basislauf passt nicht mehr zu ihnen "
                        "und wurde verworfen.##The periods were shifted: the baseline no longer "
                        "matches them and was discarded.");
}

} // namespace tv

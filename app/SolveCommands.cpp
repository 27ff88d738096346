#include "app/MainLogic.h"
#include "app/MainWindow.h"
#include "app/MainWindowShared.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "logic/ModelChange.h"
#include "services/QtUserHost.h"
#include "services/SolveWindows.h"

#include <QAction>
#include <QDialog>
#include <QPalette>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace tv {

// ---------------------------------------------------------------- solving and status

void MainWindow::RunSolveCommand(const std::function<void()>& run) {
    if (solving_) return; // a solution is running; its window keeps everything else blocked
    solving_ = true;
    run();
    solving_ = false;
}

void MainWindow::Solve() {
    RunSolveCommand([this] { tv::Solve(m_, *host_); });
}

void MainWindow::SetStatusText(const QString& bilingual) {
    status_ = bilingual;
    const QString text = T(bilingual.toUtf8().constData());
    const bool ok = StatusText() == QStringLiteral("Ok");
    SolveStatusPanel->setText(text);
    QPalette p = SolveStatusPanel->palette();
    p.setColor(QPalette::WindowText, ok ? Qt::black : Qt::red);
    SolveStatusPanel->setPalette(p);
    SolveStatusPanel->setFixedWidth(SolveStatusPanel->fontMetrics().horizontalAdvance(text) + 12);
    Action(QStringLiteral("MILoesungUngeloeste"))->setEnabled(!ok);
    // Transient texts must be seen while a solution runs.
    if (text.endsWith(QStringLiteral("...")) && isVisible()) SolveStatusPanel->repaint();
}

QString MainWindow::StatusText() const {
    // The German half: what scripts and comparisons rely on, whatever the language.
    return Q(Translate(status_.toStdString(), 1));
}

void MainWindow::ShowSolveControl(bool visible) {
    if (visible) {
        SolveControl->show();
        SolveControl->raise();
    } else {
        SolveControl->hide();
    }
    Action(QStringLiteral("MIFensterLoesungssteuerung"))->setEnabled(visible);
}

void MainWindow::onSolveOptions() {
    if (solving_) return; // the running solution keeps the model
    SolveOptionsDialog dlg(m_.Options, m_.Language, this);
    const SolveOptions before = m_.Options;
    if (dlg.exec() == QDialog::Accepted) {
        dlg.Store(m_.Options);
        const bool accuracyChanged =
            std::llround(before.Accuracy * 1E10) != std::llround(m_.Options.Accuracy * 1E10);
        if (accuracyChanged) m_.RecalcAll = 1;
        if (!m_.Options.StepwiseSolve) ShowSolveControl(false);
        settings_.ShowSolveInfo = m_.Options.ShowSolveInfo != 0;
        if (accuracyChanged) {
            m_.Periods.LastSolved = -1;
            ModelChanged();
        } else if ((m_.Options.SolveAfterInput && !before.SolveAfterInput) ||
                   (!m_.Options.StepwiseSolve && before.StepwiseSolve)) {
            ModelChanged();
        }
    }
    solveAlwaysButton_->setChecked(m_.Options.SolveAfterInput == 1);
}

} // namespace tv

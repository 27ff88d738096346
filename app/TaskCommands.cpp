#include "app/MainWindow.h"
#include "app/MainWindowShared.h"
#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberFormat.h"
#include "core/Symbols.h"
#include "core/Task.h"
#include "logic/HelpPages.h"
#include "logic/ModelFile.h"
#include "services/HelpSystem.h"
#include "services/QtUserHost.h"
#include "windows/TaskWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QStatusBar>

namespace tv {

// ---------------------------------------------------------------- prediction tasks

namespace {

constexpr const char* TaskTitle = "Aufgabe##Task";
constexpr const char* TaskFilter = "Aufgabe (*.tvtask)##Task (*.tvtask)";

// The model file beside a task: the same name with the model extension, in either case.
QString ModelBeside(const QString& taskFile) {
    const QFileInfo info(taskFile);
    for (const char* ext : {".TV5", ".tv5"}) {
        const QString model = info.dir().filePath(info.completeBaseName() + QLatin1String(ext));
        if (QFileInfo::exists(model)) return model;
    }
    return {};
}

// The task a lecturer gets from the changes since the baseline: the changes described in
// both languages, income, the interest rate and the price level to predict, the period after
// the first change and the right edge to compare.
Task TaskFromChanges(std::vector<TaskChange> changes, const QString& title, int rightEdge) {
    Task task;
    task.title = title.toStdString();
    const char* const sets = "%1 wird ab Periode %2 auf %3 gesetzt. ##%1 is set to %3 from "
                             "period %2 on. ";
    const char* const question = "Was geschieht mit Einkommen, Zins und Preisniveau?##What "
                                 "happens to income, the interest rate and the price level?";
    std::string halves[2];
    for (int language = 1; language <= 2; ++language) {
        for (const TaskChange& c : changes)
            halves[language - 1] += FillIn(Translate(sets, language),
                                           {ParamSymbol(c.parameter, 1, language),
                                            std::to_string(c.from), FormatShortest(c.value)});
        halves[language - 1] += Translate(question, language);
    }
    task.text = halves[0] + "##" + halves[1];
    task.predict = {var::Y, var::i, var::P};
    task.longRun = rightEdge;
    task.shortRun = std::min(changes.front().from + 1, rightEdge - 1);
    task.changes = std::move(changes);
    return task;
}

} // namespace

void MainWindow::onOpenTask() {
    if (solving_) return; // the running solution keeps the model
    const QString start = QFileInfo(Q(file_->ModelFileName())).absolutePath();
    const QString name =
        AskFileName(false, T("Aufgabe öffnen##Open task"), T(TaskFilter), start, {});
    if (name.isEmpty()) return;
    QFile in(name);
    if (!in.open(QIODevice::ReadOnly)) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle, FillIn("Die Datei %1 lässt sich nicht lesen.##The file %1 "
                                             "cannot be read.",
                                             {name.toStdString()}));
        return;
    }
    const TaskReading reading = ReadTask(in.readAll().toStdString());
    auto refuse = [&](const TaskError& e) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle, FillIn("%1:\r\n%2", {QFileInfo(name).fileName().toStdString(),
                                                           Translate(e.text, m_.Language)}));
    };
    if (reading.error) return refuse(*reading.error);

    // The model beside the task, as Open model loads it; without one, the open model.
    if (const QString model = ModelBeside(name); !model.isEmpty()) {
        if (!MayReplaceModel()) return;
        const bool opened = file_->OpenModel(QFileInfo(model).absoluteFilePath().toStdString());
        UpdateFilePanel();
        if (!opened) return;
    }
    if (const auto e = CheckTaskPeriods(reading.task, m_.Periods.LeftEdge, m_.Periods.RightEdge))
        return refuse(*e);
    // The run without the task's changes is what the predictions are compared with.
    DiscardBaseline(nullptr);
    onFreezeBaseline();
    if (!baseline_) return;

    for (QMdiSubWindow* s : mdi_->subWindowList())
        if (qobject_cast<TaskWindow*>(s)) delete s; // one task at a time
    auto* window = WorkingWindow::Create<TaskWindow>(*this, reading.task);
    window->OnSolve = [this, window] { SolveTask(*window); };
    SetHelpContext(window, help::Tasks);
    OpenChild(window);
}

void MainWindow::SolveTask(TaskWindow& window) {
    if (solving_) return;
    if (!baseline_) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle,
                           "Der Basislauf der Aufgabe wurde verworfen: öffnen Sie die Aufgabe "
                           "erneut.##The task's baseline was discarded: open the task again.");
        return;
    }
    const Task& task = window.task();
    if (const auto e = CheckTaskPeriods(task, m_.Periods.LeftEdge, m_.Periods.RightEdge)) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle, e->text);
        return;
    }
    ApplyTask(m_, task);
    ModelChanged();
    if (m_.Periods.LastSolved < m_.Periods.RightEdge) Solve();
    window.ShowResults(TaskQuestions(task, m_, *baseline_));
    mdi_->setActiveSubWindow(&window);
}

void MainWindow::onCreateTask() {
    if (solving_) return;
    if (!baseline_) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle,
                           "Es gibt keinen Basislauf. Frieren Sie erst den Lauf ohne die Änderung "
                           "ein (Lösung > Als Basislauf einfrieren), dann ändern Sie das Modell."
                           "##There is no baseline. First freeze the run without the change "
                           "(Solution > Freeze as Baseline), then change the model.");
        return;
    }
    std::vector<TaskChange> changes = ChangesSinceBaseline(m_, *baseline_);
    if (changes.empty()) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle,
                           "Seit dem Basislauf wurde kein Parameter geändert: eine Aufgabe "
                           "besteht aus Parameteränderungen.##No parameter has changed since "
                           "the baseline: a task consists of parameter changes.");
        return;
    }
    const QFileInfo model(Q(file_->ModelFileName()));
    QString name = AskFileName(true, T("Aufgabe erstellen##Create task"), T(TaskFilter),
                               model.dir().filePath(model.completeBaseName() + ".tvtask"),
                               QStringLiteral("tvtask"));
    if (name.isEmpty()) return;
    if (!name.endsWith(QStringLiteral(".tvtask"), Qt::CaseInsensitive))
        name += QStringLiteral(".tvtask");
    const QFileInfo info(name);
    const Task task =
        TaskFromChanges(std::move(changes), info.completeBaseName(), m_.Periods.RightEdge);
    // The baseline's model beside the task, so that the task opens without this session.
    const QString beside = info.dir().filePath(info.completeBaseName() + ".TV5");
    const bool writeModel =
        !QFileInfo::exists(beside) ||
        host_->Ask("Was nun?##Please decide",
                   FillIn("%1 gibt es schon. Durch das Modell des Basislaufs ersetzen?##%1 "
                          "exists. Replace it with the baseline's model?",
                          {QFileInfo(beside).fileName().toStdString()}));
    try {
        if (writeModel)
            ModelFile(baseline_->Frozen(), *host_, ".").WriteModelFile(beside.toStdString());
    } catch (const std::system_error& e) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle,
                           ModelFile::WriteFailureText(beside.toStdString(), e.code().value()));
        return;
    }
    QFile out(name);
    const QByteArray text = QByteArray::fromStdString(WriteTask(task));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size() ||
        !out.flush()) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage(TaskTitle, FillIn("Die Aufgabe %1 lässt sich nicht schreiben.##The "
                                             "task %1 cannot be written.",
                                             {name.toStdString()}));
        return;
    }
    statusBar()->showMessage(T("Aufgabe geschrieben: ##Task written: ") + name, 8000);
}

} // namespace tv

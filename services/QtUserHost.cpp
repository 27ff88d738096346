#include "services/QtUserHost.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/HelpSystem.h"
#include "services/SolveWindows.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>

namespace tv {

QtUserHost::QtUserHost(Model& m, QWidget* parent)
    : QObject(parent), m_(m), parent_(parent), info_(new SolveInfoWindow(parent)) {
    SoundDirectory = QCoreApplication::applicationDirPath();
}

QtUserHost::~QtUserHost() = default;

QString QtUserHost::Tr(const std::string& bilingual) const {
    return QString::fromStdString(Translate(bilingual, m_.Language));
}

QString QtUserHost::Display(const std::string& bilingual) const {
    QString s = Tr(bilingual);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

void QtUserHost::ShowMessage(const std::string& title, const std::string& text,
                             const std::string& hint) {
    const QString t = Display(title), body = Display(text);
    if (scriptMessage) {
        scriptMessage(t, body);
        return;
    }
    QMessageBox box(QMessageBox::Information, t.isEmpty() ? QStringLiteral("TERVALIS") : t, body,
                    QMessageBox::Ok, parent_);
    QString h = Display(hint);
    if (h.startsWith(QLatin1Char('|'))) h = h.mid(1).trimmed();
    if (!h.isEmpty()) box.setInformativeText(h);
    QApplication::setOverrideCursor(Qt::ArrowCursor); // readable even during a solution
    box.exec();
    QApplication::restoreOverrideCursor();
}

bool QtUserHost::Ask(const std::string& title, const std::string& text) {
    return AskWithHint(title, text, {});
}

bool QtUserHost::AskDestructive(const std::string& title, const std::string& text) {
    return AskWithHint(title, text, {}, false);
}

std::optional<bool> QtUserHost::AskOrCancel(const std::string& title, const std::string& text) {
    const QString t = Display(title), body = Display(text);
    if (scriptAsk) return scriptAsk(t, body);
    QMessageBox box(QMessageBox::Question, t, body,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.button(QMessageBox::Yes)->setText(Tr("&Ja##&Yes"));
    box.button(QMessageBox::No)->setText(Tr("&Nein##&No"));
    box.button(QMessageBox::Cancel)->setText(Tr("&Abbrechen##&Cancel"));
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    QApplication::restoreOverrideCursor();
    if (answer == QMessageBox::Cancel) return std::nullopt;
    return answer == QMessageBox::Yes;
}

bool QtUserHost::AskWithHint(const std::string& title, const std::string& text,
                             const std::string& hint, bool yesIsDefault, int helpContext) {
    const QString t = Display(title), body = Display(text);
    if (scriptAsk) return scriptAsk(t, body);
    QMessageBox box(QMessageBox::Question, t, body, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(Tr("&Ja##&Yes"));
    box.button(QMessageBox::No)->setText(Tr("&Nein##&No"));
    QString h = Display(hint);
    if (h.startsWith(QLatin1Char('|'))) h = h.mid(1).trimmed();
    if (!h.isEmpty()) box.setInformativeText(h);
    if (helpContext != 0) SetHelpContext(&box, helpContext);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool yes = box.exec() == QMessageBox::Yes;
    QApplication::restoreOverrideCursor();
    return yes;
}

bool QtUserHost::HasSoundOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

void QtUserHost::PlaySound(const std::string& waveFile) {
    const QString name = QString::fromStdString(waveFile);
    if (onSound) onSound(name);
    if (!SoundOn) return;
    const QString path = QDir(SoundDirectory).filePath(name);
    if (!QFileInfo::exists(path) || !HasSoundOutput()) return;
    auto& effect = sounds_[name];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
    }
    effect->play();
}

void QtUserHost::PlaySoundToEnd(const std::string& waveFile) {
    PlaySound(waveFile);
    auto it = sounds_.find(QString::fromStdString(waveFile));
    if (it == sounds_.end() || !it->second) return;
    QElapsedTimer timer;
    timer.start();
    // A broken device must not keep the program from ending.
    while (timer.elapsed() < 5000 &&
           (it->second->isPlaying() || it->second->status() == QSoundEffect::Loading))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void QtUserHost::SetStatus(const std::string& text) {
    if (onStatus) onStatus(QString::fromStdString(text)); // bilingual, see onStatus
}

void QtUserHost::ProgressOpen(const std::string& label, const std::string& group,
                              const std::string& minimum, const std::string& maximum) {
    info_->setWindowTitle(Tr("Lösungsstatus##Solving progress"));
    info_->StopButton->setText(QStringLiteral("&STOP"));
    info_->Open(Tr(label), Tr(group), Tr(minimum), Tr(maximum));
}

void QtUserHost::ProgressSetMaximumLabel(const std::string& maximum) {
    info_->SetMaximumLabel(Tr(maximum));
}

void QtUserHost::ProgressSet(double fraction) {
    info_->SetFraction(fraction);
}
void QtUserHost::ProgressHide() {
    info_->hide();
}
void QtUserHost::ProgressShow() {
    info_->show();
    info_->raise();
}
void QtUserHost::ProgressClose() {
    info_->hide();
}

bool QtUserHost::StopRequested() {
    if (!info_->isVisible()) return false;
    return info_->Poll();
}

void QtUserHost::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

void QtUserHost::BroadcastModelChanged() {
    if (onBroadcastModelChanged) onBroadcastModelChanged();
}
void QtUserHost::ShowSolveControl(bool visible) {
    if (onShowSolveControl) onShowSolveControl(visible);
}
void QtUserHost::CurrentPeriodChanged() {
    if (onCurrentPeriodChanged) onCurrentPeriodChanged();
}
void QtUserHost::RulesChanged() {
    if (onRulesChanged) onRulesChanged();
}
void QtUserHost::RefreshRuleMonitors() {
    if (onRefreshRuleMonitors) onRefreshRuleMonitors();
}

} // namespace tv

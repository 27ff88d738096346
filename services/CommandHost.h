#pragma once

#include "services/WindowFrame.h"

#include <QString>

#include <functional>
#include <string>

class QAction;
class QDialog;
class QObject;
class QWidget;

namespace tv {

class ModelFile;
class PeriodNavigator;
class QtUserHost;
class WorkingWindow;

// File names for the file commands: `save` asks for a name to write. Returns an empty name
// when cancelled.
using FileNameProvider = std::function<QString(bool save, const QString& title,
                                               const QString& filter, const QString& start)>;

// What a folder's menu commands need of the main window: the frame's services, binding a
// menu entry, the child windows and the two central steps. Each folder binds its entries
// through it (Install…Commands), so that no folder below the shell knows the main window.
class CommandHost : public WindowFrame {
  public:
    // The main window as a widget: the parent of dialogs and tool windows.
    virtual QWidget* widget() = 0;
    virtual QtUserHost& userHost() = 0;
    virtual ModelFile& modelFile() = 0;
    // The settings the options dialogs change (written at program end).
    virtual Settings& EditSettings() = 0;
    virtual PeriodNavigator* Navigator() const = 0;
    // Replaces the file dialogs when set (tests).
    virtual const FileNameProvider& FileNames() const = 0;

    // Lets a menu entry (by its object name, e.g. "MIModellbauNachfrage") run `run`: the
    // entry and the function-bar button linked to it are enabled; `hint` ("short|long",
    // bilingual) replaces the status hint.
    virtual void BindCommand(const QString& actionName, std::function<void()> run,
                             const char* hint = nullptr) = 0;
    virtual QAction* Action(const QString& name) const = 0;

    // The two central steps.
    virtual void ModelChanged() = 0;
    virtual void PeriodChanged(int kind) = 0;
    // Runs a modal input dialog; unless it was cancelled, the model-changed step follows.
    virtual bool RunInputDialog(QDialog& dialog) = 0;
    virtual void Solve() = 0;
    // The solution status' German half ("Ok", "Alles lösen!", ...).
    virtual QString StatusText() const = 0;
    virtual void ShowHelp(int context) = 0;
    // True once the main window closes for good.
    virtual bool Closing() const = 0;

    // Messages to the child windows, synchronously, in creation order.
    virtual void SendToChildren(int msg, long wParam, long lParam) = 0;
    virtual bool SendToChild(const std::string& caption, int msg, long wParam, long lParam) = 0;
    virtual bool ChildExists(const std::string& caption) const = 0;
    virtual WorkingWindow* FindChild(const std::string& caption) const = 0;
    // Adds a working window to the frame and shows it; an open window of the same caption
    // is brought forward instead (the new one is then discarded). Returns the shown one.
    virtual WorkingWindow* OpenChild(WorkingWindow* window) = 0;

    // Runs `react` while `receiver` lives: when the model-changed step begins its broadcast,
    // and after a language switch.
    virtual void OnModelChangeBroadcast(QObject* receiver, std::function<void()> react) = 0;
    virtual void OnLanguageChanged(QObject* receiver, std::function<void()> react) = 0;
};

} // namespace tv

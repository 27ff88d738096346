#pragma once

#include <memory>

class QWidget;

namespace tv {

class InputDialog;
class CommandHost;
class Model;
class UserHost;

// The dialog of a sector (1 goods demand .. 5 foreign-exchange market). Sectors without
// their own option pages get the plain dialog.
std::unique_ptr<InputDialog> CreateSectorDialog(int sector, Model& m, UserHost& host,
                                                bool permanentDefault, QWidget* parent);

// The expectations dialog, modal; OK runs the main window's model-changed step.
void RunExpectationsDialog(CommandHost& w);
// Binds "Monitor": opens the model monitor, ticked while it is open.
void InstallModelMonitor(CommandHost& w);

// Binds the five sector entries of the model-building menu (and their function-bar
// buttons), the expectations entry and the model monitor: each sector entry opens its dialog
// modally; unless it was cancelled the main window's model-changed step follows.
void InstallInputCommands(CommandHost& w);

} // namespace tv

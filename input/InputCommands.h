#pragma once

#include <memory>

class QWidget;

namespace tv {

class InputDialog;
class MainWindow;
class Model;
class UserHost;

// The dialog of a sector (1 goods demand .. 5 foreign-exchange market). Sectors without
// their own option pages get the plain dialog.
std::unique_ptr<InputDialog> CreateSectorDialog(int sector, Model& m, UserHost& host,
                                                bool permanentDefault, QWidget* parent);

// Binds the five sector entries of the model-building menu (and their function-bar
// buttons): each opens its dialog modally; unless it was cancelled the main window's
// model-changed step follows.
void InstallInputCommands(MainWindow& w);

} // namespace tv

#pragma once

namespace tv {

class MainWindow;

// Binds the worksheet and the accounting-system entries of the main window's menu.
void InstallMoneyCommands(MainWindow& w);

} // namespace tv

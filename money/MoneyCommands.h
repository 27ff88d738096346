#pragma once

namespace tv {

class CommandHost;

// Binds the worksheet and the accounting-system entries of the main window's menu.
void InstallMoneyCommands(CommandHost& w);

} // namespace tv

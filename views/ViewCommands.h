#pragma once

namespace tv {

class MainWindow;

// Binds the commands of the presentations to their menu entries.
void InstallViewCommands(MainWindow& main);

} // namespace tv

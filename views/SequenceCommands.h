#pragma once

namespace tv {

class MainWindow;

// Binds the sequence tables, the sequence graphs, the structure graph and the number format.
void InstallSequenceCommands(MainWindow& main);

} // namespace tv

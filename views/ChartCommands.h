#pragma once

namespace tv {

class MainWindow;

// Binds the sequence charts 1 and 2, the quick graph and the structure graph.
void InstallChartCommands(MainWindow& main);

} // namespace tv

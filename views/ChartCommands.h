#pragma once

namespace tv {

class CommandHost;

// Binds the sequence charts 1 and 2, the quick graph and the structure graph.
void InstallChartCommands(CommandHost& main);

} // namespace tv

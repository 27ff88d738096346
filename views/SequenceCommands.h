#pragma once

namespace tv {

class CommandHost;

// Binds the sequence tables, the sequence graphs, the structure graph and the number format.
void InstallSequenceCommands(CommandHost& main);

} // namespace tv

#pragma once

namespace tv {

class CommandHost;

// Binds the commands of the presentations to their menu entries.
void InstallViewCommands(CommandHost& main);

} // namespace tv

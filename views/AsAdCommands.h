#pragma once

namespace tv {

class CommandHost;

// Binds the income-price and income-inflation diagrams to their menu entries.
void InstallAsAdCommands(CommandHost& main);

} // namespace tv

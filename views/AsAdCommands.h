#pragma once

namespace tv {

class MainWindow;

// Binds the income-price and income-inflation diagrams to their menu entries.
void InstallAsAdCommands(MainWindow& main);

} // namespace tv

#pragma once

namespace tv {

class MainWindow;
class TotalInputWindow;

// Opens the total input window, or brings the open one forward.
TotalInputWindow* OpenTotalInput(MainWindow& w);
// Binds "Total" (Ctrl+T) of the model-building menu and "Kopieren ..." (Ctrl+K) and
// "Löschen ..." (Ctrl+L) of the edit menu; the latter two open the total input first.
void InstallTotalInputCommands(MainWindow& w);

} // namespace tv

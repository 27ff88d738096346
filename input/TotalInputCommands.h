#pragma once

namespace tv {

class CommandHost;
class TotalInputWindow;

// Opens the total input window, or brings the open one forward.
TotalInputWindow* OpenTotalInput(CommandHost& w);
// Binds "Total" (Ctrl+T) of the model-building menu and "Kopieren ..." (Ctrl+K) and
// "Löschen ..." (Ctrl+L) of the edit menu; the latter two open the total input first.
void InstallTotalInputCommands(CommandHost& w);

} // namespace tv

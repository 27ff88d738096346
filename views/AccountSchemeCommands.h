#pragma once

namespace tv {

class CommandHost;
class AccountSchemeWindow;

// Binds "Sektorales Kontenschema" of the circulation-analysis menu.
void InstallAccountSchemeCommands(CommandHost& main);
// Opens the account scheme, or brings an open one forward; refused (with a message) while
// the bond market is reduced to the money market. Returns the window or nothing.
AccountSchemeWindow* OpenAccountScheme(CommandHost& main);

} // namespace tv

#pragma once
// Texts and helpers shared by the main window's source files.

#include <QString>

#include <string>

namespace tv {

inline constexpr const char* ProgramTitle = "TERVALIS 5.1";
inline constexpr const char* AppHint =
    "TERVALIS 5.1 - interaktive Simulationsumgebung für die makroökonomische Lehre##"
    "TERVALIS 5.1 - an interactive simulation environment for teaching macroeconomics";
inline constexpr const char* NotYet = "| Noch nicht verfügbar##| Not available yet";
inline constexpr const char* ModelMonitor = "Modell-Monitor##Modelling Monitor";
inline constexpr const char* MoneyWorksheet =
    "Geld- und Kreditschöpfung: Sequenztabelle##Creation of Money and Credit: Worksheet";
inline constexpr const char* MoneyAccounts =
    "Geld- und Kreditschöpfung: Kontensystem##Creation of Money and Credit: Accounting System";

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace tv

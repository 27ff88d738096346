#pragma once

namespace tv {

class CommandHost;

// "Handout": the solved model's equations, results, sequence table and diagrams as one PDF.
void InstallHandoutCommand(CommandHost& main);

} // namespace tv

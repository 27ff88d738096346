#pragma once

#include <string>
#include <vector>

namespace tv {

// One page of the bundled help: a file "<name>.html" in the folder of each language
// ("de", "en"), with its bilingual title as the contents list shows it.
struct HelpPage {
    const char* name;
    const char* title; // "Deutsch##English"
    int level;         // 0: top entry of the contents, 1: under the entry before it
};

// Where a help context number leads: a page and, optionally, a section of it.
struct HelpTarget {
    int context;
    const char* page;
    const char* anchor; // empty: the top of the page
};

// The pages in the order of the contents.
const std::vector<HelpPage>& HelpPages();
// Every context the program opens help with, in ascending order.
const std::vector<HelpTarget>& HelpTargets();
// The target of a context; null when the help has no page for it.
const HelpTarget* FindHelpTarget(int context);
// The title of a page; empty when there is no such page.
std::string HelpPageTitle(const std::string& name, int language);
// "de" or "en".
const char* HelpLanguageFolder(int language);

// Context numbers the windows open help with.
namespace help {
constexpr int Contents = 242;
constexpr int UsingHelp = 364;
constexpr int Symbols = 243;
constexpr int Shortcuts = 349;
constexpr int MainWindow = 300;
constexpr int FileMenu = 301;
constexpr int EditMenu = 302;
constexpr int PeriodsMenu = 303;
constexpr int ModelMenu = 304;
constexpr int SolutionMenu = 305;
constexpr int PresentationMenu = 306;
constexpr int OptionsMenu = 307;
constexpr int WindowMenu = 308;
constexpr int HelpMenu = 309;
constexpr int Navigator = 210;
constexpr int Interval = 211;
constexpr int ShiftArchiving = 212;
constexpr int ShiftRevolving = 213;
constexpr int OpenModel = 360;
constexpr int ModelFile = 361;
constexpr int SaveModelAs = 363;
constexpr int SettingsFile = 365;
constexpr int Examples = 244;
constexpr int Model = 245;
constexpr int SolveControl = 380;
constexpr int SolveInfo = 381;
constexpr int SolveOptions = 382;
constexpr int FontDialog = 434;
constexpr int EquationWindow = 400;
constexpr int ResultWindow = 401;
constexpr int FlowChart = 686;
constexpr int AccountScheme = 687;
constexpr int PrintRange = 688;
constexpr int PrintConfirm = 689;
// The contexts of the other windows, numbered from 700 on.
constexpr int FirstSteps = 700;
constexpr int Presentation = 701;
constexpr int SequenceTable = 702;
constexpr int NumberFormat = 703;
constexpr int SeriesSelection = 704;
constexpr int SequenceGraph = 705;
constexpr int QuickGraph = 706;
constexpr int StructureGraph = 707;
constexpr int MoneyWorksheet = 708;
constexpr int MoneyAccounts = 709;
constexpr int IncomeExpenditure = 710;
constexpr int IncomeInterest = 711;
constexpr int IncomePrice = 712;
constexpr int IncomeInflation = 713;
constexpr int ISDerivation = 714;
constexpr int LMDerivation = 715;
constexpr int ZDerivation = 716;
constexpr int GraphOptions = 717;
constexpr int PeriodRun = 718;
constexpr int Baseline = 719;
constexpr int Export = 720;
constexpr int BookingShares = 721;
} // namespace help

// The generated parts of the help pages. Every table is built from the program's own
// catalogue, so that the help never disagrees with the input checks and the windows.

// The admissible range of parameter n as a formula, e.g. "0 <= c[Y] <= 1" (plain text).
std::string RangeText(int n, int language);
// Parameters of a sector's category (category 0: the whole sector; sector 0: all 64):
// number, symbol, meaning, admissible range and default value, as an HTML table.
std::string ParameterTable(int sector, int category, int language);
// All 63 variables: number, symbol, meaning.
std::string VariableTable(int language);
// The eight expectations: what is expected, the variable that receives the expectation, the
// variable it forecasts, the start form and in which periods the past is counted.
std::string ExpectationTable(int language);
// The contents as a nested HTML list of links.
std::string ContentsList(int language);

// Replaces the markers of a page template by the generated parts:
// <!--@PARAMETERS s c-->, <!--@VARIABLES-->, <!--@EXPECTATIONS-->, <!--@CONTENTS-->.
// An unknown marker stays as it is (and is reported in unknownMarkers).
std::string ExpandHelpTemplate(const std::string& html, int language,
                               std::vector<std::string>* unknownMarkers = nullptr);

// Text with &, < and > escaped for HTML.
std::string HtmlEscape(const std::string& text);

} // namespace tv

#include "logic/HelpPages.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace tv {

namespace {

std::string T(const char* bilingual, int language) {
    return Translate(bilingual, language);
}

// "0 <= " and "1 >= " around a symbol read as "0 <= c[Y] <= 1": the upper bound is written
// by the check from the bound's side and is turned round here.
std::string UpperBound(const std::string& maxText) {
    std::istringstream in(maxText);
    std::string value, op;
    in >> value >> op;
    if (op == ">=")
        op = "<=";
    else if (op == ">")
        op = "<";
    return " " + op + " " + value;
}

std::string Number(double x) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

// The meaning of a catalogue name: the name without its symbol in parentheses.
std::string Meaning(const std::string& name) {
    std::string s = name.substr(0, name.find('('));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

const std::vector<HelpPage>& HelpPages() {
    static const std::vector<HelpPage> pages = {
        {"index", "Inhalt##Contents", 0},
        {"first-steps", "Erste Schritte##First Steps", 0},
        {"using-help", "Hilfe zur Hilfe##Using the Help System", 0},
        {"main-window", "Das Hauptfenster##The Main Window", 0},
        {"menu-file", "Menü Datei##File Menu", 1},
        {"menu-edit", "Menü Bearbeiten##Edit Menu", 1},
        {"menu-periods", "Menü Perioden##Periods Menu", 1},
        {"menu-model", "Menü Modellbau##Model Building Menu", 1},
        {"menu-solution", "Menü Lösung##Solution Menu", 1},
        {"menu-presentation", "Menü Aufbereitung##Presentation Menu", 1},
        {"menu-options", "Menü Optionen##Options Menu", 1},
        {"menu-window", "Menü Fenster##Window Menu", 1},
        {"menu-help", "Menü Hilfe##Help Menu", 1},
        {"shortcuts", "Tastenkürzel##Shortcuts", 1},
        {"navigator", "Periodennavigator##Period Navigator", 0},
        {"interval", "Analyseintervall##Analysis Interval", 1},
        {"period-run", "Periodendurchlauf##Period Run", 1},
        {"model", "Das Modell##The Model", 0},
        {"sector-demand", "Güternachfrage##Demand for Goods", 1},
        {"sector-supply", "Güterangebot##Supply of Goods", 1},
        {"sector-distribution", "(Um-) Verteilung##(Re-) Distribution", 1},
        {"sector-bonds", "Wertpapiermarkt##Bond Market", 1},
        {"sector-exchange", "Devisenmarkt##Exchange Market", 1},
        {"expectations", "Erwartungen##Expectations", 1},
        {"total-input", "Totaleingabe##Total Input", 1},
        {"copy-clear", "Kopieren und Löschen##Copying and Clearing", 1},
        {"monitor", "Modell-Monitor##Modelling Monitor", 1},
        {"symbols", "Symbolverzeichnis##Symbol Catalog", 1},
        {"solution-control", "Lösung und Lösungssteuerung##Solving and Solution Control", 0},
        {"solution-options", "Lösungsoptionen##Solution Options", 1},
        {"baseline", "Basislauf und Vergleich##Baseline and Comparison", 1},
        {"tasks", "Vorhersageaufgaben##Prediction Tasks", 1},
        {"model-file", "Die Modelldatei##The Model File", 0},
        {"examples", "Beispielmodelle##Example Models", 1},
        {"settings", "Die Einstellungsdatei##The Settings File", 1},
        {"printing", "Drucken##Printing", 0},
        {"export", "Export und Buchungsanwendung##Export and Booking Application", 1},
        {"equation-windows", "Gleichungsfenster##Equation Windows", 0},
        {"result-windows", "Ergebnisfenster##Result Windows", 0},
        {"explanation", "Warum? Ursachen einer Änderung##Why? The Causes of a Change", 1},
        {"presentation", "Die Aufbereitungsfenster##The Presentation Windows", 0},
        {"sequence-table", "Sequenztabelle##Sequence Worksheet", 1},
        {"sequence-graphs", "Sequenzgrafiken##Sequence Diagrams", 1},
        {"structure-graph", "Strukturgrafik##Structural Diagram", 1},
        {"flow-chart", "Sektorales Flussdiagramm##Sectoral Flow Chart", 1},
        {"account-scheme", "Sektorales Kontenschema##Sectoral Account Scheme", 1},
        {"money-creation", "Geld- und Kreditschöpfung##Creation of Money and Credit", 1},
        {"income-expenditure", "Einkommen-Ausgaben-Grafik##Income-Expenditure Diagram", 1},
        {"is-lm", "Einkommen-Zins-Grafik (IS-LM)##Income-Interest Diagram (IS-LM)", 1},
        {"as-ad", "Einkommen-Preis-Grafik (AS-AD)##Income-Price Diagram (AS-AD)", 1},
        {"dynamic-as-ad",
         "Einkommen-Inflation-Grafik (dynamisches AS-AD)##Income-Inflation Diagram (dynamic "
         "AS-AD)",
         1},
        {"curve-derivations", "Kurven-Herleitung (IS, LM, Z)##Curve Construction (IS, LM, Z)", 1},
        {"graph-options", "Grafikeinstellungen##Diagram Settings", 1},
    };
    return pages;
}

const std::vector<HelpTarget>& HelpTargets() {
    static const std::vector<HelpTarget> targets = [] {
        std::vector<HelpTarget> t = {
            {help::Contents, "index", ""},
            {help::UsingHelp, "using-help", ""},
            {help::Symbols, "symbols", ""},
            {help::Shortcuts, "shortcuts", ""},
            {help::Examples, "examples", ""},
            {help::Model, "model", ""},
            {help::MainWindow, "main-window", ""},
            {help::FileMenu, "menu-file", ""},
            {help::EditMenu, "menu-edit", ""},
            {help::PeriodsMenu, "menu-periods", ""},
            {help::ModelMenu, "menu-model", ""},
            {help::SolutionMenu, "menu-solution", ""},
            {help::PresentationMenu, "menu-presentation", ""},
            {help::OptionsMenu, "menu-options", ""},
            {help::WindowMenu, "menu-window", ""},
            {help::HelpMenu, "menu-help", ""},
            {help::FontDialog, "menu-options", "font"},
            {help::Navigator, "navigator", ""},
            {help::Interval, "interval", ""},
            {help::ShiftArchiving, "interval", "shift-archiving"},
            {help::ShiftRevolving, "interval", "shift-revolving"},
            {help::OpenModel, "model-file", "open"},
            {help::ModelFile, "model-file", ""},
            {help::SaveModelAs, "model-file", "save-as"},
            {help::SettingsFile, "settings", ""},
            {help::SolveControl, "solution-control", ""},
            {help::SolveInfo, "solution-control", "info"},
            {help::SolveOptions, "solution-options", ""},
            {help::EquationWindow, "equation-windows", ""},
            {help::ResultWindow, "result-windows", ""},
            {help::Explanation, "explanation", ""},
            {help::FlowChart, "flow-chart", ""},
            {help::AccountScheme, "account-scheme", ""},
            {help::PrintRange, "printing", "range"},
            {help::PrintConfirm, "printing", "confirm"},
            // The input dialogs: a sector and its pages.
            {113, "sector-demand", ""},
            {114, "sector-demand", "cat1"},
            {115, "sector-demand", "cat2"},
            {116, "sector-demand", "cat3"},
            {117, "sector-demand", "cat4"},
            {22, "sector-supply", ""},
            {121, "sector-supply", "cat1"},
            {123, "sector-supply", "cat2"},
            {122, "sector-supply", "cat3"},
            {124, "sector-supply", "cat4"},
            {24, "sector-distribution", ""},
            {28, "sector-distribution", "cat1"},
            {26, "sector-distribution", "cat2"},
            {112, "sector-distribution", "cat3"},
            {27, "sector-bonds", ""},
            {118, "sector-bonds", "cat1"},
            {120, "sector-bonds", "cat2"},
            {119, "sector-bonds", "cat3"},
            {127, "sector-exchange", ""},
            {128, "sector-exchange", "cat1"},
            {129, "sector-exchange", "cat2"},
            {29, "expectations", ""},
            {125, "expectations", "conventional"},
            {126, "expectations", "rule-based"},
            // Copying and clearing, the monitor's two pages, the total input.
            {156, "copy-clear", "copy"},
            {157, "copy-clear", "clear"},
            {216, "monitor", "structure"},
            {218, "monitor", "time"},
            {624, "total-input", ""},
            {626, "total-input", "accept"},
            {627, "total-input", "repeat"},
            // The presentation windows.
            {help::FirstSteps, "first-steps", ""},
            {help::Presentation, "presentation", ""},
            {help::SequenceTable, "sequence-table", ""},
            {help::NumberFormat, "sequence-table", "number-format"},
            {help::SeriesSelection, "sequence-table", "series"},
            {help::SequenceGraph, "sequence-graphs", ""},
            {help::QuickGraph, "sequence-graphs", "rapid"},
            {help::StructureGraph, "structure-graph", ""},
            {help::MoneyWorksheet, "money-creation", "worksheet"},
            {help::MoneyAccounts, "money-creation", "accounts"},
            {help::IncomeExpenditure, "income-expenditure", ""},
            {help::IncomeInterest, "is-lm", ""},
            {help::IncomePrice, "as-ad", ""},
            {help::IncomeInflation, "dynamic-as-ad", ""},
            {help::ISDerivation, "curve-derivations", "is"},
            {help::LMDerivation, "curve-derivations", "lm"},
            {help::ZDerivation, "curve-derivations", "z"},
            {help::GraphOptions, "graph-options", ""},
            {help::PeriodRun, "period-run", ""},
            {help::Baseline, "baseline", ""},
            {help::Export, "export", ""},
            {help::BookingShares, "export", "booking"},
            {help::Tasks, "tasks", ""},
        };
        std::sort(t.begin(), t.end(),
                  [](const HelpTarget& a, const HelpTarget& b) { return a.context < b.context; });
        return t;
    }();
    return targets;
}

const HelpTarget* FindHelpTarget(int context) {
    const auto& t = HelpTargets();
    const auto it = std::lower_bound(t.begin(), t.end(), context,
                                     [](const HelpTarget& a, int c) { return a.context < c; });
    return it != t.end() && it->context == context ? &*it : nullptr;
}

std::string HelpPageTitle(const std::string& name, int language) {
    for (const HelpPage& p : HelpPages())
        if (name == p.name) return Translate(p.title, language);
    return {};
}

const char* HelpLanguageFolder(int language) {
    return language == 2 ? "en" : "de";
}

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string RangeText(int n, int language) {
    const ParameterRange r = AdmissibleRange(n);
    if (!r.minText && !r.maxText) return T("beliebig##any value", language);
    std::string s = std::string(r.minText ? r.minText : "") + ParamSymbol(n, 1, language);
    if (r.maxText) s += UpperBound(r.maxText);
    if (r.kind == ParameterRange::PositiveInPeriod0)
        s += T(" (nur in t = 0)## (in t = 0 only)", language);
    return s;
}

std::string ParameterTable(int sector, int category, int language) {
    int first = 1, last = ParCount;
    if (sector >= 1 && sector <= 5) {
        first = CategoryFirst(sector, category);
        last = CategoryLast(sector, category);
    }
    std::ostringstream out;
    out << "<table class=\"parameters\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
        << "<tr><th>" << T("Nr.##No.", language) << "</th><th>" << T("Symbol##Symbol", language)
        << "</th><th>" << T("Bedeutung##Meaning", language) << "</th><th>"
        << T("Zulässige Werte##Admissible values", language) << "</th><th>"
        << T("Startwert##Default", language) << "</th></tr>\n";
    for (int n = first; n <= last; ++n) {
        std::string meaning = Meaning(Translate(ParamName(n), language));
        // A parameter that means something else under multiple money creation says so.
        if (ParamName(n, true) != ParamName(n))
            meaning += T(" (mit multipler Geld- und Kreditschöpfung: ## (with multiple creation "
                         "of money and credit: ",
                         language) +
                       Translate(ParamName(n, true), language) + ")";
        out << "<tr><td>" << n << "</td><td>" << HtmlEscape(ParamSymbol(n, 1, language))
            << "</td><td>" << HtmlEscape(meaning) << "</td><td>"
            << HtmlEscape(RangeText(n, language)) << "</td><td>" << Number(DefaultPar(1, n))
            << "</td></tr>\n";
    }
    out << "</table>\n";
    return out.str();
}

std::string VariableTable(int language) {
    std::ostringstream out;
    out << "<table class=\"variables\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
        << "<tr><th>" << T("Nr.##No.", language) << "</th><th>" << T("Symbol##Symbol", language)
        << "</th><th>" << T("Bedeutung##Meaning", language) << "</th></tr>\n";
    for (int n = 1; n <= VarCount; ++n)
        out << "<tr><td>" << n << "</td><td>" << HtmlEscape(VarSymbol(n, language)) << "</td><td>"
            << HtmlEscape(Meaning(Translate(VarName(n), language))) << "</td></tr>\n";
    out << "</table>\n";
    return out.str();
}

std::string ExpectationTable(int language) {
    // Start forms by record: the texts of the conventional choices.
    static const char* const firstForm[ExpectationCount] = {
        "tatsächliches Einkommen##actual income",
        "tatsächliches Einkommen##actual income",
        "tatsächliches Einkommen##actual income",
        "tatsächliche Nachfrage##actual demand",
        "tatsächlicher Importwert##actual import value",
        "Nullinflation##zero inflation",
        "Nullwachstum##zero growth",
        "aktueller Wert##current value",
    };
    std::ostringstream out;
    out << "<table class=\"expectations\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
        << "<tr><th>" << T("Erwartung##Expectation", language) << "</th><th>"
        << T("Erwarteter Wert##Expected value", language) << "</th><th>"
        << T("Erwartet wird##Forecast of", language) << "</th><th>" << T("Form 1##Form 1", language)
        << "</th><th>" << T("Startform##Start form", language) << "</th><th>"
        << T("Vergangenheit in##Past counted in", language) << "</th></tr>\n";
    const Expectations e = StartExpectations();
    for (int k = 0; k < ExpectationCount; ++k) {
        const Expectation& x = e[k];
        std::string start;
        switch (x.Method) {
        case 1:
            start = T(firstForm[k], language);
            break;
        case 2:
            start = T("extrapolativ##extrapolative", language);
            break;
        case 3:
            start = T("adaptiv##adaptive", language);
            break;
        default:
            start = std::to_string(x.Method);
        }
        out << "<tr><td>" << HtmlEscape(Translate(x.Name, language)) << "</td><td>"
            << HtmlEscape(VarSymbol(x.TargetVariable, language)) << "</td><td>"
            << HtmlEscape(VarSymbol(x.SourceVariable, language)) << "</td><td>"
            << HtmlEscape(T(firstForm[k], language)) << "</td><td>" << HtmlEscape(start)
            << "</td><td>"
            << (x.PerWagePeriod ? T("Tarifzeiträumen##wage periods", language)
                                : T("Perioden##periods", language))
            << "</td></tr>\n";
    }
    out << "</table>\n";
    return out.str();
}

std::string ContentsList(int language) {
    std::ostringstream out;
    out << "<ul>\n";
    int level = 0;
    for (const HelpPage& p : HelpPages()) {
        if (std::string(p.name) == "index") continue;
        while (level < p.level) {
            out << "<ul>\n";
            ++level;
        }
        while (level > p.level) {
            out << "</ul>\n";
            --level;
        }
        out << "<li><a href=\"" << p.name << ".html\">" << HtmlEscape(Translate(p.title, language))
            << "</a></li>\n";
    }
    while (level-- > 0)
        out << "</ul>\n";
    out << "</ul>\n";
    return out.str();
}

std::string ExpandHelpTemplate(const std::string& html, int language,
                               std::vector<std::string>* unknownMarkers) {
    static const std::string open = "<!--@", close = "-->";
    std::string out;
    size_t pos = 0;
    while (true) {
        const size_t at = html.find(open, pos);
        if (at == std::string::npos) break;
        const size_t end = html.find(close, at);
        if (end == std::string::npos) break;
        out.append(html, pos, at - pos);
        std::istringstream marker(html.substr(at + open.size(), end - at - open.size()));
        std::string name;
        marker >> name;
        if (name == "PARAMETERS") {
            int sector = 0, category = 0;
            marker >> sector >> category;
            out += ParameterTable(sector, category, language);
        } else if (name == "VARIABLES") {
            out += VariableTable(language);
        } else if (name == "EXPECTATIONS") {
            out += ExpectationTable(language);
        } else if (name == "CONTENTS") {
            out += ContentsList(language);
        } else {
            if (unknownMarkers) unknownMarkers->push_back(name);
            out.append(html, at, end + close.size() - at);
        }
        pos = end + close.size();
    }
    out.append(html, pos, std::string::npos);
    return out;
}

} // namespace tv

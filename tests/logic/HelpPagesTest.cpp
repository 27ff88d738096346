// The generated parts of the help pages agree with the program's catalogue, and the pages the
// build made are exactly the expanded templates.

#include "logic/HelpPages.h"
#include "RecordingHost.h"
#include "core/Catalogue.h"
#include "core/Model.h"

#include <gtest/gtest.h>

#include <cctype>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace tv {
namespace {

namespace fs = std::filesystem;

std::string Unescape(std::string s) {
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
        for (size_t p; (p = s.find(from)) != std::string::npos;)
            s.replace(p, from.size(), to);
    }
    return s;
}

// The cells of every data row of an HTML table.
std::vector<std::vector<std::string>> Rows(const std::string& html) {
    std::vector<std::vector<std::string>> rows;
    const std::regex row("<tr>(.*?)</tr>"), cell("<td>(.*?)</td>");
    for (auto r = std::sregex_iterator(html.begin(), html.end(), row); r != std::sregex_iterator();
         ++r) {
        const std::string inner = (*r)[1];
        std::vector<std::string> cells;
        for (auto c = std::sregex_iterator(inner.begin(), inner.end(), cell);
             c != std::sregex_iterator(); ++c)
            cells.push_back(Unescape((*c)[1]));
        if (!cells.empty()) rows.push_back(cells);
    }
    return rows;
}

TEST(HelpPages, ParameterTableIsTheCatalogue) {
    for (int language : {1, 2}) {
        const auto rows = Rows(ParameterTable(0, 0, language));
        ASSERT_EQ(rows.size(), 64u);
        for (int n = 1; n <= 64; ++n) {
            const auto& r = rows[n - 1];
            ASSERT_EQ(r.size(), 5u);
            EXPECT_EQ(r[0], std::to_string(n));
            EXPECT_EQ(r[1], ParamSymbol(n, 1, language)) << n;
            // The meaning is the catalogue name without its symbol; where the name under
            // multiple money creation differs, it follows.
            const std::string name = Translate(ParamName(n), language);
            const std::string other = Translate(ParamName(n, true), language);
            std::string meaning = r[2];
            if (other != name) {
                const size_t at = meaning.find(other);
                ASSERT_NE(at, std::string::npos) << n;
                meaning = meaning.substr(0, meaning.rfind(" (", at));
            }
            EXPECT_EQ(name.rfind(meaning, 0), 0u) << n;
            EXPECT_FALSE(r[2].empty()) << n;
            EXPECT_EQ(r[3], RangeText(n, language)) << n;
            EXPECT_EQ(std::stod(r[4]), DefaultPar(1, n)) << n;
        }
    }
}

TEST(HelpPages, SectorTablesHoldTheirCategories) {
    for (int s = 1; s <= 5; ++s) {
        for (int c = 0; c <= CategoryCount(s); ++c) {
            const auto rows = Rows(ParameterTable(s, c, 2));
            ASSERT_EQ(int(rows.size()), CategorySize(s, c)) << s << "/" << c;
            EXPECT_EQ(rows.front()[0], std::to_string(CategoryFirst(s, c)));
            EXPECT_EQ(rows.back()[0], std::to_string(CategoryLast(s, c)));
        }
    }
}

TEST(HelpPages, VariableAndExpectationTablesAreTheCatalogue) {
    for (int language : {1, 2}) {
        const auto vars = Rows(VariableTable(language));
        ASSERT_EQ(vars.size(), 63u);
        for (int n = 1; n <= 63; ++n)
            EXPECT_EQ(vars[n - 1][1], VarSymbol(n, language)) << n;
        const auto exp = Rows(ExpectationTable(language));
        const Expectations e = StartExpectations();
        ASSERT_EQ(exp.size(), size_t(ExpectationCount));
        for (int k = 0; k < ExpectationCount; ++k) {
            EXPECT_EQ(exp[k][0], Translate(e[k].Name, language));
            EXPECT_EQ(exp[k][1], VarSymbol(e[k].TargetVariable, language));
            EXPECT_EQ(exp[k][2], VarSymbol(e[k].SourceVariable, language));
            EXPECT_FALSE(std::isdigit(uint8_t(exp[k][4].at(0)))) << k; // a start form by name
        }
    }
}

TEST(HelpPages, RangesReadAsFormulas) {
    struct Case {
        int n, language;
        const char* text;
    };
    for (const Case& c :
         {Case{2, 1, "0 <= c[Y] <= 1"}, Case{19, 2, "0 < alpha < 1"},
          Case{36, 1, "0 <= u,nat <= 100"}, Case{64, 2, "0 <= f[NK] < 1"}, Case{16, 1, "0 < a"},
          Case{1, 2, "0 <= C,aut"}, Case{55, 1, "0 < dMHN,aut (nur in t = 0)"},
          Case{56, 2, "0 < dMBHN,aut (in t = 0 only)"}, Case{9, 1, "beliebig"},
          Case{61, 2, "any value"}})
        EXPECT_EQ(RangeText(c.n, c.language), c.text) << c.n;
}

// The ranges the help prints are the ones the input check applies.
TEST(HelpPages, RangesAgreeWithTheInputCheck) {
    Model m;
    test::RecordingHost host;
    std::array<double, 64> row{};
    row.fill(1);
    for (int n = 1; n <= 64; ++n) {
        const ParameterRange r = AdmissibleRange(n);
        for (int t : {0, 1}) {
            for (double x : {-1.0, 0.0, 0.5, 1.0, 2.0, 100.0, 101.0}) {
                EXPECT_EQ(CheckParameter(m, host, n, t, x, row), !r.Violated(t, x))
                    << n << " " << t << " " << x;
            }
        }
        // A refusal names the bounds the help shows.
        if (r.minText) {
            host.messages.clear();
            CheckParameter(m, host, n, 0, -1e9, row);
            ASSERT_FALSE(host.messages.empty()) << n;
            EXPECT_NE(host.messages.back().find(std::string("Minimum: ") + r.minText),
                      std::string::npos);
            EXPECT_EQ(RangeText(n, 1).rfind(r.minText, 0), 0u) << n;
        }
    }
}

TEST(HelpPages, TemplatesExpandTheirMarkers) {
    std::vector<std::string> unknown;
    const std::string page = ExpandHelpTemplate(
        "<p>a</p><!--@PARAMETERS 1 2--><!--@VARIABLES--><!--@EXPECTATIONS--><!--@CONTENTS-->"
        "<!--@NOSUCH x--><p>b</p>",
        2, &unknown);
    EXPECT_EQ(unknown, std::vector<std::string>{"NOSUCH"});
    EXPECT_NE(page.find(ParameterTable(1, 2, 2)), std::string::npos);
    EXPECT_NE(page.find(VariableTable(2) + ExpectationTable(2) + ContentsList(2)),
              std::string::npos);
    EXPECT_NE(page.find("<!--@NOSUCH x-->"), std::string::npos);
    EXPECT_EQ(page.rfind("<p>a</p>", 0), 0u);
    EXPECT_EQ(page.substr(page.size() - 24), "<!--@NOSUCH x--><p>b</p>"); // kept once, as it was
    EXPECT_EQ(ExpandHelpTemplate("plain <!--@CONTENTS", 1), "plain <!--@CONTENTS");
}

TEST(HelpPages, ContextsLeadToPages) {
    std::set<std::string> pages;
    for (const HelpPage& p : HelpPages())
        pages.insert(p.name);
    int previous = 0;
    for (const HelpTarget& t : HelpTargets()) {
        EXPECT_GT(t.context, previous) << "contexts are unique and sorted";
        previous = t.context;
        EXPECT_TRUE(pages.count(t.page)) << t.context;
        EXPECT_EQ(FindHelpTarget(t.context), &t);
    }
    EXPECT_EQ(FindHelpTarget(9999), nullptr);
    EXPECT_EQ(FindHelpTarget(0), nullptr);
    EXPECT_STREQ(FindHelpTarget(help::SolveOptions)->page, "solution-options");
    EXPECT_STREQ(FindHelpTarget(114)->anchor, "cat1");
    EXPECT_EQ(HelpPageTitle("menu-file", 2), "File Menu");
    EXPECT_EQ(HelpPageTitle("nothing", 2), "");
}

std::string ReadTemplate(const std::string& folder, const std::string& page) {
    std::ifstream in(fs::path(HELP_TEMPLATE_DIR) / folder / (page + ".html"), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every link between pages leads to a page of the contents and, with a section, to that
// section; every page is reachable from the contents.
TEST(HelpPages, LinksLeadToPagesAndSections) {
    std::set<std::string> pages;
    for (const HelpPage& p : HelpPages())
        pages.insert(p.name);
    const std::regex link(R"re(href="([a-z0-9-]+)\.html(#([a-z0-9-]+))?")re");
    for (int language : {1, 2}) {
        const std::string folder = HelpLanguageFolder(language);
        const std::string contents = ContentsList(language);
        const auto tags = [&](const char* tag) {
            const std::regex r(tag);
            return std::distance(std::sregex_iterator(contents.begin(), contents.end(), r),
                                 std::sregex_iterator());
        };
        EXPECT_EQ(tags("<ul>"), tags("</ul>")); // every nested list is closed, none twice
        EXPECT_EQ(contents.find("<ul>\n</ul>"), std::string::npos);    // and none is empty
        EXPECT_EQ(contents.find("\"index.html\""), std::string::npos); // the start page is no entry
        std::vector<std::string> chapters;
        for (const HelpPage& p : HelpPages())
            if (p.level == 0) chapters.push_back(p.name);
        EXPECT_EQ(chapters, (std::vector<std::string>{
                                "index", "first-steps", "using-help", "main-window", "navigator",
                                "model", "solution-control", "model-file", "printing",
                                "equation-windows", "result-windows", "presentation"}));
        for (const HelpPage& p : HelpPages()) {
            const std::string html = ReadTemplate(folder, p.name);
            ASSERT_FALSE(html.empty()) << folder << "/" << p.name;
            EXPECT_LE(p.level, 1) << p.name; // chapters and their pages, nothing deeper
            if (std::string(p.name) != "index") {
                EXPECT_NE(contents.find(std::string("\"") + p.name + ".html\""), std::string::npos)
                    << p.name;
            }
            for (auto it = std::sregex_iterator(html.begin(), html.end(), link);
                 it != std::sregex_iterator(); ++it) {
                const std::string target = (*it)[1], anchor = (*it)[3];
                EXPECT_TRUE(pages.count(target)) << folder << "/" << p.name << " -> " << target;
                if (!anchor.empty() && pages.count(target)) {
                    EXPECT_NE(ReadTemplate(folder, target).find("name=\"" + anchor + "\""),
                              std::string::npos)
                        << folder << "/" << p.name << " -> " << target << "#" << anchor;
                }
            }
        }
    }
}

// Every help context the program's sources open (by number in a help call, or by a named
// constant of the help) leads to a page.
TEST(HelpPages, EveryContextTheSourcesUseHasAPage) {
    const fs::path root = fs::path(HELP_TEMPLATE_DIR).parent_path();
    std::map<std::string, int> named;
    {
        std::ifstream in(root / "logic" / "HelpPages.h");
        const std::regex constant(R"re(constexpr int (\w+) = (\d+);)re");
        for (std::string line; std::getline(in, line);)
            if (std::smatch m; std::regex_search(line, m, constant)) named[m[1]] = std::stoi(m[2]);
    }
    ASSERT_GT(named.size(), 50u);
    const std::regex call(
        R"re((ShowHelp|showHelp|SetHelpContext|SetHelpTopics|HelpSystem::show|helpContext\s*=|topic\s*=|\{"tv::\w+",))re");
    const std::regex number(R"re(\b(\d{2,3})\b)re"), constant(R"re(help::(\w+))re");
    std::map<int, std::string> used; // context -> where
    for (const char* folder :
         {"app", "logic", "services", "exchange", "render", "input", "views", "money", "windows"}) {
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            std::ifstream in(entry.path());
            int lineNo = 0;
            for (std::string line; std::getline(in, line);) {
                ++lineNo;
                const std::string where = std::string(folder) + "/" +
                                          entry.path().filename().string() + ":" +
                                          std::to_string(lineNo);
                for (auto it = std::sregex_iterator(line.begin(), line.end(), constant);
                     it != std::sregex_iterator(); ++it) {
                    const auto n = named.find((*it)[1]);
                    EXPECT_NE(n, named.end()) << where << ": help::" << (*it)[1];
                    if (n != named.end()) used[n->second] = where;
                }
                if (!std::regex_search(line, call)) continue;
                for (auto it = std::sregex_iterator(line.begin(), line.end(), number);
                     it != std::sregex_iterator(); ++it)
                    used[std::stoi((*it)[1])] = where;
            }
        }
    }
    EXPECT_GT(used.size(), 60u) << "the scan finds the contexts";
    for (const auto& [context, where] : used)
        EXPECT_NE(FindHelpTarget(context), nullptr) << "context " << context << " at " << where;
}

// Sentences about what the program cannot do yet stay out of the pages once it can.
TEST(HelpPages, NoPageKeepsAnOutdatedSentence) {
    const char* const outdated[] = {
        "greyed out",           "not built yet",     "has no page yet",  "not available yet",
        "noch nicht gebaut",    "erscheinen grau",   "noch keine Seite", "noch nicht verfügbar",
        "Noch nicht verfügbar", "Not available yet",
    };
    for (int language : {1, 2})
        for (const HelpPage& p : HelpPages()) {
            const std::string html = ReadTemplate(HelpLanguageFolder(language), p.name);
            // Each language's folder holds that language's pages.
            EXPECT_NE(html.find(language == 2 ? "<html lang=\"en\">" : "<html lang=\"de\">"),
                      std::string::npos)
                << p.name;
            for (const char* phrase : outdated)
                EXPECT_EQ(html.find(phrase), std::string::npos)
                    << HelpLanguageFolder(language) << "/" << p.name << ": " << phrase;
        }
}

#ifdef HELP_BUILD_DIR
std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// What the build installs: every page in both languages, each the expanded template, with the
// section every help context leads to.
TEST(HelpPages, BuiltPagesAreTheExpandedTemplates) {
    const fs::path src = HELP_SOURCE_DIR, built = HELP_BUILD_DIR;
    for (int language : {1, 2}) {
        const std::string folder = HelpLanguageFolder(language);
        for (const HelpPage& p : HelpPages()) {
            const std::string file = std::string(p.name) + ".html";
            ASSERT_TRUE(fs::exists(built / folder / file)) << folder << "/" << file;
            const std::string page = ReadFile(built / folder / file);
            EXPECT_EQ(page, ExpandHelpTemplate(ReadFile(src / folder / file), language)) << file;
            EXPECT_EQ(page.find("<!--@"), std::string::npos) << file;
            EXPECT_NE(page.find(Translate(p.title, language)), std::string::npos) << file;
        }
        for (const HelpTarget& t : HelpTargets()) {
            if (!*t.anchor) continue;
            const std::string page = ReadFile(built / folder / (std::string(t.page) + ".html"));
            EXPECT_NE(page.find("name=\"" + std::string(t.anchor) + "\""), std::string::npos)
                << t.context;
        }
    }
}
#endif

} // namespace
} // namespace tv

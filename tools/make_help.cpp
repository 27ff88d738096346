// Builds the help pages: expands the generated tables of each page template and checks that
// every page of the contents and every help context exists in both languages.
#include "logic/HelpPages.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool ReadFile(const fs::path& p, std::string& text) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tervalis-help TEMPLATE_DIR OUTPUT_DIR\n";
        return 2;
    }
    const fs::path src = argv[1], dst = argv[2];
    int errors = 0;
    for (int language : {1, 2}) {
        const char* folder = tv::HelpLanguageFolder(language);
        std::error_code ec;
        fs::create_directories(dst / folder, ec);
        for (const auto& entry : fs::directory_iterator(src / folder, ec)) {
            if (entry.path().extension() != ".html") continue;
            std::string text;
            if (!ReadFile(entry.path(), text)) {
                std::cerr << entry.path() << ": cannot be read\n";
                ++errors;
                continue;
            }
            std::vector<std::string> unknown;
            const std::string page = tv::ExpandHelpTemplate(text, language, &unknown);
            for (const auto& u : unknown) {
                std::cerr << entry.path() << ": unknown marker " << u << "\n";
                ++errors;
            }
            const fs::path out = dst / folder / entry.path().filename();
            std::string old;
            if (ReadFile(out, old) && old == page) continue; // keep the time stamp
            std::ofstream o(out, std::ios::binary);
            o << page;
            if (!o) {
                std::cerr << out << ": cannot be written\n";
                ++errors;
            }
        }
        if (ec) {
            std::cerr << (src / folder) << ": " << ec.message() << "\n";
            ++errors;
        }
        for (const tv::HelpPage& p : tv::HelpPages()) {
            if (!fs::exists(src / folder / (std::string(p.name) + ".html"))) {
                std::cerr << folder << "/" << p.name << ".html is missing\n";
                ++errors;
            }
        }
        for (const tv::HelpTarget& t : tv::HelpTargets()) {
            std::string text;
            if (!ReadFile(src / folder / (std::string(t.page) + ".html"), text)) continue;
            if (*t.anchor &&
                text.find("name=\"" + std::string(t.anchor) + "\"") == std::string::npos) {
                std::cerr << folder << "/" << t.page << ".html lacks the section " << t.anchor
                          << " of help context " << t.context << "\n";
                ++errors;
            }
        }
    }
    return errors == 0 ? 0 : 1;
}

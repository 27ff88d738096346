#include "logic/Settings.h"

#include "core/UserHost.h"
#include "workbook/Codepage.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tv {

namespace {

constexpr const char* FileName = "tv5.ini";
constexpr char Separator = static_cast<char>(fs::path::preferred_separator);

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool SameName(const std::string& a, const std::string& b) {
    return Lower(a) == Lower(b);
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// A decimal integer as the settings file holds it; nullopt when it is none.
std::optional<int> ParseInt(const std::string& text) {
    std::string s = Trim(text);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// Raised for an unreadable value; stops the reading like any other read error.
struct ReadError {};

class Reader {
  public:
    explicit Reader(const IniFile& ini) : ini_(ini) {}
    void Int(const char* section, const char* key, int& v) const {
        const auto s = ini_.Get(section, key);
        if (!s) return;
        const auto x = ParseInt(*s);
        if (!x) throw ReadError{};
        v = *x;
    }
    void Bool(const char* section, const char* key, bool& v) const {
        int x = v ? 1 : 0;
        Int(section, key, x);
        v = x != 0;
    }
    void Text(const char* section, const char* key, std::string& v) const {
        if (const auto s = ini_.Get(section, key)) v = *s;
    }
    void Font(const char* section, FontSetting& f) const {
        Text(section, "Name", f.Name);
        Int(section, "Groesse", f.Size);
        Int(section, "Farbe", f.Colour); // verbatim
        Bool(section, "kursiv", f.Italic);
        Bool(section, "fett", f.Bold);
        Bool(section, "unterstrichen", f.Underline);
        Bool(section, "durchgestrichen", f.StrikeOut);
    }

  private:
    const IniFile& ini_;
};

constexpr const char* UpdateFailedTitle = "INI-Fehler##Settings file error";
constexpr const char* UpdateFailedText =
    "Fehler beim Aktualisieren der INI-Datei.\r\nBisherige Einstellungen bleiben erhalten.##"
    "Error updating the settings file.\r\nThe previous settings are kept.";

std::string B(bool v) {
    return v ? "1" : "0";
}
std::string I(int v) {
    return std::to_string(v);
}

void WriteFont(IniFile& ini, const char* section, const FontSetting& f) {
    ini.Set(section, "Name", f.Name);
    ini.Set(section, "Groesse", I(f.Size));
    ini.Set(section, "Farbe", I(f.Colour)); // verbatim
    ini.Set(section, "kursiv", B(f.Italic));
    ini.Set(section, "fett", B(f.Bold));
    ini.Set(section, "unterstrichen", B(f.Underline));
    ini.Set(section, "durchgestrichen", B(f.StrikeOut));
}

// An empty directory value would make "/" the data directory; it means the default.
std::string DirectoryOr(const std::string& value, const std::string& fallback) {
    return value.empty() ? fallback : WithTrailingSeparator(value);
}

} // namespace

bool IsValidUtf8(const std::string& bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int extra;
        unsigned cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(bytes[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string Cp1252ToUtf8(const std::string& bytes) {
    std::string out;
    codepage::Append1252(out, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return out;
}

IniFile IniFile::Parse(const std::string& raw) {
    std::string text = raw;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (!IsValidUtf8(text)) text = Cp1252ToUtf8(text);

    IniFile ini;
    std::istringstream in(text);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = Trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            const std::string name = Trim(t.substr(1, t.size() - 2));
            current = ini.Find(name);
            if (!current) {
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        Line l;
        l.text = line;
        const auto eq = t.find('=');
        if (eq != std::string::npos && t[0] != ';' && t[0] != '#') l.key = Trim(t.substr(0, eq));
        (current ? current->lines : ini.head_).push_back(l);
    }
    return ini;
}

std::string IniFile::Text() const {
    std::string out;
    for (const Line& l : head_)
        out += l.text + "\n";
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\n";
        for (const Line& l : s.lines)
            out += l.text + "\n";
    }
    return out;
}

IniFile::Section* IniFile::Find(const std::string& name) {
    for (Section& s : sections_)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::Find(const std::string& name) const {
    for (const Section& s : sections_)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    if (!s) return std::nullopt;
    for (const Line& l : s->lines) {
        if (l.key.empty() || !SameName(l.key, key)) continue;
        std::string v = Trim(l.text.substr(l.text.find('=') + 1));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        return v;
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>>
IniFile::Entries(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    if (const Section* s = Find(section))
        for (const Line& l : s->lines)
            if (!l.key.empty())
                if (auto v = Get(section, l.key)) out.emplace_back(l.key, *v);
    return out;
}

std::optional<std::string> WindowSettings::Get(const std::string& section,
                                               const std::string& key) const {
    const auto s = Sections.find(Lower(section));
    if (s == Sections.end()) return std::nullopt;
    const auto k = s->second.find(Lower(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second.Value;
}

bool WindowSettings::Flag(const std::string& section, const std::string& key, bool fallback) const {
    const auto v = Get(section, key);
    const auto x = v ? ParseInt(*v) : std::nullopt;
    return x ? *x != 0 : fallback;
}

void WindowSettings::Set(const std::string& section, const std::string& key,
                         const std::string& value) {
    Entry& e = Sections[Lower(section)][Lower(key)];
    if (e.Key.empty()) e.Key = key;
    e.Value = value;
}

void WindowSettings::SetFlag(const std::string& section, const std::string& key, bool value) {
    Set(section, key, value ? "1" : "0");
}

const std::vector<std::string>& WindowSettingSections() {
    // "SequGeneral" holds the tables' synchronisation switch, which the tables change.
    static const std::vector<std::string> names{"SequGeneral", "SequAbs",    "SequDiff",
                                                "SequGraph1",  "SequGraph2", "SequRapidGraph"};
    return names;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = Find(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (!l.key.empty() && SameName(l.key, key)) {
            l.text = l.key + "=" + value;
            return;
        }
    // New keys go after the section's last setting, before trailing blank lines.
    auto pos = s->lines.end();
    while (pos != s->lines.begin() && Trim((pos - 1)->text).empty())
        --pos;
    s->lines.insert(pos, Line{key, key + "=" + value});
}

std::string WithTrailingSeparator(std::string dir) {
    if (dir.empty() || dir.back() != Separator) dir += Separator;
    return dir;
}

std::string SettingsStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char date[32], time[32];
    std::strftime(date, sizeof date, "%d.%m.%Y", &tm);
    std::strftime(time, sizeof time, "%H:%M:%S", &tm);
    return std::string("Datum: ") + date + " Zeit: " + time;
}

SettingsFile::SettingsFile(std::string programDir, std::string userConfigDir, UserHost& host)
    : programDir_(WithTrailingSeparator(std::move(programDir))),
      userDir_(userConfigDir.empty() ? std::string()
                                     : WithTrailingSeparator(std::move(userConfigDir))),
      host_(host) {}

bool SettingsFile::ProgramDirWritable() const {
    const std::string ini = programDir_ + FileName;
    if (::access(programDir_.c_str(), W_OK) != 0) return false;
    return ::access(ini.c_str(), F_OK) != 0 || ::access(ini.c_str(), W_OK) == 0;
}

std::string SettingsFile::ReadPath() const {
    if (!readPath_.empty()) return readPath_;
    if (!userDir_.empty() && !ProgramDirWritable()) {
        std::error_code ec;
        if (fs::exists(userDir_ + FileName, ec)) return userDir_ + FileName;
    }
    return programDir_ + FileName;
}

std::string SettingsFile::WritePath() const {
    if (userDir_.empty() || ProgramDirWritable()) return programDir_ + FileName;
    return userDir_ + FileName;
}

std::optional<IniFile> SettingsFile::Load(const std::string& path, bool& readError) const {
    readError = false;
    std::error_code ec;
    if (!fs::exists(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        readError = true;
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        readError = true;
        return std::nullopt;
    }
    return IniFile::Parse(bytes.str());
}

int SettingsFile::ReadLanguage() const {
    bool error = false;
    const auto ini = Load(ReadPath(), error);
    if (!ini) return 1;
    const auto v = ini->Get("Land", "Sprache");
    const auto x = v ? ParseInt(*v) : std::nullopt;
    return x && *x == 2 ? 2 : 1;
}

std::string SettingsFile::DefaultDataDirectory() const {
    // An installed program's folder belongs to the system: models go to the user's home.
    const char* home = std::getenv("HOME");
    std::error_code ec;
    if (userDir_.empty() || ProgramDirWritable() || !home || !fs::is_directory(home, ec))
        return programDir_;
    return WithTrailingSeparator(home);
}

Settings SettingsFile::ReadSettings() {
    Settings s;
    s.DataDirectory = DefaultDataDirectory();
    s.WorkingDirectory = programDir_;
    s.Language = ReadLanguage();

    bool readError = false;
    const std::string path = ReadPath();
    const auto ini = Load(path, readError);
    if (!ini && !readError) {
        host_.ShowMessage("TERVALIS: Initialisierungsproblem##TERVALIS: start-up problem",
                          "TV5.INI-Datei fehlt im Programmverzeichnis.\r\n"
                          "Standardeinstellungen werden verwendet.##The TV5.INI file is missing "
                          "in the program directory.\r\nDefault settings are used.");
        return s;
    }
    try {
        if (readError) throw ReadError{};
        const Reader r(*ini);
        r.Bool("Umgebung", "EinstellungenSpeichern", s.SaveAtEnd);
        r.Bool("Umgebung", "Netz", s.NetworkInstallation);
        if (s.NetworkInstallation) s.SaveAtEnd = false;
        std::string dir;
        r.Text("Umgebung", "Datenverzeichnis", dir);
        s.DataDirectory = DirectoryOr(dir, DefaultDataDirectory());
        dir.clear();
        r.Text("Umgebung", "Arbeitsverzeichnis", dir);
        s.WorkingDirectory = DirectoryOr(dir, programDir_);
        r.Text("Internet", "Homepage", s.Homepage);
        r.Font("Bildschirmschrift", s.ScreenFont);
        r.Font("Druckerschrift", s.PrinterFont);
        r.Int("Grafikfarben", "Referenzkurven", s.ReferenceCurveColour);
        r.Int("Grafikfarben", "AktuelleKurven", s.CurrentCurveColour);
        r.Int("Grafikfarben", "AnpassungsPfad", s.PathColour);
        r.Int("Grafikfarben", "Hintergrund", s.BackgroundColour);
        r.Int("Linienstaerken", "Referenzkurven", s.ReferenceCurveWidth);
        r.Int("Linienstaerken", "AktuelleKurven", s.CurrentCurveWidth);
        r.Int("Linienstaerken", "AnpassungsPfad", s.PathWidth);
        r.Int("Grafikschrift", "Groesse", s.DiagramTextSize);
        // The language came from ReadLanguage; read again only so that a bad value is reported.
        int language = s.Language;
        r.Int("Land", "Sprache", language);
        r.Bool("OptionenAllgemein", "FlacheSchalter", s.FlatButtons);
        r.Bool("OptionenAllgemein", "Signalsound", s.Sound);    // verbatim
        r.Bool("Modelleingaben", "dauerhaft", s.DurableInputs); // verbatim
        r.Bool("Ansicht", "Funktionsleiste", s.FunctionBar);    // verbatim
        r.Bool("Ansicht", "NFX-Leiste", s.RuleBar);             // verbatim
        r.Bool("Lösung", "Infofenster", s.ShowSolveInfo);       // verbatim
        r.Bool("SequGeneral", "Synchron", s.Synchronous);
        for (const std::string& section : WindowSettingSections())
            for (const auto& [key, value] : ini->Entries(section))
                s.Windows.Set(section, key, value);
    } catch (const ReadError&) {
        host_.ShowMessage("TERVALIS: Initialisierungsfehler##TERVALIS: start-up error",
                          "Lese-Fehler bei TV5.INI.\r\nTeilsweise wird Standardbelegung verwendet."
                          "\r\nInternet-Integration ggfs. nicht verfügbar.##Error reading "
                          "TV5.INI.\r\nDefault settings are partly used.\r\nThe internet "
                          "connection may not be available.");
    }
    return s;
}

bool SettingsFile::WriteSettings(const Settings& s, const std::string& modelFileName,
                                 const std::string& stamp) {
    bool readError = false;
    // "Netz" as the files say now, not as they said at start.
    for (const std::string& p : {programDir_ + FileName, ReadPath()}) {
        const auto f = Load(p, readError);
        if (f) {
            const auto v = f->Get("Umgebung", "Netz");
            const auto x = v ? ParseInt(*v) : std::nullopt;
            if (x && *x != 0) return true;
        }
    }
    auto ini = Load(ReadPath(), readError).value_or(IniFile{});
    if (readError) {
        // Rewriting a file we could not read would drop every key we did not understand
        // (the network flag among them): keep it as it is.
        host_.ShowMessage(UpdateFailedTitle, UpdateFailedText);
        return false;
    }

    ini.Set("Umgebung", "EinstellungenSpeichern", B(s.SaveAtEnd));
    if (s.SaveAtEnd) {
        ini.Set("Info", "Stand", stamp);
        const fs::path dir = fs::path(modelFileName).parent_path();
        ini.Set("Umgebung", "Datenverzeichnis",
                dir.empty() ? s.DataDirectory : WithTrailingSeparator(dir.string()));
        ini.Set("Internet", "Homepage", s.Homepage);
        WriteFont(ini, "Bildschirmschrift", s.ScreenFont);
        WriteFont(ini, "Druckerschrift", s.PrinterFont);
        ini.Set("Grafikfarben", "Referenzkurven", I(s.ReferenceCurveColour));
        ini.Set("Grafikfarben", "AktuelleKurven", I(s.CurrentCurveColour));
        ini.Set("Grafikfarben", "AnpassungsPfad", I(s.PathColour));
        ini.Set("Grafikfarben", "Hintergrund", I(s.BackgroundColour));
        ini.Set("Linienstaerken", "Referenzkurven", I(s.ReferenceCurveWidth));
        ini.Set("Linienstaerken", "AktuelleKurven", I(s.CurrentCurveWidth));
        ini.Set("Linienstaerken", "AnpassungsPfad", I(s.PathWidth));
        ini.Set("Grafikschrift", "Groesse", I(s.DiagramTextSize));
        ini.Set("Land", "Sprache", I(s.Language));
        ini.Set("OptionenAllgemein", "FlacheSchalter", B(s.FlatButtons));
        ini.Set("OptionenAllgemein", "Signalsound", B(s.Sound));    // verbatim
        ini.Set("Modelleingaben", "dauerhaft", B(s.DurableInputs)); // verbatim
        ini.Set("Ansicht", "Funktionsleiste", B(s.FunctionBar));    // verbatim
        ini.Set("Ansicht", "NFX-Leiste", B(s.RuleBar));             // verbatim
        ini.Set("Lösung", "Infofenster", B(s.ShowSolveInfo));       // verbatim
        ini.Set("SequGeneral", "Synchron", B(s.Synchronous));
        for (const std::string& section : WindowSettingSections()) {
            const auto found = s.Windows.Sections.find(Lower(section));
            if (found == s.Windows.Sections.end()) continue;
            for (const auto& [lower, entry] : found->second)
                ini.Set(section, entry.Key, entry.Value);
        }
    }

    // Written beside the target and renamed over it: a failure keeps the previous file.
    const std::string path = WritePath();
    const std::string tmp = path + ".tmp";
    bool ok = true;
    {
        std::error_code ec;
        fs::create_directories(fs::path(path).parent_path(), ec);
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << ini.Text();
        out.flush();
        ok = out.good();
    }
    if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(tmp.c_str());
        host_.ShowMessage(UpdateFailedTitle, UpdateFailedText);
    }
    return ok;
}

} // namespace tv

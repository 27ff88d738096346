#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tv {

class UserHost;

// A plain INI text: "[Section]" lines and "Key=Value" lines. Section and key names compare
// without regard to ASCII case; other lines (comments, blanks) are kept as they are.
class IniFile {
  public:
    // Parses UTF-8 text (a byte-order mark is skipped); text that is not valid UTF-8 is
    // taken as Windows-1252.
    static IniFile Parse(const std::string& bytes);
    // UTF-8 text with "\n" line ends.
    std::string Text() const;

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // The keys and values of a section in file order (none when it is missing).
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);

  private:
    struct Line {
        std::string key; // empty for a comment or blank line
        std::string text;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };
    Section* Find(const std::string& name);
    const Section* Find(const std::string& name) const;

    std::vector<Line> head_; // lines before the first section
    std::vector<Section> sections_;
};

// Windows-1252 bytes to UTF-8.
std::string Cp1252ToUtf8(const std::string& bytes);
bool IsValidUtf8(const std::string& bytes);

struct FontSetting {
    std::string Name = "MS Sans Serif";
    int Size = 10;
    int Colour = 0;
    bool Italic = false, Bold = false, Underline = false, StrikeOut = false;
};

// The sections child windows keep in the settings file (visible series, chart slots):
// read at start, changed by the windows while the program runs, written at program end
// with the other settings. Section and key names compare without regard to ASCII case.
struct WindowSettings {
    struct Entry {
        std::string Key, Value; // the key as first written
    };
    // Lower-case section and key names to entries.
    std::map<std::string, std::map<std::string, Entry>> Sections;

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // A stored flag, or the fallback when the key is missing or not a number.
    bool Flag(const std::string& section, const std::string& key, bool fallback) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void SetFlag(const std::string& section, const std::string& key, bool value);
};
// The window sections taken over from the file.
const std::vector<std::string>& WindowSettingSections();

// Every user setting with its default.
struct Settings {
    bool SaveAtEnd = true;
    bool NetworkInstallation = false;
    std::string DataDirectory;    // with a trailing separator
    std::string WorkingDirectory; // with a trailing separator
    std::string Homepage;
    FontSetting ScreenFont;
    FontSetting PrinterFont;
    int ReferenceCurveColour = 8421504;
    int CurrentCurveColour = 0;
    int PathColour = 255;
    int BackgroundColour = 16777215;
    int ReferenceCurveWidth = 1;
    int CurrentCurveWidth = 2;
    int PathWidth = 1;
    int DiagramTextSize = 8; // points, 6..24
    int Language = 1;
    bool FlatButtons = true;
    bool Sound = false;
    bool DurableInputs = true;
    bool FunctionBar = true;
    bool RuleBar = true;
    bool ShowSolveInfo = true;
    bool Synchronous = true;
    WindowSettings Windows;

    // The save-settings entry: unchecked and disabled in a network installation.
    bool SaveOptionEnabled() const { return !NetworkInstallation; }
    std::string ModelFileName() const { return DataDirectory + "NEU.TV5"; }
    std::string ExportFileName() const { return DataDirectory + "neu.xls"; }
    std::string RulesFileName() const { return DataDirectory + "NEU.NFX"; }
};

// Appends the platform separator when missing.
std::string WithTrailingSeparator(std::string dir);
// "Datum: dd.mm.yyyy Zeit: hh:mm:ss" of now.
std::string SettingsStamp();

// The settings file "tv5.ini". It lives in the program directory; where that is not
// writable, a copy in the per-user configuration directory takes its place (read from
// there once it exists, written there always).
class SettingsFile {
  public:
    SettingsFile(std::string programDir, std::string userConfigDir, UserHost& host);

    std::string ReadPath() const;
    // Reads another file than the program's (the batch renderer's --settings).
    void SetReadPath(std::string path) { readPath_ = std::move(path); }
    std::string WritePath() const;
    // Where models and exports go unless the file names a folder: the program directory, or
    // the home folder when the program directory is not writable (an installed program).
    std::string DefaultDataDirectory() const;

    // The language alone, read before anything else; an unreadable value is the default.
    int ReadLanguage() const;
    // Reads every setting in the order of the file's table. A missing file and a read
    // error are reported; after an error the remaining settings keep their defaults.
    Settings ReadSettings();
    // Writes at program end. Nothing is written while "Netz" reads 1; with the save option
    // off only that option is written. A failed write leaves the previous file as it was
    // and is reported. Returns false on a write error.
    bool WriteSettings(const Settings& s, const std::string& modelFileName,
                       const std::string& stamp = SettingsStamp());

  private:
    bool ProgramDirWritable() const;
    std::optional<IniFile> Load(const std::string& path, bool& readError) const;

    std::string programDir_;
    std::string userDir_;
    std::string readPath_;
    UserHost& host_;
};

} // namespace tv

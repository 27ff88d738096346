#include "logic/Settings.h"

#include "FileSizeLimit.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sstream>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tv {
namespace {

// Root may write every file: a check of what a user may not write runs as nobody.
bool AsUnprivilegedUser(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 &&
                             ::setresgid(65534, 65534, 65534) == 0 &&
                             ::setresuid(65534, 65534, 65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() {
        root = fs::temp_directory_path() /
               ("tv5-settings-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "prog");
        prog = (root / "prog").string() + "/";
        user = (root / "user").string() + "/";
    }
    ~SettingsTest() override { fs::remove_all(root); }

    void WriteIni(const std::string& bytes) {
        std::ofstream(prog + "tv5.ini", std::ios::binary) << bytes;
    }
    std::string ReadIni(const std::string& dir) const {
        std::ifstream in(dir + "tv5.ini", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Said(const std::string& part) const {
        for (const auto& s : host.messages)
            if (s.find(part) != std::string::npos) return true;
        return false;
    }

    fs::path root;
    std::string prog, user;
    test::RecordingHost host;
};

TEST_F(SettingsTest, MissingFileGivesDefaultsAfterAMessage) {
    SettingsFile f(prog, user, host);
    const Settings s = f.ReadSettings();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(Said("TERVALIS: Initialisierungsproblem##"));
    EXPECT_TRUE(Said(": TV5.INI-Datei fehlt im Programmverzeichnis.\r\nStandardeinstellungen "
                     "werden verwendet.##"));
    EXPECT_EQ(s.Language, 1);
    EXPECT_TRUE(s.FlatButtons);
    EXPECT_FALSE(s.Sound);
    EXPECT_TRUE(s.FunctionBar);
    EXPECT_TRUE(s.SaveAtEnd);
    EXPECT_EQ(s.ScreenFont.Name, "MS Sans Serif");
    EXPECT_EQ(s.PrinterFont.Size, 10);
    EXPECT_EQ(s.ReferenceCurveColour, 8421504);
    EXPECT_EQ(s.BackgroundColour, 16777215);
    EXPECT_EQ(s.CurrentCurveWidth, 2);
    EXPECT_EQ(s.ModelFileName(), prog + "NEU.TV5");
    EXPECT_EQ(s.ExportFileName(), prog + "neu.xls");
    EXPECT_EQ(s.RulesFileName(), prog + "NEU.NFX");
    EXPECT_EQ(s.WorkingDirectory, prog);
}

TEST_F(SettingsTest, WrittenSettingsReadBackAndTheDataDirectoryFollowsTheModel) {
    Settings s;
    s.Language = 2;
    s.Homepage = "https://example.org/tv";
    s.ScreenFont = {"Liberation Sans", 12, 255, true, false, true, false};
    s.PrinterFont = {"Courier", 9, 7, false, true, false, true};
    s.ReferenceCurveColour = 1;
    s.CurrentCurveColour = 2;
    s.PathColour = 65280;
    s.BackgroundColour = 12632256; // a changed graph background survives a restart
    s.ReferenceCurveWidth = 3;
    s.CurrentCurveWidth = 4;
    s.PathWidth = 5;
    s.DiagramTextSize = 11;
    s.Windows.Set("SequAbs", "Reihen", "1,2");
    s.FlatButtons = false;
    s.Sound = true;
    s.DurableInputs = false;
    s.FunctionBar = false;
    s.RuleBar = false;
    s.ShowSolveInfo = false;
    s.Synchronous = false;
    fs::create_directories(root / "models");
    const std::string models = (root / "models").string();
    {
        SettingsFile f(prog, user, host);
        ASSERT_TRUE(f.WriteSettings(s, models + "/Lehre.TV5", "Datum: 01.02.2026 Zeit: 10:11:12"));
    }
    const std::string text = ReadIni(prog);
    EXPECT_NE(text.find("[Lösung]\nInfofenster=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Stand=Datum: 01.02.2026 Zeit: 10:11:12"), std::string::npos);
    const std::string stamp = SettingsStamp(); // by default: the local time of writing
    EXPECT_EQ(stamp.size(), 32u);
    EXPECT_GE(std::stoi(stamp.substr(13, 4)), 2024);
    EXPECT_EQ(text.find("Arbeitsverzeichnis"), std::string::npos); // never written

    SettingsFile f(prog, user, host);
    EXPECT_EQ(f.ReadLanguage(), 2);
    const Settings r = f.ReadSettings();
    EXPECT_TRUE(host.messages.empty()) << host.messages[0];
    EXPECT_EQ(r.DataDirectory, models + "/");
    EXPECT_EQ(r.ModelFileName(), models + "/NEU.TV5");
    EXPECT_EQ(r.Homepage, s.Homepage);
    EXPECT_EQ(r.ScreenFont.Name, "Liberation Sans");
    EXPECT_EQ(r.ScreenFont.Size, 12);
    EXPECT_EQ(r.ScreenFont.Colour, 255);
    EXPECT_TRUE(r.ScreenFont.Italic);
    EXPECT_TRUE(r.ScreenFont.Underline);
    EXPECT_TRUE(r.PrinterFont.Bold);
    EXPECT_EQ(r.PathColour, 65280);
    EXPECT_EQ(r.BackgroundColour, 12632256);
    EXPECT_EQ(r.ReferenceCurveWidth, 3);
    EXPECT_EQ(r.Language, 2);
    EXPECT_FALSE(r.FlatButtons);
    EXPECT_TRUE(r.Sound);
    EXPECT_FALSE(r.DurableInputs);
    EXPECT_FALSE(r.FunctionBar);
    EXPECT_FALSE(r.RuleBar);
    EXPECT_FALSE(r.ShowSolveInfo);
    EXPECT_FALSE(r.Synchronous);
    auto rest = [](const Settings& x) {
        const FontSetting& p = x.PrinterFont;
        return std::tuple(x.ReferenceCurveColour, x.CurrentCurveColour, x.CurrentCurveWidth,
                          x.PathWidth, x.DiagramTextSize, p.Name, p.Size, p.Colour, p.Italic,
                          p.Underline, p.StrikeOut, x.ScreenFont.Bold, x.ScreenFont.StrikeOut);
    };
    EXPECT_EQ(rest(r), rest(s));
    EXPECT_EQ(r.Windows.Get("sequabs", "REIHEN"), "1,2");
}

TEST_F(SettingsTest, NetworkInstallationNeverWrites) {
    const std::string ini = "[Umgebung]\r\nNetz=1\r\nEinstellungenSpeichern=1\r\n";
    WriteIni(ini);
    SettingsFile f(prog, user, host);
    Settings s = f.ReadSettings();
    EXPECT_TRUE(s.NetworkInstallation);
    EXPECT_FALSE(s.SaveAtEnd);
    EXPECT_FALSE(s.SaveOptionEnabled());
    s.SaveAtEnd = true;
    EXPECT_TRUE(f.WriteSettings(s, prog + "NEU.TV5"));
    EXPECT_EQ(ReadIni(prog), ini);
    EXPECT_FALSE(fs::exists(user + "tv5.ini"));
}

TEST_F(SettingsTest, SaveOptionOffWritesOnlyThatOption) {
    Settings s;
    s.SaveAtEnd = false;
    s.Language = 2;
    SettingsFile(prog, user, host).WriteSettings(s, "/elsewhere/x.TV5");
    EXPECT_EQ(ReadIni(prog), "[Umgebung]\nEinstellungenSpeichern=0\n");

    // An existing file keeps everything else, comments included.
    WriteIni("; Kommentar\n[Land]\nSprache=1\n\n[Umgebung]\nEinstellungenSpeichern=1\n");
    SettingsFile(prog, user, host).WriteSettings(s, "/elsewhere/x.TV5");
    EXPECT_EQ(ReadIni(prog),
              "; Kommentar\n[Land]\nSprache=1\n\n[Umgebung]\nEinstellungenSpeichern=0\n");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SettingsTest, DirectoriesWithoutTrailingSeparatorWork) {
    WriteIni("[Umgebung]\nDatenverzeichnis=/daten/tv\nArbeitsverzeichnis=/arbeit/\n");
    const Settings s = SettingsFile(prog, user, host).ReadSettings();
    EXPECT_EQ(s.ModelFileName(), "/daten/tv/NEU.TV5");
    EXPECT_EQ(s.WorkingDirectory, "/arbeit/");

    WriteIni("[Umgebung]\nDatenverzeichnis=\n");
    EXPECT_EQ(SettingsFile(prog, user, host).ReadSettings().DataDirectory, prog);
}

TEST_F(SettingsTest, UmlautSectionInBothEncodings) {
    for (const std::string& name : {std::string("L\xC3\xB6sung"), std::string("L\xF6sung")}) {
        const bool cp1252 = name.size() == 6;
        // The UTF-8 file starts with a byte-order mark.
        WriteIni(std::string(cp1252 ? "" : "\xEF\xBB\xBF") + "[" + name +
                 "]\r\nInfofenster=0\r\n[Internet]\r\nHomepage=\"http://x.test/" +
                 (cp1252 ? "\x80" : "\xE2\x82\xAC") + "\"\r\n");
        const Settings s = SettingsFile(prog, user, host).ReadSettings();
        EXPECT_FALSE(s.ShowSolveInfo) << name;
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(s.Homepage, "http://x.test/\xE2\x82\xAC"); // the euro sign
    }
}

TEST_F(SettingsTest, GarbledValueStopsTheReadingWithAMessage) {
    WriteIni("[Internet]\nHomepage=http://a.test\n[Bildschirmschrift]\nName=Courier\n"
             "Groesse=zwölf\n[Druckerschrift]\nGroesse=14\n[Land]\nSprache=2\n");
    const Settings s = SettingsFile(prog, user, host).ReadSettings();
    EXPECT_TRUE(Said("TERVALIS: Initialisierungsfehler##"));
    EXPECT_TRUE(Said(": Lese-Fehler bei TV5.INI."));
    EXPECT_EQ(s.Homepage, "http://a.test");
    EXPECT_EQ(s.ScreenFont.Name, "Courier");
    EXPECT_EQ(s.ScreenFont.Size, 10);
    EXPECT_EQ(s.PrinterFont.Size, 10);
    EXPECT_EQ(s.Language, 2); // the language was read first, on its own
}

TEST_F(SettingsTest, ValueForms) {
    WriteIni("[optionenallgemein]\nsignalsound = 7\nFlacheSchalter= 0 \n[Land]\nSprache=9\n"
             "[Grafikfarben]\nHintergrund=-1\n[Grafikschrift]\nGroesse=+12\n"
             "[UMGEBUNG]\nNETZ=1\n[ANSICHT]\nFUNKTIONSLEISTE=0\n[]\nNFX-Leiste=0\n[Internet]"
             "\nHomepage=a[1]\n"
             "[Bildschirmschrift]\nName=\"\n[Druckerschrift]\nName=\"\"\n");
    const Settings s = SettingsFile(prog, user, host).ReadSettings();
    EXPECT_TRUE(s.Sound);
    EXPECT_FALSE(s.FlatButtons);
    EXPECT_EQ(s.Language, 1);
    EXPECT_EQ(s.BackgroundColour, -1);
    EXPECT_EQ(s.DiagramTextSize, 12);
    EXPECT_TRUE(s.NetworkInstallation); // names in capitals
    EXPECT_FALSE(s.FunctionBar);
    EXPECT_TRUE(s.RuleBar);             // "[]" starts a section without a name
    EXPECT_EQ(s.Homepage, "a[1]");      // no section
    EXPECT_EQ(s.ScreenFont.Name, "\""); // a lone quote is kept
    EXPECT_EQ(s.PrinterFont.Name, "");
    EXPECT_TRUE(host.messages.empty());

    WriteIni("[Grafikfarben]\nReferenzkurven=99999999999\n");
    SettingsFile(prog, user, host).ReadSettings();
    EXPECT_TRUE(Said("Lese-Fehler")); // out of range
    host.messages.clear();
    WriteIni("[Land]\nSprache=zwei\n");
    SettingsFile(prog, user, host).ReadSettings();
    EXPECT_TRUE(Said("Lese-Fehler")); // the language is checked like every number
}

TEST_F(SettingsTest, FailedWriteKeepsThePreviousFile) {
    fs::create_directories(prog + "tv5.ini"); // a directory where the file should be
    Settings s;
    EXPECT_FALSE(SettingsFile(prog, user, host).WriteSettings(s, prog + "NEU.TV5"));
    EXPECT_TRUE(Said("INI-Fehler##"));
    EXPECT_TRUE(Said(": Fehler beim Aktualisieren der INI-Datei."));
    EXPECT_TRUE(fs::is_directory(prog + "tv5.ini"));
    EXPECT_FALSE(fs::exists(prog + "tv5.ini.tmp"));

    // A disk that fills up: the buffered text fails only when it is written out.
    fs::remove(prog + "tv5.ini");
    WriteIni("[Land]\nSprache=2\n");
    const bool written = test::WithFileSizeLimit(
        64, [&] { return SettingsFile(prog, user, host).WriteSettings(s, prog + "NEU.TV5"); });
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadIni(prog), "[Land]\nSprache=2\n");
    EXPECT_FALSE(fs::exists(prog + "tv5.ini.tmp"));
}

TEST_F(SettingsTest, AnUnreadableFileIsNotOverwritten) {
    WriteIni("[Umgebung]\nNetz=0\nEigenerSchluessel=7\n");
    fs::permissions(prog + "tv5.ini", fs::perms::owner_write | fs::perms::others_write);
    fs::permissions(prog, fs::perms::all);
    EXPECT_TRUE(AsUnprivilegedUser([&] {
        return !SettingsFile(prog, user, host).WriteSettings(Settings{}, prog + "NEU.TV5") &&
               Said("INI-Fehler");
    }));
    fs::permissions(prog + "tv5.ini", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_NE(ReadIni(prog).find("EigenerSchluessel=7"), std::string::npos);
}

TEST_F(SettingsTest, UnwritableProgramDirectoryUsesTheUserDirectory) {
    const std::string missing = (root / "nowhere").string();
    SettingsFile f(missing, user, host);
    EXPECT_EQ(f.ReadPath(), missing + "/tv5.ini");
    Settings s;
    s.Language = 2;
    ASSERT_TRUE(f.WriteSettings(s, "/m/a.TV5"));
    EXPECT_TRUE(fs::exists(user + "tv5.ini"));
    EXPECT_EQ(f.ReadPath(), user + "tv5.ini");
    EXPECT_EQ(SettingsFile(missing, user, host).ReadSettings().Language, 2);
}

TEST_F(SettingsTest, AReadOnlyFileInAWritableProgramDirectorySendsChangesToTheUserDirectory) {
    WriteIni("[Land]\nSprache=2\n");
    fs::permissions(prog + "tv5.ini",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(prog, fs::perms::all);
    const std::string expected = user + "tv5.ini";
    EXPECT_TRUE(
        AsUnprivilegedUser([&] { return SettingsFile(prog, user, host).WritePath() == expected; }));
}

TEST_F(SettingsTest, InstalledProgramKeepsModelsInTheHomeFolder) {
    const std::string system = (root / "nowhere").string(); // not writable: it does not exist
    const std::string home = (root / "home").string();
    fs::create_directories(home);
    const char* old = std::getenv("HOME");
    const std::string saved = old ? old : "";
    ::setenv("HOME", home.c_str(), 1);
    SettingsFile f(system, user, host);
    EXPECT_EQ(f.DefaultDataDirectory(), home + "/");
    EXPECT_EQ(f.ReadSettings().ModelFileName(), home + "/NEU.TV5");
    fs::create_directories(user);
    std::ofstream(user + "tv5.ini") << "[Land]\nSprache=2\n";
    const Settings s = f.ReadSettings();
    EXPECT_EQ(s.Language, 2);
    EXPECT_EQ(s.DataDirectory, home + "/");
    // A writable program directory keeps its models beside the program.
    EXPECT_EQ(SettingsFile(prog, user, host).DefaultDataDirectory(), prog);
    // A home that is no folder cannot take them either.
    ::setenv("HOME", (root / "gone").c_str(), 1);
    EXPECT_EQ(f.DefaultDataDirectory(), system + "/");
    ::setenv("HOME", saved.c_str(), 1);
}

TEST(IniText, Cp1252AndUtf8Detection) {
    EXPECT_TRUE(IsValidUtf8("L\xC3\xB6sung"));
    EXPECT_FALSE(IsValidUtf8("L\xF6sung"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));         // truncated
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF")); // overlong
    for (auto [bytes, valid] : {std::pair{"\xC2\xA7\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", true},
                                {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", true},
                                {"\xC1\xBF", false},
                                {"\xED\xA0\x80", false}, // a surrogate
                                {"\xF4\x90\x80\x80", false},
                                {"\xF5\x80\x80\x80", false},
                                {"\xC3\x28", false}})
        EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
    EXPECT_EQ(Cp1252ToUtf8("\xF6\x80\x9F"), "\xC3\xB6\xE2\x82\xAC\xC5\xB8");
    // The five unassigned bytes stay the C1 controls of the same value.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

} // namespace
} // namespace tv

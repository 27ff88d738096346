// The settings file shipped beside the program: it is read without a message and holds the
// defaults the program would use without it.

#include "logic/Settings.h"

#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace tv {
namespace {

namespace fs = std::filesystem;

TEST(ShippedSettings, AreTheDefaultsAndReadWithoutMessage) {
    const fs::path dir = fs::temp_directory_path() / ("tv5-shipped-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(SHIPPED_SETTINGS, dir / "tv5.ini", fs::copy_options::overwrite_existing);
    test::RecordingHost host;
    const Settings s = SettingsFile(dir.string(), {}, host).ReadSettings();
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    const Settings d;
    EXPECT_EQ(s.SaveAtEnd, d.SaveAtEnd);
    EXPECT_EQ(s.NetworkInstallation, d.NetworkInstallation);
    EXPECT_EQ(s.DataDirectory, dir.string() + "/");
    EXPECT_EQ(s.Homepage, "");
    EXPECT_EQ(s.ScreenFont.Name, d.ScreenFont.Name);
    EXPECT_EQ(s.ScreenFont.Size, d.ScreenFont.Size);
    EXPECT_EQ(s.ReferenceCurveColour, d.ReferenceCurveColour);
    EXPECT_EQ(s.CurrentCurveWidth, d.CurrentCurveWidth);
    EXPECT_EQ(s.Language, 1);
    EXPECT_EQ(s.FlatButtons, d.FlatButtons);
    EXPECT_EQ(s.Sound, d.Sound);
    EXPECT_EQ(s.DurableInputs, d.DurableInputs);
    EXPECT_EQ(s.FunctionBar, d.FunctionBar);
    EXPECT_EQ(s.RuleBar, d.RuleBar);
    EXPECT_EQ(s.ShowSolveInfo, d.ShowSolveInfo);
    EXPECT_EQ(s.Synchronous, d.Synchronous);
    fs::remove_all(dir);
}

} // namespace
} // namespace tv

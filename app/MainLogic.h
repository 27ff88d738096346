#pragma once

#include <string>

namespace tv {

class Model;

// Qt-free rules of the main window, kept apart so that they are testable without one.

// The question at program end, in the given language (1 German, 2 English).
std::string ExitQuestion(bool modelUnsaved, bool rulesUnsaved, int language);
constexpr const char* ExitTitle = "Was, schon Schluss?##Are you sure?";
constexpr const char* ExitHint =
    "| Heute ist nicht alle Tage, TERVALIS kommt wieder - keine Frage!##"
    "| Parting is such sweet sorrow - TERVALIS will be back tomorrow!";

// The status text a finished solution leaves (used after the start-up solution, which
// does not set one itself); bilingual.
std::string SolvedStatus(const Model& m);

// Labels of the base-window assignment buttons ("BF1= t", "BW2 = tR", ...).
std::string BaseButtonLabel(int pair, bool followsCurrent, int language);

// Half-screen cycle: the rectangle of step 0..3 for client width W and available height H.
struct HalfScreenRect {
    int left, top, width, height;
};
HalfScreenRect HalfScreen(int step, int W, int H);

// Function-bar strip scrolling. offset is 0 or negative; range is the strip's full width.
struct StripScroll {
    int offset = 0;
    bool leftArrow = false;
    bool rightArrow = false;
};
StripScroll StripReset(int visibleWidth, int range);
StripScroll StripScrollRight(int offset, int visibleWidth, int range);
StripScroll StripScrollLeft(int offset, int visibleWidth, int range);

// Bits of MSG_NUMBER_FORMAT: 1 integer digits changed, 2 decimals changed.
int NumberFormatBits(int oldInteger, int newInteger, int oldDecimals, int newDecimals);

// The model file's base name as the status bar shows it (up to the first ".").
std::string ModelBaseName(const std::string& path);

// The file name made of the command-line arguments (joined with blanks, so that a path
// with blanks arrives whole).
std::string CommandLineFileName(int argc, const char* const* argv);

} // namespace tv

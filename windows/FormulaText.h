#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tv {

// Equation texts carry a small markup: "~" toggles raised and "§" toggles lowered text.
// This is the drawing-independent half of DrawFormulaText: it decides which pieces go
// where; a painter only has to write the runs.

// The text without the markup characters.
std::string StripMarkup(std::string_view text);
// The English reading of the German abbreviations in equation texts ("~erw~" is "~exp~").
std::string EnglishFormula(std::string text);

// What the layout needs to know about the font of the canvas.
class FormulaMetrics {
  public:
    virtual ~FormulaMetrics() = default;
    virtual int Width(std::string_view text) const = 0;
    virtual int Height(std::string_view text) const = 0;
    virtual int PointSize() const = 0;
    // A printer scales the raise by the character height instead of the point size.
    virtual bool Printer() const { return false; }
};

struct FormulaRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

// One piece of text written at (X, Y), Y being its top. Shift > 0 is raised, < 0 lowered.
struct FormulaRun {
    std::string Text;
    int X = 0;
    int Y = 0;
    int Shift = 0;
    bool Highlight = false;
    bool operator==(const FormulaRun&) const = default;
};

// Splits `text` into runs placed inside `rect`: vertically centred, starting at
// rect.Left + xOffset or centred horizontally. Every occurrence of `highlight` is marked.
// A "*" is written as a bullet. `language` 2 applies the English reading first.
std::vector<FormulaRun> LayoutFormulaText(const FormulaMetrics& metrics, FormulaRect rect,
                                          int xOffset, std::string_view highlight,
                                          std::string_view text, bool centred, int language);

} // namespace tv

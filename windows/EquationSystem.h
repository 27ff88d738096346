#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tv {

class Model;

// One line of the equation tree: its text in equation markup (already in the display
// language), its depth (0 = market) and the code that says which input dialog page its
// parameters are entered on (0: none).
struct EquationLine {
    std::string Text;
    int Level = 0;
    int Code = 0;
};

// The equation system of one period as a tree, lines in display order (each line's
// children follow it with a larger level).
struct EquationSystem {
    int Period = 0;
    std::vector<EquationLine> Lines;

    // The first line with this exact text prefix, or -1.
    int Find(const std::string& prefix) const;
};

// Builds the tree for period t from the model's switches, expectation settings and the
// parameters and variables of t. Language 1 German, 2 English.
EquationSystem BuildEquationSystem(const Model& m, int t, int language);

// Line-code table of one equation window: the code of every tree line, asked by the
// result window of the same pair.
class LineCodeTable {
  public:
    void Clear() { codes_.clear(); }
    void Assign(const EquationSystem& system);
    // Code of tree line `index` (0-based); 0 for lines that do not exist.
    int CodeOf(int index) const;
    bool Has(int code) const;
    int Size() const { return static_cast<int>(codes_.size()); }

  private:
    std::vector<uint8_t> codes_;
};

// The process-wide tables of equation windows 1 and 2.
LineCodeTable& LineCodes(int window);

// The input dialog a line code opens: the sector dialog (1 goods demand, 2 goods supply,
// 3 distribution, 4 bond market, 5 foreign-exchange market, 6 expectations) and its page.
struct DialogPage {
    int Dialog = 0; // 0: the code opens nothing
    int Page = 0;
    bool operator==(const DialogPage&) const = default;
};
DialogPage DialogForCode(int code);
// The page each of the six input dialogs opens with (index 0..5; initially 1, 1, 1, 1, 1, 0).
std::array<int, 6>& DialogStartPage();

// The value as equation texts write it: general format, up to 15 significant digits.
std::string EquationValue(double x, char separator = '.');

// " Modellstruktur für t=" and the period, in the language.
std::string EquationTitle(int period, int language);

} // namespace tv

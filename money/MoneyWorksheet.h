#pragma once

#include <array>
#include <string>
#include <vector>

namespace tv {

class Model;

// The aggregate multiplier process of period t round by round: for each of the columns
// 1..8 (KR, dÜR, MB, ÜR, MR, BG, SE, M) the values of rounds 0..n and the limit.
struct WorksheetValues {
    static constexpr int Columns = 9; // column 0 is the round number
    int Rounds = 0;
    std::array<std::vector<double>, Columns> Round; // [column][round]
    std::array<double, Columns> Limit{};
};

// Rounds are clamped to 1..100.
WorksheetValues ComputeWorksheet(const Model& m, int t, int rounds);
int ClampWorksheetRounds(int rounds);

struct WorksheetOptions {
    bool Differences = false;
    bool Real = false;
};

// The table as the window shows it: 9 headings, the two header strips above it and
// n + 4 rows of 9 cells each (rounds 0..n, "...", the limit row, the sum row).
struct WorksheetTable {
    std::array<std::string, WorksheetValues::Columns> Headings;
    std::string BaseStrip;  // over columns 3..5
    std::string MoneyStrip; // over columns 6..7
    std::vector<std::array<std::string, WorksheetValues::Columns>> Rows;
};

WorksheetTable BuildWorksheetTable(const Model& m, int t, const WorksheetValues& values,
                                   const WorksheetOptions& options, int language);

} // namespace tv

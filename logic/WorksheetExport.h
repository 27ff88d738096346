#pragma once

// What the worksheet export writes: one column per chosen quantity, one row per period.

#include <string>
#include <vector>

namespace tv {

class Model;
class XlsWriter;

// A quantity is named by its kind and number; its (translated) name is only a label.
struct ExportItem {
    bool parameter = false;
    int number = 1; // variables 1..63, parameters 1..64
    bool operator==(const ExportItem&) const = default;
};

struct ExportChoice {
    std::vector<ExportItem> items; // in column order
    bool symbolsOnly = false;
    bool timeIndex = false;
    int from = 0, to = 100;
};

// The list text of a quantity in the given language; moneyCreation: switch 18 = 1, under
// which some parameters carry another name.
std::string ExportItemText(const ExportItem& item, int language, bool moneyCreation);
// The column header: the list text, or with symbols only the text in its parentheses
// ("nicht belegt##no entry" translated when there is none).
std::string ExportHeader(const std::string& itemText, bool symbolsOnly, int language);
// First and last exported period: ordered and held inside the stores.
std::pair<int, int> ExportRange(int from, int to);
// Writes the cells into an open workbook (the current sheet).
void WriteExportCells(const Model& m, const ExportChoice& choice, XlsWriter& w);
// Writes the whole workbook with one sheet "TERVALIS" to fileName (empty: kept in memory).
// Throws WorkbookError.
void ExportWorksheet(const Model& m, const ExportChoice& choice, XlsWriter& w,
                     const std::string& fileName);

} // namespace tv

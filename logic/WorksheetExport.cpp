#include "logic/WorksheetExport.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "workbook/XlsWrite.h"

#include <algorithm>

namespace tv {

std::string ExportItemText(const ExportItem& item, int language, bool moneyCreation) {
    if (item.number < 1 || item.number > (item.parameter ? ParCount : VarCount)) return {};
    return Translate(item.parameter ? ParamName(item.number, moneyCreation) : VarName(item.number),
                     language);
}

std::string ExportHeader(const std::string& itemText, bool symbolsOnly, int language) {
    if (!symbolsOnly) return itemText;
    const auto open = itemText.find('(');
    if (open == std::string::npos) return Translate("nicht belegt##no entry", language);
    std::string symbol = itemText.substr(open + 1);
    if (!symbol.empty()) symbol.pop_back();
    return symbol;
}

std::pair<int, int> ExportRange(int from, int to) {
    // Parameters are stored from period -1, variables further back; both end at LastPeriod.
    const int first = std::clamp(std::min(from, to), FirstParPeriod, LastPeriod);
    const int last = std::clamp(std::max(from, to), FirstParPeriod, LastPeriod);
    return {first, last};
}

void WriteExportCells(const Model& m, const ExportChoice& choice, XlsWriter& w) {
    const auto [first, last] = ExportRange(choice.from, choice.to);
    const int offset = choice.timeIndex ? 1 : 0;
    if (choice.timeIndex) {
        w.WriteString(0, 0, "t");
        for (int t = first; t <= last; ++t)
            w.WriteString(0, t - first + 1, std::to_string(t));
    }
    for (size_t j = 0; j < choice.items.size(); ++j) {
        const ExportItem& item = choice.items[j];
        const int col = offset + int(j);
        w.WriteString(col, 0,
                      ExportHeader(ExportItemText(item, m.Language, m.Sw(18) == 1),
                                   choice.symbolsOnly, m.Language));
        const int limit = item.parameter ? ParCount : VarCount;
        if (item.number < 1 || item.number > limit) continue; // header only
        for (int t = first; t <= last; ++t) {
            const double x =
                item.parameter ? m.ModelPar(t, item.number) : m.ModelVar(t, item.number);
            w.WriteNumber(col, t - first + 1, x);
        }
    }
}

void ExportWorksheet(const Model& m, const ExportChoice& choice, XlsWriter& w,
                     const std::string& fileName) {
    w.FileName = fileName;
    w.Sheets = {"TERVALIS"};
    if (fileName.empty())
        w.OpenMemory();
    else
        w.OpenFile();
    WriteExportCells(m, choice, w);
    w.CloseFile();
}

} // namespace tv

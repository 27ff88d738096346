#pragma once

// Reads spreadsheet workbooks in the binary formats BIFF2 to BIFF8: plain BIFF streams and
// compound documents with a "Workbook" (preferred) or "Book" stream.
//
// Walking the whole workbook with events:
//   XlsReader r;
//   r.FileName = "model.tv5";
//   r.OnSheet = [](std::string_view name, int index, bool& readIt) { readIt = index == 0; };
//   r.OnNumberCell = [&](int col, int row, int xf, double v, bool formula) { ... };
//   r.Read();
//
// Single cells:
//   r.Open();
//   CellValue v;
//   if (r.ReadCell(0, 99, 0, v)) ...   // sheet, column, row
//   r.Close();
//
// Rows and columns count from 0. Texts arrive as UTF-8. Failures throw WorkbookError.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tv {

enum class XlsErrorLevel { xelException, xelMessage, xelIgnore };

// Empty (missing, blank or error cell), number, text or boolean.
using CellValue = std::variant<std::monostate, double, std::string, bool>;

struct FormatRun {
    uint16_t CharPos;
    uint16_t FontIndex;
};

class XlsReader {
  public:
    std::string FileName;
    // xelException: failures throw. xelMessage: OnError gets the text first, then it throws.
    // xelIgnore: Read and Open stop quietly, ReadCell returns false; LastError() has the text.
    XlsErrorLevel ErrorLevel = XlsErrorLevel::xelException;
    // 0: the workbook's own code page. Only Windows-1252 and Latin-1 (28591) are told apart.
    int Codepage = 0;

    // Events of Read(). FormatIndex is the cell's XF index. Date and time values are serial
    // days in the 1900 date system (1904 workbooks are converted).
    std::function<void(std::string_view name, int index, bool& readIt)> OnSheet;
    std::function<void(int col, int row, int formatIndex, double value, bool isFormulaValue)>
        OnNumberCell;
    std::function<void(int col, int row, int formatIndex, double value, bool isFormulaValue)>
        OnDateTimeCell;
    std::function<void(int col, int row, int formatIndex, std::string_view value,
                       bool isFormulaValue)>
        OnStringCell;
    std::function<void(int col, int row, int formatIndex, bool value, bool isFormulaValue)>
        OnBoolCell;
    std::function<void(int col, int row, int formatIndex)> OnBlankCell;
    std::function<void(int col, int row, int formatIndex, std::string_view value,
                       std::span<const FormatRun> formatting)>
        OnRichCell;
    std::function<void(int col1, int col2, int formatIndex, int width)> OnCol;
    // col2 is the last column with a cell.
    std::function<void(int row, int col1, int col2, int formatIndex, int height)> OnRow;
    std::function<void(uint16_t type, std::span<const uint8_t> data)> OnRecord;
    std::function<void(uint16_t type, std::span<const uint8_t> data)> OnUnhandled;
    std::function<void(int percent)> OnProgress;
    std::function<void(const std::string& message)> OnError;

    XlsReader();
    ~XlsReader();
    XlsReader(const XlsReader&) = delete;
    XlsReader& operator=(const XlsReader&) = delete;

    // Reads from these bytes instead of FileName until ClearBuffer().
    void SetBuffer(std::vector<uint8_t> bytes);
    void ClearBuffer();

    // Walks the whole workbook and fires the events; does nothing while Open().
    void Read();
    // Random access: Open, any number of ReadCell, Close.
    void Open();
    void Close();
    bool IsOpen() const { return open_; }
    // True when the cell exists; value is then its number, text or boolean (empty for blank
    // and error cells).
    bool ReadCell(int sheetIndex, int col, int row, CellValue& value);

    // 2, 3, 4, 5 or 8: the format of the workbook last opened or read.
    int BiffVersion() const { return biff_; }
    const std::string& LastError() const { return lastError_; }

  private:
    void Load();
    void Walk();
    void LoadGlobals();
    bool FindInSheet(size_t pos, int col, int row, CellValue& value, bool stopAtDbcell);
    bool FindViaIndex(size_t indexPos, int col, int row, CellValue& value);
    bool CellAt(size_t pos, int col, int row, CellValue& value);
    void Fail(const std::exception& e);

    std::vector<uint8_t> buffer_;
    bool useBuffer_ = false;
    std::vector<uint8_t> stream_;
    int biff_ = 0;
    bool open_ = false;
    bool globalsLoaded_ = false;
    std::vector<uint32_t> sheetOffsets_;
    std::string sstPool_;
    std::vector<uint32_t> sstStart_; // string k is sstPool_[sstStart_[k], sstStart_[k + 1])
    int codepage_ = 1252;
    std::string lastError_;
    std::string text_; // reused for every text cell
};

} // namespace tv

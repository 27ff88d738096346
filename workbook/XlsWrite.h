#pragma once

// Writes spreadsheet workbooks in the Excel 5.0 binary format (BIFF5, stream "Book" in a
// compound document) with number and text cells.
//
//   XlsWriter w;
//   w.FileName = "model.tv5";
//   w.Sheets = {"TERVALIS"};
//   w.OpenFile();              // global part, then the first sheet starts
//   w.WriteNumber(0, 9, 1.5);  // column, row, value
//   w.CloseFile();             // the file is written here
//
// OpenMemory() instead of OpenFile() keeps the workbook in memory (Bytes() after CloseFile).
// Every failure throws WorkbookError with the text the user sees.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

enum class XlsVersion { xls40, xls50, xls97 };

enum SheetOption : unsigned { soGridlines = 1, soRowColHeadings = 2, soProtected = 4 };

enum FontStyle : unsigned { xfsBold = 1, xfsItalic = 2, xfsStrikeOut = 4 };
enum class SubSuperScript : uint8_t { None = 0, Super = 1, Sub = 2 };

struct ExcelFont {
    std::string Name = "Arial";
    double Size = 10; // points
    unsigned Style = 0;
    SubSuperScript Script = SubSuperScript::None;
    uint8_t Underline = 0; // 0 none, 1 single, 2 double
    uint8_t Charset = 0;
    uint16_t Color = 0x7FFF; // palette index; 0x7FFF is the window text colour
    bool operator==(const ExcelFont&) const = default;
};

enum PageOption : unsigned {
    poLeftToRight = 0x01,
    poPortrait = 0x02,
    poNoColor = 0x08,
    poDraft = 0x10,
    poNotes = 0x20
};

// Defaults are the values the program prints its workbooks with; a negative margin is not
// written.
struct XlsPageSetup {
    uint16_t Copies = 0;
    unsigned Options = poPortrait;
    uint16_t ScalingFactor = 46;
    uint16_t StartingPage = 1;
    double HeaderMargin = 0.5;
    double FooterMargin = 0.5;
    double MarginLeft = -1, MarginRight = -1, MarginTop = -1, MarginBottom = -1;
};

enum class CellTextFormat {
    tfGeneral,
    tf2Dec,
    tf0Dec1000,
    tf2Dec1000,
    tfPercent,
    tfCurrency0Dec,
    tfCurrency2Dec,
    tfDate,
    tfTime,
    tfText,
    tfUser
};

enum class HorizAlignment : uint8_t { General, Left, Center, Right, Fill, Justify, CenterAcross };
enum class VertAlignment : uint8_t { Top, Center, Bottom };
enum CellBorder : unsigned { cbLeft = 1, cbRight = 2, cbTop = 4, cbBottom = 8 };

// Format k of XlsWriter::Formats is used by passing k as the format of a cell.
struct CellFormat {
    std::optional<ExcelFont> Font; // none: the writer's font
    CellTextFormat TextFormat = CellTextFormat::tfGeneral;
    std::string TextFormatUser; // the format text for tfUser, e.g. "0.000"
    bool WrapText = false;
    int CellColor = -1; // palette index of a solid fill; -1 none
    bool Locked = true, Hidden = false;
    HorizAlignment Horiz = HorizAlignment::General;
    VertAlignment Vert = VertAlignment::Bottom;
    unsigned Border = 0; // CellBorder flags, thin black lines
};

// Texts of the currency, date and time formats (the writer's FORMAT records 54 to 57).
struct XlsLocale {
    std::string CurrencyFormat0 = "#,##0 \"\xE2\x82\xAC\"";
    std::string CurrencyFormat2 = "#,##0.00 \"\xE2\x82\xAC\"";
    std::string ShortDate = "dd.mm.yyyy";
    std::string LongTime = "hh:mm:ss";
};

class XlsWriter {
  public:
    std::string FileName;
    std::vector<std::string> Sheets{"Sheet1"};
    unsigned Options = soGridlines | soRowColHeadings;
    std::vector<CellFormat> Formats;
    ExcelFont Font;
    XlsPageSetup PageSetup;
    XlsLocale Locale;
    bool WriteGlobalData = false;
    int ReservedExtnamesSize = 256; // clamped to 256 .. MaxBuffsize() when the file opens
    // Called with the type and data of each record before it is written.
    std::function<void(uint16_t type, std::span<const uint8_t> data)> OnWriteData;

    XlsWriter();
    ~XlsWriter();
    XlsWriter(const XlsWriter&) = delete;
    XlsWriter& operator=(const XlsWriter&) = delete;

    XlsVersion GetXlsVersion() const { return version_; }
    void SetXlsVersion(XlsVersion v);
    int MaxBuffsize() const { return version_ == XlsVersion::xls97 ? 8224 : 2080; }
    bool FileIsOpen() const { return open_; }
    int CurrSheetIndex() const { return sheet_; }

    // Creates the file and writes the global part; unless WriteGlobalData, the first sheet
    // starts at once.
    void OpenFile();
    // As OpenFile, without a file: CloseFile leaves the workbook in Bytes().
    void OpenMemory();
    // format -1 is the default cell format, k the k-th entry of Formats.
    void WriteNumber(int col, int row, double value, int format = -1);
    // Texts are UTF-8 and stored in Windows-1252; an empty text writes nothing.
    void WriteString(int col, int row, std::string_view text, int format = -1);
    void NextSheet();
    // Finishes every sheet and writes the file; does nothing when no file is open.
    void CloseFile();

    // The compound document written by the last CloseFile after OpenMemory.
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    void Open(bool toFile);
    uint8_t* Record(uint16_t type, size_t length);
    void Notify(size_t recordStart);
    void Word(uint16_t type, uint16_t value);
    void WriteGlobals();
    void StartSheet();
    void CloseSheet();
    void Window1();
    uint16_t CellXf(int col, int row, int format) const;

    XlsVersion version_ = XlsVersion::xls50;
    bool open_ = false;
    bool toFile_ = false;
    std::string path_;
    int sheet_ = -1;                      // -1 while in the global part
    std::vector<std::string> sheetNames_; // Windows-1252
    std::vector<size_t> boundSheetPos_;
    std::vector<uint8_t> stream_;
    std::vector<uint8_t> bytes_;
};

} // namespace tv

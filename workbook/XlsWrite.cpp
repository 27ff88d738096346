#include "workbook/XlsWrite.h"

#include "workbook/ByteIo.h"
#include "workbook/Codepage.h"
#include "workbook/CompoundDocument.h"
#include "workbook/WorkbookError.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace tv {

using namespace bytes;

namespace {

constexpr uint16_t BiffVersion = 0x0500;
constexpr uint16_t Build = 3515;
constexpr uint16_t Year = 1998;
constexpr uint16_t DefaultXf = 15;
constexpr int StandardXfCount = 16;
constexpr int FirstUserFormat = 59;

// The standard colours 8 to 63 as red, green, blue.
constexpr uint32_t Palette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// Pattern colour 64 and background colour 65 (system colours), no fill.
constexpr uint32_t NoFill = 0x40 | (0x41 << 7);

struct Xf {
    uint16_t Font = 0, Format = 0, TypeProt = 0;
    uint8_t Align = 0x20, Used = 0;
    uint32_t Fill = NoFill, Lines = 0;
};

std::string Cp(std::string_view utf8) {
    return codepage::Utf8To1252(utf8);
}

std::string CellMessage(int row, int col, const char* what) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Cell R%d,C%d: %s", row, col, what);
    return buf;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

} // namespace

XlsWriter::XlsWriter() = default;

XlsWriter::~XlsWriter() = default;

void XlsWriter::SetXlsVersion(XlsVersion v) {
    if (open_) throw WorkbookError(wbmsg::VersionWhileOpen);
    version_ = v;
}

uint8_t* XlsWriter::Record(uint16_t type, size_t length) {
    size_t at = stream_.size();
    stream_.resize(at + 4 + length);
    uint8_t* p = stream_.data() + at;
    Put16(p, type);
    Put16(p + 2, uint16_t(length));
    return p + 4;
}

void XlsWriter::Notify(size_t recordStart) {
    if (!OnWriteData) return;
    const uint8_t* p = stream_.data() + recordStart;
    OnWriteData(U16(p), std::span<const uint8_t>(p + 4, U16(p + 2)));
}

void XlsWriter::Word(uint16_t type, uint16_t value) {
    size_t at = stream_.size();
    Put16(Record(type, 2), value);
    Notify(at);
}

void XlsWriter::OpenFile() {
    Open(true);
}

void XlsWriter::OpenMemory() {
    Open(false);
}

void XlsWriter::Open(bool toFile) {
    if (open_) throw WorkbookError(wbmsg::AlreadyOpen);
    std::string path = Trim(FileName);
    if (toFile && path.empty()) throw WorkbookError(wbmsg::FilenameMissing);
    if (version_ != XlsVersion::xls50) throw WorkbookError(wbmsg::VersionNotSupported);
    std::vector<std::string> names;
    for (const auto& s : Sheets.empty() ? std::vector<std::string>{"Sheet1"} : Sheets) {
        if (s.empty()) throw WorkbookError(wbmsg::SheetNameMissing);
        std::string n = Cp(s);
        // A sheet name longer than 31 characters makes the workbook unreadable elsewhere.
        if (n.size() > 31) throw WorkbookError(wbmsg::SheetNameTooLong);
        names.push_back(std::move(n));
    }
    for (size_t k = 0; k < Formats.size(); ++k)
        if (Cp(Formats[k].TextFormatUser).size() > 255 ||
            (Formats[k].Font && Cp(Formats[k].Font->Name).size() > 255))
            throw WorkbookError(wbmsg::UnknownFormat);
    if (toFile) {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        if (!f) throw WorkbookError(std::string(wbmsg::CannotCreate) + " \"" + path + "\"");
    }
    ReservedExtnamesSize = std::clamp(ReservedExtnamesSize, 256, MaxBuffsize());
    toFile_ = toFile;
    path_ = path;
    sheetNames_ = std::move(names);
    boundSheetPos_.clear();
    stream_.clear();
    stream_.reserve(1 << 16);
    bytes_.clear();
    sheet_ = -1;
    open_ = true;
    WriteGlobals();
    if (!WriteGlobalData) NextSheet();
}

void XlsWriter::WriteGlobals() {
    const uint16_t sheetCount = uint16_t(sheetNames_.size());
    size_t at = stream_.size();
    uint8_t* p = Record(0x0809, 8);
    Put16(p, BiffVersion);
    Put16(p + 2, 0x0005);
    Put16(p + 4, Build);
    Put16(p + 6, Year);
    Notify(at);

    at = stream_.size();
    p = Record(0x005C, 32);
    std::fill(p + 1, p + 31, uint8_t(' '));
    Notify(at);

    Word(0x0042, 1252);
    Word(0x009C, 14);
    Word(0x0016, sheetCount);
    for (const auto& name : sheetNames_) {
        at = stream_.size();
        p = Record(0x0017, name.size() + 2);
        p[0] = uint8_t(name.size() + 1);
        p[1] = 0x03;
        std::copy(name.begin(), name.end(), p + 2);
        Notify(at);
    }
    Word(0x0019, 0);
    Word(0x0012, (Options & soProtected) ? 1 : 0);
    Word(0x0013, 0);
    Window1();
    Word(0x0040, 0);
    Word(0x008D, 0);
    Word(0x0022, 0);
    Word(0x000E, 1);
    Word(0x01B7, 0);
    Word(0x00DA, 0);

    // Number formats: the fixed ones, then the user format texts.
    auto format = [&](uint16_t index, const std::string& text) {
        size_t start = stream_.size();
        uint8_t* q = Record(0x041E, text.size() + 3);
        Put16(q, index);
        q[2] = uint8_t(text.size());
        std::copy(text.begin(), text.end(), q + 3);
        Notify(start);
    };
    format(50, "0.00");
    format(51, "#,##0");
    format(52, "#,##0.00");
    format(53, "0.00%");
    format(54, Cp(Locale.CurrencyFormat0));
    format(55, Cp(Locale.CurrencyFormat2));
    format(56, Cp(Locale.ShortDate));
    format(57, Cp(Locale.LongTime));
    format(58, "@");
    for (size_t k = 0; k < Formats.size(); ++k)
        if (Formats[k].TextFormat == CellTextFormat::tfUser)
            format(uint16_t(FirstUserFormat + k), Cp(Formats[k].TextFormatUser));

    // Fonts of the user formats that differ from the writer's font; font index 4 does not
    // exist, so the seventh font record has index 7.
    std::vector<ExcelFont> userFonts;
    for (const auto& f : Formats)
        if (f.Font && !(*f.Font == Font) &&
            std::find(userFonts.begin(), userFonts.end(), *f.Font) == userFonts.end())
            userFonts.push_back(*f.Font);

    // Cell formats: 15 style formats, the default cell format 15, then one per user format.
    Xf xfs[StandardXfCount];
    for (int k = 0; k < 15; ++k) {
        xfs[k].TypeProt = 0xFFF5;
        xfs[k].Used = k == 0 ? 0x00 : 0xF4;
    }
    xfs[1].Font = xfs[2].Font = 1;
    xfs[3].Font = xfs[4].Font = 2;
    const uint16_t styleFormats[5] = {43, 41, 44, 42, 9}; // comma, comma 0, currency, ..., percent
    for (int k = 0; k < 5; ++k) {
        xfs[10 + k].Font = 1;
        xfs[10 + k].Format = styleFormats[k];
        xfs[10 + k].Used = 0xF8;
    }
    xfs[15].TypeProt = 0x0001;
    auto writeXf = [&](const Xf& x) {
        size_t start = stream_.size();
        uint8_t* q = Record(0x00E0, 16);
        Put16(q, x.Font);
        Put16(q + 2, x.Format);
        Put16(q + 4, x.TypeProt);
        q[6] = x.Align;
        q[7] = x.Used;
        Put32(q + 8, x.Fill);
        Put32(q + 12, x.Lines);
        Notify(start);
    };
    for (const auto& x : xfs)
        writeXf(x);
    for (size_t k = 0; k < Formats.size(); ++k) {
        const CellFormat& f = Formats[k];
        Xf x;
        if (f.Font && !(*f.Font == Font)) {
            size_t i =
                size_t(std::find(userFonts.begin(), userFonts.end(), *f.Font) - userFonts.begin());
            x.Font = uint16_t(7 + i);
        }
        if (f.TextFormat == CellTextFormat::tfUser)
            x.Format = uint16_t(FirstUserFormat + k);
        else if (f.TextFormat != CellTextFormat::tfGeneral)
            x.Format = uint16_t(49 + int(f.TextFormat));
        x.TypeProt = uint16_t((f.Locked ? 1 : 0) | (f.Hidden ? 2 : 0));
        x.Align = uint8_t(uint8_t(f.Horiz) | (f.WrapText ? 0x08 : 0) | (uint8_t(f.Vert) << 4));
        x.Used = 0xFC;
        if (f.CellColor >= 0) x.Fill = uint32_t(f.CellColor & 0x7F) | (0x41 << 7) | (1u << 16);
        constexpr uint32_t thin = 1, black = 8;
        if (f.Border & cbBottom) x.Fill |= (thin << 22) | (black << 25);
        if (f.Border & cbTop) x.Lines |= thin | (black << 9);
        if (f.Border & cbLeft) x.Lines |= (thin << 3) | (black << 16);
        if (f.Border & cbRight) x.Lines |= (thin << 6) | (black << 23);
        writeXf(x);
    }

    auto font = [&](const ExcelFont& f) {
        std::string name = Cp(f.Name);
        size_t start = stream_.size();
        uint8_t* q = Record(0x0031, 15 + name.size());
        Put16(q, uint16_t(std::clamp(std::lround(f.Size * 20), 20L, 8191L)));
        Put16(q + 2,
              uint16_t(((f.Style & xfsItalic) ? 0x02 : 0) | ((f.Style & xfsStrikeOut) ? 0x08 : 0)));
        Put16(q + 4, f.Color);
        Put16(q + 6, (f.Style & xfsBold) ? 700 : 400);
        Put16(q + 8, uint16_t(f.Script));
        q[10] = f.Underline;
        q[12] = f.Charset;
        q[14] = uint8_t(name.size());
        std::copy(name.begin(), name.end(), q + 15);
        Notify(start);
    };
    for (int k = 0; k < 6; ++k)
        font(Font);
    for (const auto& f : userFonts)
        font(f);

    // Built-in styles: normal, comma, comma 0, currency, currency 0, percent.
    const uint8_t styles[6][2] = {{0, 0}, {10, 3}, {11, 6}, {12, 4}, {13, 7}, {14, 5}};
    for (const auto& s : styles) {
        size_t start = stream_.size();
        uint8_t* q = Record(0x0293, 4);
        Put16(q, uint16_t(0x8000 | s[0]));
        q[2] = s[1];
        q[3] = 0xFF;
        Notify(start);
    }

    at = stream_.size();
    p = Record(0x0092, 2 + 4 * 56);
    Put16(p, 56);
    for (int k = 0; k < 56; ++k) {
        p[2 + 4 * k] = uint8_t(Palette[k] >> 16);
        p[3 + 4 * k] = uint8_t(Palette[k] >> 8);
        p[4 + 4 * k] = uint8_t(Palette[k]);
    }
    Notify(at);

    // The stream offset of each sheet is filled in when the sheet starts.
    for (const auto& name : sheetNames_) {
        at = stream_.size();
        p = Record(0x0085, name.size() + 7);
        boundSheetPos_.push_back(at + 4);
        p[6] = uint8_t(name.size());
        std::copy(name.begin(), name.end(), p + 7);
        Notify(at);
    }
}

void XlsWriter::Window1() {
    size_t at = stream_.size();
    uint8_t* p = Record(0x003D, 18);
    Put16(p, 120);
    Put16(p + 2, 120);
    Put16(p + 4, 23820);
    Put16(p + 6, 15720);
    Put16(p + 8, 0x0038);
    Put16(p + 10, 0);
    Put16(p + 12, 0);
    Put16(p + 14, 1);
    Put16(p + 16, 600);
    Notify(at);
}

void XlsWriter::NextSheet() {
    if (!open_) throw WorkbookError(wbmsg::CellsWhenClosed);
    if (sheet_ + 1 >= int(sheetNames_.size())) throw WorkbookError(wbmsg::NoNextSheet);
    if (sheet_ >= 0) CloseSheet();
    Record(0x000A, 0);
    Notify(stream_.size() - 4);
    ++sheet_;
    Put32(stream_.data() + boundSheetPos_[size_t(sheet_)], uint32_t(stream_.size()));
    StartSheet();
}

void XlsWriter::StartSheet() {
    size_t at = stream_.size();
    uint8_t* p = Record(0x0809, 8);
    Put16(p, BiffVersion);
    Put16(p + 2, 0x0010);
    Put16(p + 4, Build);
    Put16(p + 6, Year);
    Notify(at);

    auto dbl = [&](uint16_t type, double v) {
        size_t start = stream_.size();
        PutF64(Record(type, 8), v);
        Notify(start);
    };
    Word(0x005E, 0);
    Word(0x000D, 1);
    Word(0x000C, 100);
    Word(0x000F, 1);
    Word(0x0011, 0);
    dbl(0x0010, 0.001);
    Word(0x005F, 1);
    Word(0x002A, 0);
    Word(0x002B, 0);
    Word(0x0082, 1);
    Record(0x0080, 8);
    Notify(stream_.size() - 12);
    at = stream_.size();
    p = Record(0x0225, 4);
    Put16(p + 2, 255);
    Notify(at);
    at = stream_.size();
    p = Record(0x008C, 4);
    Put16(p, 1);
    Put16(p + 2, 1);
    Notify(at);
    Word(0x0081, 0x04C1);
    Record(0x0014, 0);
    Notify(stream_.size() - 4);
    Record(0x0015, 0);
    Notify(stream_.size() - 4);
    Word(0x0083, 0);
    Word(0x0084, 0);
    const double margins[4] = {PageSetup.MarginLeft, PageSetup.MarginRight, PageSetup.MarginTop,
                               PageSetup.MarginBottom};
    for (int k = 0; k < 4; ++k)
        if (margins[k] >= 0) dbl(uint16_t(0x0026 + k), margins[k]);

    at = stream_.size();
    p = Record(0x00A1, 34);
    Put16(p, 0);
    Put16(p + 2, PageSetup.ScalingFactor);
    Put16(p + 4, PageSetup.StartingPage);
    Put16(p + 6, 1);
    Put16(p + 8, 1);
    Put16(p + 10, uint16_t(PageSetup.Options & 0x3B));
    Put16(p + 12, 51794);
    Put16(p + 14, 18);
    PutF64(p + 16, PageSetup.HeaderMargin);
    PutF64(p + 24, PageSetup.FooterMargin);
    Put16(p + 32, PageSetup.Copies);
    Notify(at);

    Word(0x0016, 1);
    at = stream_.size();
    p = Record(0x0017, 2);
    p[0] = 0x01;
    p[1] = 0x02;
    Notify(at);
    // Room for the external names of add-in functions; formulas are not written, so it
    // stays empty.
    Record(0x0000, size_t(ReservedExtnamesSize));
    Notify(stream_.size() - 4 - size_t(ReservedExtnamesSize));
    Word(0x0055, 8);
}

void XlsWriter::CloseSheet() {
    Window1();
    uint16_t flags = sheet_ == 0 ? 0x06B0 : 0x04B0;
    if (Options & soGridlines) flags |= 0x0002;
    if (Options & soRowColHeadings) flags |= 0x0004;
    size_t at = stream_.size();
    uint8_t* p = Record(0x023E, 10);
    Put16(p, flags);
    Notify(at);
    at = stream_.size();
    p = Record(0x001D, 15);
    p[0] = 3;
    Put16(p + 7, 1);
    Notify(at);
}

uint16_t XlsWriter::CellXf(int col, int row, int format) const {
    if (!open_) throw WorkbookError(wbmsg::CellsWhenClosed);
    // The record fields hold a 16-bit row and an 8-bit column.
    if (row < 0 || row > 0xFFFF || col < 0 || col > 0xFF)
        throw WorkbookError(CellMessage(row, col, wbmsg::CellOutOfRange));
    if (format < -1 || format >= int(Formats.size())) throw WorkbookError(wbmsg::UnknownFormat);
    return format < 0 ? DefaultXf : uint16_t(StandardXfCount + format);
}

void XlsWriter::WriteNumber(int col, int row, double value, int format) {
    uint16_t xf = CellXf(col, row, format);
    if (sheet_ < 0) NextSheet();
    uint8_t* p = Record(0x0203, 14);
    Put16(p, uint16_t(row));
    Put16(p + 2, uint16_t(col));
    Put16(p + 4, xf);
    PutF64(p + 6, value);
    if (OnWriteData) Notify(stream_.size() - 18);
}

void XlsWriter::WriteString(int col, int row, std::string_view text, int format) {
    uint16_t xf = CellXf(col, row, format);
    if (text.empty()) return;
    std::string s = Cp(text);
    if (s.size() > 255)
        throw WorkbookError(CellMessage(row, col, "String length more than 255 bytes"));
    if (sheet_ < 0) NextSheet();
    size_t at = stream_.size();
    uint8_t* p = Record(0x0204, s.size() + 9);
    Put16(p, uint16_t(row));
    Put16(p + 2, uint16_t(col));
    Put16(p + 4, xf);
    Put16(p + 6, uint16_t(s.size()));
    std::copy(s.begin(), s.end(), p + 8);
    Notify(at);
}

void XlsWriter::CloseFile() {
    if (!open_) return;
    while (sheet_ + 1 < int(sheetNames_.size()))
        NextSheet();
    CloseSheet();
    Record(0x000A, 0);
    Notify(stream_.size() - 4);
    open_ = false;
    sheet_ = -1;

    const CompoundStream book{"Book", stream_};
    std::vector<uint8_t> doc = BuildCompoundDocument(std::span(&book, 1));
    stream_ = {};
    if (!toFile_) {
        bytes_ = std::move(doc);
        return;
    }
    std::ofstream f(path_, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(doc.data()), std::streamsize(doc.size()));
    f.close();
    if (!f) throw WorkbookError(std::string(wbmsg::CannotWrite) + " \"" + path_ + "\"");
}

} // namespace tv

#include "BiffBuilder.h"

#include "workbook/Codepage.h"
#include "workbook/ExcelMask.h"
#include "workbook/WorkbookError.h"
#include "workbook/XlsRead.h"
#include "workbook/XlsWrite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>

namespace tv {
namespace {

using test::BiffBuilder;

struct Event {
    char Kind; // n number, d date, s text, b boolean, e blank, r rich
    int Col = 0, Row = 0, Xf = 0;
    double Number = 0;
    std::string Text = "";
    bool Formula = false;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
    return os << e.Kind << "(" << e.Col << "," << e.Row << " xf" << e.Xf << ") " << e.Number << " '"
              << e.Text << "'" << (e.Formula ? " f" : "");
}

// Collects every cell event of a walk; sheets listed in skip are not read.
struct Collector {
    std::vector<Event> Cells;
    std::vector<std::vector<int>> Layout; // ROW and COLINFO records as their callbacks saw them
    std::vector<std::pair<std::string, int>> Sheets;
    std::vector<int> Skip;

    void Bind(XlsReader& r) {
        r.OnSheet = [this](std::string_view name, int index, bool& readIt) {
            Sheets.emplace_back(std::string(name), index);
            readIt = std::find(Skip.begin(), Skip.end(), index) == Skip.end();
        };
        r.OnNumberCell = [this](int c, int rw, int xf, double v, bool f) {
            Cells.push_back({'n', c, rw, xf, v, "", f});
        };
        r.OnDateTimeCell = [this](int c, int rw, int xf, double v, bool f) {
            Cells.push_back({'d', c, rw, xf, v, "", f});
        };
        r.OnStringCell = [this](int c, int rw, int xf, std::string_view v, bool f) {
            Cells.push_back({'s', c, rw, xf, 0, std::string(v), f});
        };
        r.OnBoolCell = [this](int c, int rw, int xf, bool v, bool f) {
            Cells.push_back({'b', c, rw, xf, v ? 1.0 : 0.0, "", f});
        };
        r.OnBlankCell = [this](int c, int rw, int xf) { Cells.push_back({'e', c, rw, xf}); };
        r.OnRow = [this](int rw, int c1, int c2, int xf, int h) {
            Layout.push_back({rw, c1, c2, xf, h});
        };
        r.OnCol = [this](int c1, int c2, int xf, int w) { Layout.push_back({c1, c2, xf, w}); };
        r.OnRichCell = [this](int c, int rw, int xf, std::string_view v,
                              std::span<const FormatRun> runs) {
            std::string s(v);
            for (const FormatRun& run : runs)
                s += "|" + std::to_string(run.CharPos) + ":" + std::to_string(run.FontIndex);
            Cells.push_back({'r', c, rw, xf, double(runs.size()), s});
        };
    }
};

Collector Walk(const std::vector<uint8_t>& bytes, std::vector<int> skip = {}) {
    XlsReader r;
    Collector c;
    c.Skip = std::move(skip);
    c.Bind(r);
    r.SetBuffer(bytes);
    r.Read();
    return c;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const WorkbookError& e) {
        return e.what();
    }
    return "";
}

// A model-file-like workbook: header cells, then period rows of 64 columns.
std::vector<uint8_t> ModelLike(int periods) {
    XlsWriter w;
    w.Sheets = {"TERVALIS"};
    w.OpenMemory();
    for (int c = 0; c < 23; ++c)
        w.WriteNumber(c, 0, c % 3);
    w.WriteNumber(99, 0, 0.00001);
    w.WriteNumber(100, 0, 500);
    w.WriteNumber(120, 1, 1);
    for (int t = -1; t < periods; ++t)
        for (int c = 0; c < 64; ++c)
            w.WriteNumber(c, t + 9, t * 100.0 + c + 0.25);
    w.CloseFile();
    return w.Bytes();
}

// The undefined bytes of Windows-1252 pass through as C1 controls; a surrogate pair is one
// character, a lone surrogate a replacement character.
TEST(Codepage, OddCharactersBothWays) {
    std::string s;
    const uint8_t ansi[] = {0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0xA0, 0xE4};
    codepage::Append1252(s, ansi, 9);
    EXPECT_EQ(s, "\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00A0\u00E4");
    EXPECT_EQ(codepage::Utf8To1252(s), std::string(ansi, ansi + 9));
    // Bytes that start no UTF-8 sequence, or a cut-off one, pass through unchanged.
    EXPECT_EQ(codepage::Utf8To1252("\x80\xFFx\xC3"), "\x80\xFFx\xC3");
    s.clear();
    // The low surrogate after the fourth unit lies beyond the text and stays unread.
    const uint8_t utf16[] = {0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8, 0x00, 0xDC};
    codepage::AppendUtf16(s, utf16, 4);
    EXPECT_EQ(s, "A\U0001F600\uFFFD");
    EXPECT_EQ(codepage::Utf8To1252(s + "\U00100000"), "A???"); // none has a Windows-1252 byte
    // The UTF-8 sequence grows at U+0080, U+0800 and U+10000.
    s.clear();
    const uint8_t edges[] = {0x7F, 0, 0x80, 0, 0xFF, 0x07, 0, 0x08, 0xFF, 0xFF, 0, 0xD8, 0, 0xDC};
    codepage::AppendUtf16(s, edges, 7);
    EXPECT_EQ(s, "\x7F\u0080\u07FF\u0800\uFFFF\U00010000");
    s.clear();
    const uint8_t last[] = {0xFF, 0xDB, 0xFF, 0xDF}; // U+10FFFF
    codepage::AppendUtf16(s, last, 2);
    EXPECT_EQ(s, "\xF4\x8F\xBF\xBF");
}

// Only unquoted, unescaped date and time letters outside brackets make a date, and [h].
TEST(ExcelMask, DatesAndTimesAmongNumberFormats) {
    // clang-format off
    const std::pair<const char*, bool> masks[] = {{"0.00", false}, {"General", false},
        {"dd.mm.yyyy", true}, {"[Red]0.00", false}, {"[Red]d", true}, {"[h]:mm", true},
        {"[ss]", true}, {"[$-407]0", false}, {"\"Day\" 0", false}, {"\\d0", false},
        {"_d0", false}, {"*d0", false}, {"[Red", false}, {"\"x\"d", true},
        {"\\-d", true}, {"0;[mm]", true}, {"[h]", true}};
    // clang-format on
    for (auto [mask, date] : masks)
        EXPECT_EQ(ExcelMask::IsDateTime(mask), date) << mask;
}

TEST(XlsReader, WriterOutputComesBackInWrittenOrder) {
    auto book = ModelLike(20);
    auto c = Walk(book);
    ASSERT_EQ(c.Sheets.size(), 1u);
    EXPECT_EQ(c.Sheets[0], std::make_pair(std::string("TERVALIS"), 0));
    ASSERT_EQ(c.Cells.size(), 23u + 3 + 21 * 64);
    EXPECT_EQ(c.Cells[23], (Event{'n', 99, 0, 15, 0.00001}));
    EXPECT_EQ(c.Cells[26], (Event{'n', 0, 8, 15, -100 + 0.25}));
    EXPECT_EQ(c.Cells.back(), (Event{'n', 63, 28, 15, 1963.25}));

    XlsReader r;
    std::vector<int> percents;
    r.OnProgress = [&percents](int p) { percents.push_back(p); };
    r.SetBuffer(book);
    r.Read();
    std::vector<int> every(101);
    std::iota(every.begin(), every.end(), 0);
    EXPECT_EQ(percents, every);
    r.Open();
    EXPECT_EQ(r.BiffVersion(), 5);
    CellValue v;
    EXPECT_TRUE(r.ReadCell(0, 99, 0, v));
    EXPECT_EQ(std::get<double>(v), 0.00001);
    EXPECT_TRUE(r.ReadCell(0, 63, 28, v));
    EXPECT_EQ(std::get<double>(v), 1963.25);
    EXPECT_FALSE(r.ReadCell(0, 101, 0, v));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(v));
    r.Close();
}

TEST(XlsReader, TextsAndTwoSheetsRoundTrip) {
    XlsWriter w;
    w.Sheets = {"Erste", "Zweite"};
    w.OpenMemory();
    w.WriteString(0, 0, "Zinsänderung € – “x”");
    w.WriteString(1, 0, std::string(255, 'q'));
    w.NextSheet();
    w.WriteNumber(2, 3, -7.5);
    w.CloseFile();
    auto c = Walk(w.Bytes());
    ASSERT_EQ(c.Sheets.size(), 2u);
    EXPECT_EQ(c.Sheets[1].first, "Zweite");
    ASSERT_EQ(c.Cells.size(), 3u);
    EXPECT_EQ(c.Cells[0].Text, "Zinsänderung € – “x”");
    EXPECT_EQ(c.Cells[1].Text, std::string(255, 'q'));
    EXPECT_EQ(c.Cells[2], (Event{'n', 2, 3, 15, -7.5}));

    XlsReader r;
    r.SetBuffer(w.Bytes());
    r.Open();
    CellValue v;
    ASSERT_TRUE(r.ReadCell(0, 0, 0, v));
    EXPECT_EQ(std::get<std::string>(v), "Zinsänderung € – “x”");
    ASSERT_TRUE(r.ReadCell(1, 2, 3, v));
    EXPECT_EQ(std::get<double>(v), -7.5);
    EXPECT_FALSE(r.ReadCell(1, 0, 0, v));
}

TEST(XlsReader, SkippedSheetGivesNoCellEvents) {
    XlsWriter w;
    w.Sheets = {"A", "B", "C"};
    w.OpenMemory();
    w.WriteNumber(0, 0, 1);
    w.NextSheet();
    w.WriteNumber(0, 0, 2);
    w.NextSheet();
    w.WriteNumber(0, 0, 3);
    w.CloseFile();
    auto c = Walk(w.Bytes(), {1});
    EXPECT_EQ(c.Sheets.size(), 3u);
    ASSERT_EQ(c.Cells.size(), 2u);
    EXPECT_EQ(c.Cells[0].Number, 1);
    EXPECT_EQ(c.Cells[1].Number, 3);
}

// Dates are told by the number format of the cell's XF.
TEST(XlsReader, DateFormatsMakeDateCells) {
    XlsWriter w;
    auto fmt = [](CellTextFormat t, const char* user = "") {
        CellFormat f;
        f.TextFormat = t;
        f.TextFormatUser = user;
        return f;
    };
    w.Formats = {fmt(CellTextFormat::tfDate),
                 fmt(CellTextFormat::tfTime),
                 fmt(CellTextFormat::tf2Dec),
                 fmt(CellTextFormat::tfUser, "[h]:mm"),
                 fmt(CellTextFormat::tfUser, "0.00\" days\""),
                 fmt(CellTextFormat::tfUser, "[Red]#,##0;[$€-407]0"),
                 fmt(CellTextFormat::tfUser, "\"Tag \"d")}; // the date letter is the last one
    w.OpenMemory();
    for (int k = 0; k < 7; ++k)
        w.WriteNumber(k, 0, 40000, k);
    w.CloseFile();
    auto c = Walk(w.Bytes());
    std::string kinds;
    for (auto& e : c.Cells)
        kinds += e.Kind;
    EXPECT_EQ(kinds, "ddndnnd");
    EXPECT_EQ(c.Cells[0].Xf, 16);
}

// A BIFF8 workbook built by hand: records the writer never makes.
struct Biff8 {
    BiffBuilder b;
    size_t boundSheet = 0;

    // Globals with XF 0..16 (XF 0 and 16 use format `xf16Format`) and, optionally, an SST.
    void Globals(uint16_t xf16Format, const std::vector<std::vector<uint8_t>>& sstParts = {},
                 bool date1904 = false) {
        b.Record(0x0809, BiffBuilder::Bof(0x0600, 0x0005));
        if (date1904) b.Record(0x0022, {1, 0});
        std::vector<uint8_t> fmt;
        BiffBuilder::Put16(fmt, 170);
        BiffBuilder::Put16(fmt, 8);
        fmt.push_back(0);
        for (char ch : std::string("yyyy-mm-"))
            fmt.push_back(uint8_t(ch));
        b.Record(0x041E, fmt);
        for (int k = 0; k < 17; ++k) {
            std::vector<uint8_t> xf(20, 0);
            xf[2] = uint8_t(k == 16 || k == 0 ? xf16Format : 0);
            xf[3] = uint8_t(k == 16 || k == 0 ? xf16Format >> 8 : 0);
            b.Record(0x00E0, xf);
        }
        std::vector<uint8_t> bs(4, 0);
        bs.insert(bs.end(), {0, 0, 2, 0, 'S', '1'});
        boundSheet = b.Record(0x0085, bs);
        if (!sstParts.empty()) {
            b.Record(0x00FC, sstParts[0]);
            for (size_t k = 1; k < sstParts.size(); ++k)
                b.Record(0x003C, sstParts[k]);
        }
        b.Record(0x000A, {});
        b.Patch32(boundSheet + 4, uint32_t(b.Pos()));
        b.Record(0x0809, BiffBuilder::Bof(0x0600, 0x0010));
    }
    void End() { b.Record(0x000A, {}); }
};

uint32_t RkInt(int v) {
    return (uint32_t(v) << 2) | 2;
}

TEST(XlsReader, Biff8CellRecords) {
    Biff8 w;
    // SST: "alpha" (8-bit), then "Grüße" split across a CONTINUE that switches to 16-bit
    // characters, then "z" in the continuation.
    std::vector<uint8_t> sst;
    BiffBuilder::Put32(sst, 3);
    BiffBuilder::Put32(sst, 3);
    sst.insert(sst.end(), {5, 0, 0, 'a', 'l', 'p', 'h', 'a'});
    sst.insert(sst.end(), {5, 0, 0, 'G', 'r'});
    std::vector<uint8_t> cont = {1, 0xFC, 0, 0xDF, 0, 'e', 0};
    cont.insert(cont.end(), {1, 0, 0, 'z'});
    w.Globals(14, {sst, cont});
    auto& b = w.b;
    auto cell = BiffBuilder::Cell;
    b.Record(0x0203, BiffBuilder::Number(0, 0, 15, 2.5));
    auto rk = [&](uint16_t col, uint32_t v) {
        auto d = cell(1, col, 15);
        BiffBuilder::Put32(d, v);
        b.Record(0x027E, d);
    };
    rk(0, RkInt(-12));
    rk(1, RkInt(1234) | 1); // 12.34
    {
        std::vector<uint8_t> d;
        BiffBuilder::Put16(d, 2);
        BiffBuilder::Put16(d, 3);
        for (int k = 0; k < 3; ++k) {
            BiffBuilder::Put16(d, k == 1 ? 16 : 15);
            BiffBuilder::Put32(d, RkInt(10 + k));
        }
        BiffBuilder::Put16(d, 5);
        b.Record(0x00BD, d); // MULRK, the middle cell date-formatted
    }
    for (uint32_t k = 0; k < 3; ++k) {
        auto d = cell(3, uint16_t(k), 15);
        BiffBuilder::Put32(d, k);
        b.Record(0x00FD, d);
    }
    auto formula = [&](uint16_t col, std::vector<uint8_t> result) {
        auto d = cell(4, col, 15);
        d.insert(d.end(), result.begin(), result.end());
        d.insert(d.end(), {0, 0, 0, 0, 0, 0, 0, 0}); // flags, chn, cce
        b.Record(0x0006, d);
    };
    std::vector<uint8_t> num;
    BiffBuilder::PutF64(num, 6.25);
    formula(0, num);
    formula(1, {0, 0, 0, 0, 0, 0, 0xFF, 0xFF});
    b.Record(0x0207, {2, 0, 0, 'o', 'k'});
    formula(2, {1, 0, 1, 0, 0, 0, 0xFF, 0xFF});
    formula(3, {2, 0xCD, 0x07, 0, 0, 0, 0xFF, 0xFF}); // junk in the unused byte
    {
        auto d = cell(5, 0, 15);
        d.insert(d.end(), {1, 0});
        b.Record(0x0205, d);
        d = cell(5, 1, 15);
        d.insert(d.end(), {0x2A, 1});
        b.Record(0x0205, d);
        b.Record(0x0201, cell(5, 2, 15));
        std::vector<uint8_t> mb;
        BiffBuilder::Put16(mb, 5);
        BiffBuilder::Put16(mb, 3);
        BiffBuilder::Put16(mb, 15);
        BiffBuilder::Put16(mb, 15);
        BiffBuilder::Put16(mb, 4);
        b.Record(0x00BE, mb);
        b.Record(0x00BD, {5, 0, 5, 0, 4, 0}); // MULRK and MULBLANK without cells
        b.Record(0x00BE, {5, 0, 5, 0, 4, 0});
        d = cell(6, 0, 15);
        // One formatting run and one extension byte.
        d.insert(d.end(), {3, 0, 0x0C, 1, 0, 1, 0, 0, 0, 'a', 'b', 'c', 1, 0, 0, 0, 5, 0});
        b.Record(0x0204, d);
        d = cell(6, 1, 15);
        d.insert(d.end(), {2, 0, 0, 'r', 't', 2, 0, 0, 0, 6, 0, 1, 0, 7, 0});
        b.Record(0x00D6, d);
    }
    // ROW as short as 8 bytes, ROW with its own XF (flag 0x80), COLINFO.
    b.Record(0x0208, {7, 0, 1, 0, 4, 0, 0x2C, 0x81});
    b.Record(0x0208, {8, 0, 0, 0, 2, 0, 0xFF, 0, 0, 0, 0, 0, 0x80, 0, 0x11, 0xF0});
    b.Record(0x007D, {2, 0, 3, 0, 0x00, 0x09, 16, 0});
    w.End();
    auto book = b.Document("Workbook");

    auto c = Walk(book);
    EXPECT_EQ(c.Layout, (std::vector<std::vector<int>>{
                            {7, 1, 3, 15, 0x12C}, {8, 0, 1, 17, 0xFF}, {2, 3, 16, 0x900}}));
    const std::vector<Event> expected = {
        {'n', 0, 0, 15, 2.5},
        {'n', 0, 1, 15, -12},
        {'n', 1, 1, 15, 12.34},
        {'n', 3, 2, 15, 10},
        {'d', 4, 2, 16, 11},
        {'n', 5, 2, 15, 12},
        {'s', 0, 3, 15, 0, "alpha"},
        {'s', 1, 3, 15, 0, "Grüße"},
        {'s', 2, 3, 15, 0, "z"},
        {'n', 0, 4, 15, 6.25, "", true},
        {'s', 1, 4, 15, 0, "ok", true},
        {'b', 2, 4, 15, 1, "", true},
        {'s', 3, 4, 15, 0, "#DIV/0!", true},
        {'b', 0, 5, 15, 1},
        {'s', 1, 5, 15, 0, "#N/A"},
        {'e', 2, 5, 15},
        {'e', 3, 5, 15},
        {'e', 4, 5, 15},
        {'s', 0, 6, 15, 0, "abc"},
        {'r', 1, 6, 15, 2, "rt|0:6|1:7"},
    };
    EXPECT_EQ(c.Cells, expected);

    XlsReader r;
    r.SetBuffer(book);
    r.Open();
    EXPECT_EQ(r.BiffVersion(), 8);
    CellValue v;
    struct Probe {
        int col, row;
        CellValue want;
    };
    const Probe probes[] = {{4, 2, 11.0},
                            {1, 1, 12.34},
                            {1, 3, std::string("Grüße")},
                            {1, 4, std::string("ok")},
                            {2, 4, true},
                            {0, 6, std::string("abc")},
                            {3, 4, std::monostate{}},
                            {0, 5, true},
                            {1, 5, std::monostate{}},
                            {2, 5, std::monostate{}}};
    for (const auto& p : probes) {
        SCOPED_TRACE(testing::Message() << p.col << "," << p.row);
        EXPECT_TRUE(r.ReadCell(0, p.col, p.row, v));
        EXPECT_EQ(v, p.want);
    }
    EXPECT_FALSE(r.ReadCell(0, 6, 2, v));
}

// 64 KiB of extension data behind a shared string, over several CONTINUE records.
TEST(XlsReader, LongStringExtensionsAreSkipped) {
    std::vector<std::vector<uint8_t>> sst = {{2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0x04, 0, 0, 1, 0, 'a'}};
    for (int k = 0; k < 8; ++k)
        sst.emplace_back(8192, 0);
    sst.back().insert(sst.back().end(), {1, 0, 0, 'b'});
    Biff8 w;
    w.Globals(0, sst);
    for (uint16_t k = 0; k < 2; ++k) {
        auto d = BiffBuilder::Cell(0, k, 15);
        BiffBuilder::Put32(d, k);
        w.b.Record(0x00FD, d);
    }
    w.End();
    EXPECT_EQ(Walk(w.b.Document("Workbook")).Cells,
              (std::vector<Event>{{'s', 0, 0, 15, 0, "a"}, {'s', 1, 0, 15, 0, "b"}}));
}

TEST(XlsReader, Date1904IsShiftedAndUserFormatsBelow49AreNotDates) {
    for (bool mode1904 : {false, true}) {
        Biff8 w;
        w.Globals(170, {}, mode1904);
        w.b.Record(0x0203, BiffBuilder::Number(0, 0, 16, 100));
        w.End();
        auto c = Walk(w.b.Document("Workbook"));
        ASSERT_EQ(c.Cells.size(), 1u);
        EXPECT_EQ(c.Cells[0].Kind, 'd');
        EXPECT_EQ(c.Cells[0].Number, mode1904 ? 1562 : 100);
    }
    for (uint16_t builtin : {13, 14, 22, 23, 45}) {
        Biff8 w;
        w.Globals(builtin);
        w.b.Record(0x0203, BiffBuilder::Number(0, 0, 16, 1));
        w.b.Record(0x0203, BiffBuilder::Number(0, 1, 0, 1));
        w.End();
        auto c = Walk(w.b.Document("Workbook"));
        EXPECT_EQ(c.Cells.at(0).Kind, builtin >= 14 && builtin <= 22 ? 'd' : 'n') << builtin;
        EXPECT_EQ(c.Cells.at(1).Kind, c.Cells[0].Kind) << builtin;
    }
}

TEST(XlsReader, WorkbookStreamIsPreferredOverBook) {
    Biff8 w;
    w.Globals(0);
    w.b.Record(0x0203, BiffBuilder::Number(0, 0, 15, 8.0));
    w.End();
    XlsWriter five;
    five.OpenMemory();
    five.WriteNumber(0, 0, 5.0);
    five.CloseFile();
    auto book = *CompoundReader(five.Bytes()).ReadRootStream("Book");
    CompoundStream both[] = {{"Book", book}, {"Workbook", w.b.Bytes}};
    auto c = Walk(BuildCompoundDocument(both));
    ASSERT_EQ(c.Cells.size(), 1u);
    EXPECT_EQ(c.Cells[0].Number, 8.0);
}

// Excel-style row blocks: INDEX after the sheet's BOF, ROW records, cells, DBCELL.
std::vector<uint8_t> Indexed(int damage) {
    Biff8 w;
    w.Globals(0);
    auto& b = w.b;
    std::vector<uint8_t> index;
    BiffBuilder::Put32(index, 0);
    BiffBuilder::Put32(index, 0);  // first row
    BiffBuilder::Put32(index, 40); // last row + 1
    BiffBuilder::Put32(index, 0);
    BiffBuilder::Put32(index, 0); // DBCELL of block 0
    BiffBuilder::Put32(index, 0); // DBCELL of block 1
    size_t indexAt = b.Record(0x020B, index);
    std::vector<size_t> dbcells;
    for (int block = 0; block < 2; ++block) {
        std::vector<uint16_t> rows =
            block == 0 ? std::vector<uint16_t>{0, 5, 31} : std::vector<uint16_t>{32, 39};
        size_t firstRow = b.Pos();
        for (uint16_t row : rows) {
            std::vector<uint8_t> d;
            BiffBuilder::Put16(d, row);
            BiffBuilder::Put16(d, 0);
            BiffBuilder::Put16(d, 3);
            d.resize(16, 0);
            b.Record(0x0208, d);
        }
        for (uint16_t row : rows)
            for (uint16_t col = 0; col < 3; ++col)
                b.Record(0x0203, BiffBuilder::Number(row, col, 15, row * 10 + col));
        std::vector<uint8_t> db;
        size_t at = b.Pos();
        // 4: an offset back to the stream's first record
        BiffBuilder::Put32(db, uint32_t(damage == 4 && block == 1 ? at : at - firstRow));
        if (damage == 2 && block == 1) db[0] = uint8_t(db[0] - 4);
        for (size_t k = 0; k < rows.size(); ++k)
            BiffBuilder::Put16(db, 0);
        if (damage == 3 && block == 1) db.resize(3);
        dbcells.push_back(b.Record(0x00D7, db));
    }
    if (damage == 3) b.Record(0x0200, {}); // the cut offset's missing byte would read as 0
    b.Patch32(indexAt + 4 + 16, uint32_t(dbcells[0]));
    b.Patch32(indexAt + 4 + 20, uint32_t(dbcells[1] + (damage == 1 ? 2 : 0)));
    w.End();
    return b.Document("Workbook");
}

TEST(XlsReader, ReadCellThroughRowBlocks) {
    XlsReader r;
    r.SetBuffer(Indexed(0));
    r.Open();
    CellValue v;
    for (int row : {0, 5, 31, 32, 39}) {
        ASSERT_TRUE(r.ReadCell(0, 2, row, v)) << row;
        EXPECT_EQ(std::get<double>(v), row * 10 + 2);
    }
    EXPECT_FALSE(r.ReadCell(0, 1, 6, v));
    EXPECT_FALSE(r.ReadCell(0, 5, 32, v));
    EXPECT_FALSE(r.ReadCell(0, 0, 40, v));
}

// A BIFF5 text is read in the globals' code page unless the reader names one; random access
// ignores a code-page record too short for its word, even when the next record's first byte
// would complete one.
TEST(XlsReader, Biff5TextsFollowTheCodePage) {
    const struct {
        std::vector<uint8_t> record; // 0x6FAF: Latin-1, 0x04E4: Windows-1252
        int readerCodepage;
        const char* text;
        bool walk;
    } cases[] = {{{0xAF, 0x6F}, 0, "\xC2\x80", true},
                 {{0xAF}, 0, "\xE2\x82\xAC", false},
                 {{0xE4, 0x04}, 28591, "\xC2\x80", true}};
    for (const auto& c : cases) {
        BiffBuilder b;
        b.Record(0x0809, BiffBuilder::Bof(0x0500, 0x0005));
        b.Record(0x0042, c.record);
        b.Record(0x006F, {});
        size_t sheet = b.Record(0x0085, {0, 0, 0, 0, 0, 0, 1, 'S'});
        b.Record(0x000A, {});
        b.Patch32(sheet + 4, uint32_t(b.Pos()));
        b.Record(0x0809, BiffBuilder::Bof(0x0500, 0x0010));
        b.Record(0x0204, {0, 0, 0, 0, 15, 0, 1, 0, 0x80});
        b.Record(0x000A, {});
        XlsReader r, walker;
        CellValue v;
        r.Codepage = walker.Codepage = c.readerCodepage;
        r.SetBuffer(b.Bytes);
        r.Open();
        ASSERT_TRUE(r.ReadCell(0, 0, 0, v));
        EXPECT_EQ(v, CellValue(std::string(c.text))) << c.record.size();
        if (!c.walk) continue;
        Collector events;
        events.Bind(walker);
        walker.SetBuffer(b.Bytes);
        walker.Read();
        EXPECT_EQ(events.Cells, (std::vector<Event>{{'s', 0, 0, 15, 0, c.text}}));
    }
}

// A BIFF2 worksheet as a plain stream: INTEGER, NUMBER and LABEL with 3 attribute bytes.
TEST(XlsReader, PlainBiff2Stream) {
    BiffBuilder b;
    b.Record(0x0009, {0x00, 0x02, 0x10, 0x00});
    b.Record(0x0002, {1, 0, 2, 0, 0, 0, 0, 42, 0});
    std::vector<uint8_t> d = {3, 0, 0, 0, 0, 0, 0};
    BiffBuilder::PutF64(d, -1.5);
    b.Record(0x0003, d);
    b.Record(0x0004, {4, 0, 1, 0, 0, 0, 0, 3, 'a', 0xE4, 'b'});
    b.Record(0x000A, {});
    auto c = Walk(b.Bytes);
    ASSERT_EQ(c.Sheets.size(), 1u);
    const std::vector<Event> expected = {
        {'n', 2, 1, 0, 42}, {'n', 0, 3, 0, -1.5}, {'s', 1, 4, 0, 0, "aäb"}};
    EXPECT_EQ(c.Cells, expected);
    XlsReader r;
    r.SetBuffer(b.Bytes);
    r.Open();
    EXPECT_EQ(r.BiffVersion(), 2);
    CellValue v;
    ASSERT_TRUE(r.ReadCell(0, 0, 3, v));
    EXPECT_EQ(std::get<double>(v), -1.5);
    ASSERT_TRUE(r.ReadCell(0, 1, 4, v));
    EXPECT_EQ(v, CellValue(std::string("aäb")));
}

// A plain stream's version is in its first record; a stream of six bytes still holds the word
// that tells BIFF8 from BIFF5.
TEST(XlsReader, PlainStreamVersions) {
    const struct {
        std::vector<uint8_t> bytes;
        int biff;
    } cases[] = {{{0x09, 0x00, 0, 0}, 2},
                 {{0x09, 0x02, 0, 0}, 3},
                 {{0x09, 0x04, 0, 0}, 4},
                 {{0x09, 0x08, 2, 0, 0x00, 0x06}, 8},
                 {{0x09, 0x08, 2, 0, 0x00, 0x05}, 5},
                 {{0x09, 0x08, 1, 0, 0x00}, 5}};
    for (const auto& c : cases) {
        XlsReader r;
        r.SetBuffer(c.bytes);
        r.Open();
        EXPECT_EQ(r.BiffVersion(), c.biff) << c.bytes.size();
    }
}

using Records = std::vector<std::pair<uint16_t, std::vector<uint8_t>>>;

// A plain worksheet stream of the older formats: the records, then EOF.
std::vector<uint8_t> OldSheet(const Records& records) {
    BiffBuilder b;
    for (const auto& [type, data] : records)
        b.Record(type, data);
    b.Record(0x000A, {});
    return b.Bytes;
}

const std::vector<uint8_t> kSheetBof = {0x00, 0x02, 0x10, 0x00};
const std::vector<uint8_t> kTextResult = {0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Before BIFF4 a format record carries no index: formats count up from 0 in file order,
// and those from 49 on may be dates.
TEST(XlsReader, OlderFormatsCountUpInFileOrder) {
    Records records = {{0x0209, {0x00, 0x03, 0x10, 0x00}}};
    records.push_back({0x001E, {0}}); // an empty format counts too
    for (int k = 1; k < 49; ++k)
        records.push_back({0x001E, {4, '0', '.', '0', '0'}});
    records.push_back({0x001E, {8, 'd', 'd', '.', 'm', 'm', '.', 'y', 'y'}});
    records.push_back({0x00E0, {0, 0, 49, 0}});
    records.push_back({0x00E0, {0, 0, 48, 0}});
    records.push_back({0x0203, BiffBuilder::Number(0, 0, 0, 2.5)});
    records.push_back({0x0203, BiffBuilder::Number(0, 1, 1, 2.5)});
    const std::vector<Event> expected = {{'d', 0, 0, 0, 2.5}, {'n', 1, 0, 1, 2.5}};
    EXPECT_EQ(Walk(OldSheet(records)).Cells, expected);
}

// Looking a cell up skips a chart embedded in the sheet, and one nested in that chart.
TEST(XlsReader, ReadCellSkipsEmbeddedCharts) {
    const std::vector<uint8_t> chartBof = {0x00, 0x02, 0x20, 0x00};
    const auto inside = BiffBuilder::Number(0, 0, 15, 1);
    const auto sheet = OldSheet({{0x0409, kSheetBof},
                                 {0x0409, chartBof},
                                 {0x0409, chartBof},
                                 {0x0203, inside},
                                 {0x000A, {}},
                                 {0x0203, inside},
                                 {0x000A, {}},
                                 {0x0203, BiffBuilder::Number(2, 1, 15, 7)}});
    XlsReader r;
    r.SetBuffer(sheet);
    r.Open();
    CellValue v;
    EXPECT_FALSE(r.ReadCell(0, 0, 0, v));
    ASSERT_TRUE(r.ReadCell(0, 1, 2, v));
    EXPECT_EQ(v, CellValue(7.0));
}

// Before BIFF8 a rich text's runs are byte pairs after its 8-bit characters.
TEST(XlsReader, OlderRichTextKeepsItsRuns) {
    auto c = Walk(OldSheet(
        {{0x0409, kSheetBof}, {0x00D6, {0, 0, 1, 0, 15, 0, 3, 0, 'a', 'b', 'c', 2, 0, 4, 2, 5}}}));
    EXPECT_EQ(c.Cells, (std::vector<Event>{{'r', 1, 0, 15, 2, "abc|0:4|2:5"}}));
}

// Before BIFF8 a formula's text stands in a STRING record with an 8-bit length (BIFF2) or a
// 16-bit one.
TEST(XlsReader, OlderFormulaTextResults) {
    struct Case {
        uint16_t bof, formula, string;
        std::vector<uint8_t> head, text; // the cell's head has its column at byte 2
        int xf;
    };
    const Case cases[] = {
        {0x0009, 0x0006, 0x0007, {0, 0, 1, 0, 3, 0, 0}, {2, 'o', 'k'}, 3},
        {0x0409, 0x0406, 0x0207, {0, 0, 1, 0, 15, 0}, {2, 0, 'o', 'k'}, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bof);
        auto other = c.head;
        other[2] = 2;
        const auto bytes = OldSheet({{c.bof, kSheetBof},
                                     {c.formula, Concat(other, kTextResult)},
                                     {0x023E, {}}, // a record between them: no text
                                     {c.formula, Concat(c.head, kTextResult)},
                                     {c.string, c.text}});
        EXPECT_EQ(Walk(bytes).Cells, (std::vector<Event>{{'s', 2, 0, c.xf, 0, "", true},
                                                         {'s', 1, 0, c.xf, 0, "ok", true}}));
        XlsReader r;
        r.SetBuffer(bytes);
        r.Open();
        CellValue v;
        for (auto [col, text] : {std::pair{1, "ok"}, std::pair{2, ""}}) {
            ASSERT_TRUE(r.ReadCell(0, col, 0, v));
            EXPECT_EQ(v, CellValue(std::string(text)));
        }
    }
}

TEST(XlsReader, FailuresCarryTheirTexts) {
    BiffBuilder noBook;
    noBook.Bytes = {1, 2, 3};
    auto encrypted = [] {
        Biff8 w;
        w.Globals(0);
        w.End();
        // FILEPASS right after the workbook BOF.
        std::vector<uint8_t> fp = {0x2F, 0, 2, 0, 0, 0};
        w.b.Bytes.insert(w.b.Bytes.begin() + 4 + 16, fp.begin(), fp.end());
        return w.b.Document("Workbook");
    }();
    auto noData = [] {
        Biff8 w;
        w.Globals(0);
        w.End();
        w.b.Patch32(w.boundSheet + 4, 4); // points into the middle of the BOF
        return w.b.Document("Workbook");
    }();
    auto truncated = ModelLike(2);
    {
        // Cut the stream inside a record but keep the container intact.
        CompoundReader doc(truncated);
        auto s = *doc.ReadRootStream("Book");
        s.resize(s.size() - 7);
        CompoundStream cs{"Book", s};
        truncated = BuildCompoundDocument(std::span(&cs, 1));
    }
    // A shared string table (by default of one string) and a cell that names string k.
    auto badSstIndex = [](uint32_t k,
                          std::vector<uint8_t> sst = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 'a'}) {
        Biff8 w;
        w.Globals(0, {sst});
        auto d = BiffBuilder::Cell(0, 0, 15);
        BiffBuilder::Put32(d, k);
        w.b.Record(0x00FD, d);
        w.End();
        return w.b.Document("Workbook");
    };
    const auto wrapping = badSstIndex(0xFFFFFFFF); // wraps to 0 when one is added
    const auto onePast = badSstIndex(1);           // the index equal to the count
    const auto cutSst = badSstIndex(0, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0}); // ends before the flags
    const auto noFlags = [] { // a text cell of no characters that ends before its flags
        Biff8 w;
        w.Globals(0);
        auto d = BiffBuilder::Cell(0, 0, 15);
        d.insert(d.end(), {0, 0});
        w.b.Record(0x0204, d);
        w.b.Record(0x0203, BiffBuilder::Number(0, 1, 15, 1)); // a next byte without flags
        w.End();
        return w.b.Document("Workbook");
    }();
    const auto shortBof = OldSheet({{0x0409, {0, 0}}});
    const auto shortString = OldSheet({{0x0409, kSheetBof},
                                       {0x0406, Concat({0, 0, 0, 0, 15, 0}, kTextResult)},
                                       {0x0207, {5, 0, 'a'}}});
    const auto shortInteger = [] { // a BIFF2 integer cell one byte short of its value
        BiffBuilder b;
        b.Record(0x0009, {0x00, 0x02, 0x10, 0x00});
        b.Record(0x0002, {0, 0, 0, 0, 0, 0, 0, 42});
        b.Record(0x000A, {});
        return b.Bytes;
    }();
    const std::string text = "Hello, this is a text file.\n";
    struct Case {
        const char* expected;
        std::vector<uint8_t> bytes;
        std::function<void(XlsReader&)> act;
    };
    auto read = [](XlsReader& r) { r.Read(); };
    auto cell = [](int sheet) {
        return [sheet](XlsReader& r) {
            r.Open();
            CellValue v;
            r.ReadCell(sheet, 0, 0, v);
        };
    };
    auto lastRow = [](XlsReader& r) {
        r.Open();
        CellValue v;
        r.ReadCell(0, 0, 39, v);
    };
    const Case cases[] = {
        {"File is not a Excel file", {}, read},
        {"File is not a Excel file", {0x09, 0x08}, read},
        {"File is not a Excel file", {text.begin(), text.end()}, read},
        {"File is not a Excel file", {0x09, 0x07, 0, 0, 0, 0}, read},
        {"File is not a Excel Workbook", noBook.Document("Something"), read},
        {"Can not read, file is encrypted", encrypted, read},
        {"Can not read, file is encrypted", encrypted, cell(0)},
        {"Can not find the sheet", ModelLike(1), cell(1)},
        {"Can not find the sheet", ModelLike(1), cell(-1)},
        {"File has no data", noData, cell(0)},
        {"DBCELL record is missing", Indexed(1), lastRow},
        {"ROW record is missing", Indexed(2), lastRow},
        {"ROW record is missing", Indexed(4), lastRow},
        {"File is damaged", Indexed(3), lastRow},
        // A cell left of column A is not looked for, so the damage is not reached.
        {"", Indexed(3),
         [](XlsReader& r) {
             r.Open();
             CellValue v;
             EXPECT_FALSE(r.ReadCell(0, -1, 39, v));
         }},
        {"File is not open", ModelLike(1),
         [](XlsReader& r) {
             CellValue v;
             r.ReadCell(0, 0, 0, v);
         }},
        {"File is damaged", truncated, read},
        {"File is damaged", wrapping, read},
        {"File is damaged", wrapping, cell(0)},
        {"File is damaged", onePast, read},
        {"File is damaged", onePast, cell(0)},
        {"File is damaged", cutSst, read},
        {"File is damaged", noFlags, read},
        {"File is damaged", shortBof, read},
        {"File is damaged", // an older rich text that counts a run it does not hold
         OldSheet({{0x0409, kSheetBof}, {0x00D6, {0, 0, 1, 0, 15, 0, 3, 0, 'a', 'b', 'c', 1}}}),
         read},
        {"File is damaged", shortInteger, read},
        {"File is damaged", shortInteger, cell(0)},
        {"File is damaged", shortString, read},
        {"File is damaged", shortString, cell(0)},
        {"File is damaged", OldSheet({{0x0409, kSheetBof}, {0x00BE, {0, 0, 0, 0, 4}}}), cell(0)},
        {"File is damaged", OldSheet({{0x0209, kSheetBof}, {0x001E, {}}}), read},
        {"File is damaged", OldSheet({{0x0409, kSheetBof}, {0x0022, {1}}}), read}, // date mode
        {"File is damaged", OldSheet({{0x0409, kSheetBof}, {0x00E0, {0, 0, 0}}}), read}, // format
        // An old formula one byte short of its result (its cell head has three attribute bytes).
        {"File is damaged", OldSheet({{0x0009, kSheetBof}, {0x0006, std::vector<uint8_t>(14)}}),
         read},
        // MULRK: one cell and a stray byte.
        {"File is damaged",
         OldSheet({{0x0409, kSheetBof}, {0x00BD, {0, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 9}}}), read},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        XlsReader r;
        r.SetBuffer(c.bytes);
        EXPECT_EQ(ErrorOf([&] { c.act(r); }), c.expected);
    }
    XlsReader r;
    EXPECT_EQ(ErrorOf([&] { r.Read(); }), "Filename is missing");
    r.FileName = " /nonexistent/dir/x.tv5\t"; // the name is trimmed
    EXPECT_EQ(ErrorOf([&] { r.Read(); }), "Can not open file \"/nonexistent/dir/x.tv5\"");
}

TEST(XlsReader, ErrorLevels) {
    std::vector<std::string> shown;
    XlsReader r;
    r.SetBuffer({'x', 'y', 'z', 'w'});
    r.OnError = [&](const std::string& m) { shown.push_back(m); };
    r.ErrorLevel = XlsErrorLevel::xelMessage;
    EXPECT_THROW(r.Read(), WorkbookError);
    r.ErrorLevel = XlsErrorLevel::xelIgnore;
    EXPECT_NO_THROW(r.Read());
    EXPECT_EQ(r.LastError(), "File is not a Excel file");
    EXPECT_EQ(shown, std::vector<std::string>{"File is not a Excel file"});
}

TEST(XlsReader, ReadDoesNothingWhileOpenForRandomAccess) {
    XlsReader r;
    r.SetBuffer(ModelLike(1));
    r.Open();
    int cells = 0;
    r.OnNumberCell = [&](int, int, int, double, bool) { ++cells; };
    r.Read();
    EXPECT_EQ(cells, 0);
    r.Close();
    r.Read();
    EXPECT_GT(cells, 0);
}

} // namespace
} // namespace tv

#include "workbook/XlsWrite.h"
#include "workbook/ByteIo.h"
#include "workbook/CompoundDocument.h"
#include "workbook/WorkbookError.h"

#include <gtest/gtest.h>

#include <functional>

namespace tv {
namespace {

struct Written {
    uint16_t Type;
    std::vector<uint8_t> Data;
};

std::vector<Written> Records(XlsWriter& w, const std::function<void(XlsWriter&)>& body) {
    std::vector<Written> out;
    w.OnWriteData = [&](uint16_t type, std::span<const uint8_t> d) {
        out.push_back({type, {d.begin(), d.end()}});
    };
    w.OpenMemory();
    body(w);
    w.CloseFile();
    return out;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const WorkbookError& e) {
        return e.what();
    }
    return "";
}

TEST(XlsWriter, FailuresCarryTheirTexts) {
    struct Case {
        const char* expected;
        std::function<void(XlsWriter&)> act;
    };
    const Case cases[] = {
        {"Filename is missing", [](XlsWriter& w) { w.OpenFile(); }},
        {"Filename is missing",
         [](XlsWriter& w) {
             w.FileName = "  \t";
             w.OpenFile();
         }},
        {"Sheet Name is missing",
         [](XlsWriter& w) {
             w.Sheets = {"A", ""};
             w.OpenMemory();
         }},
        {"File is allready open",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.OpenMemory();
         }},
        {"Version can not be changed while file is open",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.SetXlsVersion(XlsVersion::xls97);
         }},
        {"Can not write cells when file is closed", [](XlsWriter& w) { w.WriteNumber(0, 0, 1); }},
        {"Can not write cells when file is closed",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.CloseFile();
             w.WriteString(0, 0, "x");
         }},
        {"Cell R3,C2: String length more than 255 bytes",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.WriteString(2, 3, std::string(256, 'a'));
         }},
        // Beyond what the record fields hold: refused instead of written truncated.
        {"Cell R70000,C0: Cell position out of range",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.WriteNumber(0, 70000, 1);
         }},
        {"", // the last row and column the fields hold
         [](XlsWriter& w) {
             w.OpenMemory();
             w.WriteNumber(0xFF, 0xFFFF, 1);
         }},
        {"Cell R0,C-1: Cell position out of range",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.WriteNumber(-1, 0, 1);
         }},
        {"Cell format is not defined",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.WriteNumber(0, 0, 1, 0);
         }},
        {"Sheet Name is too long",
         [](XlsWriter& w) {
             w.Sheets = {std::string(32, 'S')};
             w.OpenMemory();
         }},
        {"There is no next sheet",
         [](XlsWriter& w) {
             w.OpenMemory();
             w.NextSheet();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        XlsWriter w;
        EXPECT_EQ(ErrorOf([&] { c.act(w); }), c.expected);
    }
}

TEST(XlsWriter, CloseWithoutOpenDoesNothing) {
    XlsWriter w;
    EXPECT_NO_THROW(w.CloseFile());
    EXPECT_FALSE(w.FileIsOpen());
    EXPECT_TRUE(w.Bytes().empty());
}

TEST(XlsWriter, LabelOf255CharactersIsWritten) {
    XlsWriter w;
    auto recs = Records(w, [](XlsWriter& x) { x.WriteString(1, 2, std::string(255, 'z')); });
    auto it = std::find_if(recs.begin(), recs.end(), [](auto& r) { return r.Type == 0x0204; });
    ASSERT_NE(it, recs.end());
    EXPECT_EQ(it->Data.size(), 255u + 9);
    EXPECT_EQ(bytes::U16(it->Data.data() + 6), 255);
    EXPECT_EQ(it->Data.back(), 0);
}

TEST(XlsWriter, EmptyTextWritesNothing) {
    XlsWriter w;
    auto recs = Records(w, [](XlsWriter& x) { x.WriteString(0, 0, ""); });
    EXPECT_EQ(std::count_if(recs.begin(), recs.end(), [](auto& r) { return r.Type == 0x0204; }), 0);
}

// The record sequence of a one-sheet workbook with one number: the global part, the sheet's
// opening records, the cell and the closing records.
TEST(XlsWriter, RecordOrder) {
    XlsWriter w;
    w.Sheets = {"TERVALIS"};
    auto recs = Records(w, [](XlsWriter& x) { x.WriteNumber(0, 0, 1.0); });
    std::vector<uint16_t> types;
    for (auto& r : recs)
        types.push_back(r.Type);
    std::vector<uint16_t> expected = {0x0809, 0x005C, 0x0042, 0x009C, 0x0016, 0x0017,
                                      0x0019, 0x0012, 0x0013, 0x003D, 0x0040, 0x008D,
                                      0x0022, 0x000E, 0x01B7, 0x00DA};
    expected.insert(expected.end(), 9, 0x041E);
    expected.insert(expected.end(), 16, 0x00E0);
    expected.insert(expected.end(), 6, 0x0031);
    expected.insert(expected.end(), 6, 0x0293);
    for (uint16_t t :
         {0x0092, 0x0085, 0x000A, 0x0809, 0x005E, 0x000D, 0x000C, 0x000F, 0x0011, 0x0010, 0x005F,
          0x002A, 0x002B, 0x0082, 0x0080, 0x0225, 0x008C, 0x0081, 0x0014, 0x0015, 0x0083, 0x0084,
          0x00A1, 0x0016, 0x0017, 0x0000, 0x0055, 0x0203, 0x003D, 0x023E, 0x001D, 0x000A})
        expected.push_back(t);
    EXPECT_EQ(types, expected);

    auto find = [&](uint16_t t) {
        return *std::find_if(recs.begin(), recs.end(), [&](auto& r) { return r.Type == t; });
    };
    // Workbook and sheet BOF: version 5, the kind, build 3515 of 1998.
    std::vector<std::vector<uint8_t>> bofs;
    for (auto& r : recs)
        if (r.Type == 0x0809) bofs.push_back(r.Data);
    EXPECT_EQ(bofs, (std::vector<std::vector<uint8_t>>{{0, 5, 5, 0, 0xBB, 0x0D, 0xCE, 0x07},
                                                       {0, 5, 0x10, 0, 0xBB, 0x0D, 0xCE, 0x07}}));
    EXPECT_EQ(find(0x0000).Data.size(), 256u);
    EXPECT_EQ(find(0x00A1).Data.size(), 34u);
    EXPECT_EQ(bytes::U16(find(0x00A1).Data.data() + 2), 46);    // scaling
    EXPECT_EQ(bytes::U16(find(0x00A1).Data.data() + 10), 0x02); // portrait
    EXPECT_EQ(bytes::F64(find(0x00A1).Data.data() + 16), 0.5);  // header and footer margins
    EXPECT_EQ(bytes::F64(find(0x00A1).Data.data() + 24), 0.5);
    // First sheet, grid, headings; scrolled to A1.
    EXPECT_EQ(find(0x023E).Data, (std::vector<uint8_t>{0xB6, 0x06, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bytes::U16(find(0x0203).Data.data() + 4), 15); // default cell format
    EXPECT_EQ(bytes::U16(find(0x0042).Data.data()), 1252);
    // Every two-byte setting in order: code page, protection, calculation, references, grid ...
    std::vector<std::pair<uint16_t, uint16_t>> words;
    for (auto& r : recs)
        if (r.Data.size() == 2) words.emplace_back(r.Type, bytes::U16(r.Data.data()));
    EXPECT_EQ(words,
              (std::vector<std::pair<uint16_t, uint16_t>>{
                  {0x0042, 1252},   {0x009C, 14},     {0x0016, 1}, {0x0019, 0}, {0x0012, 0},
                  {0x0013, 0},      {0x0040, 0},      {0x008D, 0}, {0x0022, 0}, {0x000E, 1},
                  {0x01B7, 0},      {0x00DA, 0},      {0x005E, 0}, {0x000D, 1}, {0x000C, 100},
                  {0x000F, 1},      {0x0011, 0},      {0x005F, 1}, {0x002A, 0}, {0x002B, 0},
                  {0x0082, 1},      {0x0081, 0x04C1}, {0x0083, 0}, {0x0084, 0}, {0x0016, 1},
                  {0x0017, 0x0201}, {0x0055, 8}}));
    EXPECT_EQ(bytes::F64(find(0x0010).Data.data()), 0.001);
    EXPECT_EQ(find(0x0225).Data, (std::vector<uint8_t>{0, 0, 255, 0}));
    EXPECT_EQ(find(0x008C).Data, (std::vector<uint8_t>{1, 0, 1, 0}));
    // Selection in pane 3: cell A1, one range.
    EXPECT_EQ(find(0x001D).Data,
              (std::vector<uint8_t>{3, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    // Window at 120/120 twips, 23820 x 15720, horizontal and vertical scroll bars and tabs.
    EXPECT_EQ(find(0x003D).Data, (std::vector<uint8_t>{120, 0, 120, 0, 0x0C, 0x5D, 0x68, 0x3D, 0x38,
                                                       0, 0, 0, 0, 0, 1, 0, 0x58, 2}));
}

TEST(XlsWriter, MarginsAreWrittenOnlyWhenNotNegative) {
    XlsWriter w;
    w.PageSetup.MarginTop = 1.25;
    auto recs = Records(w, [](XlsWriter&) {});
    std::vector<uint16_t> margins;
    for (auto& r : recs)
        if (r.Type >= 0x0026 && r.Type <= 0x0029) margins.push_back(r.Type);
    EXPECT_EQ(margins, std::vector<uint16_t>{0x0028});
}

// Each BOUNDSHEET offset is filled in when its sheet starts and points at that sheet's BOF,
// also for sheets that CloseFile starts without cells.
TEST(XlsWriter, SheetOffsetsPointAtTheirBof) {
    XlsWriter w;
    w.Sheets = {"One", "Two", "Three"};
    w.OpenMemory();
    w.WriteNumber(0, 0, 1);
    w.NextSheet();
    w.WriteNumber(0, 0, 2);
    w.CloseFile();
    CompoundReader doc(w.Bytes());
    auto book = doc.ReadRootStream("Book");
    ASSERT_TRUE(book);
    const auto& s = *book;
    std::vector<uint32_t> offsets;
    std::vector<uint16_t> window2;
    for (size_t pos = 0; pos + 4 <= s.size();) {
        uint16_t type = bytes::U16(&s[pos]), len = bytes::U16(&s[pos + 2]);
        if (type == 0x0085) offsets.push_back(bytes::U32(&s[pos + 4]));
        if (type == 0x023E) window2.push_back(bytes::U16(&s[pos + 4]));
        pos += 4 + len;
    }
    ASSERT_EQ(offsets.size(), 3u);
    for (uint32_t off : offsets) {
        ASSERT_LT(off + 8, s.size());
        EXPECT_EQ(bytes::U16(&s[off]), 0x0809);
        EXPECT_EQ(bytes::U16(&s[off + 6]), 0x0010);
    }
    EXPECT_EQ(window2, (std::vector<uint16_t>{0x06B6, 0x04B6, 0x04B6}));
}

TEST(XlsWriter, UserFormatsGetTheirOwnXfFormatAndFont) {
    XlsWriter w;
    CellFormat date;
    date.TextFormat = CellTextFormat::tfDate;
    CellFormat user;
    user.TextFormat = CellTextFormat::tfUser;
    user.TextFormatUser = "0.000";
    user.Font = ExcelFont{"Courier New", 12, xfsBold};
    user.CellColor = 0;
    CellFormat boxed; // thin black lines on all four sides, filled with palette colour 5
    boxed.Border = cbLeft | cbRight | cbTop | cbBottom;
    boxed.CellColor = 5;
    boxed.Locked = false;
    boxed.Hidden = true;
    w.Formats = {date, user, boxed};
    auto recs = Records(w, [](XlsWriter& x) { x.WriteNumber(0, 0, 1, 1); });
    std::vector<std::vector<uint8_t>> xfs, fonts;
    std::vector<uint16_t> formatIndexes, builtInStyles;
    for (auto& r : recs) {
        if (r.Type == 0x00E0) xfs.push_back(r.Data);
        if (r.Type == 0x0031) fonts.push_back(r.Data);
        if (r.Type == 0x041E) formatIndexes.push_back(bytes::U16(r.Data.data()));
        if (r.Type == 0x0293) builtInStyles.push_back(bytes::U16(r.Data.data()));
        if (r.Type == 0x0203) {
            EXPECT_EQ(bytes::U16(r.Data.data() + 4), 17);
        }
    }
    ASSERT_EQ(xfs.size(), 19u);
    std::vector<uint16_t> styles; // comma, comma 0, currency, currency 0, percent
    for (int k = 10; k < 15; ++k)
        styles.push_back(bytes::U16(xfs[k].data() + 2));
    EXPECT_EQ(styles, (std::vector<uint16_t>{43, 41, 44, 42, 9}));
    EXPECT_EQ(builtInStyles,
              (std::vector<uint16_t>{0x8000, 0x800A, 0x800B, 0x800C, 0x800D, 0x800E}));
    std::vector<uint16_t> xfFonts;
    for (const auto& xf : xfs)
        xfFonts.push_back(bytes::U16(xf.data()));
    EXPECT_EQ(xfFonts,
              (std::vector<uint16_t>{0, 1, 1, 2, 2, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 7, 0}));
    std::vector<uint8_t> used; // attribute groups: none in the first, all in the user ones
    for (const auto& xf : xfs) {
        EXPECT_EQ(xf.size(), 16u);
        used.push_back(xf[7]);
    }
    EXPECT_EQ(used,
              (std::vector<uint8_t>{0x00, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4,
                                    0xF8, 0xF8, 0xF8, 0xF8, 0xF8, 0, 0xFC, 0xFC, 0xFC}));
    EXPECT_EQ(bytes::U32(xfs[18].data() + 8), 0x10412085u);
    EXPECT_EQ(bytes::U32(xfs[18].data() + 12), 0x04081049u);
    EXPECT_EQ(bytes::U16(xfs[16].data() + 2), 56);      // tfDate
    EXPECT_EQ(bytes::U16(xfs[16].data() + 4), 1);       // locked
    EXPECT_EQ(bytes::U32(xfs[16].data() + 8), 0x20C0u); // no fill: system colours 64 and 65
    EXPECT_EQ(bytes::U16(xfs[18].data() + 4), 2);       // hidden, not locked
    EXPECT_EQ(bytes::U16(xfs[17].data() + 2), 60);      // 59 + k
    EXPECT_EQ(bytes::U16(xfs[17].data()), 7);           // first user font
    EXPECT_EQ(formatIndexes.back(), 60);
    EXPECT_EQ(bytes::U32(xfs[17].data() + 8), 0x12080u); // the first palette colour fills too
    ASSERT_EQ(fonts.size(), 7u);
    EXPECT_EQ(bytes::U16(fonts[6].data() + 6), 700);
    // the name after its length byte
    EXPECT_EQ(std::string(fonts[6].begin() + 14, fonts[6].end()),
              char(11) + std::string("Courier New"));
}

// The whole file of a workbook that uses every setting, byte for byte: other programs read
// what the writer wrote, so any change to it must be deliberate (update the digest then).
TEST(XlsWriter, WrittenBytesAreStable) {
    XlsWriter w;
    w.Sheets = {"Modell", "Grö\xC3\x9F"
                          "en"};
    w.Options = soGridlines | soProtected;
    w.PageSetup.MarginLeft = 0.75;
    w.PageSetup.MarginBottom = 1.5;
    w.PageSetup.Copies = 2;
    w.PageSetup.Options = poPortrait | poDraft | poNotes | 0x04;
    CellFormat user;
    user.TextFormat = CellTextFormat::tfUser;
    user.TextFormatUser = "0.0 \"\xE2\x82\xAC\"";
    user.Font = ExcelFont{"Times", 11.5, xfsItalic | xfsStrikeOut, SubSuperScript::Sub, 2, 1, 12};
    user.WrapText = true;
    user.CellColor = 9;
    user.Horiz = HorizAlignment::Right;
    user.Vert = VertAlignment::Center;
    user.Border = cbTop | cbRight;
    CellFormat percent;
    percent.TextFormat = CellTextFormat::tfPercent;
    w.Formats = {user, percent};
    w.OpenMemory();
    w.WriteNumber(3, 700, -2.5, 0);
    w.WriteString(255, 1, "\xC3\xA4\xE2\x80\x93", 1);
    w.NextSheet();
    w.WriteNumber(0, 0, 1e300);
    w.CloseFile();
    uint64_t digest = 14695981039346656037u; // FNV-1a
    for (uint8_t b : w.Bytes())
        digest = (digest ^ b) * 1099511628211u;
    EXPECT_EQ(w.Bytes().size(), 4608u);
    EXPECT_EQ(digest, 18399193462846634650u);
}

TEST(XlsWriter, WritesTheFileOnClose) {
    const std::string path = std::string(WORKBOOK_TEST_OUT) + "/writer_file.xls";
    XlsWriter w;
    w.FileName = " " + path + " ";
    w.OpenFile();
    w.WriteNumber(1, 1, 3.5);
    w.CloseFile();
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> data(1 << 16);
    data.resize(std::fread(data.data(), 1, data.size(), f));
    std::fclose(f);
    EXPECT_TRUE(HasCompoundSignature(data));
    EXPECT_EQ(data.size() % 512, 0u);
}

} // namespace
} // namespace tv

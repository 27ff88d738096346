// Exchange with independent implementations: xlrd reads what the writer wrote, the reader
// reads what xlwt wrote, and the committed samples.

#include "workbook/CompoundDocument.h"
#include "workbook/WorkbookError.h"
#include "workbook/XlsRead.h"
#include "workbook/XlsWrite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <span>
#include <sstream>
#include <tuple>

namespace tv {
namespace {

const std::string SourceDir = WORKBOOK_TEST_DIR;
const std::string OutDir = WORKBOOK_TEST_OUT;
// Debian's interpreter carries the xlrd and xlwt packages; another python3 may not.
const char* const Python = "/usr/bin/python3";

int RunPython(const std::string& args) {
    std::string cmd = std::string(Python) + " " + args;
    int rc = std::system(cmd.c_str());
    return rc == -1 ? -1 : WEXITSTATUS(rc);
}

std::string Hex(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%a", v);
    return buf;
}

TEST(Interop, XlrdReadsEveryCellTheWriterWrote) {
    const std::string book = OutDir + "/interop_written.xls";
    const std::string expected = OutDir + "/interop_written.tsv";
    std::ofstream tsv(expected);
    XlsWriter w;
    w.FileName = book;
    w.Sheets = {"TERVALIS", "Zweite Tabelle"};
    w.OpenFile();
    tsv << "sheet\t0\tTERVALIS\nsheet\t1\tZweite Tabelle\n";
    auto number = [&](int sheet, int col, int row, double v) {
        w.WriteNumber(col, row, v);
        tsv << sheet << "\t" << row << "\t" << col << "\tn\t" << Hex(v) << "\n";
    };
    auto text = [&](int sheet, int col, int row, const std::string& s) {
        w.WriteString(col, row, s);
        tsv << sheet << "\t" << row << "\t" << col << "\ts\t" << s << "\n";
    };
    const double specials[] = {0.0,   -0.0,      1e-308,       4.9e-324, 1.7976931348623157e308,
                               -3.25, 1.0 / 3.0, 123456789.125};
    for (int k = 0; k < 8; ++k)
        number(0, 99 + k, 0, specials[k]);
    for (int row = 8; row < 300; ++row)
        for (int col = 0; col < 64; ++col)
            number(0, col, row, row * 1.5 - col / 7.0);
    text(0, 200, 1, "Größe, Maß & Übel: 5 €");
    text(0, 201, 1, std::string(255, 'L'));
    w.NextSheet();
    number(1, 0, 0, 42);
    text(1, 1, 0, "t");
    w.CloseFile();
    tsv.close();
    EXPECT_EQ(RunPython(SourceDir + "/xlrd_compare.py " + book + " " + expected), 0);
}

// A stream of exactly the mini-stream cut-off belongs in whole sectors; beside it a second
// stream in either place.
TEST(Interop, XlrdReadsStreamsAtTheMiniStreamCutOff) {
    auto save = [](const std::string& path, std::span<const uint8_t> bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    const std::vector<std::vector<size_t>> layouts = {
        {4096}, {4096, 100}, {4096, 4096}, {4095, 4096}};
    for (const auto& sizes : layouts) {
        std::vector<std::vector<uint8_t>> data(sizes.size());
        std::vector<CompoundStream> streams;
        std::string args = OutDir + "/cutoff.doc";
        for (size_t k = 0; k < sizes.size(); ++k) {
            for (size_t i = 0; i < sizes[k]; ++i)
                data[k].push_back(uint8_t(i * 7 + k + (i >> 8)));
            const std::string name = k == 0 ? "Workbook" : "Second";
            save(OutDir + "/cutoff_" + name + ".bin", data[k]);
            streams.push_back({name, data[k]});
            args += " " + name + "=" + OutDir + "/cutoff_" + name + ".bin";
        }
        save(OutDir + "/cutoff.doc", BuildCompoundDocument(streams));
        EXPECT_EQ(RunPython(SourceDir + "/compdoc_compare.py " + args), 0)
            << sizes[0] << " + " << (sizes.size() > 1 ? sizes[1] : 0);
    }
}

using CellKey = std::tuple<int, int, int>; // sheet, row, col
using CellList = std::map<CellKey, std::pair<char, std::string>>;

CellList ReadExpected(const std::string& path) {
    CellList cells;
    std::ifstream f(path);
    std::string line;
    while (std::getline(f, line)) {
        std::istringstream is(line);
        int sheet, row, col;
        std::string kind, value;
        is >> sheet >> row >> col >> kind;
        is.get();
        std::getline(is, value);
        if (kind != "s") value = Hex(std::strtod(value.c_str(), nullptr));
        cells[{sheet, row, col}] = {kind[0], value};
    }
    return cells;
}

CellList ReadWithEvents(XlsReader& r, std::vector<std::string>* sheets = nullptr) {
    CellList cells;
    int sheet = -1;
    r.OnSheet = [&](std::string_view name, int index, bool&) {
        sheet = index;
        if (sheets) sheets->emplace_back(name);
    };
    r.OnNumberCell = [&](int c, int row, int, double v, bool) {
        cells[{sheet, row, c}] = {'n', Hex(v)};
    };
    r.OnDateTimeCell = [&](int c, int row, int, double v, bool) {
        cells[{sheet, row, c}] = {'d', Hex(v)};
    };
    r.OnStringCell = [&](int c, int row, int, std::string_view v, bool) {
        cells[{sheet, row, c}] = {'s', std::string(v)};
    };
    r.Read();
    return cells;
}

TEST(Interop, ReadsWhatXlwtWrote) {
    const std::string book = OutDir + "/interop_xlwt.xls";
    const std::string expected = OutDir + "/interop_xlwt.tsv";
    ASSERT_EQ(RunPython(SourceDir + "/xlwt_write.py " + book + " " + expected), 0);
    CellList want = ReadExpected(expected);
    ASSERT_GT(want.size(), 4000u);
    XlsReader r;
    r.FileName = book;
    EXPECT_EQ(ReadWithEvents(r), want);
    EXPECT_EQ(r.BiffVersion(), 8);

    r.Open();
    CellValue v;
    ASSERT_TRUE(r.ReadCell(1, 0, 1497, v));
    EXPECT_EQ(std::get<std::string>(v), "line 1497 plain");
    ASSERT_TRUE(r.ReadCell(1, 1, 0, v));
    EXPECT_EQ(std::get<std::string>(v), std::string(9000, 'x'));
    ASSERT_TRUE(r.ReadCell(0, 3, 199, v));
    EXPECT_EQ(std::get<double>(v), 42 * 200);
}

TEST(Interop, CommittedSampleWorkbook) {
    XlsReader r;
    r.FileName = SourceDir + "/samples/mixed_biff8.xls";
    std::vector<std::string> sheets;
    CellList cells = ReadWithEvents(r, &sheets);
    EXPECT_EQ(sheets, (std::vector<std::string>{"Zahlen", "Zweite"}));
    const CellList want = {
        {{0, 0, 0}, {'n', Hex(10)}}, {{0, 0, 1}, {'n', Hex(20)}},    {{0, 0, 2}, {'n', Hex(30)}},
        {{0, 0, 3}, {'n', Hex(40)}}, {{0, 1, 0}, {'n', Hex(1.5)}},   {{0, 1, 1}, {'s', "Hallo"}},
        {{0, 1, 2}, {'s', "Grüße"}}, {{0, 2, 0}, {'d', Hex(36892)}}, {{1, 0, 0}, {'n', Hex(99)}},
        {{1, 5, 3}, {'s', "Hallo"}},
    };
    EXPECT_EQ(cells, want);
}

TEST(Interop, TextFileWithTheModelExtensionIsRefused) {
    XlsReader r;
    r.FileName = SourceDir + "/samples/not_a_workbook.tv5";
    try {
        r.Open();
        FAIL() << "opened a text file";
    } catch (const WorkbookError& e) {
        EXPECT_STREQ(e.what(), "File is not a Excel file");
    }
}

} // namespace
} // namespace tv

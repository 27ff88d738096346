// libFuzzer target: the workbook reader on arbitrary bytes, through the event walk and the
// single-cell access. Any WorkbookError is a correct answer; anything else is a finding.

#include "workbook/WorkbookError.h"
#include "workbook/XlsRead.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    tv::XlsReader r;
    size_t seen = 0;
    r.OnSheet = [&](std::string_view name, int index, bool& readIt) {
        seen += name.size();
        readIt = index != 1;
    };
    r.OnNumberCell = [&](int, int, int, double, bool) { ++seen; };
    r.OnDateTimeCell = [&](int, int, int, double, bool) { ++seen; };
    r.OnStringCell = [&](int, int, int, std::string_view v, bool) { seen += v.size(); };
    r.OnBoolCell = [&](int, int, int, bool, bool) { ++seen; };
    r.OnBlankCell = [&](int, int, int) { ++seen; };
    r.OnRichCell = [&](int, int, int, std::string_view v, std::span<const tv::FormatRun> f) {
        seen += v.size() + f.size();
    };
    r.OnCol = [&](int, int, int, int) { ++seen; };
    r.OnRow = [&](int, int, int, int, int) { ++seen; };
    r.OnUnhandled = [&](uint16_t, std::span<const uint8_t> d) { seen += d.size(); };
    r.OnProgress = [&](int p) { seen += size_t(p); };
    r.SetBuffer(bytes);
    try {
        r.Read();
    } catch (const tv::WorkbookError&) {
    }
    try {
        r.Open();
        tv::CellValue v;
        const int probes[][3] = {{0, 0, 0}, {0, 99, 0}, {0, 3, 40}, {1, 0, 0}, {0, 255, 65535}};
        for (const auto& p : probes) {
            try {
                r.ReadCell(p[0], p[1], p[2], v);
            } catch (const tv::WorkbookError&) {
            }
        }
        r.Close();
    } catch (const tv::WorkbookError&) {
    }
    return seen == size_t(-1);
}

#include "workbook/XlsRead.h"

#include "workbook/ByteIo.h"
#include "workbook/Codepage.h"
#include "workbook/CompoundDocument.h"
#include "workbook/ExcelMask.h"
#include "workbook/WorkbookError.h"

#include <algorithm>
#include <fstream>

namespace tv {

using namespace bytes;

namespace {

enum : uint16_t {
    rINTEGER = 0x0002,
    rNUMBER2 = 0x0003,
    rLABEL2 = 0x0004,
    rFORMULA = 0x0006,
    rSTRING2 = 0x0007,
    rBOF2 = 0x0009,
    rEOF = 0x000A,
    rEXTERNSHEET = 0x0017,
    rNAME = 0x0018,
    rFORMAT2 = 0x001E,
    rDATEMODE = 0x0022,
    rEXTERNNAME = 0x0023,
    rFILEPASS = 0x002F,
    rFONT = 0x0031,
    rCONTINUE = 0x003C,
    rCODEPAGE = 0x0042,
    rCOLINFO = 0x007D,
    rRK2 = 0x007E,
    rBOUNDSHEET = 0x0085,
    rPALETTE = 0x0092,
    rSHRFMLA = 0x00BC,
    rMULRK = 0x00BD,
    rMULBLANK = 0x00BE,
    rRSTRING = 0x00D6,
    rDBCELL = 0x00D7,
    rXF = 0x00E0,
    rDRAWINGGROUP = 0x00EB,
    rDRAWING = 0x00EC,
    rSST = 0x00FC,
    rLABELSST = 0x00FD,
    rSUPBOOK = 0x01AE,
    rDIMENSIONS = 0x0200,
    rBLANK = 0x0201,
    rNUMBER = 0x0203,
    rLABEL = 0x0204,
    rBOOLERR = 0x0205,
    rFORMULA3 = 0x0206,
    rSTRING = 0x0207,
    rROW = 0x0208,
    rBOF3 = 0x0209,
    rINDEX = 0x020B,
    rNAME3 = 0x0218,
    rARRAY = 0x0221,
    rEXTERNNAME3 = 0x0223,
    rFONT3 = 0x0231,
    rTABLE = 0x0236,
    rRK = 0x027E,
    rFORMULA4 = 0x0406,
    rBOF4 = 0x0409,
    rFORMAT = 0x041E,
    rSHRFMLA4 = 0x04BC,
    rBOF = 0x0809,
};

constexpr uint16_t GlobalsType = 0x0005;
constexpr uint16_t Biff4WorkbookType = 0x0100;
constexpr double Days1904 = 1462;

[[noreturn]] void Damaged() {
    throw WorkbookError(wbmsg::Damaged);
}

bool IsBof(uint16_t t) {
    return t == rBOF2 || t == rBOF3 || t == rBOF4 || t == rBOF;
}

struct Rec {
    uint16_t Type = 0;
    const uint8_t* Data = nullptr;
    size_t Len = 0;
    size_t Pos = 0;
    size_t Next = 0;
};

// The record at pos; false at the end of the stream. A record running past the end is damage.
bool RecordAt(const std::vector<uint8_t>& s, size_t pos, Rec& r) {
    if (pos > s.size() || s.size() - pos < 4) return false;
    r.Type = U16(s.data() + pos);
    r.Len = U16(s.data() + pos + 2);
    if (s.size() - pos - 4 < r.Len) Damaged();
    r.Data = s.data() + pos + 4;
    r.Pos = pos;
    r.Next = pos + 4 + r.Len;
    return true;
}

// As RecordAt, but a record running past the end is merely absent: for positions taken from
// offsets inside the file, where the caller reports what it expected to find.
bool ProbeRecord(const std::vector<uint8_t>& s, size_t pos, Rec& r) {
    if (pos > s.size() || s.size() - pos < 4 || s.size() - pos - 4 < U16(s.data() + pos + 2))
        return false;
    return RecordAt(s, pos, r);
}

void Need(const Rec& r, size_t n) {
    if (r.Len < n) Damaged();
}

double Rk(uint32_t rk) {
    double v;
    if (rk & 2) {
        v = double(int32_t(rk) >> 2);
    } else {
        uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100 : v;
}

const char* ErrorText(uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#ERR";
    }
}

void Append8(std::string& out, const uint8_t* p, size_t n, int codepage) {
    if (codepage == 28591)
        codepage::AppendLatin1(out, p, n);
    else
        codepage::Append1252(out, p, n);
}

// A newer-format string inside one record: character count of cchBytes bytes, option flags,
// then the characters (8 or 16 bit); the formatting runs and extension data are skipped.
const uint8_t* Unicode(const uint8_t* p, const uint8_t* end, int cchBytes, std::string& out) {
    auto need = [&](size_t n) {
        if (size_t(end - p) < n) Damaged();
    };
    need(size_t(cchBytes) + 1);
    size_t cch = cchBytes == 2 ? U16(p) : p[0];
    p += cchBytes;
    uint8_t flags = *p++;
    size_t nRuns = 0, ext = 0;
    if (flags & 0x08) {
        need(2);
        nRuns = U16(p);
        p += 2;
    }
    if (flags & 0x04) {
        need(4);
        ext = U32(p);
        p += 4;
    }
    if (flags & 0x01) {
        need(cch * 2);
        codepage::AppendUtf16(out, p, cch);
        p += cch * 2;
    } else {
        need(cch);
        codepage::AppendLatin1(out, p, cch);
        p += cch;
    }
    need(nRuns * 4);
    p += nRuns * 4;
    need(ext);
    return p + ext;
}

// A record's data followed by the data of its CONTINUE records, read as one sequence. A
// string whose characters are split repeats its option flags at the start of the next part.
class Continued {
  public:
    Continued(const std::vector<uint8_t>& s, const Rec& first) {
        parts_.push_back({first.Data, first.Len});
        Rec r;
        size_t pos = first.Next;
        while (RecordAt(s, pos, r) && r.Type == rCONTINUE) {
            parts_.push_back({r.Data, r.Len});
            pos = r.Next;
        }
        end_ = pos;
    }
    size_t End() const { return end_; } // stream position after the last part
    bool AtEnd() {
        while (part_ < parts_.size() && off_ == parts_[part_].second)
            NextPart();
        return part_ >= parts_.size();
    }
    uint8_t Byte() {
        if (AtEnd()) Damaged();
        return parts_[part_].first[off_++];
    }
    uint16_t Word() {
        uint16_t lo = Byte();
        return uint16_t(lo | (Byte() << 8));
    }
    uint32_t Long() {
        uint32_t lo = Word();
        return lo | (uint32_t(Word()) << 16);
    }
    void Skip(size_t n) {
        while (n > 0) {
            if (AtEnd()) Damaged();
            size_t take = std::min(n, parts_[part_].second - off_);
            off_ += take;
            n -= take;
        }
    }
    void Chars(size_t cch, bool wide, std::string& out) {
        while (cch > 0) {
            if (part_ >= parts_.size()) Damaged();
            if (off_ == parts_[part_].second) {
                NextPart();
                wide = Byte() & 0x01;
                continue;
            }
            size_t width = wide ? 2 : 1;
            size_t avail = (parts_[part_].second - off_) / width;
            if (avail == 0) Damaged();
            size_t take = std::min(cch, avail);
            const uint8_t* p = parts_[part_].first + off_;
            if (wide)
                codepage::AppendUtf16(out, p, take);
            else
                codepage::AppendLatin1(out, p, take);
            off_ += take * width;
            cch -= take;
        }
    }

  private:
    void NextPart() {
        ++part_;
        off_ = 0;
    }
    std::vector<std::pair<const uint8_t*, size_t>> parts_;
    size_t part_ = 0, off_ = 0, end_ = 0;
};

// Position of a cell record's fields: BIFF2 cells carry 3 attribute bytes, later ones a
// 2-byte XF index.
struct CellHead {
    int Row, Col, Xf;
    const uint8_t* Value;
};

bool IsBiff2Cell(uint16_t type, int biff) {
    return type == rINTEGER || type == rNUMBER2 || type == rLABEL2 ||
           (type == rFORMULA && biff == 2);
}

CellHead Head(const Rec& r, int biff) {
    if (IsBiff2Cell(r.Type, biff)) {
        Need(r, 7);
        return {U16(r.Data), U16(r.Data + 2), r.Data[4] & 0x3F, r.Data + 7};
    }
    Need(r, 6);
    return {U16(r.Data), U16(r.Data + 2), U16(r.Data + 4), r.Data + 6};
}

bool IsCell(uint16_t t) {
    switch (t) {
    case rINTEGER:
    case rNUMBER2:
    case rNUMBER:
    case rRK2:
    case rRK:
    case rLABEL2:
    case rLABEL:
    case rLABELSST:
    case rRSTRING:
    case rBLANK:
    case rBOOLERR:
    case rFORMULA:
    case rFORMULA3:
    case rFORMULA4:
        return true;
    default:
        return false;
    }
}

// The result of a FORMULA record: a number, or a marker for text, boolean, error or empty.
enum class FormulaResult { Number, Text, Bool, Error, Empty };

FormulaResult Result(const uint8_t* res, double& number, uint8_t& small) {
    if (U16(res + 6) != 0xFFFF || res[0] > 3) {
        number = F64(res);
        return FormulaResult::Number;
    }
    small = res[2];
    switch (res[0]) {
    case 0:
        return FormulaResult::Text;
    case 1:
        return FormulaResult::Bool;
    case 2:
        return FormulaResult::Error;
    default:
        return FormulaResult::Empty;
    }
}

size_t FormulaMinLength(uint16_t type, int biff) {
    return type == rFORMULA && biff == 2 ? 15 : 14;
}

} // namespace

XlsReader::XlsReader() = default;

XlsReader::~XlsReader() = default;

void XlsReader::SetBuffer(std::vector<uint8_t> bytes) {
    buffer_ = std::move(bytes);
    useBuffer_ = true;
}

void XlsReader::ClearBuffer() {
    buffer_ = {};
    useBuffer_ = false;
}

void XlsReader::Fail(const std::exception& e) {
    lastError_ = e.what();
    if (ErrorLevel == XlsErrorLevel::xelMessage && OnError) OnError(lastError_);
}

void XlsReader::Load() {
    std::vector<uint8_t> file;
    if (useBuffer_) {
        file = buffer_;
    } else {
        size_t a = FileName.find_first_not_of(" \t\r\n");
        size_t b = FileName.find_last_not_of(" \t\r\n");
        if (a == std::string::npos) throw WorkbookError(wbmsg::FilenameMissing);
        std::string path = FileName.substr(a, b - a + 1);
        std::ifstream f(path, std::ios::binary | std::ios::ate);
        if (!f) throw WorkbookError(std::string(wbmsg::CannotOpen) + " \"" + path + "\"");
        std::streamoff size = f.tellg();
        if (size < 0) throw WorkbookError(std::string(wbmsg::CannotOpen) + " \"" + path + "\"");
        file.resize(size_t(size));
        f.seekg(0);
        f.read(reinterpret_cast<char*>(file.data()), size);
        if (!f) throw WorkbookError(std::string(wbmsg::CannotOpen) + " \"" + path + "\"");
    }

    stream_.clear();
    biff_ = 0;
    if (HasCompoundSignature(file)) {
        if (file.size() < 512) throw WorkbookError(wbmsg::NotExcelFile);
        CompoundReader doc(file);
        int nominal = 8;
        auto s = doc.ReadRootStream("Workbook");
        if (!s) {
            s = doc.ReadRootStream("Book");
            nominal = 5;
        }
        if (!s) throw WorkbookError(wbmsg::NotExcelWorkbook);
        stream_ = std::move(*s);
        if (stream_.size() < 8 || U16(stream_.data()) != rBOF)
            throw WorkbookError(wbmsg::NotExcelFile);
        uint16_t version = U16(stream_.data() + 4);
        biff_ = version == 0x0600 ? 8 : version == 0x0500 ? 5 : nominal;
    } else {
        if (file.size() < 4) throw WorkbookError(wbmsg::NotExcelFile);
        uint16_t type = U16(file.data());
        if ((type & 0xFF) != 0x09) throw WorkbookError(wbmsg::NotExcelFile);
        switch (type >> 8) {
        case 0x00:
            biff_ = 2;
            break;
        case 0x02:
            biff_ = 3;
            break;
        case 0x04:
            biff_ = 4;
            break;
        case 0x08:
            biff_ = file.size() >= 6 && U16(file.data() + 4) == 0x0600 ? 8 : 5;
            break;
        default:
            throw WorkbookError(wbmsg::NotExcelFile);
        }
        stream_ = std::move(file);
    }
    codepage_ = Codepage > 0 ? Codepage : 1252;
    globalsLoaded_ = false;
}

void XlsReader::Read() {
    if (open_) return;
    try {
        Load();
        Walk();
    } catch (const WorkbookError& e) {
        stream_ = {};
        Fail(e);
        if (ErrorLevel != XlsErrorLevel::xelIgnore) throw;
        return;
    }
    stream_ = {};
}

void XlsReader::Walk() {
    const std::vector<uint8_t>& s = stream_;
    std::vector<uint16_t> xfFormat;
    // Date and time formats by format index: the built-in 14 to 22, and user formats whose
    // text reads as a date or time.
    std::vector<uint8_t> formatIsDate(0x10000, 0);
    std::fill(formatIsDate.begin() + 14, formatIsDate.begin() + 23, 1);
    std::vector<uint8_t> xfIsDate;
    bool xfDirty = false;
    int implicitFormat = 0;
    bool date1904 = false;
    std::vector<std::string> sheetNames;
    int sheetIndex = -1;
    int depth = 0;
    std::vector<FormatRun> runs;
    struct Pending {
        bool Active = false;
        int Col = 0, Row = 0, Xf = 0;
    } pendingText;

    auto isDate = [&](int xf) {
        if (xfDirty) {
            xfIsDate.resize(xfFormat.size());
            for (size_t k = 0; k < xfFormat.size(); ++k)
                xfIsDate[k] = formatIsDate[xfFormat[k]];
            xfDirty = false;
        }
        return size_t(xf) < xfIsDate.size() && xfIsDate[size_t(xf)];
    };
    auto number = [&](int col, int row, int xf, double v, bool formula) {
        if (isDate(xf)) {
            if (OnDateTimeCell) OnDateTimeCell(col, row, xf, date1904 ? v + Days1904 : v, formula);
        } else if (OnNumberCell) {
            OnNumberCell(col, row, xf, v, formula);
        }
    };
    auto text = [&](int col, int row, int xf, bool formula) {
        if (OnStringCell) OnStringCell(col, row, xf, text_, formula);
    };
    // A formula's text result stands in the STRING record that follows it.
    auto flushPending = [&] {
        if (!pendingText.Active) return;
        pendingText.Active = false;
        text_.clear();
        text(pendingText.Col, pendingText.Row, pendingText.Xf, true);
    };

    const size_t total = s.size();
    size_t nextProgress = 0;
    int percent = -1;
    size_t pos = 0;
    Rec r;
    while (RecordAt(s, pos, r)) {
        pos = r.Next;
        if (OnProgress && r.Pos >= nextProgress) {
            int now = int(r.Pos * 100 / std::max<size_t>(total, 1));
            if (now != percent) OnProgress(percent = now);
            nextProgress = (size_t(now) + 1) * total / 100;
        }
        if (OnRecord) OnRecord(r.Type, {r.Data, r.Len});
        if (pendingText.Active && r.Type != rSTRING && r.Type != rSTRING2 && r.Type != rSHRFMLA &&
            r.Type != rSHRFMLA4 && r.Type != rARRAY && r.Type != rTABLE)
            flushPending();

        switch (r.Type) {
        case rBOF2:
        case rBOF3:
        case rBOF4:
        case rBOF: {
            Need(r, 4);
            uint16_t type = U16(r.Data + 2);
            ++depth;
            if (depth != 1 || type == GlobalsType || type == Biff4WorkbookType) break;
            ++sheetIndex;
            bool readIt = true;
            std::string_view name;
            if (size_t(sheetIndex) < sheetNames.size()) name = sheetNames[size_t(sheetIndex)];
            if (OnSheet) OnSheet(name, sheetIndex, readIt);
            if (readIt) break;
            // Skip the sheet with everything nested in it.
            Rec k;
            while (depth > 0 && RecordAt(s, pos, k)) {
                if (IsBof(k.Type)) ++depth;
                if (k.Type == rEOF) --depth;
                pos = k.Next;
            }
            depth = 0;
            break;
        }
        case rEOF:
            if (depth > 0) --depth;
            break;
        case rFILEPASS:
            throw WorkbookError(wbmsg::Encrypted);
        case rBOUNDSHEET: {
            std::string name;
            if (biff_ == 8) {
                Need(r, 6);
                Unicode(r.Data + 6, r.Data + r.Len, 1, name);
            } else {
                Need(r, 7);
                size_t n = r.Data[6];
                Need(r, 7 + n);
                Append8(name, r.Data + 7, n, codepage_);
            }
            sheetNames.push_back(std::move(name));
            break;
        }
        case rFORMAT:
        case rFORMAT2: {
            std::string fmt;
            int index;
            if (r.Type == rFORMAT2 && biff_ <= 3) {
                index = implicitFormat++;
                Need(r, 1);
                size_t n = std::min<size_t>(r.Data[0], r.Len - 1);
                Append8(fmt, r.Data + 1, n, codepage_);
            } else {
                Need(r, 3);
                index = U16(r.Data);
                if (biff_ == 8) {
                    Unicode(r.Data + 2, r.Data + r.Len, 2, fmt);
                } else {
                    size_t n = std::min<size_t>(r.Data[2], r.Len - 3);
                    Append8(fmt, r.Data + 3, n, codepage_);
                }
            }
            if (index >= 49 && index < 0x10000)
                formatIsDate[size_t(index)] = ExcelMask::IsDateTime(fmt) ? 1 : 0;
            xfDirty = true;
            break;
        }
        case rXF:
            Need(r, 4);
            xfFormat.push_back(U16(r.Data + 2));
            xfDirty = true;
            break;
        case rCODEPAGE:
            Need(r, 2);
            if (Codepage <= 0) codepage_ = U16(r.Data);
            break;
        case rDATEMODE:
            Need(r, 2);
            date1904 = U16(r.Data) == 1;
            if (OnUnhandled) OnUnhandled(r.Type, {r.Data, r.Len});
            break;
        case rSST: {
            Continued c(s, r);
            pos = c.End();
            sstPool_.clear();
            sstStart_.assign(1, 0);
            c.Skip(4);
            uint32_t unique = c.Long();
            for (uint32_t k = 0; k < unique && !c.AtEnd(); ++k) {
                size_t cch = c.Word();
                uint8_t flags = c.Byte();
                size_t nRuns = (flags & 0x08) ? c.Word() : 0;
                size_t ext = (flags & 0x04) ? c.Long() : 0;
                c.Chars(cch, flags & 0x01, sstPool_);
                c.Skip(nRuns * 4);
                c.Skip(ext);
                sstStart_.push_back(uint32_t(sstPool_.size()));
            }
            break;
        }
        case rCOLINFO:
            Need(r, 8);
            if (OnCol) OnCol(U16(r.Data), U16(r.Data + 2), U16(r.Data + 6), U16(r.Data + 4));
            break;
        case rROW: {
            Need(r, 8);
            int xf = r.Len >= 16 && (U16(r.Data + 12) & 0x80) ? U16(r.Data + 14) & 0x0FFF : 15;
            if (OnRow)
                OnRow(U16(r.Data), U16(r.Data + 2), int(U16(r.Data + 4)) - 1, xf,
                      U16(r.Data + 6) & 0x7FFF);
            break;
        }
        case rFONT:
        case rFONT3:
        case rPALETTE:
        case rDIMENSIONS:
        case rEXTERNSHEET:
        case rSUPBOOK:
        case rNAME:
        case rNAME3:
        case rEXTERNNAME:
        case rEXTERNNAME3:
        case rSHRFMLA:
        case rSHRFMLA4:
        case rDRAWINGGROUP:
        case rDRAWING:
            break;
        case rINTEGER: {
            Need(r, 9);
            CellHead h = Head(r, biff_);
            number(h.Col, h.Row, h.Xf, U16(h.Value), false);
            break;
        }
        case rNUMBER2:
        case rNUMBER: {
            CellHead h = Head(r, biff_);
            Need(r, size_t(h.Value - r.Data) + 8);
            number(h.Col, h.Row, h.Xf, F64(h.Value), false);
            break;
        }
        case rRK2:
        case rRK: {
            Need(r, 10);
            CellHead h = Head(r, biff_);
            number(h.Col, h.Row, h.Xf, Rk(U32(h.Value)), false);
            break;
        }
        case rMULRK: {
            if (r.Len < 6 || (r.Len - 6) % 6 != 0) Damaged();
            int row = U16(r.Data), col = U16(r.Data + 2);
            size_t n = (r.Len - 6) / 6;
            for (size_t k = 0; k < n; ++k) {
                const uint8_t* p = r.Data + 4 + 6 * k;
                number(col + int(k), row, U16(p), Rk(U32(p + 2)), false);
            }
            break;
        }
        case rLABEL2:
        case rLABEL:
        case rRSTRING: {
            CellHead h = Head(r, biff_);
            const uint8_t* end = r.Data + r.Len;
            text_.clear();
            runs.clear();
            if (biff_ == 8) {
                const uint8_t* p = Unicode(h.Value, end, 2, text_);
                if (r.Type == rRSTRING && end - p >= 2) {
                    size_t n = U16(p);
                    p += 2;
                    if (size_t(end - p) < n * 4) Damaged();
                    for (size_t k = 0; k < n; ++k)
                        runs.push_back({U16(p + 4 * k), U16(p + 4 * k + 2)});
                }
            } else {
                size_t lenBytes = r.Type == rLABEL2 ? 1 : 2;
                if (size_t(end - h.Value) < lenBytes) Damaged();
                size_t n = lenBytes == 1 ? h.Value[0] : U16(h.Value);
                const uint8_t* p = h.Value + lenBytes;
                if (size_t(end - p) < n) Damaged();
                Append8(text_, p, n, codepage_);
                p += n;
                if (r.Type == rRSTRING && end - p >= 1) {
                    size_t count = *p++;
                    if (size_t(end - p) < count * 2) Damaged();
                    for (size_t k = 0; k < count; ++k)
                        runs.push_back({p[2 * k], p[2 * k + 1]});
                }
            }
            if (r.Type == rRSTRING) {
                if (OnRichCell) OnRichCell(h.Col, h.Row, h.Xf, text_, runs);
            } else {
                text(h.Col, h.Row, h.Xf, false);
            }
            break;
        }
        case rLABELSST: {
            Need(r, 10);
            CellHead h = Head(r, biff_);
            uint32_t k = U32(h.Value);
            if (sstStart_.empty() || k >= sstStart_.size() - 1) Damaged();
            text_.assign(sstPool_, sstStart_[k], sstStart_[k + 1] - sstStart_[k]);
            text(h.Col, h.Row, h.Xf, false);
            break;
        }
        case rBLANK: {
            CellHead h = Head(r, biff_);
            if (OnBlankCell) OnBlankCell(h.Col, h.Row, h.Xf);
            break;
        }
        case rMULBLANK: {
            if (r.Len < 6 || r.Len % 2 != 0) Damaged();
            int row = U16(r.Data), col = U16(r.Data + 2);
            size_t n = (r.Len - 6) / 2;
            if (OnBlankCell)
                for (size_t k = 0; k < n; ++k)
                    OnBlankCell(col + int(k), row, U16(r.Data + 4 + 2 * k));
            break;
        }
        case rBOOLERR: {
            Need(r, 8);
            CellHead h = Head(r, biff_);
            if (h.Value[1] == 0) {
                if (OnBoolCell) OnBoolCell(h.Col, h.Row, h.Xf, h.Value[0] != 0, false);
            } else {
                text_ = ErrorText(h.Value[0]);
                text(h.Col, h.Row, h.Xf, false);
            }
            break;
        }
        case rFORMULA:
        case rFORMULA3:
        case rFORMULA4: {
            Need(r, FormulaMinLength(r.Type, biff_));
            CellHead h = Head(r, biff_);
            double v = 0;
            uint8_t small = 0;
            switch (Result(h.Value, v, small)) {
            case FormulaResult::Number:
                number(h.Col, h.Row, h.Xf, v, true);
                break;
            case FormulaResult::Text:
                pendingText = {true, h.Col, h.Row, h.Xf};
                break;
            case FormulaResult::Bool:
                if (OnBoolCell) OnBoolCell(h.Col, h.Row, h.Xf, small != 0, true);
                break;
            case FormulaResult::Error:
                text_ = ErrorText(small);
                text(h.Col, h.Row, h.Xf, true);
                break;
            case FormulaResult::Empty:
                text_.clear();
                text(h.Col, h.Row, h.Xf, true);
                break;
            }
            break;
        }
        case rSTRING:
        case rSTRING2: {
            if (!pendingText.Active) {
                if (OnUnhandled) OnUnhandled(r.Type, {r.Data, r.Len});
                break;
            }
            text_.clear();
            if (biff_ == 8) {
                Continued c(s, r);
                pos = c.End();
                size_t cch = c.Word();
                c.Chars(cch, c.Byte() & 0x01, text_);
            } else {
                size_t lenBytes = r.Type == rSTRING2 ? 1 : 2;
                Need(r, lenBytes);
                size_t n = lenBytes == 1 ? r.Data[0] : U16(r.Data);
                Need(r, lenBytes + n);
                Append8(text_, r.Data + lenBytes, n, codepage_);
            }
            pendingText.Active = false;
            text(pendingText.Col, pendingText.Row, pendingText.Xf, true);
            break;
        }
        default:
            if (OnUnhandled) OnUnhandled(r.Type, {r.Data, r.Len});
        }
    }
    flushPending();
    if (OnProgress && percent != 100) OnProgress(100);
}

void XlsReader::Open() {
    try {
        Close();
        Load();
        open_ = true;
    } catch (const WorkbookError& e) {
        stream_ = {};
        Fail(e);
        if (ErrorLevel != XlsErrorLevel::xelIgnore) throw;
    }
}

void XlsReader::Close() {
    open_ = false;
    globalsLoaded_ = false;
    stream_ = {};
    sheetOffsets_.clear();
    sstPool_.clear();
    sstStart_.clear();
}

void XlsReader::LoadGlobals() {
    sheetOffsets_.clear();
    sstPool_.clear();
    sstStart_.clear();
    if (biff_ <= 4) {
        // Older files hold one worksheet that starts with the stream.
        sheetOffsets_.push_back(0);
        globalsLoaded_ = true;
        return;
    }
    Rec r;
    size_t pos = 0;
    bool first = true;
    while (RecordAt(stream_, pos, r)) {
        pos = r.Next;
        if (first) {
            first = false;
            continue; // the globals' BOF
        }
        if (r.Type == rEOF) break;
        if (r.Type == rFILEPASS) throw WorkbookError(wbmsg::Encrypted);
        if (r.Type == rCODEPAGE && r.Len >= 2 && Codepage <= 0) codepage_ = U16(r.Data);
        if (r.Type == rBOUNDSHEET) {
            Need(r, 4);
            sheetOffsets_.push_back(U32(r.Data));
        }
        if (r.Type == rSST) {
            Continued c(stream_, r);
            pos = c.End();
            sstStart_.assign(1, 0);
            c.Skip(4);
            uint32_t unique = c.Long();
            for (uint32_t k = 0; k < unique && !c.AtEnd(); ++k) {
                size_t cch = c.Word();
                uint8_t flags = c.Byte();
                size_t nRuns = (flags & 0x08) ? c.Word() : 0;
                size_t ext = (flags & 0x04) ? c.Long() : 0;
                c.Chars(cch, flags & 0x01, sstPool_);
                c.Skip(nRuns * 4);
                c.Skip(ext);
                sstStart_.push_back(uint32_t(sstPool_.size()));
            }
        }
    }
    globalsLoaded_ = true;
}

bool XlsReader::ReadCell(int sheetIndex, int col, int row, CellValue& value) {
    value = std::monostate{};
    try {
        if (!open_) throw WorkbookError(wbmsg::NotOpen);
        if (!globalsLoaded_) LoadGlobals();
        if (sheetIndex < 0 || size_t(sheetIndex) >= sheetOffsets_.size())
            throw WorkbookError(wbmsg::SheetNotFound);
        Rec bof;
        size_t at = sheetOffsets_[size_t(sheetIndex)];
        if (!ProbeRecord(stream_, at, bof) || !IsBof(bof.Type)) throw WorkbookError(wbmsg::NoData);
        if (col < 0 || row < 0) return false;
        Rec first;
        if (biff_ >= 5 && RecordAt(stream_, bof.Next, first) && first.Type == rINDEX)
            return FindViaIndex(first.Pos, col, row, value);
        return FindInSheet(bof.Next, col, row, value, false);
    } catch (const WorkbookError& e) {
        Fail(e);
        if (ErrorLevel != XlsErrorLevel::xelIgnore) throw;
        return false;
    }
}

// Scans the records from pos to the sheet's EOF (or to the end of a row block).
bool XlsReader::FindInSheet(size_t pos, int col, int row, CellValue& value, bool stopAtDbcell) {
    Rec r;
    while (RecordAt(stream_, pos, r)) {
        if (r.Type == rEOF) return false;
        if (stopAtDbcell && r.Type == rDBCELL) return false;
        if (IsBof(r.Type)) { // an embedded chart
            int depth = 1;
            pos = r.Next;
            while (depth > 0 && RecordAt(stream_, pos, r)) {
                if (IsBof(r.Type)) ++depth;
                if (r.Type == rEOF) --depth;
                pos = r.Next;
            }
            continue;
        }
        if (CellAt(r.Pos, col, row, value)) return true;
        pos = r.Next;
    }
    return false;
}

bool XlsReader::FindViaIndex(size_t indexPos, int col, int row, CellValue& value) {
    Rec idx;
    RecordAt(stream_, indexPos, idx);
    const size_t head = biff_ == 8 ? 16 : 12;
    Need(idx, head);
    uint32_t rowFirst = biff_ == 8 ? U32(idx.Data + 4) : U16(idx.Data + 4);
    uint32_t rowEnd = biff_ == 8 ? U32(idx.Data + 8) : U16(idx.Data + 6);
    if (uint32_t(row) < rowFirst || uint32_t(row) >= rowEnd) return false;
    for (size_t k = 0; k + 4 <= idx.Len - head; k += 4) {
        size_t dbPos = U32(idx.Data + head + k);
        Rec db;
        if (!ProbeRecord(stream_, dbPos, db) || db.Type != rDBCELL)
            throw WorkbookError(wbmsg::DbcellMissing);
        Need(db, 4);
        uint32_t back = U32(db.Data);
        if (back == 0) continue; // a block without rows
        if (back > dbPos) Damaged();
        Rec rr;
        if (!ProbeRecord(stream_, dbPos - back, rr) || rr.Type != rROW)
            throw WorkbookError(wbmsg::RowMissing);
        // The block's ROW records come first, then its cells, then the DBCELL.
        bool inBlock = false;
        size_t pos = rr.Pos;
        while (pos < dbPos && RecordAt(stream_, pos, rr) && rr.Type == rROW) {
            Need(rr, 2);
            if (U16(rr.Data) == row) inBlock = true;
            pos = rr.Next;
        }
        if (!inBlock) continue;
        while (pos < dbPos && RecordAt(stream_, pos, rr)) {
            if (CellAt(rr.Pos, col, row, value)) return true;
            pos = rr.Next;
        }
        return false;
    }
    return false;
}

// True when the record at pos holds the cell; value is then set.
bool XlsReader::CellAt(size_t pos, int col, int row, CellValue& value) {
    Rec r;
    RecordAt(stream_, pos, r);
    if (r.Type == rMULRK || r.Type == rMULBLANK) {
        if (r.Len < 6) Damaged();
        size_t width = r.Type == rMULRK ? 6 : 2;
        if (U16(r.Data) != row || col < U16(r.Data + 2)) return false;
        size_t k = size_t(col - U16(r.Data + 2));
        if (4 + width * (k + 1) > r.Len - 2) return false;
        if (r.Type == rMULRK) value = Rk(U32(r.Data + 4 + 6 * k + 2));
        return true;
    }
    if (!IsCell(r.Type)) return false;
    CellHead h = Head(r, biff_);
    if (h.Row != row || h.Col != col) return false;
    const uint8_t* end = r.Data + r.Len;
    std::string s;
    switch (r.Type) {
    case rINTEGER:
        Need(r, 9);
        value = double(U16(h.Value));
        break;
    case rNUMBER2:
    case rNUMBER:
        Need(r, size_t(h.Value - r.Data) + 8);
        value = F64(h.Value);
        break;
    case rRK2:
    case rRK:
        Need(r, 10);
        value = Rk(U32(h.Value));
        break;
    case rLABEL2:
    case rLABEL:
    case rRSTRING:
        if (biff_ == 8) {
            Unicode(h.Value, end, 2, s);
        } else {
            size_t lenBytes = r.Type == rLABEL2 ? 1 : 2;
            if (size_t(end - h.Value) < lenBytes) Damaged();
            size_t n = lenBytes == 1 ? h.Value[0] : U16(h.Value);
            if (size_t(end - h.Value) - lenBytes < n) Damaged();
            Append8(s, h.Value + lenBytes, n, codepage_);
        }
        value = std::move(s);
        break;
    case rLABELSST: {
        Need(r, 10);
        uint32_t k = U32(h.Value);
        if (sstStart_.empty() || k >= sstStart_.size() - 1) Damaged();
        value = sstPool_.substr(sstStart_[k], sstStart_[k + 1] - sstStart_[k]);
        break;
    }
    case rBOOLERR:
        Need(r, 8);
        if (h.Value[1] == 0) value = h.Value[0] != 0;
        break;
    case rBLANK:
        break;
    default: { // formulas
        Need(r, FormulaMinLength(r.Type, biff_));
        double v = 0;
        uint8_t small = 0;
        switch (Result(h.Value, v, small)) {
        case FormulaResult::Number:
            value = v;
            break;
        case FormulaResult::Bool:
            value = small != 0;
            break;
        case FormulaResult::Error:
            break;
        case FormulaResult::Empty:
            value = std::string();
            break;
        case FormulaResult::Text: {
            Rec k;
            size_t p = r.Next;
            while (RecordAt(stream_, p, k) && (k.Type == rSHRFMLA || k.Type == rSHRFMLA4 ||
                                               k.Type == rARRAY || k.Type == rTABLE))
                p = k.Next;
            if (k.Pos == p && (k.Type == rSTRING || k.Type == rSTRING2)) {
                if (biff_ == 8) {
                    Continued c(stream_, k);
                    size_t cch = c.Word();
                    c.Chars(cch, c.Byte() & 0x01, s);
                } else {
                    size_t lenBytes = k.Type == rSTRING2 ? 1 : 2;
                    Need(k, lenBytes);
                    size_t n = lenBytes == 1 ? k.Data[0] : U16(k.Data);
                    Need(k, lenBytes + n);
                    Append8(s, k.Data + lenBytes, n, codepage_);
                }
            }
            value = std::move(s);
            break;
        }
        }
    }
    }
    return true;
}

} // namespace tv

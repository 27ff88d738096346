#include "workbook/Codepage.h"

namespace tv::codepage {

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; 0 marks the five undefined bytes,
// which are passed through as the C1 control of the same value.
constexpr uint16_t High1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint8_t To1252(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return uint8_t(cp);
    for (int i = 0; i < 32; ++i)
        if (High1252[i] == cp) return uint8_t(0x80 + i); // cp >= 0x80: never an undefined byte
    if (cp >= 0x80 && cp < 0xA0) {
        uint16_t mapped = High1252[cp - 0x80];
        if (mapped == 0) return uint8_t(cp);
    }
    return '?';
}

} // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

void Append1252(std::string& out, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = p[i];
        if (b < 0x80) {
            out.push_back(char(b));
        } else if (b < 0xA0) {
            uint16_t cp = High1252[b - 0x80];
            AppendUtf8(out, cp != 0 ? cp : b);
        } else {
            AppendUtf8(out, b);
        }
    }
}

void AppendLatin1(std::string& out, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        AppendUtf8(out, p[i]);
}

void AppendUtf16(std::string& out, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t u = uint32_t(p[2 * i] | (p[2 * i + 1] << 8));
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            uint32_t lo = uint32_t(p[2 * i + 2] | (p[2 * i + 3] << 8));
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
        AppendUtf8(out, u);
    }
}

std::string Utf8To1252(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        uint8_t b = uint8_t(s[i]);
        uint32_t cp = 0;
        size_t len = 0;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        }
        bool ok = len > 0 && i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) {
            uint8_t c = uint8_t(s[i + k]);
            if ((c & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out.push_back(char(b));
            ++i;
            continue;
        }
        out.push_back(char(To1252(cp)));
        i += len;
    }
    return out;
}

} // namespace tv::codepage

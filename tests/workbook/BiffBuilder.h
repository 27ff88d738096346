#pragma once

// Assembles BIFF record streams byte by byte for tests that need records the writer
// never produces.

#include "workbook/ByteIo.h"
#include "workbook/CompoundDocument.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tv::test {

class BiffBuilder {
  public:
    std::vector<uint8_t> Bytes;

    size_t Pos() const { return Bytes.size(); }

    // Appends a record and returns the position of its header.
    size_t Record(uint16_t type, const std::vector<uint8_t>& data) {
        size_t at = Bytes.size();
        Add16(type);
        Add16(uint16_t(data.size()));
        Bytes.insert(Bytes.end(), data.begin(), data.end());
        return at;
    }
    void Patch32(size_t at, uint32_t v) { bytes::Put32(Bytes.data() + at, v); }

    void Add16(uint16_t v) {
        Bytes.push_back(uint8_t(v));
        Bytes.push_back(uint8_t(v >> 8));
    }

    static void Put16(std::vector<uint8_t>& d, uint16_t v) {
        d.push_back(uint8_t(v));
        d.push_back(uint8_t(v >> 8));
    }
    static void Put32(std::vector<uint8_t>& d, uint32_t v) {
        Put16(d, uint16_t(v));
        Put16(d, uint16_t(v >> 16));
    }
    static void PutF64(std::vector<uint8_t>& d, double v) {
        uint8_t b[8];
        bytes::PutF64(b, v);
        d.insert(d.end(), b, b + 8);
    }
    static std::vector<uint8_t> Bof(uint16_t version, uint16_t type) {
        std::vector<uint8_t> d;
        Put16(d, version);
        Put16(d, type);
        Put16(d, 0);
        Put16(d, 0);
        if (version == 0x0600) {
            Put32(d, 0);
            Put32(d, 0);
        }
        return d;
    }
    // row, column, XF index.
    static std::vector<uint8_t> Cell(uint16_t row, uint16_t col, uint16_t xf) {
        std::vector<uint8_t> d;
        Put16(d, row);
        Put16(d, col);
        Put16(d, xf);
        return d;
    }
    static std::vector<uint8_t> Number(uint16_t row, uint16_t col, uint16_t xf, double v) {
        auto d = Cell(row, col, xf);
        PutF64(d, v);
        return d;
    }

    // The bytes as a compound document with one stream of that name.
    std::vector<uint8_t> Document(const std::string& stream) const {
        CompoundStream s{stream, Bytes};
        return BuildCompoundDocument(std::span(&s, 1));
    }
};

} // namespace tv::test

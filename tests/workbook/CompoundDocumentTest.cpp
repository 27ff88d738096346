#include "workbook/CompoundDocument.h"
#include "workbook/ByteIo.h"
#include "workbook/WorkbookError.h"

#include <gtest/gtest.h>

#include <functional>

namespace tv {
namespace {

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(i * 31 + seed + (i >> 9));
    return v;
}

std::vector<uint8_t> OneStream(const std::vector<uint8_t>& data, const char* name = "Book") {
    CompoundStream s{name, data};
    return BuildCompoundDocument(std::span(&s, 1));
}

// Sizes around the mini-stream cut-off, and one large enough to need allocation-table
// sectors beyond the 109 listed in the header and the 127 more one extra sector lists (by
// one: 237 FAT sectors).
TEST(CompoundDocument, StreamsOfEverySizeComeBack) {
    for (size_t size : {size_t(0), size_t(1), size_t(63), size_t(64), size_t(4095), size_t(4096),
                        size_t(70001), size_t(15'360'000)}) {
        SCOPED_TRACE(size);
        auto data = Pattern(size, 7);
        auto doc = OneStream(data);
        EXPECT_EQ(doc.size() % 512, 0u);
        // The chain of the extra allocation index ends after as many sectors as the header says.
        const uint32_t difatSectors = bytes::U32(doc.data() + 72);
        uint32_t last = bytes::U32(doc.data() + 68);
        auto next = [&doc](uint32_t sector) {
            return bytes::U32(doc.data() + 512 * (sector + 1) + 508);
        };
        // Every slot of the index, in the header and in its extra sectors, names the next
        // allocation-table sector, then stays free.
        const uint32_t fatStart = bytes::U32(doc.data() + 76); // the writer keeps them in a row
        const uint32_t fatSectors = bytes::U32(doc.data() + 44);
        std::vector<uint32_t> listed;
        for (int k = 0; k < 109; ++k)
            listed.push_back(bytes::U32(doc.data() + 76 + 4 * k));
        for (uint32_t k = 0, s = last; k < difatSectors; ++k, s = next(s))
            for (int j = 0; j < 127; ++j)
                listed.push_back(bytes::U32(doc.data() + 512 * (s + 1) + 4 * j));
        for (uint32_t k = 0; k < listed.size(); ++k)
            ASSERT_EQ(listed[k], k < fatSectors ? fatStart + k : 0xFFFFFFFFu) << k;
        for (uint32_t k = 1; k < difatSectors; ++k)
            last = next(last);
        // The allocation table marks its own sectors and those of its extra index.
        auto mark = [&](uint32_t sector) {
            return bytes::U32(doc.data() + 512 * (fatStart + sector / 128 + 1) +
                              4 * (sector % 128));
        };
        EXPECT_EQ(mark(fatStart), 0xFFFFFFFDu);
        if (difatSectors > 0) {
            EXPECT_EQ(next(last), 0xFFFFFFFEu);
            EXPECT_EQ(mark(last), 0xFFFFFFFCu);
            EXPECT_EQ(mark(bytes::U32(doc.data() + 68)), 0xFFFFFFFCu);
        }
        CompoundReader r(doc);
        ASSERT_EQ(r.RootStreams().size(), 1u);
        auto back = r.ReadRootStream("BOOK"); // names compare without regard to case
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, data);
        EXPECT_FALSE(r.ReadRootStream("Workbook").has_value());
        EXPECT_FALSE(r.ReadRootStream("Books").has_value());
    }
}

TEST(CompoundDocument, SeveralStreamsMixingMiniAndLarge) {
    // 130 mini sectors: their allocation table needs a second sector.
    auto a = Pattern(100, 1), b = Pattern(9000, 2), c = Pattern(4095, 3);
    CompoundStream s[] = {{"Workbook", a}, {"Book", b}, {"X", c}, {"aook", c}};
    auto doc = BuildCompoundDocument(s);
    CompoundReader r(doc);
    // The directory lists shorter names first, then by upper-case letters.
    EXPECT_EQ(r.RootStreams(), (std::vector<std::string>{"X", "aook", "Book", "Workbook"}));
    EXPECT_EQ(*r.ReadRootStream("Workbook"), a);
    EXPECT_EQ(*r.ReadRootStream("Book"), b);
    EXPECT_EQ(*r.ReadRootStream("x"), c);
    EXPECT_EQ(r.ReadRootStream("aook"), std::optional(c));

    // Other writers balance the tree: left links count as much as right ones.
    const size_t dir = 512 * (bytes::U32(doc.data() + 48) + 1);
    auto link = [&](uint32_t entry, uint32_t left, uint32_t right) {
        bytes::Put32(doc.data() + dir + 128 * entry + 68, left);
        bytes::Put32(doc.data() + dir + 128 * entry + 72, right);
    };
    const uint32_t none = 0xFFFFFFFF;
    bytes::Put32(doc.data() + dir + 76, 4); // the root's child: "aook"
    link(4, 3, 2);                          // "X" to its left, "Book" to its right
    link(3, none, none);
    link(2, none, 1); // "Workbook" right of "Book"
    link(1, none, none);
    EXPECT_EQ(CompoundReader(doc).RootStreams(),
              (std::vector<std::string>{"aook", "X", "Book", "Workbook"}));
}

// Header fields: version 3 with 512-byte sectors.
TEST(CompoundDocument, WritesVersion3) {
    auto doc = OneStream(Pattern(5000, 0));
    EXPECT_EQ(bytes::U16(doc.data() + 26), 3);
    EXPECT_EQ(bytes::U16(doc.data() + 30), 9);
    EXPECT_EQ(bytes::U32(doc.data() + 56), 4096u); // smaller streams go to the mini stream
    EXPECT_TRUE(HasCompoundSignature(std::span(doc).first(8)));
    EXPECT_EQ(bytes::U32(doc.data() + 512 * 12 + 4 * 11), 0xFFFFFFFDu); // sector 11 holds the FAT
    EXPECT_EQ(bytes::U32(doc.data() + 80), 0xFFFFFFFFu);                // the header lists no other
    // Version 3 reads only the low half of a stream size: the high half may hold junk.
    doc[512 * 11 + 128 + 124] = 0xFF;
    EXPECT_EQ(*CompoundReader(doc).ReadRootStream("Book"), Pattern(5000, 0));
    // A name of all 32 characters, without a closing zero and with a length past its field;
    // the first character beyond ASCII reads as '?'.
    for (int c = 0; c < 33; ++c)
        bytes::Put16(doc.data() + 512 * 11 + 128 + 2 * c, c < 31    ? 'a' + c % 26
                                                          : c == 31 ? 0x80
                                                                    : 0xFFFF);
    EXPECT_EQ(CompoundReader(doc).RootStreams()[0], "abcdefghijklmnopqrstuvwxyzabcde?");
    doc[7] ^= 1;
    EXPECT_FALSE(HasCompoundSignature(doc));
}

// A version-4 document (4096-byte sectors) built by hand: header sector, FAT, directory,
// one 5000-byte stream.
TEST(CompoundDocument, ReadsVersion4) {
    const size_t SS = 4096;
    auto data = Pattern(5000, 9);
    std::vector<uint8_t> doc(SS * 5, 0); // header + FAT + dir + 2 stream sectors
    uint8_t* h = doc.data();
    const uint8_t sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(sig, sig + 8, h);
    bytes::Put16(h + 24, 0x3E);
    bytes::Put16(h + 26, 4);
    bytes::Put16(h + 28, 0xFFFE);
    bytes::Put16(h + 30, 12);
    bytes::Put16(h + 32, 6);
    bytes::Put32(h + 44, 1);
    bytes::Put32(h + 48, 1);
    bytes::Put32(h + 56, 4096);
    bytes::Put32(h + 60, 0xFFFFFFFE);
    bytes::Put32(h + 68, 0xFFFFFFFE);
    for (int k = 0; k < 109; ++k)
        bytes::Put32(h + 76 + 4 * k, k == 0 ? 0 : 0xFFFFFFFF);
    uint8_t* fat = doc.data() + SS;
    for (size_t k = 0; k < SS / 4; ++k)
        bytes::Put32(fat + 4 * k, 0xFFFFFFFF);
    bytes::Put32(fat + 0, 0xFFFFFFFD);
    bytes::Put32(fat + 4, 0xFFFFFFFE);
    bytes::Put32(fat + 8, 3);
    bytes::Put32(fat + 12, 0xFFFFFFFE);
    uint8_t* dir = doc.data() + 2 * SS;
    auto entry = [&](int k, const char* name, uint8_t type, uint32_t child, uint32_t start,
                     uint64_t size) {
        uint8_t* e = dir + 128 * k;
        size_t n = 0;
        for (; name[n]; ++n)
            bytes::Put16(e + 2 * n, uint8_t(name[n]));
        bytes::Put16(e + 64, uint16_t(2 * (n + 1)));
        e[66] = type;
        bytes::Put32(e + 68, 0xFFFFFFFF);
        bytes::Put32(e + 72, 0xFFFFFFFF);
        bytes::Put32(e + 76, child);
        bytes::Put32(e + 116, start);
        bytes::Put64(e + 120, size);
    };
    entry(0, "Root Entry", 5, 1, 0xFFFFFFFE, 0);
    entry(1, "Workbook", 2, 0xFFFFFFFF, 2, data.size());
    std::copy(data.begin(), data.end(), doc.begin() + 3 * SS);
    CompoundReader r(doc);
    EXPECT_EQ(*r.ReadRootStream("Workbook"), data);
}

// Damage that must end in an error, never in a crash, a hang or a huge allocation.
// A file whose last sector is cut short: the stream's missing bytes read as zeros.
TEST(CompoundDocument, ALastSectorCutShortReadsAsZeros) {
    const auto data = Pattern(20000, 4);
    auto doc = OneStream(data); // 40 stream sectors, directory sector 40, FAT sector 41
    const auto extra = Pattern(100, 9);
    doc.insert(doc.end(), extra.begin(), extra.end()); // sector 42, 100 of 512 bytes
    bytes::Put32(doc.data() + 512 * 42 + 4 * 39, 42);
    bytes::Put32(doc.data() + 512 * 42 + 4 * 42, 0xFFFFFFFE);
    bytes::Put32(doc.data() + 512 * 41 + 128 + 120, 20480 + 150);
    auto back = CompoundReader(doc).ReadRootStream("Book");
    ASSERT_TRUE(back.has_value());
    auto expected = data;
    expected.resize(20480);
    expected.insert(expected.end(), extra.begin(), extra.end());
    expected.resize(20480 + 150);
    EXPECT_EQ(*back, expected);
}

TEST(CompoundDocument, DamagedContainersFail) {
    const auto good = OneStream(Pattern(20000, 4));
    const auto small = OneStream(Pattern(300, 4)); // in the mini stream
    // Sector layout of `good`: 40 stream sectors, directory sector 40, FAT sector 41.
    const size_t fatAt = 512 * 42, dirAt = 512 * 41;
    // 129 mini sectors: "Book" starts in the second mini-FAT sector (file sector 18, after
    // 17 mini-stream sectors); the FAT sector is 20.
    const auto quarter = Pattern(4095, 1), tail = Pattern(10, 3);
    const CompoundStream three[] = {{"A", quarter}, {"B", quarter}, {"Book", tail}};
    const auto twoMiniFatSectors = BuildCompoundDocument(three);
    const auto large = OneStream(Pattern(60000, 4)); // 120 sectors: room for 110 FAT sectors
    struct Case {
        const char* name;
        const std::vector<uint8_t>* base;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"FAT loops back", &good, [&](auto& d) { bytes::Put32(d.data() + fatAt + 4 * 10, 3); }},
        {"chain leaves the file", &good,
         [&](auto& d) { bytes::Put32(d.data() + fatAt + 4 * 10, 100000); }},
        {"chain ends early", &good,
         [&](auto& d) { bytes::Put32(d.data() + fatAt + 4 * 10, 0xFFFFFFFE); }},
        {"stream size beyond the file", &good,
         [&](auto& d) { bytes::Put32(d.data() + dirAt + 128 + 120, 0x7FFFFFFF); }},
        {"FAT count beyond the file", &good,
         [](auto& d) { bytes::Put32(d.data() + 44, 0x10000000); }},
        {"FAT sector outside the file", &good, [](auto& d) { bytes::Put32(d.data() + 76, 5000); }},
        {"FAT extension chain ends before its sectors", &large,
         [](auto& d) {
             bytes::Put32(d.data() + 44, 110);
             bytes::Put32(d.data() + 68, 0xFFFFFFFE);
         }},
        // Padded to 240 sectors so that 237 FAT sectors fit; every listed one is sector 41, and
        // the one extension sector names itself as the next, so the list never completes.
        {"FAT extension chain loops", &good,
         [](auto& d) {
             d.resize(512 * 240);
             bytes::Put32(d.data() + 44, 237);
             bytes::Put32(d.data() + 68, 238);
             for (size_t k = 0; k < 109 + 127; ++k)
                 bytes::Put32(d.data() + (k < 109 ? 76 + 4 * k : 512 * 239 + 4 * (k - 109)), 41);
             bytes::Put32(d.data() + 512 * 240 - 4, 238);
         }},
        {"directory loops", &good, [&](auto& d) { bytes::Put32(d.data() + dirAt + 128 + 72, 1); }},
        {"directory child out of range", &good,
         [&](auto& d) { bytes::Put32(d.data() + dirAt + 76, 77); }},
        {"root is not a root", &good, [&](auto& d) { d[dirAt + 66] = 2; }},
        {"bad sector shift", &good, [](auto& d) { bytes::Put16(d.data() + 30, 30); }},
        {"bad byte order", &good, [](auto& d) { d[28] = 0xFF; }},
        {"bad mini sector shift", &good, [](auto& d) { d[32] = 7; }},
        {"file cut after the header", &good, [](auto& d) { d.resize(512); }},
        {"mini stream missing", &small, [](auto& d) { bytes::Put32(d.data() + 512 * 3 + 120, 0); }},
        {"mini-FAT chain cut after its first sector", &twoMiniFatSectors,
         [](auto& d) { bytes::Put32(d.data() + 512 * 21 + 4 * 17, 0xFFFFFFFE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = *c.base;
        c.damage(doc);
        EXPECT_THROW(
            {
                CompoundReader r(doc);
                r.ReadRootStream("Book");
            },
            WorkbookError);
    }
}

} // namespace
} // namespace tv

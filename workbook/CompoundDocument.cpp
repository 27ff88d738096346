#include "workbook/CompoundDocument.h"

#include "workbook/ByteIo.h"
#include "workbook/WorkbookError.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tv {

using namespace bytes;

namespace {

constexpr uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr uint32_t FreeSect = 0xFFFFFFFF;
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t FatSect = 0xFFFFFFFD;
constexpr uint32_t DifSect = 0xFFFFFFFC;
constexpr uint32_t NoStream = 0xFFFFFFFF;
constexpr size_t HeaderDifat = 109;
constexpr size_t EntrySize = 128;
constexpr size_t MiniSectorSize = 64;
constexpr uint32_t MiniCutoff = 4096;

size_t CeilDiv(size_t a, size_t b) {
    return (a + b - 1) / b;
}

[[noreturn]] void Damaged() {
    throw WorkbookError(wbmsg::Damaged);
}

void PutName(uint8_t* e, std::string_view name) {
    size_t n = std::min<size_t>(name.size(), 31);
    for (size_t i = 0; i < n; ++i)
        Put16(e + 2 * i, uint8_t(name[i]));
    Put16(e + 64, uint16_t((n + 1) * 2));
}

// Directory order: shorter names first, then by upper-case characters.
bool NameLess(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        char x = char(std::toupper(uint8_t(a[i]))), y = char(std::toupper(uint8_t(b[i])));
        if (x != y) return x < y;
    }
    return false;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(uint8_t(a[i])) != std::toupper(uint8_t(b[i]))) return false;
    return true;
}

} // namespace

bool HasCompoundSignature(std::span<const uint8_t> file) {
    return file.size() >= 8 && std::memcmp(file.data(), Signature, 8) == 0;
}

std::vector<uint8_t> BuildCompoundDocument(std::span<const CompoundStream> streams) {
    constexpr size_t SS = 512;
    constexpr size_t PerFat = SS / 4;

    std::vector<size_t> order(streams.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return NameLess(streams[a].Name, streams[b].Name); });

    // Small streams go to the mini stream, large ones get whole sectors from sector 0 on.
    std::vector<uint32_t> start(streams.size(), EndOfChain);
    std::vector<uint32_t> miniFat;
    size_t next = 0;
    size_t miniSize = 0;
    for (size_t i = 0; i < streams.size(); ++i) {
        size_t size = streams[i].Data.size();
        if (size == 0) continue;
        if (size >= MiniCutoff) {
            start[i] = uint32_t(next);
            next += CeilDiv(size, SS);
        } else {
            size_t n = CeilDiv(size, MiniSectorSize);
            start[i] = uint32_t(miniFat.size());
            for (size_t k = 0; k < n; ++k)
                miniFat.push_back(k + 1 < n ? uint32_t(miniFat.size() + 1) : EndOfChain);
            miniSize += n * MiniSectorSize;
        }
    }
    size_t miniStart = next, miniSectors = CeilDiv(miniSize, SS);
    next += miniSectors;
    size_t miniFatStart = next, miniFatSectors = CeilDiv(miniFat.size() * 4, SS);
    next += miniFatSectors;
    size_t dirStart = next, dirSectors = CeilDiv((streams.size() + 1) * EntrySize, SS);
    next += dirSectors;

    size_t fatSectors = 0, difatSectors = 0;
    for (;;) {
        size_t total = next + fatSectors + difatSectors;
        size_t nf = CeilDiv(total, PerFat);
        size_t nd = nf > HeaderDifat ? CeilDiv(nf - HeaderDifat, PerFat - 1) : 0;
        if (nf == fatSectors && nd == difatSectors) break;
        fatSectors = nf;
        difatSectors = nd;
    }
    size_t fatStart = next, difatStart = next + fatSectors;
    size_t total = difatStart + difatSectors;

    std::vector<uint32_t> fat(fatSectors * PerFat, FreeSect);
    auto chain = [&](size_t first, size_t count) {
        for (size_t k = 0; k < count; ++k)
            fat[first + k] = k + 1 < count ? uint32_t(first + k + 1) : EndOfChain;
    };
    for (size_t i = 0; i < streams.size(); ++i)
        if (streams[i].Data.size() >= MiniCutoff)
            chain(start[i], CeilDiv(streams[i].Data.size(), SS));
    chain(miniStart, miniSectors);
    chain(miniFatStart, miniFatSectors);
    chain(dirStart, dirSectors);
    for (size_t k = 0; k < fatSectors; ++k)
        fat[fatStart + k] = FatSect;
    for (size_t k = 0; k < difatSectors; ++k)
        fat[difatStart + k] = DifSect;

    std::vector<uint8_t> out((total + 1) * SS, 0);
    auto sector = [&](size_t n) { return out.data() + (n + 1) * SS; };

    uint8_t* h = out.data();
    std::memcpy(h, Signature, 8);
    Put16(h + 24, 0x003E);
    Put16(h + 26, 3);
    Put16(h + 28, 0xFFFE);
    Put16(h + 30, 9);
    Put16(h + 32, 6);
    Put32(h + 44, uint32_t(fatSectors));
    Put32(h + 48, uint32_t(dirStart));
    Put32(h + 56, MiniCutoff);
    Put32(h + 60, miniFatSectors ? uint32_t(miniFatStart) : EndOfChain);
    Put32(h + 64, uint32_t(miniFatSectors));
    Put32(h + 68, difatSectors ? uint32_t(difatStart) : EndOfChain);
    Put32(h + 72, uint32_t(difatSectors));
    for (size_t k = 0; k < HeaderDifat; ++k)
        Put32(h + 76 + 4 * k, k < fatSectors ? uint32_t(fatStart + k) : FreeSect);
    for (size_t d = 0; d < difatSectors; ++d) {
        uint8_t* p = sector(difatStart + d);
        for (size_t k = 0; k < PerFat - 1; ++k) {
            size_t idx = HeaderDifat + d * (PerFat - 1) + k;
            Put32(p + 4 * k, idx < fatSectors ? uint32_t(fatStart + idx) : FreeSect);
        }
        Put32(p + SS - 4, d + 1 < difatSectors ? uint32_t(difatStart + d + 1) : EndOfChain);
    }

    // Stream contents.
    uint8_t* mini = sector(miniStart);
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto& data = streams[i].Data;
        if (data.empty()) continue;
        uint8_t* dst =
            data.size() >= MiniCutoff ? sector(start[i]) : mini + start[i] * MiniSectorSize;
        std::memcpy(dst, data.data(), data.size());
    }
    for (size_t k = 0; k < miniFat.size(); ++k)
        Put32(sector(miniFatStart) + 4 * k, miniFat[k]);
    for (size_t k = 0; k < fat.size(); ++k)
        Put32(sector(fatStart) + 4 * k, fat[k]);

    // Directory: the root, then the streams as a chain of right siblings in name order.
    uint8_t* dir = sector(dirStart);
    for (size_t k = 0; k < dirSectors * SS / EntrySize; ++k) {
        uint8_t* e = dir + k * EntrySize;
        Put32(e + 68, NoStream);
        Put32(e + 72, NoStream);
        Put32(e + 76, NoStream);
    }
    PutName(dir, "Root Entry");
    dir[66] = 5;
    dir[67] = 1;
    Put32(dir + 76, streams.empty() ? NoStream : uint32_t(order[0] + 1));
    Put32(dir + 116, miniSize ? uint32_t(miniStart) : EndOfChain);
    Put64(dir + 120, miniSize);
    for (size_t pos = 0; pos < order.size(); ++pos) {
        size_t i = order[pos];
        uint8_t* e = dir + (i + 1) * EntrySize;
        PutName(e, streams[i].Name);
        e[66] = 2;
        e[67] = pos == 0 ? 1 : 0;
        if (pos + 1 < order.size()) Put32(e + 72, uint32_t(order[pos + 1] + 1));
        Put32(e + 116, start[i]);
        Put64(e + 120, streams[i].Data.size());
    }
    return out;
}

CompoundReader::CompoundReader(std::span<const uint8_t> file) : file_(file) {
    if (file.size() < 512 || !HasCompoundSignature(file)) Damaged();
    const uint8_t* h = file.data();
    shift_ = U16(h + 30);
    if (U16(h + 28) != 0xFFFE || (shift_ != 9 && shift_ != 12) || U16(h + 32) != 6) Damaged();
    sectorSize_ = size_t(1) << shift_;
    if (file.size() < sectorSize_) Damaged();
    sectorCount_ = CeilDiv(file.size() - sectorSize_, sectorSize_);
    miniCutoff_ = U32(h + 56);

    // The sectors of the allocation table: 109 in the header, the rest in a chain of
    // extension sectors.
    uint32_t fatCount = U32(h + 44);
    if (fatCount > sectorCount_) Damaged();
    std::vector<uint32_t> fatSectors;
    fatSectors.reserve(fatCount);
    for (size_t k = 0; k < HeaderDifat && fatSectors.size() < fatCount; ++k)
        fatSectors.push_back(U32(h + 76 + 4 * k));
    std::vector<bool> seen(sectorCount_);
    const size_t perSector = sectorSize_ / 4;
    std::vector<uint8_t> buf(sectorSize_);
    uint32_t difat = U32(h + 68);
    while (fatSectors.size() < fatCount) {
        if (difat >= sectorCount_ || seen[difat]) Damaged();
        seen[difat] = true;
        ReadSectors({difat}, sectorSize_, buf);
        for (size_t k = 0; k + 1 < perSector && fatSectors.size() < fatCount; ++k)
            fatSectors.push_back(U32(buf.data() + 4 * k));
        difat = U32(buf.data() + sectorSize_ - 4);
    }
    for (uint32_t s : fatSectors)
        if (s >= sectorCount_) Damaged();
    std::vector<uint8_t> fatBytes;
    ReadSectors(fatSectors, uint64_t(fatSectors.size()) * sectorSize_, fatBytes);
    fat_.resize(fatBytes.size() / 4);
    for (size_t k = 0; k < fat_.size(); ++k)
        fat_[k] = U32(fatBytes.data() + 4 * k);

    // Directory.
    std::vector<uint8_t> dir;
    auto dirChain = Chain(U32(h + 48), fat_, sectorCount_);
    ReadSectors(dirChain, uint64_t(dirChain.size()) * sectorSize_, dir);
    const size_t entryCount = dir.size() / EntrySize;
    entries_.resize(entryCount);
    for (size_t k = 0; k < entryCount; ++k) {
        const uint8_t* e = dir.data() + k * EntrySize;
        Entry& en = entries_[k];
        size_t nameBytes = std::min<size_t>(U16(e + 64), 64);
        for (size_t c = 0; c < nameBytes / 2; ++c) {
            uint16_t ch = U16(e + 2 * c);
            if (ch == 0) break;
            en.Name.push_back(ch < 0x80 ? char(ch) : '?');
        }
        en.Type = e[66];
        en.Left = U32(e + 68);
        en.Right = U32(e + 72);
        en.Child = U32(e + 76);
        en.Start = U32(e + 116);
        en.Size = shift_ == 9 ? U32(e + 120) : U64(e + 120);
    }
    if (entries_.empty() || entries_[0].Type != 5) Damaged();

    // The root storage's children form a tree over the left and right links.
    std::vector<bool> visited(entryCount);
    std::vector<uint32_t> stack{entries_[0].Child};
    while (!stack.empty()) {
        uint32_t id = stack.back();
        stack.pop_back();
        if (id == NoStream) continue;
        if (id >= entryCount || id == 0 || visited[id]) Damaged();
        visited[id] = true;
        stack.push_back(entries_[id].Right);
        stack.push_back(entries_[id].Left);
        if (entries_[id].Type == 2) {
            rootStreams_.push_back(id);
            streamNames_.push_back(entries_[id].Name);
        }
    }

    // Allocation table of the mini stream.
    uint32_t miniFatStart = U32(h + 60);
    if (miniFatStart != EndOfChain && miniFatStart != FreeSect) {
        auto chain = Chain(miniFatStart, fat_, sectorCount_);
        std::vector<uint8_t> bytes;
        ReadSectors(chain, uint64_t(chain.size()) * sectorSize_, bytes);
        miniFat_.resize(bytes.size() / 4);
        for (size_t k = 0; k < miniFat_.size(); ++k)
            miniFat_[k] = U32(bytes.data() + 4 * k);
    }
}

std::vector<uint32_t> CompoundReader::Chain(uint32_t start, const std::vector<uint32_t>& table,
                                            size_t limit) const {
    // A sector number is valid when it lies in the table and, for the big sectors, in the file.
    const size_t bound = &table == &fat_ ? std::min(table.size(), sectorCount_) : table.size();
    std::vector<uint32_t> out;
    std::vector<bool> seen(bound);
    uint32_t cur = start;
    while (cur != EndOfChain && out.size() < limit) {
        if (cur >= bound || seen[cur]) Damaged();
        seen[cur] = true;
        out.push_back(cur);
        cur = table[cur];
    }
    return out;
}

void CompoundReader::ReadSectors(const std::vector<uint32_t>& chain, uint64_t size,
                                 std::vector<uint8_t>& out) const {
    if (size > uint64_t(chain.size()) * sectorSize_) Damaged();
    out.assign(size_t(size), 0);
    size_t pos = 0;
    for (uint32_t s : chain) {
        if (pos >= size) break;
        size_t offset = (size_t(s) + 1) << shift_;
        size_t n = std::min<size_t>(sectorSize_, size_t(size) - pos);
        // The last sector of a file may be cut short; the missing bytes read as 0.
        size_t avail = offset < file_.size() ? std::min(n, file_.size() - offset) : 0;
        if (avail) std::memcpy(out.data() + pos, file_.data() + offset, avail);
        pos += n;
    }
}

std::optional<std::vector<uint8_t>> CompoundReader::ReadRootStream(std::string_view name) const {
    const Entry* found = nullptr;
    for (uint32_t id : rootStreams_)
        if (SameName(entries_[id].Name, name)) {
            found = &entries_[id];
            break;
        }
    if (!found) return std::nullopt;
    std::vector<uint8_t> out;
    const uint64_t size = found->Size;
    if (size > file_.size()) Damaged();
    if (size == 0) return out;
    if (size >= miniCutoff_) {
        auto chain = Chain(found->Start, fat_, CeilDiv(size_t(size), sectorSize_));
        ReadSectors(chain, size, out);
        return out;
    }
    if (!miniStream_) {
        const Entry& root = entries_[0];
        if (root.Size > file_.size()) Damaged();
        auto chain = Chain(root.Start, fat_, CeilDiv(size_t(root.Size), sectorSize_));
        std::vector<uint8_t> mini;
        ReadSectors(chain, root.Size, mini);
        miniStream_ = std::move(mini);
    }
    const std::vector<uint8_t>& mini = *miniStream_;
    auto chain = Chain(found->Start, miniFat_, CeilDiv(size_t(size), MiniSectorSize));
    if (size > uint64_t(chain.size()) * MiniSectorSize) Damaged();
    out.assign(size_t(size), 0);
    size_t pos = 0;
    for (uint32_t s : chain) {
        size_t offset = size_t(s) * MiniSectorSize;
        if (offset >= mini.size()) Damaged();
        size_t n = std::min<size_t>(MiniSectorSize, size_t(size) - pos);
        std::memcpy(out.data() + pos, mini.data() + offset, std::min(n, mini.size() - offset));
        pos += n;
    }
    return out;
}

} // namespace tv

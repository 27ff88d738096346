#pragma once

// The compound document container (a small file system of sectors with named streams).
// The writer produces version 3 (512-byte sectors), the form every reader understands;
// the reader also accepts version 4 (4096-byte sectors).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

struct CompoundStream {
    std::string Name; // ASCII, at most 31 characters
    std::span<const uint8_t> Data;
};

// The bytes of a compound document holding the given streams in its root storage.
std::vector<uint8_t> BuildCompoundDocument(std::span<const CompoundStream> streams);

// True when the bytes start with the compound document signature.
bool HasCompoundSignature(std::span<const uint8_t> file);

// Read access to a compound document held in memory. Every sector number, chain and size is
// checked against the file; a damaged container throws WorkbookError("File is damaged").
class CompoundReader {
  public:
    explicit CompoundReader(std::span<const uint8_t> file);

    // Names of the streams directly in the root storage.
    const std::vector<std::string>& RootStreams() const { return streamNames_; }
    // The contents of a root stream, compared without regard to case; nullopt when absent.
    std::optional<std::vector<uint8_t>> ReadRootStream(std::string_view name) const;

  private:
    struct Entry {
        std::string Name;
        uint8_t Type = 0;
        uint32_t Left = 0, Right = 0, Child = 0;
        uint32_t Start = 0;
        uint64_t Size = 0;
    };

    std::vector<uint32_t> Chain(uint32_t start, const std::vector<uint32_t>& fat,
                                size_t limit) const;
    void ReadSectors(const std::vector<uint32_t>& chain, uint64_t size,
                     std::vector<uint8_t>& out) const;

    std::span<const uint8_t> file_;
    unsigned shift_ = 9;
    size_t sectorSize_ = 512;
    size_t sectorCount_ = 0; // sectors present in the file, a partial last one included
    uint32_t miniCutoff_ = 4096;
    std::vector<uint32_t> fat_;
    std::vector<uint32_t> miniFat_;
    std::vector<Entry> entries_;
    std::vector<uint32_t> rootStreams_; // entry numbers
    std::vector<std::string> streamNames_;
    mutable std::optional<std::vector<uint8_t>> miniStream_;
};

} // namespace tv

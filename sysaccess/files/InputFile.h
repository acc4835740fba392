#pragma once
// A file opened for reading, read in pieces from its start, so that a reader
// holds only what it asks for however large the file is. Platforms give one
// for a path (Platform::openInput); MemoryInputFile reads bytes in memory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace sysaccess::files {

class InputFile {
public:
    virtual ~InputFile() = default;

    // The file's size in bytes when it was opened.
    virtual std::uint64_t size() const = 0;
    // Reads up to `capacity` bytes at the current position into `into` and
    // moves past them. Returns how many were read: fewer than asked only at
    // the end of the file, 0 there. A failed read raises a RuntimeError
    // (75, "Path/File access error").
    virtual std::size_t read(char* into, std::size_t capacity) = 0;
    // Moves to `offset` bytes from the start; beyond the end, reads give 0.
    virtual void seek(std::uint64_t offset) = 0;
};

// Reads until `count` bytes are in `into` or the file ends; returns how many.
inline std::size_t readUpTo(InputFile& file, char* into, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        const std::size_t n = file.read(into + got, count - got);
        if (n == 0) break;
        got += n;
    }
    return got;
}

class MemoryInputFile final : public InputFile {
public:
    explicit MemoryInputFile(std::string bytes) : bytes_(std::move(bytes)) {}

    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t read(char* into, std::size_t capacity) override {
        if (pos_ >= bytes_.size()) return 0;
        const std::size_t n = std::min<std::uint64_t>(capacity, bytes_.size() - pos_);
        std::memcpy(into, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    void seek(std::uint64_t offset) override { pos_ = offset; }

private:
    std::string bytes_;
    std::uint64_t pos_ = 0;
};

}  // namespace sysaccess::files

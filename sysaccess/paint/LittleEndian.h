#pragma once
// Little-endian reads from a byte range, for the picture file readers. Every
// read must be preceded by has() for its range.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sysaccess::paint {

// Header constants the bitmap and icon files share.
inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kRgb = 0;
inline constexpr std::uint32_t kBitFields = 3;

class LittleEndian {
public:
    explicit LittleEndian(std::string_view data) : data_(data) {}

    bool has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    std::uint8_t u8(std::size_t offset) const { return static_cast<std::uint8_t>(data_[offset]); }
    std::uint16_t u16(std::size_t offset) const {
        return static_cast<std::uint16_t>(u8(offset) | u8(offset + 1) << 8);
    }
    std::uint32_t u32(std::size_t offset) const {
        return static_cast<std::uint32_t>(u16(offset)) | static_cast<std::uint32_t>(u16(offset + 2)) << 16;
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    std::string_view bytes() const { return data_; }

private:
    std::string_view data_;
};

}  // namespace sysaccess::paint

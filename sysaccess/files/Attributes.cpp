#include "sysaccess/files/Attributes.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#if defined(__linux__)
#include <sys/xattr.h>
#endif

namespace sysaccess::files {
namespace {

namespace fs = std::filesystem;

constexpr unsigned ReadOnlyBit = 0x1, HiddenBit = 0x2, SystemBit = 0x4;

// The attribute value is a hex text ("0x22"), optionally followed by a NUL
// and a binary record of more information; only the text counts. Anything
// that is not such a text carries no attributes.
std::optional<unsigned> parseDosAttrib(std::string_view raw) {
    raw = raw.substr(0, raw.find('\0'));
    if (raw.starts_with("0x") || raw.starts_with("0X")) raw.remove_prefix(2);
    if (raw.empty() || raw.size() > 8) return std::nullopt;
    unsigned value = 0;
    auto [end, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), value, 16);
    if (ec != std::errc() || end != raw.data() + raw.size()) return std::nullopt;
    return value;
}

unsigned dosAttribBits(const fs::path& host) {
#if defined(__linux__)
    constexpr const char* name = "user.DOSATTRIB";
    ssize_t size = getxattr(host.c_str(), name, nullptr, 0);
    if (size <= 0 || size > 65536) return 0;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    size = getxattr(host.c_str(), name, buffer.data(), buffer.size());
    if (size <= 0) return 0;
    return parseDosAttrib(std::string_view(buffer.data(), static_cast<std::size_t>(size))).value_or(0);
#else
    (void)host;
    return 0;
#endif
}

}  // namespace

DosAttributes attributesOf(const fs::path& host) {
    std::error_code ec;
    fs::file_status st = fs::status(host, ec);
    if (ec || !fs::exists(st)) return {};

    DosAttributes a;
    unsigned bits = dosAttribBits(host);
    std::string name = host.lexically_normal().filename().string();
    if (name.empty()) name = host.lexically_normal().parent_path().filename().string();
    a.hidden = name.starts_with('.') || (bits & HiddenBit);
    a.system = (bits & SystemBit) != 0;
    a.readOnly = (bits & ReadOnlyBit) || (st.permissions() & fs::perms::owner_write) == fs::perms::none;
    a.directory = fs::is_directory(st);
    return a;
}

}  // namespace sysaccess::files

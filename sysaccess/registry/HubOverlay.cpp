#include "sysaccess/registry/HubOverlay.h"

#include "sysaccess/registry/KeyPath.h"

#include <algorithm>
#include <utility>

namespace sysaccess::registry {

std::vector<std::string> rootHubKeyNames(const std::filesystem::path& usbDevicesDir) {
    std::vector<std::pair<unsigned long, std::string>> hubs;
    if (usbDevicesDir.empty()) return {};
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(usbDevicesDir, ec)) {
        const std::string name = entry.path().filename().string();
        const std::string_view digits = std::string_view(name).substr(std::min<std::size_t>(3, name.size()));
        if (!name.starts_with("usb") || digits.empty() || digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        hubs.emplace_back(std::stoul(std::string(digits)), upperAscii(name));
    }
    std::sort(hubs.begin(), hubs.end());
    std::vector<std::string> names;
    for (auto& h : hubs) names.push_back(std::move(h.second));
    return names;
}

}  // namespace sysaccess::registry

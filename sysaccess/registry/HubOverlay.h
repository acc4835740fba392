#pragma once
// The USB root hubs the host kernel lists, shown as read-only keys under
// Enum\USB\ROOT_HUB the way the 9x hardware tree lists the hubs it found.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sysaccess::registry {

inline constexpr std::string_view kRootHubPath = "Enum\\USB\\ROOT_HUB";

// Key names for the entries "usbN" (N decimal) of a devices folder such as
// /sys/bus/usb/devices: the entry name in upper case ("USB1"), ordered by N.
// Other entries (devices, interfaces) are not hubs. A missing folder lists none.
std::vector<std::string> rootHubKeyNames(const std::filesystem::path& usbDevicesDir);

}  // namespace sysaccess::registry

#pragma once
// Run-time error numbers that only the file services raise, next to the
// shared ones in RuntimeError.h.
namespace sysaccess::err {
inline constexpr int BadFileName = 52;        // "Bad file name or number"
inline constexpr int DeviceUnavailable = 68;  // "Device unavailable"
}  // namespace sysaccess::err

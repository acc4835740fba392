#pragma once
// Run-time failures of the programs, in the manner of the desktop's run-time
// errors: a number and a text. Every service of the layer that fails throws
// one; guarded handlers catch exactly this type.
#include <stdexcept>
#include <string>

namespace sysaccess {

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& text)
        : std::runtime_error(text), number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

// The numbers the layer raises, with the desktop's usual texts.
namespace err {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int PermissionDenied = 70;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidPicture = 481;
inline constexpr int CannotStart = 5;  // "Invalid procedure call or argument"
}  // namespace err

[[noreturn]] inline void raise(int number, const std::string& text) {
    throw RuntimeError(number, text);
}

}  // namespace sysaccess

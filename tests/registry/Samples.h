#pragma once
// A system.reg as Wine writes it, with the constructs a real one holds:
// values of every kind, a hex value continued over lines, #class, #link,
// escaped key names (\x, brackets), a comment and a malformed header.
#include <string>

namespace samples {

inline const std::string kWineSystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Enum\\Root\\Legacy_Beep\\0000] 1700000100
#time=1da1747d2b3e5a0
"Class"="LegacyDriver"
"ConfigFlags"=dword:00000000

[Enum\\USB\\ROOT_HUB\\PCI&VEN_8086&DEV_7112] 1700000101
#time=1da1747d2b3e5a1
"HardwareID"=hex(7):55,00,53,00,42,00,5c,00,52,00,4f,00,4f,00,54,00,5f,00,48,\
  00,55,00,42,00,00,00,00,00
"DeviceDesc"="USB Root Hub"

[Enum\\USB\\VID_0711&PID_0300\\5&2A] 1700000102
#time=1da1747d2b3e5a2
"Driver"="Ports\\0000"
"Mfg"=str(2):"%ProgramFiles%\\Kelvarn"
"Blob"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
  16,17,18,19,1a,1b,1c,1d,1e,1f
"[not a key]"="value whose name looks like a header"

[Software\\Classes\\CLSID\\{0000-1111}] 1700000103
#time=1da1747d2b3e5a3
#class="Shell Class"
@="Default value"

[Software\\Caf\x00e9\\Men\]u\[x\]] 1700000104
#time=1da1747d2b3e5a4
"Caf\x00e9"="accented value name"

;; a comment Wine ignores
[System\\CurrentControlSet] 1700000105
#time=1da1747d2b3e5a5
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\
  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00

[System\\ControlSet001\\Services\\Class\\Ports] 1700000106
#time=1da1747d2b3e5a6
"Class"="Ports"

[Broken\\Header 1700000107
"Orphan"="kept as it is"

[System\\ControlSet001\\Services\\Class\\Ports\\0000] 1700000108
#time=1da1747d2b3e5a8
"DriverDesc"="Kelvarn USB Serial"
)";

// The bytes one section occupies in a file written like kWineSystemReg:
// its blank line, header line and everything up to the next blank line.
inline std::string chunkOf(const std::string& text, const std::string& headerLine) {
    const auto at = text.find("\n" + headerLine);
    const auto next = text.find("\n\n", at + 1);
    return text.substr(at, next == std::string::npos ? std::string::npos : next + 1 - at);
}

}  // namespace samples

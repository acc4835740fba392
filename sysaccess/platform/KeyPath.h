#pragma once
// Registry key paths below HKEY_LOCAL_MACHINE as the programs pass them:
// 8-bit text in the machine's code page, components separated by '\' (a
// trailing '\' names the same key).
#include <string>
#include <string_view>

namespace sysaccess {

// The path of `child` below `parent`: "" + "A\" gives "A", "A\" + "B" gives "A\B".
std::string joinKeyPath(std::string_view parent, std::string_view child, unsigned codePage);

// The device instance ID ("USB\VID_0E4B&PID_0204\5&1A&0&1") of the NT
// layout's device tree that `keyPath` names or lies below: the key
// SYSTEM\CurrentControlSet\Enum\<enumerator>\<device>\<instance> or a key
// under it. "" for the keys above an instance and for keys outside the tree.
std::string deviceInstanceOf(std::string_view keyPath, unsigned codePage);

}  // namespace sysaccess

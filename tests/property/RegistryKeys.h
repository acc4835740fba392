#pragma once
// The keys of a system.reg, read from its section headers alone (a key is
// there when a section names it or a key below it), independently of the
// registry store the programs use.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace property {

// Keys by their path in upper case (names compare regardless of case).
using KeySet = std::map<std::string, bool>;

KeySet readKeys(const std::string& systemRegText);
// Takes `key` and every key below it out of `keys`; gives those below, in
// upper case and sorted.
std::vector<std::string> takeSubtree(KeySet& keys, const std::string& key);
std::set<std::string> keyNames(const KeySet& keys);

}  // namespace property

#include "property/RegistryKeys.h"

#include <sstream>

namespace property {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return s;
}

// The key path of a section header line "[A\\B] 1700000000": a backslash
// takes the character after it as it is.
std::string headerPath(const std::string& line) {
    std::string path;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            path += line[++i];
        } else if (line[i] == ']') {
            break;
        } else {
            path += line[i];
        }
    }
    return path;
}

}  // namespace

KeySet readKeys(const std::string& text) {
    KeySet keys;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != '[') continue;
        const std::string path = upper(headerPath(line));
        for (std::size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
            keys[path.substr(0, cut)] = true;
        keys[path] = true;
    }
    return keys;
}

std::vector<std::string> takeSubtree(KeySet& keys, const std::string& key) {
    const std::string top = upper(key);
    const std::string prefix = top + "\\";
    std::vector<std::string> below;
    for (auto it = keys.lower_bound(prefix); it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;) {
        below.push_back(it->first);
        it = keys.erase(it);
    }
    keys.erase(top);
    return below;
}

std::set<std::string> keyNames(const KeySet& keys) {
    std::set<std::string> names;
    for (const auto& [name, present] : keys) names.insert(name);
    return names;
}

}  // namespace property

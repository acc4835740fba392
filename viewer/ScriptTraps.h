#pragma once
// The traps of a removal script: places where the remover reads something
// other than what the script's author most likely meant, each with the field
// and the line of the file where it starts.
#include <cstddef>
#include <string>
#include <vector>

#include "viewer/ScriptLayout.h"

namespace busview {

struct Trap {
    enum class Kind {
        ShortScript,       // fewer than 145 fields
        LinkSwitch,        // empty or not a number
        LostFields,        // text in fields 116-125
        ListEndsEarly,     // a blank entry with non-empty entries after it
        HeaderCase,        // a header in other letter case: an item
        BeforeFirstHeader, // items before the first header
        NoMarker,          // no marker among match entries 1-20
        EmptyFragment,     // an empty fragment before the marker
        FolderPart,        // a file item with a folder part
        LeavesFolder,      // a file item that would reach outside its folder
        ManyOemEntries,    // several entries in the oem section
    };
    Kind kind;
    int field = 0;
    std::size_t line = 0;
    std::string text;
};

// Short names of the kinds, for the JSON form ("short-script", ...).
const char* trapName(Trap::Kind kind);

class ScriptTraps {
public:
    static std::vector<Trap> find(const ScriptLayout& layout);

private:
    explicit ScriptTraps(const ScriptLayout& layout) : layout_(layout) {}
    void add(Trap::Kind kind, int field, std::string text);
    void fieldCount();
    void linkSwitch();
    void lostFields();
    void listEnd();
    void headers();
    void matchList();
    void fileItems();
    void oemEntries();

    const ScriptLayout& layout_;
    std::vector<Trap> traps_;
};

}  // namespace busview

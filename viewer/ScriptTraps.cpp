#include "viewer/ScriptTraps.h"

#include <algorithm>

#include "sysaccess/files/Names.h"

namespace busview {

namespace {

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

const char* trapName(Trap::Kind kind) {
    switch (kind) {
        case Trap::Kind::ShortScript: return "short-script";
        case Trap::Kind::LinkSwitch: return "link-switch";
        case Trap::Kind::LostFields: return "lost-fields";
        case Trap::Kind::ListEndsEarly: return "list-ends-early";
        case Trap::Kind::HeaderCase: return "header-case";
        case Trap::Kind::BeforeFirstHeader: return "before-first-header";
        case Trap::Kind::NoMarker: return "no-marker";
        case Trap::Kind::EmptyFragment: return "empty-fragment";
        case Trap::Kind::FolderPart: return "folder-part";
        case Trap::Kind::LeavesFolder: return "leaves-folder";
        case Trap::Kind::ManyOemEntries: return "many-oem-entries";
    }
    return "";
}

std::vector<Trap> ScriptTraps::find(const ScriptLayout& layout) {
    ScriptTraps t(layout);
    t.fieldCount();
    t.linkSwitch();
    t.matchList();
    t.headers();
    t.fileItems();
    t.oemEntries();
    t.lostFields();
    t.listEnd();
    std::stable_sort(t.traps_.begin(), t.traps_.end(), [](const Trap& a, const Trap& b) { return a.field < b.field; });
    return t.traps_;
}

void ScriptTraps::add(Trap::Kind kind, int field, std::string text) {
    traps_.push_back({kind, field, layout_.fields().line(field), std::move(text)});
}

void ScriptTraps::fieldCount() {
    const auto& f = layout_.fields();
    if (f.complete()) return;
    std::string why = "the script holds " + std::to_string(f.count()) + " fields, start-up reads 145";
    if (!f.failure().empty()) why += " (" + f.failure() + ")";
    add(Trap::Kind::ShortScript, f.count() + 1, why + ": the remover ends silently at start-up");
}

void ScriptTraps::linkSwitch() {
    if (layout_.fields().count() < 10 || layout_.linkSwitchAccepted()) return;
    const std::string& s = layout_.linkSwitch();
    add(Trap::Kind::LinkSwitch, 10,
        (s.empty() ? std::string("the link switch is empty") : "the link switch " + quoted(s) + " is no number") +
            ": the remover ends silently at start-up (an unquoted comma before it shifts every later field)");
}

void ScriptTraps::lostFields() {
    for (int field = 116; field <= 125; ++field) {
        const std::string& v = layout_.fields().value(field);
        if (!v.empty()) add(Trap::Kind::LostFields, field, quoted(v) + " is thrown away: fields 116-125 never reach the removal list");
    }
}

void ScriptTraps::listEnd() {
    const int end = layout_.listEnd();
    if (end > 100) return;
    int later = 0;
    for (int i = end + 1; i <= 100; ++i) later += !layout_.entryText(i).empty();
    if (later == 0) return;
    add(Trap::Kind::ListEndsEarly, ScriptLayout::entryField(end),
        "blank entry " + std::to_string(end) + " ends the removal list: " + std::to_string(later) +
            " non-empty entries after it are never used");
}

void ScriptTraps::headers() {
    bool seenHeader = false;
    int before = 0;
    for (const Entry& e : layout_.entries()) {
        if (e.header) {
            seenHeader = true;
            continue;
        }
        for (Section s : {Section::Registry, Section::System, Section::System32, Section::Inf, Section::Other,
                          Section::W2kinf}) {
            if (upper(e.text) == upper(headerText(s))) {
                add(Trap::Kind::HeaderCase, e.field,
                    quoted(e.text) + " is an item of " + headerText(e.run) + ", not the header " + headerText(s) +
                        " (headers are matched in their exact letter case)");
            }
        }
        if (!seenHeader && before++ == 0) {
            add(Trap::Kind::BeforeFirstHeader, e.field,
                "entries before the first header: the installed check looks for them in the system folder, the "
                "removal run hands them to the registry step");
        }
    }
}

void ScriptTraps::matchList() {
    if (!layout_.markerEntry()) {
        add(Trap::Kind::NoMarker, ScriptLayout::matchField(1),
            "no \"==========\" among match entries 1-20: all 20 are taken as registry fragments");
    }
    const auto fragments = layout_.fragments();
    for (std::size_t i = 0; i < fragments.size(); ++i) {
        if (!fragments[i].empty()) continue;
        const int m = static_cast<int>(i) + 1;
        add(Trap::Kind::EmptyFragment, ScriptLayout::matchField(m),
            "match entry " + std::to_string(m) + " is empty before the marker: an empty fragment");
    }
}

void ScriptTraps::fileItems() {
    for (const Entry& e : layout_.entries()) {
        if (e.header) continue;
        if (!isFileSection(e.run)) continue;
        if (!sysaccess::files::staysBelowFolder(e.text)) {
            add(Trap::Kind::LeavesFolder, e.field,
                quoted(e.text) + " would reach outside its folder: the remover neither finds nor deletes it");
        } else if (e.text.find_first_of("\\/") != std::string::npos) {
            add(Trap::Kind::FolderPart, e.field, quoted(e.text) + " has a folder part: file items are bare names");
        }
    }
}

void ScriptTraps::oemEntries() {
    int count = 0, first = 0;
    for (const Entry& e : layout_.entries()) {
        if (e.run != Section::W2kinf) continue;
        if (count++ == 0) first = e.field;
    }
    if (count > 1) {
        add(Trap::Kind::ManyOemEntries, first,
            "the [Delete W2kinf] section has " + std::to_string(count) + " entries: " + std::to_string(count * 50) +
                " runs of the oem file cleanup where 50 do");
    }
}

}  // namespace busview

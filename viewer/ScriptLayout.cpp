#include "viewer/ScriptLayout.h"

#include "sysaccess/RuntimeError.h"
#include "sysaccess/ui/Services.h"

namespace busview {

namespace {
constexpr const char* Marker = "==========";
constexpr Section AllSections[] = {Section::Registry, Section::System, Section::System32,
                                   Section::Inf,      Section::Other,  Section::W2kinf};
}  // namespace

const char* headerText(Section s) {
    switch (s) {
        case Section::Registry: return "[Delete Registry]";
        case Section::System: return "[Delete System]";
        case Section::System32: return "[Delete System32]";
        case Section::Inf: return "[Delete Inf]";
        case Section::Other: return "[Delete Other]";
        case Section::W2kinf: return "[Delete W2kinf]";
    }
    return "";
}

std::optional<Section> headerOf(const std::string& field) {
    for (Section s : AllSections) {
        if (field == headerText(s)) return s;
    }
    return std::nullopt;
}

bool isFileSection(Section s) { return s != Section::Registry && s != Section::W2kinf; }

const char* runStep(Section s) {
    switch (s) {
        case Section::Registry: return "CleanRegistry";
        case Section::System: return "DeleteSystemFiles";
        case Section::System32: return "DeleteDriverFiles";
        case Section::Inf: return "DeleteInfFiles";
        case Section::Other: return "DeleteOtherInfFiles";
        case Section::W2kinf: return "RemoveOemInfFiles x50";
    }
    return "";
}

int ScriptLayout::entryField(int entry) { return entry <= 80 ? 35 + entry : 45 + entry; }
int ScriptLayout::matchField(int match) { return 13 + match; }

ScriptLayout::ScriptLayout(const ScriptFields& fields) : fields_(fields) {
    // The remover converts the switch with the same conversion.
    if (fields_.count() >= 10) {
        try {
            linkSwitchNumber_ = sysaccess::ui::CDbl(linkSwitch());
        } catch (const sysaccess::RuntimeError&) {
        }
    }
    for (int m = 1; m <= 20 && !marker_; ++m) {
        if (fields_.value(matchField(m)) == Marker) marker_ = m;
    }
    // The check starts in the system folder's section and does not know the
    // registry header; the run starts in the registry section.
    Section check = Section::System, run = Section::Registry;
    for (int i = 1; i <= 100; ++i) {
        const std::string text = entryText(i);
        if (text.empty()) break;
        Entry e;
        e.index = i;
        e.field = entryField(i);
        e.text = text;
        if (const auto h = headerOf(text)) {
            e.header = true;
            run = *h;
            if (*h != Section::Registry) check = *h;
        }
        e.check = check;
        e.run = run;
        entries_.push_back(std::move(e));
    }
}

std::vector<std::string> ScriptLayout::infoTexts() const {
    std::vector<std::string> t;
    for (int n = 1; n <= 7; ++n) t.push_back(fields_.value(n));
    return t;
}

std::vector<std::string> ScriptLayout::fragments() const {
    std::vector<std::string> f;
    const int last = marker_ ? marker_ - 1 : 20;
    for (int m = 1; m <= last; ++m) f.push_back(fields_.value(matchField(m)));
    return f;
}

std::string ScriptLayout::entryText(int entry) const { return fields_.value(entryField(entry)); }

}  // namespace busview

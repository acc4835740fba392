// The text report of a script: what each part of it means to the remover.
#include "viewer/Report.h"

namespace busview {

namespace {

const char* checkName(Section s) {
    switch (s) {
        case Section::W2kinf: return "oem files";
        case Section::System: return "system";
        case Section::System32: return "system32\\drivers";
        case Section::Inf: return "inf";
        case Section::Other: return "inf\\other";
        case Section::Registry: return "registry";
    }
    return "";
}

}  // namespace

void writeScriptText(std::ostream& out, const ScriptLayout& layout, const std::vector<Trap>& traps) {
    const ScriptFields& f = layout.fields();
    out << "Header texts (fields 1-7):\n";
    const auto info = layout.infoTexts();
    for (std::size_t i = 0; i < info.size(); ++i) out << "  Label" << i + 1 << ": " << info[i] << "\n";
    out << "Link lines (fields 8-9): " << layout.shortcut1() << " | " << layout.shortcut2() << "\n";
    out << "Link switch (field 10): \"" << layout.linkSwitch() << "\": ";
    if (!layout.linkSwitchAccepted()) out << "not a number, start-up ends\n";
    else out << (layout.linkPictureEnabled() ? "accepted, link picture enabled\n" : "accepted, link picture disabled\n");
    out << "Device name (field 11): " << layout.deviceName() << "\n";
    out << "Registry fragments (fields 14-35), up to the marker:";
    for (const auto& frag : layout.fragments()) out << " \"" << frag << "\"";
    if (layout.markerEntry()) {
        out << "; marker at match entry " << layout.markerEntry() << " (field "
            << ScriptLayout::matchField(layout.markerEntry()) << ")\n";
    } else {
        out << "; no marker\n";
    }
    out << "Removal list (entry, field, line: text -> installed check | removal run):\n";
    for (const Entry& e : layout.entries()) {
        out << "  " << e.index << ", field " << e.field << ", line " << f.line(e.field) << ": " << e.text << " -> "
            << checkName(e.check) << " | " << runStep(e.run) << (e.header ? "  (header)" : "") << "\n";
    }
    if (layout.listEnd() <= 100) {
        const int field = ScriptLayout::entryField(layout.listEnd());
        out << "The list ends at blank entry " << layout.listEnd() << " (field " << field << ", line "
            << f.line(field) << ").\n";
    } else {
        out << "The list holds all 100 entries.\n";
    }
    out << (layout.startupAccepts() ? "Start-up accepts the script.\n"
                                    : "Start-up does not accept the script: the remover ends silently.\n");
    if (traps.empty()) {
        out << "No warnings.\n";
        return;
    }
    out << "Warnings:\n";
    for (const Trap& t : traps) out << "  field " << t.field << ", line " << t.line << ": " << t.text << "\n";
}

}  // namespace busview

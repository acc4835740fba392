// The text report of a dry run on a machine.
#include "viewer/Report.h"

namespace busview {

const char* changeName(PreviewChange::Kind kind) {
    switch (kind) {
        case PreviewChange::Kind::DeleteKey: return "delete key";
        case PreviewChange::Kind::DeleteFile: return "delete file";
        case PreviewChange::Kind::Restart: return "restart request";
        case PreviewChange::Kind::StartProgram: return "start program";
        case PreviewChange::Kind::OpenShortcut: return "open shortcut";
    }
    return "";
}

const char* familyName(int family) {
    return family == 1 ? "9x (Enum\\)" : family == 2 ? "NT (SYSTEM\\CurrentControlSet\\Enum\\)" : "none detected";
}

void writePreviewText(std::ostream& out, const ScriptLayout& layout, const PreviewResult& p) {
    out << "\nOn this machine (nothing is changed):\n";
    if (p.startupEnded) {
        out << "  Start-up ends silently: the window is never shown."
            << (p.failure.empty() ? "" : " (" + p.failure + ")") << "\n";
        return;
    }
    out << "  Installed check: Check1 " << (p.checkEnabled ? "enabled" : "disabled");
    if (p.decidingEntry) {
        const Entry& e = layout.entries()[static_cast<std::size_t>(p.decidingEntry - 1)];
        out << ", decided by entry " << e.index << " (" << e.text << ")";
    }
    out << "\n";
    if (!p.removalRan) {
        out << "  The device cannot be ticked: no removal.\n";
        return;
    }
    out << "  Removal after a Yes, in order:\n";
    for (const PreviewChange& c : p.changes) {
        // A key that goes with its parent is shown under the deletion that takes it.
        if (c.withParent()) {
            out << "      removed with its parent: " << c.what << "\n";
            continue;
        }
        out << "    " << changeName(c.kind) << " " << c.what << "  [" << c.step;
        if (c.entry >= 1 && c.entry <= static_cast<int>(layout.entries().size())) out << ", entry " << c.entry;
        out << "]\n";
    }
    if (p.changes.empty()) out << "    nothing\n";
    out << "  Registry layout: " << familyName(p.family) << "\n";
    for (const PreviewBox& b : p.boxes) {
        std::string text = b.text;
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " / ");
        out << "  Box \"" << b.title << "\" (style " << b.style << "): " << text << "\n";
    }
    out << "  Restart: " << (p.family == 1 ? "offered (the preview answers No)" : p.family == 2 ? "advised, not offered" : "not offered")
        << (p.restartRequested ? ", requested" : "") << "\n";
    if (!p.failure.empty()) out << "  The run fails: " << p.failure << "\n";
}

}  // namespace busview

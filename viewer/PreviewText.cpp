// The text report of a run on a machine: a dry run, or a removal done.
#include "viewer/Report.h"

namespace busview {

namespace {

// Line breaks of a box or failure text, shown on one line.
std::string oneLine(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " / ");
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;) text.replace(at, 1, " / ");
    return text;
}

}  // namespace

const char* changeName(PreviewChange::Kind kind, Tense tense) {
    const bool done = tense == Tense::Done;
    switch (kind) {
        case PreviewChange::Kind::DeleteKey: return done ? "removed key" : "delete key";
        case PreviewChange::Kind::DeleteFile: return done ? "deleted file" : "delete file";
        case PreviewChange::Kind::Restart: return done ? "restart requested" : "restart request";
        case PreviewChange::Kind::StartProgram: return done ? "started program" : "start program";
        case PreviewChange::Kind::OpenShortcut: return done ? "opened shortcut" : "open shortcut";
    }
    return "";
}

const char* familyName(int family) {
    return family == 1 ? "9x (Enum\\)" : family == 2 ? "NT (SYSTEM\\CurrentControlSet\\Enum\\)" : "none detected";
}

void writePreviewText(std::ostream& out, const ScriptLayout& layout, const PreviewResult& p, Tense tense) {
    const bool done = tense == Tense::Done;
    out << (done ? "\nOn this machine (run for real):\n" : "\nOn this machine (nothing is changed):\n");
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
    out << (done ? "  Removed after a Yes, in order:\n" : "  Removal after a Yes, in order:\n");
    for (const PreviewChange& c : p.changes) {
        // A key that goes with another is shown under the deletion that takes it.
        if (c.takenAlong()) {
            out << (c.withParent() ? "      removed with its parent: " : "      removed by the system with it: ")
                << c.what << "\n";
            continue;
        }
        out << "    " << changeName(c.kind, tense) << " " << c.what << "  [" << c.step;
        if (c.entry >= 1 && c.entry <= static_cast<int>(layout.entries().size())) out << ", entry " << c.entry;
        out << "]\n";
    }
    if (p.changes.empty()) out << "    nothing\n";
    out << "  Registry layout: " << familyName(p.family) << "\n";
    for (const PreviewBox& b : p.boxes) {
        out << "  Box \"" << b.title << "\" (style " << b.style << "): " << oneLine(b.text) << "\n";
    }
    const char* offered = done ? "offered (answered No)" : "offered (the preview answers No)";
    out << "  Restart: " << (p.family == 1 ? offered : p.family == 2 ? "advised, not offered" : "not offered")
        << (p.restartRequested ? ", requested" : "") << "\n";
    if (!p.failure.empty()) out << "  The run fails: " << p.failure << "\n";
}

void writeOutcomeText(std::ostream& out, const RemovalOutcome& o) {
    out << "\nOutcome: " << o.summary << " (exit code " << o.exitCode << ")\n";
    if (!o.failure.empty()) out << "  " << oneLine(o.failure) << "\n";
}

}  // namespace busview

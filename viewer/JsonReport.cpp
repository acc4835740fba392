// The reports as one JSON document.
#include "viewer/Json.h"
#include "viewer/Report.h"

namespace busview {

namespace {

const char* sectionKey(Section s) { return headerText(s); }

void scriptJson(std::ostream& out, const ScriptLayout& layout) {
    const ScriptFields& f = layout.fields();
    out << "\"fields\":" << f.count() << ",\"startupAccepts\":" << (layout.startupAccepts() ? "true" : "false");
    out << ",\"infoTexts\":[";
    const auto info = layout.infoTexts();
    for (std::size_t i = 0; i < info.size(); ++i) out << (i ? "," : "") << json(info[i]);
    out << "],\"linkLines\":[" << json(layout.shortcut1()) << "," << json(layout.shortcut2()) << "]";
    out << ",\"linkSwitch\":{\"text\":" << json(layout.linkSwitch())
        << ",\"accepted\":" << (layout.linkSwitchAccepted() ? "true" : "false")
        << ",\"pictureEnabled\":" << (layout.linkPictureEnabled() ? "true" : "false") << "}";
    out << ",\"deviceName\":" << json(layout.deviceName()) << ",\"fragments\":[";
    const auto frags = layout.fragments();
    for (std::size_t i = 0; i < frags.size(); ++i) out << (i ? "," : "") << json(frags[i]);
    out << "],\"markerEntry\":" << layout.markerEntry() << ",\"entries\":[";
    bool first = true;
    for (const Entry& e : layout.entries()) {
        out << (first ? "" : ",") << "{\"entry\":" << e.index << ",\"field\":" << e.field
            << ",\"line\":" << f.line(e.field) << ",\"text\":" << json(e.text)
            << ",\"header\":" << (e.header ? "true" : "false") << ",\"check\":" << json(sectionKey(e.check))
            << ",\"run\":" << json(sectionKey(e.run)) << ",\"runStep\":" << json(runStep(e.run)) << "}";
        first = false;
    }
    out << "],\"listEnd\":" << layout.listEnd();
}

void trapsJson(std::ostream& out, const std::vector<Trap>& traps) {
    out << "\"warnings\":[";
    for (std::size_t i = 0; i < traps.size(); ++i) {
        const Trap& t = traps[i];
        out << (i ? "," : "") << "{\"kind\":" << json(trapName(t.kind)) << ",\"field\":" << t.field
            << ",\"line\":" << t.line << ",\"text\":" << json(t.text) << "}";
    }
    out << "]";
}

void machineJson(std::ostream& out, const PreviewResult& p, Tense tense) {
    out << "\"machine\":{\"startupEnded\":" << (p.startupEnded ? "true" : "false")
        << ",\"checkEnabled\":" << (p.checkEnabled ? "true" : "false") << ",\"decidingEntry\":" << p.decidingEntry
        << ",\"removalRan\":" << (p.removalRan ? "true" : "false") << ",\"changes\":[";
    for (std::size_t i = 0; i < p.changes.size(); ++i) {
        const PreviewChange& c = p.changes[i];
        out << (i ? "," : "") << "{\"change\":" << json(changeName(c.kind, tense)) << ",\"what\":" << json(c.what)
            << ",\"entry\":" << c.entry << ",\"step\":" << json(c.step)
            << ",\"withParent\":" << (c.withParent() ? "true" : "false");
        if (c.takenAlong()) out << ",\"removedWith\":" << json(c.takenWith);
        out << "}";
    }
    out << "],\"family\":" << p.family << ",\"layout\":" << json(familyName(p.family)) << ",\"boxes\":[";
    for (std::size_t i = 0; i < p.boxes.size(); ++i) {
        const PreviewBox& b = p.boxes[i];
        out << (i ? "," : "") << "{\"title\":" << json(b.title) << ",\"text\":" << json(b.text)
            << ",\"style\":" << b.style << ",\"answer\":" << b.answer << "}";
    }
    out << "],\"restartOffered\":" << (p.family == 1 ? "true" : "false")
        << ",\"restartRequested\":" << (p.restartRequested ? "true" : "false")
        << ",\"ended\":" << (p.ended ? "true" : "false") << ",\"failure\":" << json(p.failure) << "}";
}

void outcomeJson(std::ostream& out, const RemovalOutcome& o) {
    out << "\"outcome\":{\"exitCode\":" << o.exitCode << ",\"result\":" << json(o.summary)
        << ",\"restartNeeded\":" << (o.restartNeeded ? "true" : "false") << ",\"failure\":" << json(o.failure) << "}";
}

}  // namespace

void writeJson(std::ostream& out, const ScriptLayout& layout, const std::vector<Trap>& traps,
               const PreviewResult* machine, const RemovalOutcome* outcome) {
    out << "{";
    scriptJson(out, layout);
    out << ",";
    trapsJson(out, traps);
    if (machine) {
        out << ",";
        machineJson(out, *machine, outcome ? Tense::Done : Tense::Preview);
    }
    if (outcome) {
        out << ",";
        outcomeJson(out, *outcome);
    }
    out << "}\n";
}

}  // namespace busview

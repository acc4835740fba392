#pragma once
// What the remover makes of its script's fields: the header texts, the link
// switch, the device name, the registry fragments up to the marker and the
// removal list, each entry with the section the installed check and the
// removal run put it in, and where the list ends.
#include <optional>
#include <string>
#include <vector>

#include "viewer/ScriptFields.h"

namespace busview {

// The sections of the removal list; Registry is no header to the check.
enum class Section { Registry, System, System32, Inf, Other, W2kinf };

// The header text of a section ("[Delete System]").
const char* headerText(Section s);
// The section a field opens when it equals its header exactly.
std::optional<Section> headerOf(const std::string& field);
bool isFileSection(Section s);
// What a section's entries are handed to in the removal run.
const char* runStep(Section s);

struct Entry {
    int index = 0;  // 1..100
    int field = 0;  // position in the file
    std::string text;
    bool header = false;    // opens a section in the removal run
    Section check = Section::System;   // section for the installed check
    Section run = Section::Registry;   // section for the removal run
};

class ScriptLayout {
public:
    explicit ScriptLayout(const ScriptFields& fields);

    const ScriptFields& fields() const { return fields_; }
    // Field positions of the list entries and the match entries.
    static int entryField(int entry);  // 1..100
    static int matchField(int match);  // 1..22

    std::vector<std::string> infoTexts() const;  // fields 1-7
    const std::string& shortcut1() const { return fields_.value(8); }
    const std::string& shortcut2() const { return fields_.value(9); }
    const std::string& linkSwitch() const { return fields_.value(10); }
    const std::string& deviceName() const { return fields_.value(11); }
    // Whether start-up takes the link switch, and whether it disables the picture.
    bool linkSwitchAccepted() const { return linkSwitchNumber_.has_value(); }
    bool linkPictureEnabled() const { return linkSwitchNumber_.value_or(1) != 0; }
    // Start-up reads all 145 fields and takes the link switch.
    bool startupAccepts() const { return fields_.complete() && linkSwitchAccepted(); }

    // Match entries before the marker (1..20), and the marker's entry or 0.
    std::vector<std::string> fragments() const;
    int markerEntry() const { return marker_; }

    // The removal list up to, not including, its first empty entry.
    const std::vector<Entry>& entries() const { return entries_; }
    // The entry the walks stop at: the first empty one, or 101.
    int listEnd() const { return static_cast<int>(entries_.size()) + 1; }
    // The entry text as the remover holds it (fields 116-125 never reach it).
    std::string entryText(int entry) const;

private:
    const ScriptFields& fields_;
    std::optional<double> linkSwitchNumber_;
    int marker_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace busview

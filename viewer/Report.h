#pragma once
// The reports of Busview: how the remover reads a script, with its traps,
// what a removal would do on a machine or, after --remove, what it did, as
// text or as one JSON document.
#include <ostream>
#include <vector>

#include "viewer/MachinePreview.h"
#include "viewer/MachineRemoval.h"
#include "viewer/ScriptLayout.h"
#include "viewer/ScriptTraps.h"

namespace busview {

// Whether a machine report tells what a removal would do or what it did.
enum class Tense { Preview, Done };

// "delete key", "delete file", ... ("removed key", "deleted file", ... once done)
const char* changeName(PreviewChange::Kind kind, Tense tense = Tense::Preview);
// The registry layout's name.
const char* familyName(int family);

void writeScriptText(std::ostream& out, const ScriptLayout& layout, const std::vector<Trap>& traps);
void writePreviewText(std::ostream& out, const ScriptLayout& layout, const PreviewResult& preview,
                      Tense tense = Tense::Preview);
// The outcome of --remove and its exit status.
void writeOutcomeText(std::ostream& out, const RemovalOutcome& outcome);
// `machine` may be null: the script alone (or a removal that never
// started). With an outcome, the machine's changes are those made.
void writeJson(std::ostream& out, const ScriptLayout& layout, const std::vector<Trap>& traps,
               const PreviewResult* machine, const RemovalOutcome* outcome = nullptr);

}  // namespace busview

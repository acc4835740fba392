#pragma once
// The reports of Busview: how the remover reads a script, with its traps,
// and what a removal would do on a machine, as text or as one JSON document.
#include <ostream>
#include <vector>

#include "viewer/MachinePreview.h"
#include "viewer/ScriptLayout.h"
#include "viewer/ScriptTraps.h"

namespace busview {

// "delete key", "delete file", ...
const char* changeName(PreviewChange::Kind kind);
// The registry layout's name.
const char* familyName(int family);

void writeScriptText(std::ostream& out, const ScriptLayout& layout, const std::vector<Trap>& traps);
void writePreviewText(std::ostream& out, const ScriptLayout& layout, const PreviewResult& preview);
// `preview` may be null: the script alone.
void writeJson(std::ostream& out, const ScriptLayout& layout, const std::vector<Trap>& traps,
               const PreviewResult* preview);

}  // namespace busview

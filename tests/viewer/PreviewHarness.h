#pragma once
// A machine image made for a test, previewed by Busview's dry run and removed
// for real by the remover, with what each deleted in a form to compare.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "remover/RemoverHarness.h"
#include "viewer/MachinePreview.h"
#include "viewer/ScriptFields.h"
#include "viewer/ScriptLayout.h"
#include "viewer/StreamInputFile.h"

namespace preview_test {

using remover_test::RemoverRun;
using remover_test::Script;

inline std::string upper(std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return s;
}

inline std::string inf(const std::string& id) {
    std::string t = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n[Models]\r\n%Dev%=Dev.Install," + id + "\r\n";
    for (int i = 0; i < 50; ++i) t += "HKR,,Value" + std::to_string(i) + "\r\n";
    return t;
}

// One machine image: its keys, its family, its files and its script.
struct Image {
    Image(std::string n, bool onNt = false) : name(std::move(n)), nt(onNt) {}
    std::string name;
    bool nt = false;
    std::vector<std::string> keys;
    std::vector<std::pair<std::string, std::string>> files;  // Windows path, content
    Script script;
};

inline void make(RemoverRun& run, const Image& image) {
    run.registry(image.keys, image.nt);
    for (const auto& [path, bytes] : image.files) run.prefix.file(path, bytes);
    run.script(image.script);
}

// A prefix platform over the run's image that sees the host's hubs and Wine
// servers the remover's run sees, as Busview on A: run from C:\ sees it; it
// starts nothing.
inline sysaccess::platform_prefix::PrefixOptions busviewOptions(RemoverRun& run) {
    sysaccess::platform_prefix::PrefixOptions o;
    o.prefix = run.prefix.path();
    o.usbDevicesDir = run.wineServerRoot().parent_path();
    o.wineServerRoot = run.wineServerRoot();
    o.programFile = run.prefix.host("A:\\") / "BUSVIEW.EXE";
    o.currentDir = run.prefix.host("C:\\");
    o.allowLaunch = false;
    return o;
}

// The dry run over the image, read through a prefix platform of its own.
inline busview::PreviewResult preview(RemoverRun& run, const busview::ScriptLayout& layout) {
    sysaccess::platform_prefix::PrefixPlatform machine(busviewOptions(run));
    const bool nineX = machine.registry().family() == sysaccess::registry::Family::Win9x;
    const std::string script = run.prefix.host("A:\\Unins.dat").string();
    busview::MachinePreview dry(machine, nineX, [script] { return std::make_unique<busview::StreamInputFile>(script); },
                                layout);
    return dry.run();
}

// "key <PATH>" and "file <PATH>" in upper case, in the order they went;
// the keys that went with their parent are left out.
inline std::vector<std::string> previewList(const busview::PreviewResult& p) {
    std::vector<std::string> list;
    for (const auto& c : p.changes) {
        if (c.withParent()) continue;
        if (c.kind == busview::PreviewChange::Kind::DeleteKey) list.push_back("key " + upper(c.what));
        if (c.kind == busview::PreviewChange::Kind::DeleteFile) list.push_back("file " + upper(c.what));
    }
    return list;
}

inline std::vector<std::string> realList(RemoverRun& run, const std::vector<std::string>& existedBefore) {
    std::map<sysaccess::HKEY32, std::string> paths;
    std::vector<std::string> list;
    for (const auto& c : run.calls().calls) {
        if (c.op == "open" && c.handle) paths[c.handle] = c.arg;
        if (c.op == "delete" && c.status == 0) {
            std::string path = paths[c.handle];
            while (!path.empty() && path.back() == '\\') path.pop_back();
            list.push_back("key " + upper(path + "\\" + c.arg));
        }
        const bool existed = std::find(existedBefore.begin(), existedBefore.end(), upper(c.arg)) != existedBefore.end();
        if (c.op == "kill" && existed && !run.exists(c.arg)) list.push_back("file " + upper(c.arg));
    }
    return list;
}

// The script the image's A:\Unins.dat holds, as Busview lays it out.
struct ScriptOf {
    explicit ScriptOf(RemoverRun& run)
        : fields(std::make_unique<busview::StreamInputFile>(run.prefix.host("A:\\Unins.dat").string())),
          layout(fields) {}
    busview::ScriptFields fields;
    busview::ScriptLayout layout;
};

}  // namespace preview_test

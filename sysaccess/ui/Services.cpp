#include "sysaccess/ui/Services.h"

#include "sysaccess/platform/Platform.h"

namespace sysaccess::ui {

std::string AppPath() { return platform().programFolder(); }

std::string DataFilePath(const std::string& fileName) {
    std::string folder = AppPath();
    if (!folder.empty() && folder.back() == '\\') return folder + fileName;
    return folder + "\\" + fileName;
}

std::string Dir(const std::string& pattern) { return platform().findFirstFile(pattern); }

void Kill(const std::string& path) { platform().deleteFile(path); }

files::FieldReader OpenForInput(const std::string& path) {
    return files::FieldReader(platform().readFile(path));
}

void WriteLine(const std::string& path, const std::string& line) {
    platform().writeFile(path, line + "\r\n");
}

void Shell(const std::string& path, int windowStyle) { platform().startProgram(path, windowStyle); }

}  // namespace sysaccess::ui

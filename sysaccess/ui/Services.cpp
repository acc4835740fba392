#include "sysaccess/ui/Services.h"

#include <cctype>
#include <cstdlib>

#include "sysaccess/RuntimeError.h"
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
    return files::FieldReader(platform().openInput(path));
}

void WriteLine(const std::string& path, const std::string& line) {
    platform().writeFile(path, line + "\r\n");
}

double CDbl(const std::string& text) {
    // Blanks around the number are allowed; anything else must be the number.
    std::size_t begin = text.find_first_not_of(" \t");
    std::size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) raise(err::TypeMismatch, "Type mismatch");
    const std::string body = text.substr(begin, end - begin + 1);
    std::size_t i = 0;
    if (body[i] == '+' || body[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i]))) ++i, ++digits;
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i]))) ++i, ++digits;
    }
    if (digits == 0) raise(err::TypeMismatch, "Type mismatch");
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < body.size() && (body[j] == '+' || body[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < body.size() && std::isdigit(static_cast<unsigned char>(body[j]))) ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    if (i != body.size()) raise(err::TypeMismatch, "Type mismatch");
    return std::strtod(body.c_str(), nullptr);
}

void Shell(const std::string& path, int windowStyle) { platform().startProgram(path, windowStyle); }

}  // namespace sysaccess::ui

#pragma once
// The file and program services the windows use, named as the desktop's
// runtime names them. All of them go through the installed platform and
// raise RuntimeError on failure.
#include <string>

#include "sysaccess/files/FieldReader.h"

namespace sysaccess::ui {

// Folder of the running program; a drive root keeps its backslash.
std::string AppPath();
// The path of a data file next to the program, without a doubled backslash
// at a drive root.
std::string DataFilePath(const std::string& fileName);
// Bare name of the first normal file matching the pattern, or "".
std::string Dir(const std::string& pattern);
void Kill(const std::string& path);
// Opens a text file for sequential field reading; a missing file fails here.
files::FieldReader OpenForInput(const std::string& path);
// Creates or overwrites a text file holding one line and its CR LF.
void WriteLine(const std::string& path, const std::string& line);
// The number a text stands for ("0", " 0.0 ", "-2.5e1"); an empty text or a
// word is a type mismatch (RuntimeError 13).
double CDbl(const std::string& text);
// Starts a program without waiting for it.
void Shell(const std::string& path, int windowStyle);

}  // namespace sysaccess::ui

#pragma once
// Texts of the programs are bytes in the machine's ANSI code page; the
// renderer decodes them only to show them (see text/CodePage.h).
#include "sysaccess/text/CodePage.h"

namespace sysaccess::paint {

using text::decodeAnsi;
using text::kReplacementChar;

}  // namespace sysaccess::paint

#pragma once
// Values of the toolkit in the forms X wants them: texts in UTF-8 (window
// titles), icons as _NET_WM_ICON data, cursors as pictures with a mask.
#include <string>
#include <string_view>
#include <vector>

#include "sysaccess/ui/Control.h"

#include "sysaccess/drivers/x11/XCursor.h"

namespace sysaccess::drivers::x11 {

std::string utf8(std::u32string_view text);
// Empty for no icon.
std::vector<unsigned long> iconData(const ui::IconPicture& icon);
// Empty for no cursor.
CursorPicture cursorPicture(const ui::IconPicture& cursor);

}  // namespace sysaccess::drivers::x11

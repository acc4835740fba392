#pragma once
// The pictures, icons and cursors built into the programs.
#include <memory>
#include <string_view>

#include "sysaccess/paint/Ico.h"
#include "sysaccess/ui/Picture.h"

namespace sysaccess::ui {

using IconPicture = std::shared_ptr<const paint::IconImage>;

// The built-in bitmap of that file name ("brand.bmp"), decoded once and
// shared. A missing or undecodable one is a fault of the build and throws
// std::logic_error.
Picture BuiltinPicture(std::string_view name);

// The image of a built-in icon or cursor ("busclean.ico", "hand.cur") best
// fitting a size x size place. Throws std::logic_error like BuiltinPicture.
IconPicture BuiltinIcon(std::string_view name, int size);

}  // namespace sysaccess::ui

#pragma once
// Pictures of the toolkit: a decoded bitmap shared by the controls showing it.
#include <memory>
#include <string>

#include "sysaccess/paint/Image.h"

namespace sysaccess::ui {

using Picture = std::shared_ptr<const paint::Image>;

// Loads a bitmap file through the installed platform. A file that is no
// loadable picture raises RuntimeError 481; a missing one 53.
Picture LoadPicture(const std::string& path);

}  // namespace sysaccess::ui

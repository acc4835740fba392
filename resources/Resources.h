#pragma once
// The built-in pictures, icons and cursors, embedded at build time.
#include <string_view>

namespace resources {

// The bytes of the built-in file of that name ("brand.bmp"); empty when
// there is none.
std::string_view find(std::string_view name);

}  // namespace resources

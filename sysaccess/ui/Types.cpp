#include "sysaccess/ui/Types.h"

#include <array>

#include "sysaccess/RuntimeError.h"

namespace sysaccess::ui {

Color QBColor(int index) {
    static constexpr std::array<Color, 16> palette{
        RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
        RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
        RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255)};
    if (index < 0 || index > 15) raise(err::CannotStart, "Invalid procedure call or argument");
    return palette[static_cast<std::size_t>(index)];
}

}  // namespace sysaccess::ui

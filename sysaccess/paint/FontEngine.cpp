#include "sysaccess/paint/FontEngine.h"

#include <algorithm>

namespace sysaccess::paint {

int pixelSize(double points, int dpi) {
    // Points times dpi / 72, to the nearest pixel; the small allowance keeps
    // sizes such as 8.25 pt at 144 dpi (16.5 px) from falling below the half.
    const double px = points * dpi / 72.0;
    return std::max(1, static_cast<int>(px + 0.5 + 1e-9));
}

int pixelSize(const ui::Font& font) {
    if (font.pixels > 0) return font.pixels;
    return pixelSize(font.name.empty() ? 8 : font.size, font.dpi);
}

}  // namespace sysaccess::paint

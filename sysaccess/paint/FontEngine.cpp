#include "sysaccess/paint/FontEngine.h"

#include <algorithm>

namespace sysaccess::paint {

int pixelSize(double points) {
    const double px = points * 96.0 / 72.0;
    return std::max(1, static_cast<int>(px + 0.5));
}

}  // namespace sysaccess::paint

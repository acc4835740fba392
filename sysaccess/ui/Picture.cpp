#include "sysaccess/ui/Picture.h"

#include "sysaccess/RuntimeError.h"
#include "sysaccess/paint/Bmp.h"
#include "sysaccess/platform/Platform.h"

namespace sysaccess::ui {

Picture LoadPicture(const std::string& path) {
    auto image = paint::readBmp(*platform().openInput(path));
    if (!image) raise(err::InvalidPicture, "Invalid picture");
    return std::make_shared<const paint::Image>(std::move(*image));
}

}  // namespace sysaccess::ui

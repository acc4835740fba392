#include "sysaccess/ui/Builtin.h"

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include "resources/Resources.h"
#include "sysaccess/paint/Bmp.h"

namespace sysaccess::ui {
namespace {

std::string_view bytesOf(std::string_view name) {
    const std::string_view bytes = resources::find(name);
    if (bytes.empty()) throw std::logic_error("no built-in resource " + std::string(name));
    return bytes;
}

std::mutex cacheLock;

}  // namespace

Picture BuiltinPicture(std::string_view name) {
    static std::map<std::string, Picture, std::less<>> cache;
    const std::lock_guard lock(cacheLock);
    if (auto it = cache.find(name); it != cache.end()) return it->second;
    auto image = paint::decodeBmp(bytesOf(name));
    if (!image) throw std::logic_error("built-in picture " + std::string(name) + " does not decode");
    Picture picture = std::make_shared<const paint::Image>(std::move(*image));
    cache.emplace(std::string(name), picture);
    return picture;
}

IconPicture BuiltinIcon(std::string_view name, int size) {
    static std::map<std::pair<std::string, int>, IconPicture> cache;
    const std::lock_guard lock(cacheLock);
    const auto key = std::make_pair(std::string(name), size);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    auto icon = paint::decodeIcon(bytesOf(name), size);
    if (!icon) throw std::logic_error("built-in icon " + std::string(name) + " does not decode");
    IconPicture picture = std::make_shared<const paint::IconImage>(std::move(*icon));
    cache.emplace(key, picture);
    return picture;
}

}  // namespace sysaccess::ui

#include "resources/Resources.h"

#include <cstddef>

namespace resources {
namespace embedded {
struct Entry {
    const char* name;
    std::string_view bytes;
};
extern const Entry table[];
extern const std::size_t count;
}  // namespace embedded

std::string_view find(std::string_view name) {
    for (std::size_t i = 0; i < embedded::count; ++i) {
        if (name == embedded::table[i].name) return embedded::table[i].bytes;
    }
    return {};
}

}  // namespace resources

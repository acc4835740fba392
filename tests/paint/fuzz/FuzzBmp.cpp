// libFuzzer target for the bitmap reader: the input is a bitmap file. Built
// as fuzz_bmp with clang and -DBUSPROBE_FUZZ=ON; its seeds are in Bmp.corpus.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sysaccess/paint/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = sysaccess::paint::decodeBmp(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (image) {
        const bool consistent = image->width > 0 && image->height > 0 &&
                                image->pixels.size() ==
                                    static_cast<std::size_t>(image->width) * image->height;
        if (!consistent) __builtin_trap();
        // Re-encoding a decoded picture must always succeed and decode back.
        const auto again = sysaccess::paint::decodeBmp(sysaccess::paint::encodeBmp24(*image));
        if (!again || again->pixels != image->pixels) __builtin_trap();
    }
    return 0;
}

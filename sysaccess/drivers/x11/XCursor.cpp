#include "sysaccess/drivers/x11/XCursor.h"

#include <dlfcn.h>

#include <algorithm>

namespace sysaccess::drivers::x11 {

namespace {

// The parts of libXcursor used here, declared as the library defines them.
struct XcursorImageRec {
    unsigned int version, size, width, height, xhot, yhot, delay;
    unsigned int* pixels;
};
using ImageCreate = XcursorImageRec* (*)(int, int);
using ImageDestroy = void (*)(XcursorImageRec*);
using ImageLoadCursor = Cursor (*)(Display*, const XcursorImageRec*);

struct Xcursor {
    ImageCreate create = nullptr;
    ImageDestroy destroy = nullptr;
    ImageLoadCursor load = nullptr;
    Xcursor() {
        void* lib = dlopen("libXcursor.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!lib) return;
        create = reinterpret_cast<ImageCreate>(dlsym(lib, "XcursorImageCreate"));
        destroy = reinterpret_cast<ImageDestroy>(dlsym(lib, "XcursorImageDestroy"));
        load = reinterpret_cast<ImageLoadCursor>(dlsym(lib, "XcursorImageLoadCursor"));
    }
    bool usable() const { return create && destroy && load; }
};

const Xcursor& xcursor() {
    static const Xcursor lib;
    return lib;
}

bool transparentAt(const CursorPicture& p, std::size_t i) {
    return i < p.transparent.size() && p.transparent[i] != 0;
}

int clampHot(int v, int size) { return std::clamp(v, 0, std::max(size - 1, 0)); }

}  // namespace

CursorBitmaps cursorBitmaps(const CursorPicture& picture) {
    const auto& img = picture.image;
    CursorBitmaps b;
    b.bytesPerRow = (img.width + 7) / 8;
    const std::size_t size = static_cast<std::size_t>(b.bytesPerRow) * static_cast<std::size_t>(img.height);
    b.source.assign(size, 0);
    b.mask.assign(size, 0);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) +
                                  static_cast<std::size_t>(x);
            if (transparentAt(picture, i)) continue;
            const std::size_t byte = static_cast<std::size_t>(y * b.bytesPerRow + x / 8);
            const auto bit = static_cast<unsigned char>(1u << (x % 8));
            b.mask[byte] |= bit;
            const paint::Rgb p = img.pixels[i];
            if (p.r * 30 + p.g * 59 + p.b * 11 < 128 * 100) b.source[byte] |= bit;
        }
    }
    return b;
}

Cursor makeCursor(Display* dpy, const CursorPicture& picture) {
    const auto& img = picture.image;
    if (img.width <= 0 || img.height <= 0 ||
        img.pixels.size() < static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height)) {
        return 0;
    }
    const int hotX = clampHot(picture.hotX, img.width), hotY = clampHot(picture.hotY, img.height);
    if (const Xcursor& lib = xcursor(); lib.usable()) {
        if (XcursorImageRec* xi = lib.create(img.width, img.height)) {
            xi->xhot = static_cast<unsigned>(hotX);
            xi->yhot = static_cast<unsigned>(hotY);
            for (std::size_t i = 0; i < img.pixels.size() && i < static_cast<std::size_t>(img.width * img.height); ++i) {
                const paint::Rgb p = img.pixels[i];
                xi->pixels[i] = transparentAt(picture, i)
                                    ? 0u
                                    : 0xFF000000u | static_cast<unsigned>(p.r) << 16 |
                                          static_cast<unsigned>(p.g) << 8 | p.b;
            }
            const Cursor c = lib.load(dpy, xi);
            lib.destroy(xi);
            if (c) return c;
        }
    }
    CursorBitmaps bits = cursorBitmaps(picture);
    const Window root = DefaultRootWindow(dpy);
    const auto w = static_cast<unsigned>(img.width), h = static_cast<unsigned>(img.height);
    Pixmap source = XCreateBitmapFromData(dpy, root, reinterpret_cast<char*>(bits.source.data()), w, h);
    Pixmap mask = XCreateBitmapFromData(dpy, root, reinterpret_cast<char*>(bits.mask.data()), w, h);
    XColor black{}, white{};
    white.red = white.green = white.blue = 0xFFFF;
    black.flags = white.flags = DoRed | DoGreen | DoBlue;
    const Cursor c = XCreatePixmapCursor(dpy, source, mask, &black, &white, static_cast<unsigned>(hotX),
                                         static_cast<unsigned>(hotY));
    XFreePixmap(dpy, source);
    XFreePixmap(dpy, mask);
    return c;
}

CursorPicture scaled(const CursorPicture& picture, const paint::Density& density) {
    const paint::Image& from = picture.image;
    if (density.dpi() == paint::StandardDpi || from.width <= 0 || from.height <= 0 ||
        from.pixels.size() < static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height))
        return picture;
    CursorPicture to;
    to.image.width = std::max(1, density.scale(from.width));
    to.image.height = std::max(1, density.scale(from.height));
    // The hot spot: the first pixel drawn from the picture's hot pixel.
    const auto first = [](int at, int from, int size) {
        return std::min(static_cast<int>((static_cast<long long>(at) * size + from - 1) / from), size - 1);
    };
    to.hotX = first(picture.hotX, from.width, to.image.width);
    to.hotY = first(picture.hotY, from.height, to.image.height);
    const bool masked = picture.transparent.size() == from.pixels.size();
    for (int y = 0; y < to.image.height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * from.height / to.image.height);
        for (int x = 0; x < to.image.width; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * from.width / to.image.width);
            const std::size_t at = static_cast<std::size_t>(sy) * from.width + sx;
            to.image.pixels.push_back(from.pixels[at]);
            if (masked) to.transparent.push_back(picture.transparent[at]);
        }
    }
    return to;
}

}  // namespace sysaccess::drivers::x11

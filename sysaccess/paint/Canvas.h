#pragma once
// Drawing primitives on an Image, through a movable origin and a clip
// rectangle: the surface of one window or control. Nothing is ever drawn
// outside the clip or the image.
#include <cstdint>

#include "sysaccess/paint/Image.h"
#include "sysaccess/paint/Renderer.h"

namespace sysaccess::paint {

Rect intersect(const Rect& a, const Rect& b);
inline bool empty(const Rect& r) { return r.w <= 0 || r.h <= 0; }

class Canvas {
public:
    explicit Canvas(Image& image);

    // The surface of a rectangle of this one (local coordinates): its origin
    // at the rectangle's corner, clipped by the rectangle and by this clip.
    Canvas sub(const Rect& local) const;

    Image& image() const { return *image_; }
    Rect clip() const { return clip_; }               // image coordinates
    int originX() const { return ox_; }
    int originY() const { return oy_; }
    bool hidden() const { return empty(clip_); }

    void fill(const Rect& r, Rgb colour);
    void pixel(int x, int y, Rgb colour);
    void blend(int x, int y, Rgb colour, std::uint8_t alpha);
    // A one-pixel ring: top and left in one colour, bottom and right in the other.
    void bevel(const Rect& r, Rgb topLeft, Rgb bottomRight);
    void outline(const Rect& r, Rgb colour) { bevel(r, colour, colour); }
    // A dotted rectangle (every other pixel), as the desktop draws the focus;
    // with `dot` above 1 a ring of that thickness, of dots `dot` pixels square.
    void dottedOutline(const Rect& r, Rgb colour, int dot = 1);
    // A straight line `width` pixels wide with round ends; a width of 1 or
    // less draws the thin line between the two end points, both included.
    void line(int x1, int y1, int x2, int y2, int width, Rgb colour);
    // A picture with its top-left corner at (x, y), at its natural size, or
    // grown or shrunk to `width` x `height` pixels (Resample.h).
    void picture(const Image& picture, int x, int y);
    void picture(const Image& picture, int x, int y, int width, int height);

private:
    Image* image_;
    Rect clip_;
    int ox_ = 0, oy_ = 0;
};

}  // namespace sysaccess::paint

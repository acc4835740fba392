#pragma once
// Draws a form of the toolkit as the user sees it, into an RGB image at the
// screen's density (96 dots per inch and 15 twips a pixel unless asked
// otherwise; see Density.h), in the desktop's classic 3D look. Used by every
// display driver and by the tests' screenshots.
#include <memory>
#include <string>

#include "sysaccess/paint/Image.h"
#include "sysaccess/paint/Palette.h"

namespace sysaccess::ui {
class Form;
class Control;
}

namespace sysaccess::paint {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Where the non-client parts of a window lie, in pixels from the window's
// top-left corner (frame included), at a density in dots per inch.
struct FrameGeometry {
    int width = 0, height = 0;  // the whole window
    Rect client;
    Rect titleBar;  // empty without a title bar
    Rect closeBox;  // empty without a close box
};
FrameGeometry frameGeometry(const ui::Form& form, int dpi = 96);

class FontEngine;  // text measuring and drawing, by platform (FreeType or GDI)

struct RenderOptions {
    bool withFrame = true;   // the whole window, or the client area alone
    bool active = true;      // title bar in the active colours (flashing inverts it)
    unsigned codePage = 1252;  // the machine's ANSI code page, for decoding texts
    int dpi = 96;            // the screen's density, dots per inch
    const ui::Control* pressed = nullptr;  // a button or check box held down by the mouse or Space
    Palette palette = platformPalette();   // the desktop's colours of the system colour roles
};

class Renderer {
public:
    explicit Renderer(std::shared_ptr<FontEngine> fonts);
    Image render(const ui::Form& form, const RenderOptions& options) const;

private:
    std::shared_ptr<FontEngine> fonts_;
};

// The font engine of this platform (fontconfig and FreeType on Linux).
std::shared_ptr<FontEngine> platformFonts();

}  // namespace sysaccess::paint

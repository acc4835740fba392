#pragma once
// The non-client part of a window: the fixed dialog border and the title bar
// with its caption and close box.
#include <string>

#include "sysaccess/paint/Canvas.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Palette.h"
#include "sysaccess/ui/Form.h"

namespace sysaccess::paint {

// The title as the bar shows it at a density: in the caption font at the
// pixel size chosen as for captions (TextFit.h: a title that fits the bar at
// 96 dpi fits it here), cut with "..." where it is longer than the bar.
struct TitleLayout {
    Rect area;            // the room of the text in the window, pixels
    int indent = 0;       // where the text starts in it
    ui::Font font;
    std::u32string shown;
};
TitleLayout layoutTitle(FontEngine& fonts, const ui::Form& form, const std::u32string& caption, int dpi);

// Draws the border and title bar of `form` over the whole canvas (the
// window's outer size) in the palette's colours; the client area is left for
// the caller.
void drawWindowFrame(Canvas& c, FontEngine& fonts, const ui::Form& form, const FrameGeometry& g,
                     const std::u32string& caption, bool active, const Palette& palette,
                     const Density& density = Density());

}  // namespace sysaccess::paint

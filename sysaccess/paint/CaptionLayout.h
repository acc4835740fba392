#pragma once
// The captions of controls as the renderer lays them out at a density: the
// room each kind of control gives its text, the lines (broken where they
// break at 96 dpi) with the pixel size chosen for them (TextFit.h), and the
// underlined access letter.
#include <string>
#include <vector>

#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/TextFit.h"
#include "sysaccess/ui/Control.h"
#include "sysaccess/ui/Form.h"

namespace sysaccess::paint {

struct CaptionLayout {
    std::vector<std::u32string> lines;  // empty: no caption to show
    classic::Underline underline;
    ui::Font font;                      // to draw the lines with
    TextRoom room;                      // the room of the text, pixels at the density
};

// The room of a control's caption at a density: a label's box inside its
// border, a check box's right of its square, a button's inside its padding,
// a frame's title along its top edge (one line, of any height).
TextRoom captionRoom(const ui::Control& control, const Density& density);

// A label's, check box's, button's or frame's caption, decoded from the
// code page, its & markers gone.
CaptionLayout layoutCaption(FontEngine& fonts, const ui::Form& form, const ui::Control& control, int dpi,
                            unsigned codePage);

}  // namespace sysaccess::paint

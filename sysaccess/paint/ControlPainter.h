#pragma once
// Draws the controls of a form onto their containers' surfaces.
#include <string>
#include <vector>

#include "sysaccess/paint/Canvas.h"
#include "sysaccess/paint/CaptionLayout.h"
#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/ui/Control.h"
#include "sysaccess/ui/Form.h"

namespace sysaccess::paint {

class ControlPainter {
public:
    ControlPainter(FontEngine& fonts, const ui::Form& form, const RenderOptions& options)
        : fonts_(fonts), form_(form), options_(options), density_(options.dpi), k_(density_.line()) {}

    // The children of `container` (nullptr: the form) on its surface: the
    // labels and lines first, then the windowed controls above them, each
    // group from the bottom of the stacking order up.
    void children(Canvas& surface, const ui::Control* container);

private:
    void control(Canvas& parent, const ui::Control& c);
    void label(Canvas& c, const ui::Label& label);
    void frame(Canvas& c, const ui::Frame& frame);
    void checkBox(Canvas& c, const ui::CheckBox& box);
    void button(Canvas& c, const ui::CommandButton& button);
    void pictureBox(Canvas& c, const ui::PictureBox& box);
    void line(Canvas& parent, const ui::Line& line);

    Rect boundsOf(const ui::Control& c) const;
    // The control's caption laid out at the screen's density.
    CaptionLayout caption(const ui::Control& c) const;
    bool focused(const ui::Control& c) const;

    FontEngine& fonts_;
    const ui::Form& form_;
    const RenderOptions& options_;
    Density density_;
    int k_;  // the thickness of the look's lines at the density
};

}  // namespace sysaccess::paint

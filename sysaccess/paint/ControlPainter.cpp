#include "sysaccess/paint/ControlPainter.h"

#include <algorithm>

#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/Text.h"
#include "sysaccess/paint/TextLayout.h"

namespace sysaccess::paint {

using namespace classic;

Rect ControlPainter::boundsOf(const ui::Control& c) const {
    const Density& d = density_;
    return Rect{d.pixels(c.Left), d.pixels(c.Top), std::max(0, d.pixels(c.Width)), std::max(0, d.pixels(c.Height))};
}

CaptionLayout ControlPainter::caption(const ui::Control& c) const {
    return layoutCaption(fonts_, form_, c, options_.dpi, options_.codePage);
}

bool ControlPainter::focused(const ui::Control& c) const {
    return options_.active && form_.activeControl() == &c && c.effectivelyEnabled();
}

void ControlPainter::children(Canvas& surface, const ui::Control* container) {
    const auto kids = form_.children(container);  // top first
    for (bool windowed : {false, true}) {
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            if ((*it)->windowed() == windowed) control(surface, **it);
        }
    }
}

void ControlPainter::control(Canvas& parent, const ui::Control& c) {
    if (!c.Visible) return;
    if (c.kind() == ui::ControlKind::Line) {
        line(parent, static_cast<const ui::Line&>(c));
        return;
    }
    Canvas own = parent.sub(boundsOf(c));
    if (own.hidden()) return;
    switch (c.kind()) {
        case ui::ControlKind::Label: label(own, static_cast<const ui::Label&>(c)); break;
        case ui::ControlKind::Frame: frame(own, static_cast<const ui::Frame&>(c)); break;
        case ui::ControlKind::CheckBox: checkBox(own, static_cast<const ui::CheckBox&>(c)); break;
        case ui::ControlKind::CommandButton: button(own, static_cast<const ui::CommandButton&>(c)); break;
        case ui::ControlKind::PictureBox: pictureBox(own, static_cast<const ui::PictureBox&>(c)); break;
        default: break;  // timers and the package holder are never seen
    }
}

void ControlPainter::label(Canvas& c, const ui::Label& label) {
    const Palette& pal = options_.palette;
    Rect area = boundsOf(label);
    area.x = area.y = 0;
    if (label.backStyle == ui::BackStyle::Opaque) c.fill(area, pal(label.BackColor));
    if (label.borderStyle == ui::ControlBorder::Single) {
        sunken(c, area, pal, k_);
        area = inset(area, 2 * k_);
    }
    if (label.Caption.empty()) return;
    Canvas inside = c.sub(area);
    const CaptionLayout text = caption(label);
    drawLines(inside, fonts_, text.font, text.lines, 0, 0, area.w, label.alignment, pal(label.ForeColor),
              label.effectivelyEnabled(), pal, text.underline, k_);
}

void ControlPainter::frame(Canvas& c, const ui::Frame& frame) {
    const Palette& pal = options_.palette;
    const Rect area = boundsOf(frame);
    c.fill(Rect{0, 0, area.w, area.h}, pal(frame.BackColor));
    if (frame.borderStyle == ui::ControlBorder::Single) {
        const CaptionLayout title = caption(frame);
        const FontMetrics m = fonts_.metrics(title.font);
        // The etched line runs through the middle of the caption's height.
        const int top = m.height() / 2;
        outline(c, Rect{k_, top + k_, area.w - k_, area.h - top - k_}, pal[Role::ButtonHighlight], k_);
        outline(c, Rect{0, top, area.w - k_, area.h - top - k_}, pal[Role::ButtonShadow], k_);
        if (!title.lines.empty()) {
            // The caption interrupts the line, with a little room either side.
            const Density& d = density_;
            const int w = fonts_.measure(title.font, title.lines[0]), left = d.scale(FrameTitleLeft);
            c.fill(Rect{d.scale(6), 0, left - d.scale(6) + w + d.scale(2), m.height()}, pal(frame.BackColor));
            drawLines(c, fonts_, title.font, title.lines, left, 0, w, ui::Alignment::Left, pal(frame.ForeColor),
                      frame.effectivelyEnabled(), pal, title.underline, k_);
        }
    }
    children(c, &frame);
}

void ControlPainter::checkBox(Canvas& c, const ui::CheckBox& box) {
    const Palette& pal = options_.palette;
    const Rect area = boundsOf(box);
    c.fill(Rect{0, 0, area.w, area.h}, pal(box.BackColor));
    const bool enabled = box.effectivelyEnabled();
    // Centred as at the standard density and then scaled, so that a box
    // twice as high puts its square exactly twice as low.
    const Density& d = density_;
    const int size = d.scale(CheckSize);
    const Rect square{0, d.scale((d.unscale(area.h) - CheckSize) / 2), size, size};
    const bool held = options_.pressed == &box;
    // The square is white while the box can be ticked, button face when
    // disabled, greyed (value 2) or held down.
    const bool white = enabled && !held && box.value() != 2;
    const Rect inside = inset(square, 2 * k_);
    c.fill(inside, pal[white ? Role::WindowBackground : Role::ButtonFace]);
    sunken(c, square, pal, k_);
    if (box.value() != 0) {
        const Rgb mark = enabled && box.value() == 1 ? pal[Role::DarkShadow] : pal[Role::ButtonShadow];
        checkMark(c, inside, mark, d);
    }
    const int left = size + d.scale(CheckGap);
    const CaptionLayout text = caption(box);
    const int height = static_cast<int>(text.lines.size()) * fonts_.metrics(text.font).height();
    const Rect drawn = drawLines(c, fonts_, text.font, text.lines, left, (area.h - height) / 2, text.room.width,
                                 ui::Alignment::Left, pal(box.ForeColor), enabled, pal, text.underline, k_);
    if (focused(box) && !box.Caption.empty())
        c.dottedOutline(Rect{drawn.x - k_, drawn.y, drawn.w + 2 * k_, drawn.h + k_}, pal[Role::DarkShadow], k_);
}

void ControlPainter::button(Canvas& c, const ui::CommandButton& button) {
    const Palette& pal = options_.palette;
    const Rect area = boundsOf(button);
    Rect edge{0, 0, area.w, area.h};
    c.fill(edge, pal(button.BackColor));
    // The default button, or the button that has the focus, wears a black
    // outline: it is the one Enter presses.
    const ui::Control* active = form_.activeControl();
    const bool focusOnButton = active && active->kind() == ui::ControlKind::CommandButton;
    const bool outlined = focused(button) || (button.Default && !focusOnButton);
    if (outlined) {
        outline(c, edge, pal[Role::DarkShadow], k_);
        edge = inset(edge, k_);
    }
    const bool held = options_.pressed == &button;
    if (held) {
        outline(c, edge, pal[Role::ButtonShadow], k_);
    } else {
        raised(c, edge, pal, k_);
    }
    const int pad = density_.scale(ButtonPadding);
    const CaptionLayout text = caption(button);
    const int height = static_cast<int>(text.lines.size()) * fonts_.metrics(text.font).height();
    const int shift = held ? k_ : 0;
    drawLines(c, fonts_, text.font, text.lines, pad + shift, (area.h - height) / 2 + shift, text.room.width,
              ui::Alignment::Center, pal(button.ForeColor), button.effectivelyEnabled(), pal, text.underline, k_);
    // The focus rectangle lies just inside the edges: outline and bevel, then a pixel's room.
    if (focused(button))
        c.dottedOutline(inset(Rect{0, 0, area.w, area.h}, 3 * k_ + density_.scale(1)), pal[Role::DarkShadow], k_);
}

void ControlPainter::pictureBox(Canvas& c, const ui::PictureBox& box) {
    const Palette& pal = options_.palette;
    Rect area = boundsOf(box);
    area.x = area.y = 0;
    c.fill(area, pal(box.BackColor));
    if (box.borderStyle == ui::ControlBorder::Single) {
        sunken(c, area, pal, k_);
        area = inset(area, 2 * k_);
    }
    // Children and the picture sit in the area inside the border; the
    // picture grows with the density (Resample.h) and covers at least what
    // it covers at 96 dpi: one that fills its box there fills it here too,
    // whatever the rounding of the box's twips.
    Canvas inside = c.sub(area);
    if (box.picture) {
        const Image& picture = *box.picture;
        const int border96 = box.borderStyle == ui::ControlBorder::Single ? 4 : 0;
        const Density standard;
        int w = density_.scale(picture.width), h = density_.scale(picture.height);
        if (picture.width >= standard.pixels(box.Width) - border96) w = std::max(w, area.w);
        if (picture.height >= standard.pixels(box.Height) - border96) h = std::max(h, area.h);
        inside.picture(picture, 0, 0, w, h);
    }
    children(inside, &box);
}

void ControlPainter::line(Canvas& parent, const ui::Line& line) {
    const Palette& pal = options_.palette;
    if (line.borderStyle == ui::LineStyle::Transparent) return;
    const Density& d = density_;
    parent.line(d.pixels(line.X1), d.pixels(line.Y1), d.pixels(line.X2), d.pixels(line.Y2), d.scale(line.BorderWidth),
                pal(line.BorderColor));
}

}  // namespace sysaccess::paint

#include "sysaccess/paint/ControlPainter.h"

#include <algorithm>

#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/Text.h"
#include "sysaccess/paint/TextLayout.h"

namespace sysaccess::paint {

using namespace classic;

namespace {

// The classic check mark, 7 x 7 pixels.
constexpr const char* kCheck[] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

}  // namespace

Rect ControlPainter::boundsOf(const ui::Control& c) const {
    const Density& d = density_;
    return Rect{d.pixels(c.Left), d.pixels(c.Top), std::max(0, d.pixels(c.Width)), std::max(0, d.pixels(c.Height))};
}

std::u32string ControlPainter::text(const std::string& bytes, bool mnemonic) const {
    std::u32string t = decodeAnsi(bytes, options_.codePage);
    return mnemonic ? stripMnemonic(t) : t;
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
    Rect area = boundsOf(label);
    area.x = area.y = 0;
    if (label.backStyle == ui::BackStyle::Opaque) c.fill(area, rgb(label.BackColor));
    if (label.borderStyle == ui::ControlBorder::Single) {
        sunken(c, area, k_);
        area = inset(area, 2 * k_);
    }
    if (label.Caption.empty()) return;
    Canvas inside = c.sub(area);
    const ui::Font font = fontOf(label);
    const auto lines = wrapText(fonts_, font, text(label.Caption), area.w);
    drawLines(inside, fonts_, font, lines, 0, 0, area.w, label.alignment, rgb(label.ForeColor),
              label.effectivelyEnabled());
}

void ControlPainter::frame(Canvas& c, const ui::Frame& frame) {
    const Rect area = boundsOf(frame);
    c.fill(Rect{0, 0, area.w, area.h}, rgb(frame.BackColor));
    if (frame.borderStyle == ui::ControlBorder::Single) {
        const ui::Font font = fontOf(frame);
        const FontMetrics m = fonts_.metrics(font);
        // The etched line runs through the middle of the caption's height.
        const int top = m.height() / 2;
        outline(c, Rect{k_, top + k_, area.w - k_, area.h - top - k_}, Highlight, k_);
        outline(c, Rect{0, top, area.w - k_, area.h - top - k_}, Shadow, k_);
        const std::u32string caption = text(frame.Caption);
        if (!caption.empty()) {
            const int w = fonts_.measure(font, caption);
            c.fill(Rect{6 * k_, 0, w + 4 * k_, m.height()}, rgb(frame.BackColor));
            drawLines(c, fonts_, font, {caption}, 8 * k_, 0, w, ui::Alignment::Left, rgb(frame.ForeColor),
                      frame.effectivelyEnabled());
        }
    }
    children(c, &frame);
}

void ControlPainter::checkBox(Canvas& c, const ui::CheckBox& box) {
    const Rect area = boundsOf(box);
    c.fill(Rect{0, 0, area.w, area.h}, rgb(box.BackColor));
    const bool enabled = box.effectivelyEnabled();
    // Centred as at the standard density and then scaled, so that a box
    // twice as high puts its square exactly twice as low.
    const int size = CheckSize * k_;
    const Rect square{0, k_ * ((area.h / k_ - CheckSize) / 2), size, size};
    const bool held = options_.pressed == &box;
    // The square is white while the box can be ticked, button face when
    // disabled, greyed (value 2) or held down.
    c.fill(inset(square, 2 * k_), enabled && !held && box.value() != 2 ? Window : Face);
    sunken(c, square, k_);
    if (box.value() != 0) {
        const Rgb mark = enabled && box.value() == 1 ? DarkShadow : Shadow;
        pattern(c, kCheck, 7, square.x + 3 * k_, square.y + 3 * k_, mark, k_);
    }
    const int left = size + CheckGap * k_;
    const int width = area.w - left;
    const ui::Font font = fontOf(box);
    const auto lines = wrapText(fonts_, font, text(box.Caption), width);
    const int height = static_cast<int>(lines.size()) * fonts_.metrics(font).height();
    const Rect drawn = drawLines(c, fonts_, font, lines, left, (area.h - height) / 2, width, ui::Alignment::Left,
                                 rgb(box.ForeColor), enabled);
    if (focused(box) && !box.Caption.empty())
        c.dottedOutline(Rect{drawn.x - k_, drawn.y, drawn.w + 2 * k_, drawn.h + k_}, DarkShadow);
}

void ControlPainter::button(Canvas& c, const ui::CommandButton& button) {
    const Rect area = boundsOf(button);
    Rect edge{0, 0, area.w, area.h};
    c.fill(edge, rgb(button.BackColor));
    // The default button, or the button that has the focus, wears a black
    // outline: it is the one Enter presses.
    const ui::Control* active = form_.activeControl();
    const bool focusOnButton = active && active->kind() == ui::ControlKind::CommandButton;
    const bool outlined = focused(button) || (button.Default && !focusOnButton);
    if (outlined) {
        outline(c, edge, DarkShadow, k_);
        edge = inset(edge, k_);
    }
    const bool held = options_.pressed == &button;
    if (held) {
        outline(c, edge, Shadow, k_);
    } else {
        raised(c, edge, k_);
    }
    const ui::Font font = fontOf(button);
    const int pad = 4 * k_;
    const auto lines = wrapText(fonts_, font, text(button.Caption), area.w - 2 * pad);
    const int height = static_cast<int>(lines.size()) * fonts_.metrics(font).height();
    const int shift = held ? k_ : 0;
    drawLines(c, fonts_, font, lines, pad + shift, (area.h - height) / 2 + shift, area.w - 2 * pad,
              ui::Alignment::Center, rgb(button.ForeColor), button.effectivelyEnabled());
    if (focused(button)) c.dottedOutline(inset(Rect{0, 0, area.w, area.h}, 4 * k_), DarkShadow);
}

void ControlPainter::pictureBox(Canvas& c, const ui::PictureBox& box) {
    Rect area = boundsOf(box);
    area.x = area.y = 0;
    c.fill(area, rgb(box.BackColor));
    if (box.borderStyle == ui::ControlBorder::Single) {
        sunken(c, area, k_);
        area = inset(area, 2 * k_);
    }
    // Children and the picture sit in the area inside the border; the
    // picture grows by the density's whole factor, pixel for pixel.
    Canvas inside = c.sub(area);
    if (box.picture) inside.picture(*box.picture, 0, 0, k_);
    children(inside, &box);
}

void ControlPainter::line(Canvas& parent, const ui::Line& line) {
    if (line.borderStyle == ui::LineStyle::Transparent) return;
    const Density& d = density_;
    parent.line(d.pixels(line.X1), d.pixels(line.Y1), d.pixels(line.X2), d.pixels(line.Y2), line.BorderWidth * k_,
                rgb(line.BorderColor));
}

}  // namespace sysaccess::paint

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

ControlPainter::Lines ControlPainter::caption(const std::string& bytes, const ui::Font& font, int width) const {
    int letter = -1;
    const std::u32string shown = stripMnemonic(decodeAnsi(bytes, options_.codePage), &letter);
    Lines out;
    for (auto& line : wrapLines(fonts_, font, shown, width)) {
        const auto at = static_cast<std::size_t>(letter);
        if (letter >= 0 && at >= line.start && at < line.start + line.text.size())
            out.underline = Underline{static_cast<int>(out.lines.size()), static_cast<int>(at - line.start)};
        out.lines.push_back(std::move(line.text));
    }
    return out;
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
    const ui::Font font = fontOf(label);
    const Lines text = caption(label.Caption, font, area.w);
    drawLines(inside, fonts_, font, text.lines, 0, 0, area.w, label.alignment, pal(label.ForeColor),
              label.effectivelyEnabled(), pal, text.underline, k_);
}

void ControlPainter::frame(Canvas& c, const ui::Frame& frame) {
    const Palette& pal = options_.palette;
    const Rect area = boundsOf(frame);
    c.fill(Rect{0, 0, area.w, area.h}, pal(frame.BackColor));
    if (frame.borderStyle == ui::ControlBorder::Single) {
        const ui::Font font = fontOf(frame);
        const FontMetrics m = fonts_.metrics(font);
        // The etched line runs through the middle of the caption's height.
        const int top = m.height() / 2;
        outline(c, Rect{k_, top + k_, area.w - k_, area.h - top - k_}, pal[Role::ButtonHighlight], k_);
        outline(c, Rect{0, top, area.w - k_, area.h - top - k_}, pal[Role::ButtonShadow], k_);
        int letter = -1;
        const std::u32string title = stripMnemonic(decodeAnsi(frame.Caption, options_.codePage), &letter);
        if (!title.empty()) {
            const int w = fonts_.measure(font, title);
            c.fill(Rect{6 * k_, 0, w + 4 * k_, m.height()}, pal(frame.BackColor));
            drawLines(c, fonts_, font, {title}, 8 * k_, 0, w, ui::Alignment::Left, pal(frame.ForeColor),
                      frame.effectivelyEnabled(), pal, Underline{0, letter}, k_);
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
    const int size = CheckSize * k_;
    const Rect square{0, k_ * ((area.h / k_ - CheckSize) / 2), size, size};
    const bool held = options_.pressed == &box;
    // The square is white while the box can be ticked, button face when
    // disabled, greyed (value 2) or held down.
    const bool white = enabled && !held && box.value() != 2;
    c.fill(inset(square, 2 * k_), pal[white ? Role::WindowBackground : Role::ButtonFace]);
    sunken(c, square, pal, k_);
    if (box.value() != 0) {
        const Rgb mark = enabled && box.value() == 1 ? pal[Role::DarkShadow] : pal[Role::ButtonShadow];
        pattern(c, kCheck, 7, square.x + 3 * k_, square.y + 3 * k_, mark, k_);
    }
    const int left = size + CheckGap * k_;
    const int width = area.w - left;
    const ui::Font font = fontOf(box);
    const Lines text = caption(box.Caption, font, width);
    const int height = static_cast<int>(text.lines.size()) * fonts_.metrics(font).height();
    const Rect drawn = drawLines(c, fonts_, font, text.lines, left, (area.h - height) / 2, width,
                                 ui::Alignment::Left, pal(box.ForeColor), enabled, pal, text.underline, k_);
    if (focused(box) && !box.Caption.empty())
        c.dottedOutline(Rect{drawn.x - k_, drawn.y, drawn.w + 2 * k_, drawn.h + k_}, pal[Role::DarkShadow]);
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
    const ui::Font font = fontOf(button);
    const int pad = 4 * k_;
    const Lines text = caption(button.Caption, font, area.w - 2 * pad);
    const int height = static_cast<int>(text.lines.size()) * fonts_.metrics(font).height();
    const int shift = held ? k_ : 0;
    drawLines(c, fonts_, font, text.lines, pad + shift, (area.h - height) / 2 + shift, area.w - 2 * pad,
              ui::Alignment::Center, pal(button.ForeColor), button.effectivelyEnabled(), pal, text.underline, k_);
    if (focused(button)) c.dottedOutline(inset(Rect{0, 0, area.w, area.h}, 4 * k_), pal[Role::DarkShadow]);
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
    // picture grows by the density's whole factor, pixel for pixel.
    Canvas inside = c.sub(area);
    if (box.picture) inside.picture(*box.picture, 0, 0, k_);
    children(inside, &box);
}

void ControlPainter::line(Canvas& parent, const ui::Line& line) {
    const Palette& pal = options_.palette;
    if (line.borderStyle == ui::LineStyle::Transparent) return;
    const Density& d = density_;
    parent.line(d.pixels(line.X1), d.pixels(line.Y1), d.pixels(line.X2), d.pixels(line.Y2), line.BorderWidth * k_,
                pal(line.BorderColor));
}

}  // namespace sysaccess::paint

#include "sysaccess/paint/CaptionLayout.h"

#include <algorithm>

#include "sysaccess/paint/Text.h"

namespace sysaccess::paint {

TextRoom captionRoom(const ui::Control& c, const Density& d) {
    const int w = d.pixels(c.Width), h = d.pixels(c.Height);
    TextRoom room;
    switch (c.kind()) {
        case ui::ControlKind::Label: {
            const int border = static_cast<const ui::Label&>(c).borderStyle == ui::ControlBorder::Single ? 4 * d.line() : 0;
            room = TextRoom{w - border, h - border};
            break;
        }
        case ui::ControlKind::CheckBox: room = TextRoom{w - d.scale(classic::CheckSize) - d.scale(classic::CheckGap), h}; break;
        case ui::ControlKind::CommandButton: room = TextRoom{w - 2 * d.scale(classic::ButtonPadding), h}; break;
        case ui::ControlKind::Frame: room = TextRoom{w - d.scale(classic::FrameTitleLeft), NoHeightLimit}; break;
        default: break;
    }
    return TextRoom{std::max(room.width, 0), std::max(room.height, 0)};
}

CaptionLayout layoutCaption(FontEngine& fonts, const ui::Form& form, const ui::Control& c, int dpi, unsigned codePage) {
    CaptionLayout out;
    const Density here(dpi);
    out.room = captionRoom(c, here);
    const ui::Font font = c.hasOwnFont ? c.font : form.font;
    out.font = classic::atDensity(font, here);
    int letter = -1;
    const std::u32string shown = stripMnemonic(decodeAnsi(c.Caption, codePage), &letter);
    if (shown.empty()) return out;
    // A frame's title is one line; the other captions wrap in their box.
    const bool wrap = c.kind() != ui::ControlKind::Frame;
    FittedText fitted = fitText(fonts, font, shown, captionRoom(c, Density()), out.room, dpi, wrap);
    out.font = fitted.font;
    for (auto& line : fitted.lines) {
        const auto at = static_cast<std::size_t>(letter);
        if (letter >= 0 && at >= line.start && at < line.start + line.text.size())
            out.underline = classic::Underline{static_cast<int>(out.lines.size()), static_cast<int>(at - line.start)};
        out.lines.push_back(std::move(line.text));
    }
    return out;
}

}  // namespace sysaccess::paint

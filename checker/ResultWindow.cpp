#include "checker/ResultWindow.h"

#include <cmath>
#include <limits>

#include "sysaccess/RuntimeError.h"

namespace busprobe {

using sysaccess::RuntimeError;

namespace {
constexpr int ScrollStep = 50;
constexpr std::int32_t MinimizedLimit = 3500;

std::int16_t to16(std::int32_t v) {
    if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()) {
        sysaccess::raise(sysaccess::err::Overflow, "Overflow");
    }
    return static_cast<std::int16_t>(v);
}
}  // namespace

void ResultWindow::StartTitleScroll() {
    Caption = "USB Check Result";
    TitleText = Caption;
    TitlePos = to16(static_cast<std::int32_t>(TitleText.size()) + 1);
    Caption = "";
    const int margin = borderStyle == FormBorderStyle::Sizable ? 500 : 250;
    ScrollLimit = static_cast<std::int32_t>(std::lround(ScaleWidth + margin));
}

void ResultWindow::UpdateScrollLimit() {
    if (windowState == WindowState::Minimized) {
        ScrollLimit = MinimizedLimit;
    } else {
        ScrollLimit = static_cast<std::int32_t>(std::lround(ScaleWidth));
    }
}

// Puts the next title character, or a space once the title is whole, in
// front of the caption.
void ResultWindow::PutInFront() {
    std::string front = " ";
    if (TitlePos > 0) {
        const auto pos = static_cast<std::size_t>(TitlePos);
        if (pos <= TitleText.size()) front = TitleText.substr(pos - 1, 1);
        TitlePos = to16(TitlePos - 1);
    }
    Caption = front + Caption;
}

void ResultWindow::ScrollTitle() {
    try {
        bool restarted = false;
        for (;;) {
            PutInFront();
            // The cycle starts over at the bound, and also where one more
            // step would leave the 16-bit range of the count (a client area
            // wider than the count can measure). At most once per tick, so a
            // bound of 0 or less cannot hold the tick for ever.
            const bool atBound = ScrollCount >= ScrollLimit ||
                                 ScrollCount + ScrollStep > std::numeric_limits<std::int16_t>::max();
            if (atBound && !restarted) {
                ScrollCount = 0;
                TitlePos = to16(static_cast<std::int32_t>(TitleText.size()));
                Caption = "";
                restarted = true;
                continue;
            }
            if (!atBound) ScrollCount = to16(ScrollCount + ScrollStep);
            return;
        }
    } catch (const RuntimeError&) {
        // The tick ends; the next one runs normally.
    }
}

}  // namespace busprobe

#pragma once
// What a rendering of a form depends on, in a form that compares quickly: the
// render options and every property of the form and of its controls, with
// their stacking order. Two equal keys render the same picture, so a display
// can skip drawing a form whose key has not changed since its last drawing
// (most pauses of a program change nothing on screen).
//
// The key errs on the side of drawing: it holds properties the renderer does
// not read as well (tab order, names), never fewer than it reads. Pictures and
// icons count by identity; the key keeps them alive, so a new picture can
// never take the place of an old one unnoticed.
#include <memory>
#include <string>
#include <vector>

#include "sysaccess/paint/Renderer.h"

namespace sysaccess::paint {

class RenderKey {
public:
    RenderKey() = default;
    RenderKey(const ui::Form& form, const RenderOptions& options);

    friend bool operator==(const RenderKey& a, const RenderKey& b) {
        return a.valid_ && b.valid_ && a.bytes_ == b.bytes_;
    }

private:
    bool valid_ = false;  // a default key (nothing drawn yet) equals none
    std::string bytes_;
    std::vector<std::shared_ptr<const void>> held_;
};

}  // namespace sysaccess::paint

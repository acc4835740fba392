#pragma once
// What the two result windows share: the title that scrolls across the
// title bar like a marquee, and the bound at which the scroll starts over.
#include <cstdint>
#include <string>

#include "sysaccess/ui/Form.h"

namespace busprobe {

using namespace sysaccess::ui;

class ResultWindow : public Form {
public:
    using Form::Form;

    std::string TitleText;
    std::int16_t TitlePos = 0;
    std::int32_t ScrollLimit = 0;
    std::int16_t ScrollCount = 0;

protected:
    // Load steps 2 and 3: the title moves out of the caption into TitleText.
    void StartTitleScroll();
    // The resize rule for the scroll bound.
    void UpdateScrollLimit();
    // One tick of the title scroll; a failure ends the tick silently.
    void ScrollTitle();

private:
    void PutInFront();
};

}  // namespace busprobe

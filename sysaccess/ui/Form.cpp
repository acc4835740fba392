#include "sysaccess/ui/Form.h"

#include <algorithm>

#include "sysaccess/ui/Application.h"

namespace sysaccess::ui {

Form::Form(std::string name) : name_(std::move(name)) {}

Form::~Form() {
    if (Application::exists()) Application::current().forget(*this);
}

void Form::add(Control* c) {
    controls_.push_back(c);
    zorder_.push_back(static_cast<int>(zorder_.size()));
}

Control* Form::control(const std::string& name) const {
    for (Control* c : controls_) {
        if (c->name() == name) return c;
    }
    return nullptr;
}

std::vector<Control*> Form::children(const Control* container) const {
    std::vector<std::pair<int, Control*>> found;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i]->container() == container) found.emplace_back(zorder_[i], controls_[i]);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Control*> result;
    for (auto& [z, c] : found) result.push_back(c);
    return result;
}

void Form::stack(std::initializer_list<Control*> topFirst) {
    // The listed controls keep their relative places among the others but
    // take the given order: they are numbered before everything else.
    int z = -static_cast<int>(topFirst.size());
    for (Control* c : topFirst) {
        auto it = std::find(controls_.begin(), controls_.end(), c);
        if (it != controls_.end()) zorder_[static_cast<std::size_t>(it - controls_.begin())] = z++;
    }
}

std::vector<Control*> Form::tabOrder() const {
    std::vector<Control*> order;
    for (Control* c : controls_) {
        if (c->focusable() && c->TabIndex >= 0) order.push_back(c);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->TabIndex < b->TabIndex; });
    return order;
}

int Form::frameThickness() const {
    switch (borderStyle) {
        case FormBorderStyle::None: return 0;
        case FormBorderStyle::FixedSingle: return 3;
        case FormBorderStyle::Sizable: return 4;
        case FormBorderStyle::FixedDialog: return 3;
    }
    return 0;
}

int Form::captionHeight() const {
    return hasTitleBar && borderStyle != FormBorderStyle::None ? 19 : 0;
}

int Form::Width() const { return ScaleWidth + 2 * frameThickness() * TwipsPerPixel; }

int Form::Height() const {
    return ScaleHeight + (2 * frameThickness() + captionHeight()) * TwipsPerPixel;
}

void Form::Show() { Application::current().show(*this); }
void Form::ShowModal() { Application::current().showModal(*this); }
void Form::Unload() { Application::current().unload(*this); }

Control* Form::hitTest(int x, int y) const { return hitIn(nullptr, x, y); }

Control* Form::hitIn(const Control* container, int x, int y) const {
    // x, y relative to the container's top-left corner.
    const auto kids = children(container);
    auto inside = [&](const Control* c) {
        if (!c->Visible || c->kind() == ControlKind::Timer) return false;
        if (c->kind() == ControlKind::Line) return false;  // lines take no clicks
        return x >= c->Left && x < c->Left + c->Width && y >= c->Top && y < c->Top + c->Height;
    };
    for (bool windowedPass : {true, false}) {
        for (Control* c : kids) {
            if (c->windowed() != windowedPass || !inside(c)) continue;
            if (c->windowed()) {
                if (Control* inner = hitIn(c, x - c->Left, y - c->Top)) return inner;
            }
            return c;
        }
    }
    return nullptr;
}

}  // namespace sysaccess::ui

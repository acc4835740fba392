#include "sysaccess/paint/RenderKey.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "sysaccess/ui/Form.h"

namespace sysaccess::paint {

namespace {

class Writer {
public:
    Writer(std::string& bytes, std::vector<std::shared_ptr<const void>>& held) : bytes_(bytes), held_(held) {}

    template <typename T>
        requires std::is_arithmetic_v<T> || std::is_enum_v<T>
    Writer& operator<<(T v) {
        char raw[sizeof v];
        std::memcpy(raw, &v, sizeof v);
        bytes_.append(raw, sizeof v);
        return *this;
    }
    Writer& operator<<(const void* p) { return *this << reinterpret_cast<std::uintptr_t>(p); }
    Writer& operator<<(const std::string& s) {
        *this << s.size();
        bytes_ += s;
        return *this;
    }
    Writer& operator<<(ui::Color c) { return *this << c.rgb; }
    Writer& operator<<(const ui::Font& f) { return *this << f.name << f.size << f.bold << f.italic << f.charset << f.dpi << f.pixels; }
    template <typename T>
    Writer& operator<<(const std::shared_ptr<T>& p) {
        if (p) held_.push_back(p);
        return *this << static_cast<const void*>(p.get());
    }

private:
    std::string& bytes_;
    std::vector<std::shared_ptr<const void>>& held_;
};

void writeControl(Writer& w, const ui::Control& c) {
    w << static_cast<const void*>(&c) << c.kind() << static_cast<const void*>(c.container()) << c.Left << c.Top
      << c.Width << c.Height << c.Visible << c.Enabled << c.TabIndex << c.TabStop << c.Caption << c.font
      << c.hasOwnFont << c.ForeColor << c.BackColor;
    switch (c.kind()) {
        case ui::ControlKind::Label: {
            const auto& l = static_cast<const ui::Label&>(c);
            w << l.alignment << l.backStyle << l.borderStyle;
            break;
        }
        case ui::ControlKind::Frame: w << static_cast<const ui::Frame&>(c).borderStyle; break;
        case ui::ControlKind::CheckBox: w << static_cast<const ui::CheckBox&>(c).value(); break;
        case ui::ControlKind::CommandButton: {
            const auto& b = static_cast<const ui::CommandButton&>(c);
            w << b.Default << b.Cancel;
            break;
        }
        case ui::ControlKind::PictureBox: {
            const auto& p = static_cast<const ui::PictureBox&>(c);
            w << p.picture << p.borderStyle << p.AutoSize << p.mousePointer << p.mouseIcon;
            break;
        }
        case ui::ControlKind::Line: {
            const auto& l = static_cast<const ui::Line&>(c);
            w << l.X1 << l.Y1 << l.X2 << l.Y2 << l.borderStyle << l.BorderWidth << l.BorderColor;
            break;
        }
        case ui::ControlKind::Timer:
        case ui::ControlKind::OleContainer: break;  // never seen
    }
}

// The children of the form and of each control that holds any, top of the
// stacking order first.
void writeStacking(Writer& w, const ui::Form& form) {
    std::vector<const ui::Control*> containers{nullptr};
    for (const ui::Control* c : form.controls()) {
        if (c->container() && std::find(containers.begin(), containers.end(), c->container()) == containers.end())
            containers.push_back(c->container());
    }
    for (const ui::Control* container : containers) {
        const auto kids = form.children(container);
        w << static_cast<const void*>(container) << kids.size();
        for (const ui::Control* c : kids) w << static_cast<const void*>(c);
    }
}

}  // namespace

RenderKey::RenderKey(const ui::Form& form, const RenderOptions& options) : valid_(true) {
    Writer w(bytes_, held_);
    w << options.withFrame << options.active << options.codePage << options.dpi
      << static_cast<const void*>(options.pressed);
    for (ui::SysColor role : Palette::roles) {
        const Rgb c = options.palette[role];
        w << c.r << c.g << c.b;
    }
    w << form.Caption << form.borderStyle << form.hasTitleBar << form.ControlBox << form.closeBoxEnabled
      << form.ShowInTaskbar << form.ScaleWidth << form.ScaleHeight << form.BackColor << form.font << form.Icon
      << form.windowState << form.flashed() << form.visible() << static_cast<const void*>(form.activeControl());
    w << form.controls().size();
    for (const ui::Control* c : form.controls()) writeControl(w, *c);
    writeStacking(w, form);
}

}  // namespace sysaccess::paint

// A display skips drawing a form whose render key is unchanged, so every
// change that shows on screen must change the key.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "sysaccess/paint/RenderKey.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/ui/Form.h"

using namespace sysaccess::ui;
using sysaccess::paint::RenderKey;
using sysaccess::paint::RenderOptions;

namespace {

class Sample : public Form {
public:
    Sample() : Form("Sample") {
        ScaleWidth = 4500, ScaleHeight = 3000;
        Caption = "Sample";
        Label1.Move(120, 120, 2000, 300), Label1.Caption = "Label";
        Frame1.Move(120, 600, 3000, 1500), Frame1.Caption = "Frame";
        Check1.Move(240, 300, 2000, 300), Check1.Caption = "Check";
        Command1.Move(2400, 120, 1200, 400), Command1.Caption = "Button";
        Picture1.Move(240, 800, 900, 500);
        Line1.X1 = 0, Line1.Y1 = 2400, Line1.X2 = 4000, Line1.Y2 = 2400;
    }
    Label Label1{*this, "Label1"};
    Frame Frame1{*this, "Frame1"};
    CheckBox Check1{*this, "Check1", &Frame1};
    CommandButton Command1{*this, "Command1"};
    PictureBox Picture1{*this, "Picture1", &Frame1};
    Line Line1{*this, "Line1"};
};

}  // namespace

TEST(RenderKey, EveryVisibleChangeChangesTheKey) {
    const RenderOptions plain;
    auto picture = [] {
        auto image = std::make_shared<sysaccess::paint::Image>();
        image->width = image->height = 4;
        image->pixels.assign(16, {});
        return std::shared_ptr<const sysaccess::paint::Image>(image);
    };
    const std::vector<std::pair<const char*, std::function<void(Sample&)>>> changes = {
        {"form caption", [](Sample& f) { f.Caption = "Other"; }},
        {"form size", [](Sample& f) { f.ScaleWidth += 15; }},
        {"form colour", [](Sample& f) { f.BackColor = RGB(1, 2, 3); }},
        {"form font", [](Sample& f) { f.font.bold = true; }},
        {"form border", [](Sample& f) { f.borderStyle = FormBorderStyle::FixedDialog; }},
        {"close box", [](Sample& f) { f.ControlBox = false; }},
        {"close box greyed", [](Sample& f) { f.closeBoxEnabled = false; }},
        {"label text", [](Sample& f) { f.Label1.Caption = "Lab"; }},
        {"label shown", [](Sample& f) { f.Label1.Visible = false; }},
        {"label place", [](Sample& f) { f.Label1.Left += 15; }},
        {"label size", [](Sample& f) { f.Label1.Height += 15; }},
        {"label colour", [](Sample& f) { f.Label1.ForeColor = RGB(255, 0, 0); }},
        {"label back", [](Sample& f) { f.Label1.BackColor = RGB(0, 255, 0); }},
        {"label own font", [](Sample& f) { f.Label1.setFont(Font{"Arial", 12}); }},
        {"label alignment", [](Sample& f) { f.Label1.alignment = Alignment::Right; }},
        {"label transparent", [](Sample& f) { f.Label1.backStyle = BackStyle::Transparent; }},
        {"label border", [](Sample& f) { f.Label1.borderStyle = ControlBorder::Single; }},
        {"frame disabled", [](Sample& f) { f.Frame1.Enabled = false; }},
        {"frame border", [](Sample& f) { f.Frame1.borderStyle = ControlBorder::None; }},
        {"check value", [](Sample& f) { f.Check1.setValue(1); }},
        {"default button", [](Sample& f) { f.Command1.Default = true; }},
        {"picture", [&](Sample& f) { f.Picture1.picture = picture(); }},
        {"picture border", [](Sample& f) { f.Picture1.borderStyle = ControlBorder::None; }},
        {"line end", [](Sample& f) { f.Line1.X2 -= 150; }},
        {"line width", [](Sample& f) { f.Line1.BorderWidth = 2; }},
        {"line colour", [](Sample& f) { f.Line1.BorderColor = RGB(9, 9, 9); }},
        {"line style", [](Sample& f) { f.Line1.borderStyle = LineStyle::Transparent; }},
        {"stacking", [](Sample& f) { f.stack({&f.Picture1, &f.Check1}); }},
    };
    for (const auto& [what, change] : changes) {
        Sample form;
        const RenderKey before(form, plain);
        EXPECT_EQ(before, RenderKey(form, plain)) << what;
        change(form);
        EXPECT_NE(before, RenderKey(form, plain)) << what;
    }

    // The options a display draws with count too.
    Sample form;
    const RenderKey before(form, plain);
    RenderOptions inactive, pressed, otherCodePage, clientOnly;
    inactive.active = false;
    pressed.pressed = &form.Command1;
    otherCodePage.codePage = 950;
    clientOnly.withFrame = false;
    for (const RenderOptions* o : {&inactive, &pressed, &otherCodePage, &clientOnly}) EXPECT_NE(before, RenderKey(form, *o));
    // A key made before anything was drawn matches nothing.
    EXPECT_NE(RenderKey(), RenderKey());
}

// A picture is counted by identity, and the key holds on to it: a new
// picture never takes the place of the old one unnoticed, even at the same
// address.
TEST(RenderKey, APictureReplacedByAnotherChangesTheKey) {
    Sample form;
    auto make = [] {
        auto image = std::make_shared<sysaccess::paint::Image>();
        image->width = image->height = 1;
        image->pixels.assign(1, {});
        return std::shared_ptr<const sysaccess::paint::Image>(image);
    };
    form.Picture1.picture = make();
    const RenderKey before(form, RenderOptions{});
    const void* old = form.Picture1.picture.get();
    form.Picture1.picture.reset();
    for (int i = 0; i < 100 && form.Picture1.picture.get() != old; ++i) form.Picture1.picture = make();
    EXPECT_NE(form.Picture1.picture.get(), old);
    EXPECT_NE(before, RenderKey(form, RenderOptions{}));
}

#pragma once
// A top-level window of the toolkit. Each program window derives from Form,
// holds its controls as members and overrides the handlers it has.
#include <initializer_list>
#include <string>
#include <vector>

#include "sysaccess/ui/Control.h"
#include "sysaccess/ui/Types.h"

namespace sysaccess::ui {

class Application;

class Form {
public:
    explicit Form(std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }

    // Design properties.
    std::string Caption;
    FormBorderStyle borderStyle = FormBorderStyle::Sizable;
    bool hasTitleBar = true;       // title bar with caption and close box
    bool ControlBox = true;        // close box on the title bar
    bool closeBoxEnabled = true;   // false: the close box is drawn greyed (it closes nothing)
    bool ShowInTaskbar = true;
    int ScaleWidth = 0;            // client area, twips
    int ScaleHeight = 0;
    int Left = 0, Top = 0;         // outer position on the screen, twips
    bool centred = true;           // placed in the middle of the screen when first shown
    Color BackColor = syscolor::ButtonFace;
    Font font;
    IconPicture Icon;  // title bar and taskbar icon; none when empty
    WindowState windowState = WindowState::Normal;
    // The arrow keys move the focus through the tab order as Tab and
    // Shift+Tab do, wrapping (the buttons of a message box).
    bool arrowKeysMoveFocus = false;

    // Outer size in twips: client area plus the frame of the border style.
    int Width() const;
    int Height() const;
    int frameThickness() const;   // pixels on each side
    int captionHeight() const;    // pixels, 0 without a title bar

    // State kept by the toolkit.
    bool loaded() const { return loaded_; }
    bool visible() const { return visible_; }
    std::uint32_t hWnd() const { return hwnd_; }
    bool flashed() const { return flashed_; }   // title bar drawn in the inverted (attention) look
    Control* activeControl() const { return active_; }

    // Lifecycle, through the running application.
    void Show();
    void ShowModal();
    void Unload();

    // Handlers.
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload(int& Cancel) { (void)Cancel; }
    virtual void Form_Click() {}

    // The control that a typed character presses (a button's underlined
    // letter), or nullptr.
    virtual Control* accessKey(char ch) { (void)ch; return nullptr; }

    // Controls, in the order they were made.
    const std::vector<Control*>& controls() const { return controls_; }
    Control* control(const std::string& name) const;
    // Children of a container (nullptr: the form), top of the stacking order first.
    std::vector<Control*> children(const Control* container) const;
    // Sets the stacking order of these controls, top first.
    void stack(std::initializer_list<Control*> topFirst);
    // Controls that can take the focus, in tab order.
    std::vector<Control*> tabOrder() const;
    // The control under a point of the client area (twips): windowed controls
    // above labels and lines of the same container; nullptr for the form itself.
    Control* hitTest(int x, int y) const;

private:
    friend class Control;
    friend class Application;
    void add(Control* c);
    Control* hitIn(const Control* container, int x, int y) const;

    std::string name_;
    std::vector<Control*> controls_;
    std::vector<int> zorder_;  // parallel to controls_: lower is nearer the top
    bool loaded_ = false;
    bool visible_ = false;
    bool flashed_ = false;
    std::uint32_t hwnd_ = 0;
    Control* active_ = nullptr;
};

}  // namespace sysaccess::ui

#pragma once
// The Windows display: one native top-level window per form with the frame
// its layout asks for, the client area painted by the renderer, mouse and
// keys turned into the toolkit's input, native message boxes and title flash.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "sysaccess/paint/Image.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/ui/Driver.h"

namespace sysaccess::drivers {

class Win32Driver : public ui::Driver {
public:
    // `instance` is the program's module handle: its resources hold the
    // window icon (id 1) and the hand cursor (id 2).
    explicit Win32Driver(void* instance);
    ~Win32Driver() override;

    std::uint64_t now() override;
    void sleep(std::uint32_t ms) override;
    void wait(std::optional<std::uint64_t> deadline) override;
    void poll() override;
    void windowOpened(ui::Form& form) override;
    void windowClosed(ui::Form& form) override;
    void refresh(ui::Form& form) override;
    int messageBox(const std::string& text, int style, const std::string& title) override;
    int screenWidth() override;
    int screenHeight() override;
    int dpi() override;

    // Called by the window procedure.
    std::intptr_t handle(void* hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    struct Window {
        void* hwnd = nullptr;
        paint::Image shown;
        std::string caption;
        bool flashed = false;
        bool enabled = true;
        int dpi = 96;  // of the monitor the window is on
    };
    // Sizes the window for its client area at its density, keeping its
    // top-left corner where it is (or centring it).
    void fit(ui::Form& form, Window& win, bool centre);
    ui::Form* formOf(void* hwnd) const;
    void post(ui::Form& form, const ui::InputEvent& event);

    void* instance_;
    void* owner_ = nullptr;  // hidden owner: windows it owns get no taskbar entry
    void* handCursor_ = nullptr;
    void* icon_ = nullptr;
    paint::Renderer renderer_;
    std::map<ui::Form*, Window> windows_;
};

}  // namespace sysaccess::drivers

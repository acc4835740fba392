#pragma once
// The display driver for X11: one X window per form, painted by the renderer
// with the classic frame drawn by us (the window manager is asked for no
// decorations), so a window looks the same with any window manager or none.
// Timers wait in poll() on the connection, so an idle program uses no CPU.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "sysaccess/ui/Driver.h"

namespace sysaccess::drivers {

// The display named by DISPLAY (or given) could not be opened.
struct DisplayError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class X11Driver : public ui::Driver {
public:
    // Connects to the display; nullptr names the one in DISPLAY. Throws
    // DisplayError when there is none.
    explicit X11Driver(const char* displayName = nullptr);
    ~X11Driver() override;
    X11Driver(const X11Driver&) = delete;
    X11Driver& operator=(const X11Driver&) = delete;

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

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace sysaccess::drivers

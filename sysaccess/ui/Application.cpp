#include "sysaccess/ui/Application.h"

#include <algorithm>
#include <cstdio>

#include "sysaccess/RuntimeError.h"

namespace sysaccess::ui {
namespace {
Application* running = nullptr;
}

Application::Application(Driver& driver, std::string title) : driver_(driver), title_(std::move(title)) {
    running = this;
}

Application::~Application() {
    // Forms owned here unregister themselves while being destroyed.
    unloaded_.clear();
    forms_.clear();
    if (running == this) running = nullptr;
}

Application& Application::current() {
    if (!running) raise(err::CannotStart, "No application is running");
    return *running;
}

bool Application::exists() { return running != nullptr; }

int Application::run(Form& startup) {
    try {
        show(startup);
        loopUntil([this] { return live_.empty(); });
    } catch (const ProgramEnd&) {
        // An explicit end: no unload handlers, windows simply vanish.
        for (Form* f : live_) {
            f->loaded_ = f->visible_ = false;
            driver_.windowClosed(*f);
        }
        live_.clear();
        modal_.clear();
        queue_.clear();
    }
    return 0;
}

void Application::show(Form& form) {
    if (!form.loaded_) {
        form.loaded_ = true;
        form.hwnd_ = nextHwnd_++;
        live_.push_back(&form);
        guarded([&] { form.Form_Load(); });
        if (!form.loaded_) return;  // the load handler unloaded it
    }
    if (form.visible_) return;
    if (form.centred) {
        form.Left = (driver_.screenWidth() - form.Width()) / 2;
        form.Top = (driver_.screenHeight() - form.Height()) / 2;
    }
    form.visible_ = true;
    driver_.windowOpened(form);
    guarded([&] { form.Form_Resize(); });
    if (form.loaded_) focusFirst(form);
}

void Application::showModal(Form& form) {
    if (form.visible_ && form.loaded_) raise(400, "Form already displayed; can't show modally");
    modal_.push_back(&form);
    try {
        show(form);
        loopUntil([&] { return !form.loaded_; });
    } catch (...) {
        std::erase(modal_, &form);
        throw;
    }
    std::erase(modal_, &form);
}

void Application::unload(Form& form) {
    if (!form.loaded_) return;
    int cancel = 0;
    form.Form_Unload(cancel);
    if (cancel != 0 || !form.loaded_) return;
    form.loaded_ = false;
    if (form.visible_) {
        form.visible_ = false;
        driver_.windowClosed(form);
    }
    form.flashed_ = false;
    form.active_ = nullptr;
    std::erase(live_, &form);
    std::erase_if(queue_, [&](const InputEvent& e) { return e.form == &form; });
    // A window made by form<T>() is made anew on its next use; the object
    // itself stays until no handler of it can be on the stack.
    for (auto it = forms_.begin(); it != forms_.end(); ++it) {
        if (it->second.get() == &form) {
            unloaded_.push_back(std::move(it->second));
            forms_.erase(it);
            break;
        }
    }
}

void Application::forget(Form& form) {
    std::erase(live_, &form);
    std::erase(modal_, &form);
    std::erase_if(queue_, [&](const InputEvent& e) { return e.form == &form; });
}

void Application::end() { throw ProgramEnd{}; }

int Application::msgBox(const std::string& text, int style, const std::string& title) {
    refreshAll();
    return driver_.messageBox(text, style, title);
}

bool Application::flashWindow(std::uint32_t hwnd, bool invert) {
    Form* form = formByHwnd(hwnd);
    if (!form) return false;
    bool was = form->flashed_;
    form->flashed_ = invert ? !was : false;
    driver_.refresh(*form);
    return was;
}

void Application::guarded(const std::function<void()>& handler) {
    ++depth_;
    try {
        handler();
    } catch (const RuntimeError& e) {
        --depth_;
        // Also on the error stream, where logs of the program keep it.
        std::fprintf(stderr, "%s: Run-time error '%d': %s\n", title_.c_str(), e.number(), e.what());
        driver_.messageBox("Run-time error '" + std::to_string(e.number()) + "':\n\n" + e.what(),
                           mb::Critical, title_);
        end();
    } catch (...) {
        --depth_;
        throw;
    }
    --depth_;
}

void Application::post(const InputEvent& event) { queue_.push_back(event); }

void Application::closeAllWindows() {
    for (Form* f : std::vector<Form*>(live_.rbegin(), live_.rend())) {
        InputEvent e;
        e.type = InputEvent::Type::Close;
        e.form = f;
        queue_.push_back(e);
    }
}

Form* Application::findForm(const std::string& name) const {
    for (Form* f : live_) {
        if (f->name() == name) return f;
    }
    return nullptr;
}

Form* Application::formByHwnd(std::uint32_t hwnd) const {
    for (Form* f : live_) {
        if (f->hwnd_ == hwnd) return f;
    }
    return nullptr;
}

bool Application::acceptsInput(const Form& form) const {
    return form.loaded_ && form.visible_ && (modal_.empty() || modal_.back() == &form);
}

void Application::doEvents() {
    driver_.poll();
    // Only what is queued now; events that handlers post wait for the next turn.
    for (std::size_t n = queue_.size(); n > 0 && !queue_.empty(); --n) {
        InputEvent e = queue_.front();
        queue_.pop_front();
        dispatch(e);
    }
    while (Timer* t = nextTimer()) {
        if (t->due() > driver_.now()) break;
        t->rearm(driver_.now());
        t->running = true;
        guarded([&] { if (t->Tick) t->Tick(); });
        t->running = false;
    }
    refreshAll();
}

void Application::loopUntil(const std::function<bool()>& done) {
    while (!done()) {
        if (runOne()) {
            // Unloaded windows go once none of their handlers can be running.
            if (depth_ == 0) unloaded_.clear();
            continue;
        }
        refreshAll();
        Timer* t = nextTimer();
        driver_.wait(t ? std::optional<std::uint64_t>(t->due()) : std::nullopt);
    }
}

bool Application::runOne() {
    if (!queue_.empty()) {
        InputEvent e = queue_.front();
        queue_.pop_front();
        dispatch(e);
        return true;
    }
    Timer* t = nextTimer();
    if (t && t->due() <= driver_.now()) {
        t->rearm(driver_.now());
        t->running = true;
        try {
            guarded([&] { if (t->Tick) t->Tick(); });
        } catch (...) {
            t->running = false;
            throw;
        }
        t->running = false;
        return true;
    }
    return false;
}

Timer* Application::nextTimer() const {
    Timer* best = nullptr;
    for (Form* f : live_) {
        for (Control* c : f->controls()) {
            if (c->kind() != ControlKind::Timer) continue;
            auto* t = static_cast<Timer*>(c);
            if (!t->armed() || t->running) continue;
            if (!best || t->due() < best->due()) best = t;
        }
    }
    return best;
}

void Application::dispatch(const InputEvent& e) {
    Form* form = e.form;
    if (!form || std::find(live_.begin(), live_.end(), form) == live_.end()) return;
    if (!acceptsInput(*form)) return;
    switch (e.type) {
        case InputEvent::Type::Click:
            clickControl(*form, e.control);
            break;
        case InputEvent::Type::Close:
            guarded([&] { unload(*form); });
            break;
        case InputEvent::Type::Key:
            pressKey(*form, e);
            break;
        case InputEvent::Type::StateChange:
            form->windowState = e.state;
            guarded([&] { form->Form_Resize(); });
            break;
        case InputEvent::Type::DragDrop:
            if (e.control && e.control->DragDrop && e.source) {
                guarded([&] { e.control->DragDrop(*e.source, 0.0f, 0.0f); });
            }
            break;
    }
}

void Application::clickControl(Form& form, Control* control) {
    if (!control) {
        guarded([&] { form.Form_Click(); });
        return;
    }
    if (!control->effectivelyVisible() || !control->effectivelyEnabled()) return;
    if (control->focusable()) form.active_ = control;
    guarded([&] {
        if (control->kind() == ControlKind::CheckBox) {
            static_cast<CheckBox*>(control)->toggle();
        } else if (control->Click) {
            control->Click();
        }
    });
}

void Application::pressKey(Form& form, const InputEvent& e) {
    auto order = form.tabOrder();
    std::erase_if(order, [](Control* c) { return !c->effectivelyVisible() || !c->effectivelyEnabled(); });
    // With Alt or Ctrl held, Space, Enter, Escape and letters are the
    // desktop's shortcuts (window menu, task switch, ...), never a press.
    const bool plain = !e.modifiers.alt && !e.modifiers.ctrl;
    auto moveFocus = [&](bool forward) {
        if (order.empty()) return;
        auto it = std::find(order.begin(), order.end(), form.active_);
        std::ptrdiff_t i = it == order.end() ? -1 : it - order.begin();
        std::ptrdiff_t n = static_cast<std::ptrdiff_t>(order.size());
        i = forward ? (i + 1) % n : (i <= 0 ? n - 1 : i - 1);
        form.active_ = order[static_cast<std::size_t>(i)];
    };
    switch (e.key) {
        case Key::Tab:
        case Key::BackTab:
            moveFocus(e.key == Key::Tab);
            return;
        case Key::Left:
        case Key::Up:
        case Key::Right:
        case Key::Down:
            if (form.arrowKeysMoveFocus) moveFocus(e.key == Key::Right || e.key == Key::Down);
            return;
        case Key::Space:
            if (plain && form.active_ &&
                (form.active_->kind() == ControlKind::CheckBox || form.active_->kind() == ControlKind::CommandButton)) {
                clickControl(form, form.active_);
            }
            return;
        case Key::Enter:
        case Key::Escape: {
            if (!plain) return;
            if (e.key == Key::Enter && form.active_ && form.active_->kind() == ControlKind::CommandButton) {
                clickControl(form, form.active_);
                return;
            }
            for (Control* c : form.controls()) {
                if (c->kind() != ControlKind::CommandButton) continue;
                auto* b = static_cast<CommandButton*>(c);
                if ((e.key == Key::Enter ? b->Default : b->Cancel) && b->effectivelyVisible() &&
                    b->effectivelyEnabled()) {
                    clickControl(form, b);
                    return;
                }
            }
            return;
        }
        case Key::Char:
            // A letter alone or with Alt presses the control it underlines;
            // with Ctrl it is a shortcut.
            if (!e.modifiers.ctrl) {
                if (Control* c = form.accessKey(e.ch)) clickControl(form, c);
            }
            return;
    }
}

void Application::focusFirst(Form& form) {
    for (Control* c : form.tabOrder()) {
        if (c->effectivelyVisible() && c->effectivelyEnabled()) {
            form.active_ = c;
            return;
        }
    }
    form.active_ = nullptr;
}

void Application::refreshAll() {
    for (Form* f : live_) {
        if (f->visible_) driver_.refresh(*f);
    }
}

int MsgBox(const std::string& text, int style, const std::string& title) {
    return Application::current().msgBox(text, style, title);
}
void DoEvents() { Application::current().doEvents(); }
void End() { Application::current().end(); }
int ScreenWidth() { return Application::current().driver().screenWidth(); }
int ScreenHeight() { return Application::current().driver().screenHeight(); }

}  // namespace sysaccess::ui

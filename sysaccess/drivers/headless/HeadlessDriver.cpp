#include "sysaccess/drivers/headless/HeadlessDriver.h"

#include <algorithm>
#include <stdexcept>

#include "sysaccess/platform/Platform.h"
#include "sysaccess/ui/MessageBoxForm.h"

namespace sysaccess::drivers {

using ui::InputEvent;

HeadlessDriver::HeadlessDriver() = default;

HeadlessDriver::~HeadlessDriver() {
    if (!thread_.joinable()) return;
    {
        std::unique_lock lock(mutex_);
        if (!done_) {
            abandon_ = true;
            programTurn_ = true;
            turnChanged_.notify_all();
        }
    }
    thread_.join();
}

void HeadlessDriver::start(std::function<void()> program) {
    if (thread_.joinable()) throw std::logic_error("program already started");
    thread_ = std::thread([this, program = std::move(program)] {
        {
            std::unique_lock lock(mutex_);
            turnChanged_.wait(lock, [this] { return programTurn_; });
        }
        try {
            if (!abandon_) program();
        } catch (const Abandon&) {
        } catch (...) {
            failure_ = std::current_exception();
        }
        std::unique_lock lock(mutex_);
        done_ = true;
        programTurn_ = false;
        turnChanged_.notify_all();
    });
    resumeProgram();
}

void HeadlessDriver::resumeProgram() {
    std::unique_lock lock(mutex_);
    if (done_) return;
    programTurn_ = true;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return !programTurn_; });
}

void HeadlessDriver::yieldToTest() {
    std::unique_lock lock(mutex_);
    programTurn_ = false;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return programTurn_; });
    if (abandon_) throw Abandon{};
}

void HeadlessDriver::advance(std::uint64_t ms) {
    target_ = std::max(target_, now_) + ms;
    resumeProgram();
}

void HeadlessDriver::post(const std::string& formName, InputEvent event) {
    if (done_) throw std::logic_error("the program has ended");
    event.form = form(formName);
    if (!event.form) throw std::logic_error("no loaded window " + formName);
    ui::Application::current().post(event);
    resumeProgram();
}

void HeadlessDriver::click(const std::string& formName, const std::string& control) {
    InputEvent e;
    e.type = InputEvent::Type::Click;
    if (!control.empty()) {
        ui::Form* f = form(formName);
        e.control = f ? f->control(control) : nullptr;
        if (!e.control) throw std::logic_error("no control " + formName + "." + control);
    }
    post(formName, e);
}

void HeadlessDriver::clickAt(const std::string& formName, int x, int y) {
    ui::Form* f = form(formName);
    if (!f) throw std::logic_error("no loaded window " + formName);
    InputEvent e;
    e.type = InputEvent::Type::Click;
    e.control = f->hitTest(density_.twips(x), density_.twips(y));
    post(formName, e);
}

void HeadlessDriver::press(const std::string& formName, ui::Key key, ui::Modifiers modifiers) {
    InputEvent e;
    e.type = InputEvent::Type::Key;
    e.key = key;
    e.modifiers = modifiers;
    post(formName, e);
}

void HeadlessDriver::type(const std::string& formName, char ch, ui::Modifiers modifiers) {
    InputEvent e;
    e.type = InputEvent::Type::Key;
    e.key = ui::Key::Char;
    e.ch = ch;
    e.modifiers = modifiers;
    post(formName, e);
}

void HeadlessDriver::close(const std::string& formName) {
    InputEvent e;
    e.type = InputEvent::Type::Close;
    post(formName, e);
}

void HeadlessDriver::setState(const std::string& formName, ui::WindowState state) {
    InputEvent e;
    e.type = InputEvent::Type::StateChange;
    e.state = state;
    post(formName, e);
}

void HeadlessDriver::dragDrop(const std::string& formName, const std::string& target,
                              const std::string& source) {
    ui::Form* f = form(formName);
    InputEvent e;
    e.type = InputEvent::Type::DragDrop;
    e.control = f ? f->control(target) : nullptr;
    e.source = f ? f->control(source) : nullptr;
    if (!e.control || !e.source) throw std::logic_error("no such controls on " + formName);
    post(formName, e);
}

void HeadlessDriver::schedule(std::uint64_t at, std::function<void()> action) {
    scheduled_.emplace(at, std::move(action));
}

ui::Form* HeadlessDriver::form(const std::string& name) const {
    if (done_ || !ui::Application::exists()) return nullptr;
    return ui::Application::current().findForm(name);
}

void HeadlessDriver::sleep(std::uint32_t ms) { now_ += ms; }

void HeadlessDriver::runScheduled() {
    while (!scheduled_.empty() && scheduled_.begin()->first <= now_) {
        auto action = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        action();
    }
}

void HeadlessDriver::wait(std::optional<std::uint64_t> deadline) {
    // A scheduled action due before the deadline comes first.
    if (!scheduled_.empty() && scheduled_.begin()->first <= target_ &&
        (!deadline || scheduled_.begin()->first < *deadline)) {
        now_ = std::max(now_, scheduled_.begin()->first);
        runScheduled();
        return;
    }
    if (deadline && *deadline <= target_) {
        now_ = std::max(now_, *deadline);
        return;
    }
    now_ = std::max(now_, target_);
    yieldToTest();
}

void HeadlessDriver::poll() { runScheduled(); }

void HeadlessDriver::windowOpened(ui::Form& form) { opened_.push_back(form.name()); }

void HeadlessDriver::windowClosed(ui::Form&) {}

void HeadlessDriver::refresh(ui::Form& form) {
    if (onRefresh) onRefresh(form);
}

int HeadlessDriver::messageBox(const std::string& text, int style, const std::string& title) {
    Box box{text, style, title, 0, now_};
    if (showBoxes_ && ui::Application::exists()) {
        ui::MessageBoxForm form(text, style, title, hasPlatform() ? platform().ansiCodePage() : 1252);
        ui::Application::current().showModal(form);
        box.answer = form.answer();
        boxes_.push_back(box);
        return box.answer;
    }
    if (answers_.empty()) {
        unexpected_.push_back(box);
        throw Abandon{};
    }
    box.answer = answers_.front();
    answers_.erase(answers_.begin());
    boxes_.push_back(box);
    return box.answer;
}

paint::Image HeadlessDriver::screenshot(const std::string& name, bool withFrame) {
    ui::Form* f = form(name);
    if (!f) throw std::logic_error("no loaded window " + name);
    if (!renderer_) renderer_ = std::make_unique<paint::Renderer>(paint::platformFonts());
    paint::RenderOptions options;
    options.withFrame = withFrame;
    options.codePage = hasPlatform() ? platform().ansiCodePage() : 1252;
    options.dpi = density_.dpi();
    return renderer_->render(*f, options);
}

}  // namespace sysaccess::drivers

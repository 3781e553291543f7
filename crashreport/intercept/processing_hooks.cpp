#include "crashreport/intercept/processing_hooks.h"

#include <mutex>

namespace faulttrap {

namespace {

std::mutex& HooksMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

struct Hooks {
    DialogDriver dialog;
    DeliveryDriver delivery;
    DeliveryDriver defaultDelivery;
    ClipboardWriter clipboard;
    std::function<void()> raiser;
    std::function<void(std::string&, std::string&)> focus;
    std::function<void(WindowFacts&)> window;
};

Hooks& InstalledHooks() {
    static auto* hooks = new Hooks;
    return *hooks;
}

template <class Hook> void Install(Hook Hooks::*member, Hook hook) {
    const std::lock_guard lock(HooksMutex());
    InstalledHooks().*member = std::move(hook);
}

template <class Hook> Hook Installed(Hook Hooks::*member) {
    const std::lock_guard lock(HooksMutex());
    return InstalledHooks().*member;
}

} // namespace

void SetDialogDriver(DialogDriver driver) {
    Install(&Hooks::dialog, std::move(driver));
}
DialogDriver CurrentDialogDriver() {
    return Installed(&Hooks::dialog);
}

void SetDeliveryDriver(DeliveryDriver driver) {
    Install(&Hooks::delivery, std::move(driver));
}
DeliveryDriver CurrentDeliveryDriver() {
    if (DeliveryDriver driver = Installed(&Hooks::delivery)) {
        return driver;
    }
    return Installed(&Hooks::defaultDelivery);
}
void SetDefaultDeliveryDriver(DeliveryDriver driver) {
    Install(&Hooks::defaultDelivery, std::move(driver));
}

void SetClipboardWriter(ClipboardWriter writer) {
    Install(&Hooks::clipboard, std::move(writer));
}
ClipboardWriter CurrentClipboardWriter() {
    return Installed(&Hooks::clipboard);
}

void SetMainWindowRaiser(std::function<void()> raiser) {
    Install(&Hooks::raiser, std::move(raiser));
}
std::function<void()> CurrentMainWindowRaiser() {
    return Installed(&Hooks::raiser);
}

void SetFocusReader(std::function<void(std::string&, std::string&)> reader) {
    Install(&Hooks::focus, std::move(reader));
}
std::function<void(std::string&, std::string&)> CurrentFocusReader() {
    return Installed(&Hooks::focus);
}

void SetWindowFactsReader(std::function<void(WindowFacts&)> reader) {
    Install(&Hooks::window, std::move(reader));
}
std::function<void(WindowFacts&)> CurrentWindowFactsReader() {
    return Installed(&Hooks::window);
}

} // namespace faulttrap

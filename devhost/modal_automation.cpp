// A helper thread that answers the modal windows the code under test opens.
#include "devhost/modal_automation.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

namespace devhost {

namespace {

constexpr DWORD kPollInterval = 20;  // ms
// How long an answered window may take to close before it is closed by force.
constexpr DWORD kCloseGrace = 2000;  // ms

enum class Action { kDismissMenu, kChooseMenuItem, kPressInDialog };

bool Gone(HWND window) {
    return !IsWindow(window) || !IsWindowVisible(window);
}

void PostKey(HWND window, UINT key) {
    PostMessageA(window, WM_KEYDOWN, key, 0);
}

void PressControl(HWND dialog, int controlId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

// Keyboard steps to the entry at `position`: Home lands on the first entry
// that is not a separator, each Down on the next one. Grayed entries are
// stepped on, not over. -1 when the position cannot be reached.
int StepsTo(const std::vector<FoundMenuItem>& items, int position) {
    if (position < 0 || position >= static_cast<int>(items.size()) || items[position].separator) {
        return -1;
    }
    int steps = 0;
    for (int index = 0; index <= position; ++index) {
        steps += items[index].separator ? 0 : 1;
    }
    return steps;
}

}  // namespace

struct ModalAutomation::Plan {
    WindowMatch match;
    Action action = Action::kDismissMenu;
    int argument = 0;  // the menu position or the control id
    HWND owner = nullptr;
    DWORD timeout = kDefaultTimeout;
};

struct ModalAutomation::State {
    explicit State(Plan what) : plan(std::move(what)), ignored(TopLevelWindows()) {}

    HWND Look();
    void Survey(HWND window);
    bool Act(HWND window);
    bool ClosesWithin(HWND window, DWORD milliseconds);
    void ForceClose(HWND window);
    void Run();

    const Plan plan;
    const std::set<HWND> ignored;
    std::atomic<bool> stop{false};

    mutable std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool found = false;
    std::string caption;
    std::string windowClass;
    std::vector<FoundControl> controls;
    std::vector<FoundMenuItem> menuItems;
    bool ownerEnabled = true;
    bool closedByForce = false;
};

HWND ModalAutomation::State::Look() {
    const ULONGLONG deadline = GetTickCount64() + plan.timeout;
    while (!stop && GetTickCount64() < deadline) {
        if (HWND match = FindWindowMatching(plan.match, ignored)) {
            return match;
        }
        Sleep(kPollInterval);
    }
    return nullptr;
}

// Read before the action, while the window still stands and its thread
// still answers in its modal loop.
void ModalAutomation::State::Survey(HWND found) {
    std::vector<FoundControl> foundControls = ControlsOf(found);
    std::vector<FoundMenuItem> foundItems;
    if (plan.match.windowClass == kMenuClass) {
        foundItems = MenuItemsOf(found);
    }
    const bool enabled = plan.owner == nullptr || IsWindowEnabled(plan.owner) != FALSE;
    std::string foundCaption = TextOf(found);
    std::lock_guard<std::mutex> lock(mutex);
    this->found = true;
    caption = std::move(foundCaption);
    windowClass = ClassOf(found);
    controls = std::move(foundControls);
    menuItems = std::move(foundItems);
    ownerEnabled = enabled;
}

// Posted, never sent: the window's thread reads the keys from its queue in
// its menu or dialog loop.
bool ModalAutomation::State::Act(HWND target) {
    switch (plan.action) {
        case Action::kDismissMenu:
            PostKey(target, VK_ESCAPE);
            return true;
        case Action::kChooseMenuItem: {
            std::vector<FoundMenuItem> items;
            {
                std::lock_guard<std::mutex> lock(mutex);
                items = menuItems;
            }
            const int steps = StepsTo(items, plan.argument);
            if (steps < 1) {
                return false;
            }
            PostKey(target, VK_HOME);
            for (int step = 1; step < steps; ++step) {
                PostKey(target, VK_DOWN);
            }
            PostKey(target, VK_RETURN);
            return true;
        }
        case Action::kPressInDialog:
            PressControl(target, plan.argument);
            return true;
    }
    return false;
}

bool ModalAutomation::State::ClosesWithin(HWND target, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!Gone(target)) {
        if (stop || GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollInterval);
    }
    return true;
}

// So that a test whose answer did not land fails instead of hanging.
void ModalAutomation::State::ForceClose(HWND target) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        closedByForce = true;
    }
    if (plan.match.windowClass == kMenuClass) {
        PostKey(target, VK_ESCAPE);
        return;
    }
    PressControl(target, IDCANCEL);
    if (!ClosesWithin(target, kCloseGrace)) {
        PostMessageA(target, WM_CLOSE, 0, 0);
    }
}

void ModalAutomation::State::Run() {
    if (HWND target = Look()) {
        Survey(target);
        if (!Act(target) || !ClosesWithin(target, kCloseGrace)) {
            ForceClose(target);
        }
    }
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    finished.notify_all();
}

ModalAutomation::ModalAutomation(Plan plan) : state_(std::make_unique<State>(std::move(plan))) {
    helper_ = std::thread([state = state_.get()] { state->Run(); });
}

ModalAutomation::ModalAutomation(ModalAutomation&& other) noexcept = default;

ModalAutomation::~ModalAutomation() {
    if (state_ != nullptr) {
        state_->stop = true;
    }
    if (helper_.joinable()) {
        helper_.join();
    }
}

ModalAutomation ModalAutomation::DismissMenu(DWORD timeout) {
    return ModalAutomation(
        Plan{{kMenuClass, std::nullopt}, Action::kDismissMenu, 0, nullptr, timeout});
}

ModalAutomation ModalAutomation::ChooseMenuItem(int position, DWORD timeout) {
    return ModalAutomation(
        Plan{{kMenuClass, std::nullopt}, Action::kChooseMenuItem, position, nullptr, timeout});
}

ModalAutomation ModalAutomation::PressInDialog(std::string caption, int controlId,
                                               HWND ownerToWatch, DWORD timeout) {
    std::optional<std::string> match;
    if (!caption.empty()) {
        match = std::move(caption);
    }
    return ModalAutomation(Plan{{kDialogClass, std::move(match)},
                                Action::kPressInDialog,
                                controlId,
                                ownerToWatch,
                                timeout});
}

bool ModalAutomation::Wait(DWORD milliseconds) {
    if (state_ == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->finished.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return state_->done; });
    return state_->done && state_->found;
}

template <typename Reader, typename Value>
Value ModalAutomation::Read(Reader reader, Value fallback) const {
    if (state_ == nullptr) {
        return fallback;
    }
    std::lock_guard<std::mutex> lock(state_->mutex);
    return reader(*state_);
}

bool ModalAutomation::Found() const {
    return Read([](const State& state) { return state.found; }, false);
}

std::string ModalAutomation::FoundCaption() const {
    return Read([](const State& state) { return state.caption; }, std::string());
}

std::string ModalAutomation::FoundClass() const {
    return Read([](const State& state) { return state.windowClass; }, std::string());
}

std::vector<std::string> ModalAutomation::FoundTexts() const {
    std::vector<std::string> texts;
    for (const FoundControl& control : FoundControls()) {
        if (lstrcmpiA(control.windowClass.c_str(), "Static") == 0 && !control.text.empty()) {
            texts.push_back(control.text);
        }
    }
    return texts;
}

std::vector<FoundControl> ModalAutomation::FoundControls() const {
    return Read([](const State& state) { return state.controls; }, std::vector<FoundControl>());
}

std::vector<FoundMenuItem> ModalAutomation::FoundMenuItems() const {
    return Read([](const State& state) { return state.menuItems; }, std::vector<FoundMenuItem>());
}

bool ModalAutomation::OwnerWasEnabled() const {
    return Read([](const State& state) { return state.ownerEnabled; }, true);
}

bool ModalAutomation::ClosedByForce() const {
    return Read([](const State& state) { return state.closedByForce; }, false);
}

}  // namespace devhost

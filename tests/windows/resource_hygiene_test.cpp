// Many cycles of the plug-in's whole life give back every GDI object, window,
// menu and handle they took; so does loading and unloading it alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "devhost/stand_in_host.h"
#include "resources/resource.h"
#include "tests/windows/support/plugin_fixture.h"
#include "tests/windows/support/process_resources.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

using testing_support::MeasureProcessResources;
using testing_support::ProcessResources;

// Load, init, open the view and let it read the player and show its rows,
// close it, quit, unload.
void Cycle() {
    devhost::StandInHost host;
    ASSERT_TRUE(host.Load(testing_support::PluginDllPath()));
    ASSERT_EQ(host.Init(), 0);
    const HWND view = testing_support::CreateView(host);
    ASSERT_NE(view, nullptr);
    const std::string status = testing_support::WaitForStatusLine(host, view);
    ASSERT_EQ(status.rfind("31 items [", 0), 0u) << status;  // 30 tracks and the sample row
    DestroyWindow(view);
    host.Quit();
    host.Unload();
}

// A thread that lives across the cycles and runs one step at a time for the
// test, as a host's second thread would.
class SecondThread {
  public:
    SecondThread()
        : ready_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          done_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          thread_(CreateThread(nullptr, 0, &SecondThread::Run, this, 0, nullptr)) {}
    ~SecondThread() {
        Do(nullptr);
        WaitForSingleObject(thread_, INFINITE);
        for (HANDLE handle : {thread_, done_, ready_}) {
            CloseHandle(handle);
        }
    }
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;

    // Runs `step` there and waits for it; null ends the thread.
    void Do(std::function<void()> step) {
        step_ = std::move(step);
        SetEvent(ready_);
        WaitForSingleObject(done_, INFINITE);
    }

  private:
    static DWORD WINAPI Run(void* self) {
        auto* thread = static_cast<SecondThread*>(self);
        for (bool more = true; more;) {
            WaitForSingleObject(thread->ready_, INFINITE);
            more = static_cast<bool>(thread->step_);
            if (more) {
                thread->step_();
            }
            SetEvent(thread->done_);
        }
        return 0;
    }

    HANDLE ready_;
    HANDLE done_;
    HANDLE thread_;
    std::function<void()> step_;
};

// Loading and unloading the plug-in alone, without init, view or quit, each
// on the test's thread or on a second one that lives on.
struct BareCycleCase {
    const char* label;
    bool loadsOnSecondThread;
    bool unloadsOnSecondThread;
    int cycles;
};
const BareCycleCase kBareCycles[] = {
    {"one thread", false, false, 200},
    {"unloaded on another thread", false, true, 50},
    {"loaded on another thread", true, false, 50},
};

constexpr int kCycles = 200;

TEST(ResourceHygiene, TwoHundredCyclesGiveEverythingBack) {
    SampleImageOptions options;
    options.trackCount = 30;
    ASSERT_TRUE(WriteSampleImage("E:/", options));
    Cycle();  // the first cycle loads what the process keeps (classes, fonts of the system)
    const ProcessResources before = MeasureProcessResources();
    ASSERT_GT(before.gdiObjects, 0);
    ASSERT_GT(before.handles, 0);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        Cycle();
        if (HasFatalFailure()) {
            return;
        }
    }
    const ProcessResources after = MeasureProcessResources();
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.userObjects, before.userObjects);
    EXPECT_EQ(after.handles - before.handles, 0)
        << "before: " << before.Describe() << "; after: " << after.Describe();
}

TEST(ResourceHygiene, LoadingAndUnloadingAloneLeavesNoHandleOnEitherThread) {
    SecondThread second;
    for (const BareCycleCase& c : kBareCycles) {
        const auto on = [&second](bool secondThread, const std::function<void()>& step) {
            secondThread ? second.Do(step) : step();
        };
        HMODULE module = nullptr;
        const auto cycle = [&] {
            on(c.loadsOnSecondThread,
               [&module] { module = LoadLibraryA(testing_support::PluginDllPath().c_str()); });
            ASSERT_NE(module, nullptr) << c.label;
            on(c.unloadsOnSecondThread, [module] { FreeLibrary(module); });
        };
        cycle();
        const long before = MeasureProcessResources().handles;
        for (int i = 0; i < c.cycles && !HasFatalFailure(); ++i) {
            cycle();
        }
        EXPECT_EQ(MeasureProcessResources().handles - before, 0) << c.label;
    }
}

}  // namespace

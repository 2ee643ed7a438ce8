// Many cycles of the plug-in's whole life give back every GDI object, window,
// menu and handle they took; so does loading and unloading it alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "devhost/stand_in_host.h"
#include "resources/resource.h"
#include "tests/windows/support/plugin_fixture.h"
#include "tests/windows/support/process_resources.h"
#include "tools/sample_image/sample_image.h"

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

// Load and unload the plug-in without init, view or quit.
void BareCycle() {
    const HMODULE module = LoadLibraryA(testing_support::PluginDllPath().c_str());
    ASSERT_NE(module, nullptr);
    FreeLibrary(module);
}

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

TEST(ResourceHygiene, LoadingAndUnloadingAloneLeavesNoHandle) {
    BareCycle();
    const long before = MeasureProcessResources().handles;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        BareCycle();
    }
    EXPECT_EQ(MeasureProcessResources().handles - before, 0);
}

}  // namespace

// The device locator on real drive letters. Run through with-drives with
// this layout: D: a fixed disk and F: an optical drive, each holding
// index.mum; E:, G: and H: removable drives; Z: a removable drive holding
// index.mum. The tests put index.mum on E: and G: themselves.
#include "catalogue/device_locator.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "tests/windows/support/import_patch.h"

namespace {

void PutIndex(const char* root, bool present) {
    const std::string path = std::string(root) + "index.mum";
    if (!present) {
        DeleteFileA(path.c_str());
        return;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, "<index/>", 8, &written, nullptr);
    CloseHandle(file);
}

class DeviceLocatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetDriveTypeA("E:/"), static_cast<UINT>(DRIVE_REMOVABLE))
            << "run through with-drives with the layout above";
        for (const char* root : {"D:/", "F:/", "Z:/"}) {
            PutIndex(root, true);
        }
        for (const char* root : {"E:/", "G:/", "H:/"}) {
            PutIndex(root, false);
        }
    }

    std::string Locate() {
        LocateDevice(catalogue_);
        return catalogue_.DriveRoot();
    }

    DeviceCatalogue catalogue_;
};

TEST_F(DeviceLocatorTest, OnlyRemovableDrivesBeforeZCount) {
    // D: (fixed), F: (optical) and Z: (removable, but never tried) hold
    // index.mum.
    EXPECT_EQ(Locate(), "");
}

TEST_F(DeviceLocatorTest, RemovableDriveWithoutIndexIsSkipped) {
    PutIndex("G:/", true);
    EXPECT_EQ(Locate(), "G:/");
}

TEST_F(DeviceLocatorTest, TheLowerLetterWins) {
    PutIndex("G:/", true);
    PutIndex("E:/", true);
    EXPECT_EQ(Locate(), "E:/");
}

TEST_F(DeviceLocatorTest, ALaterScanThatFindsNothingKeepsTheRoot) {
    PutIndex("E:/", true);
    ASSERT_EQ(Locate(), "E:/");
    PutIndex("E:/", false);
    EXPECT_EQ(Locate(), "E:/");
}

TEST_F(DeviceLocatorTest, NoHandleStaysOpenOnIndex) {
    PutIndex("E:/", true);
    ASSERT_EQ(Locate(), "E:/");
    // Sharing nothing, this open fails while any other handle is open.
    HANDLE exclusive = CreateFileA("E:/index.mum", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
}

// Error modes, as the locator's own calls to the system see them --------

struct ErrorModes {
    UINT thread = 0;
    UINT process = 0;
};

ErrorModes CurrentErrorModes() {
    return {static_cast<UINT>(GetThreadErrorMode()), GetErrorMode()};
}

struct Probe {
    std::string path;
    ErrorModes modes;
};

using CreateFileFunction = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                           DWORD, HANDLE);
using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);

std::vector<Probe> g_probes;
CreateFileFunction g_createFile = nullptr;
GetProcAddressFunction g_getProcAddress = nullptr;

HANDLE WINAPI RecordingCreateFile(LPCSTR path, DWORD access, DWORD share,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                  HANDLE model) {
    g_probes.push_back({path, CurrentErrorModes()});
    return g_createFile(path, access, share, security, disposition, flags, model);
}

// As on a system before Windows 7.
FARPROC WINAPI GetProcAddressWithoutThreadErrorMode(HMODULE module, LPCSTR name) {
    if (HIWORD(name) != 0 && std::strcmp(name, "SetThreadErrorMode") == 0) {
        return nullptr;
    }
    return g_getProcAddress(module, name);
}

template <typename Function>
void* Address(Function function) {
    return reinterpret_cast<void*>(function);
}

TEST_F(DeviceLocatorTest, CriticalErrorBoxesAreOffDuringTheProbesAndBackAfter) {
    const struct {
        const char* name;
        bool threadModeAvailable;
    } cases[] = {{"the thread's mode", true}, {"the process's mode", false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        PutIndex("G:/", true);
        // Modes of the host's own, which must stay set throughout.
        SetThreadErrorMode(SEM_NOGPFAULTERRORBOX, nullptr);
        SetErrorMode(SEM_NOOPENFILEERRORBOX);
        const ErrorModes before = CurrentErrorModes();
        ErrorModes during = before;
        (test.threadModeAvailable ? during.thread : during.process) |= SEM_FAILCRITICALERRORS;

        g_probes.clear();
        {
            const HMODULE self = GetModuleHandleA(nullptr);
            testing_support::ImportPatch probes(self, "kernel32.dll", "CreateFileA",
                                                Address(RecordingCreateFile));
            ASSERT_TRUE(probes.Patched());
            g_createFile = reinterpret_cast<CreateFileFunction>(probes.Original());
            std::optional<testing_support::ImportPatch> olderSystem;
            if (!test.threadModeAvailable) {
                olderSystem.emplace(self, "kernel32.dll", "GetProcAddress",
                                    Address(GetProcAddressWithoutThreadErrorMode));
                ASSERT_TRUE(olderSystem->Patched());
                g_getProcAddress =
                    reinterpret_cast<GetProcAddressFunction>(olderSystem->Original());
            }
            EXPECT_EQ(Locate(), "G:/");
        }
        const ErrorModes after = CurrentErrorModes();
        SetThreadErrorMode(0, nullptr);
        SetErrorMode(0);

        // The removable drives below G, in order; the first holds no index.
        ASSERT_EQ(g_probes.size(), 2u);
        EXPECT_EQ(g_probes[0].path, "E:/index.mum");
        EXPECT_EQ(g_probes[1].path, "G:/index.mum");
        for (const Probe& probe : g_probes) {
            EXPECT_EQ(probe.modes.thread, during.thread) << probe.path;
            EXPECT_EQ(probe.modes.process, during.process) << probe.path;
        }
        EXPECT_EQ(after.thread, before.thread);
        EXPECT_EQ(after.process, before.process);
    }
}

}  // namespace

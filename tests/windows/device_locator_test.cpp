// The device locator on real drive letters. Run through with-drives with
// this layout: D: a fixed disk and F: an optical drive, each holding
// index.mum; E:, G: and H: removable drives; Z: a removable drive holding
// index.mum. The tests put index.mum on E: and G: themselves.
#include "catalogue/device_locator.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "catalogue/catalogue_records.h"

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
    // D: (fixed), F: (optical) and Z: (removable, but never tried) hold index.mum.
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

}  // namespace

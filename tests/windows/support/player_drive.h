// Test helper: a player image on a drive letter the test owns (mapped by
// with-drives), rewritten from scratch for each test.
#pragma once

#include <string>

#include "tools/kovra-make-image/sample_image.h"

namespace testing_support {

constexpr char kPlayerRoot[] = "E:/";

// Removes everything on the drive (read-only files included).
void ClearDrive(const std::string& root = kPlayerRoot);

// Clears the drive and writes a sample image of `tracks` tracks onto it.
SampleImage WritePlayer(int tracks, unsigned seed = 1, const std::string& root = kPlayerRoot);

// Sets or clears the read-only attribute of every file and folder on the drive.
void SetDriveReadOnly(bool readOnly, const std::string& root = kPlayerRoot);

// A fingerprint of everything on the drive: names, sizes, attributes, last
// write times and contents of every file and folder.
std::string DriveFingerprint(const std::string& root = kPlayerRoot);

// Writes (replacing) a file on the drive; the path is relative to the root.
void WriteDriveFile(const std::string& relative, const std::string& bytes,
                    const std::string& root = kPlayerRoot);

}  // namespace testing_support

// Window screenshots as BMP files, through a DIB section.
#include "devhost/window_capture.h"

#include <cstdio>
#include <memory>

namespace devhost {

namespace {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

bool WriteBmp(const std::string& path, const BITMAPINFOHEADER& header, const void* pixels,
              DWORD pixelBytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         std::fclose);
    if (!file) {
        return false;
    }
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + pixelBytes;
    return std::fwrite(&fileHeader, sizeof fileHeader, 1, file.get()) == 1 &&
           std::fwrite(&header, sizeof header, 1, file.get()) == 1 &&
           std::fwrite(pixels, pixelBytes, 1, file.get()) == 1;
}

}  // namespace

bool CaptureWindow(HWND window, const std::string& bmpPath) {
    RECT area = {};
    if (!GetWindowRect(window, &area)) {
        return false;
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    std::unique_ptr<HDC__, DcDeleter> memory(CreateCompatibleDC(screen));
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bool saved = false;
    if (bitmap != nullptr && memory) {
        HGDIOBJ previous = SelectObject(memory.get(), bitmap);
        BitBlt(memory.get(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        SelectObject(memory.get(), previous);
        GdiFlush();
        const DWORD stride = ((width * 3) + 3) & ~3u;
        saved = WriteBmp(bmpPath, info.bmiHeader, pixels, stride * height);
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace devhost

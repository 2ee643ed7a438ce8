// The stand-in skin's layout, borders, buttons and colours.
#include "devhost/skin_painting.h"

#include <map>

#include "devhost/skin_functions.h"

namespace devhost {

namespace {

constexpr int kRuleWords = 6;

// Client sizes of dialogs when their layout was remembered.
std::map<HWND, SIZE>& StartingSizes() {
    static std::map<HWND, SIZE> sizes;
    return sizes;
}

SIZE ClientSize(HWND window) {
    RECT area = {};
    GetClientRect(window, &area);
    return {area.right, area.bottom};
}

HBRUSH SkinBrush() {
    static HBRUSH brush = CreateSolidBrush(SkinColour(0));
    return brush;
}

void DrawButton(const DRAWITEMSTRUCT& item) {
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    RECT area = item.rcItem;
    DrawFrameControl(item.hDC, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    char text[64] = {};
    GetWindowTextA(item.hwndItem, text, sizeof text);
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextA(item.hDC, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

void RememberLayout(HWND dialog, int32_t* rules, int count) {
    StartingSizes()[dialog] = ClientSize(dialog);
    for (int index = 0; index < count; ++index) {
        int32_t* rule = rules + index * kRuleWords;
        RECT area = {};
        const HWND control = GetDlgItem(dialog, rule[0]);
        if (control != nullptr && GetWindowRect(control, &area)) {
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        }
        rule[2] = area.left;
        rule[3] = area.top;
        rule[4] = area.right;
        rule[5] = area.bottom;
    }
}

void ApplyLayout(HWND dialog, const int32_t* rules, int count) {
    const auto start = StartingSizes().find(dialog);
    if (start == StartingSizes().end()) {
        return;
    }
    const SIZE now = ClientSize(dialog);
    const int dx = now.cx - start->second.cx;
    const int dy = now.cy - start->second.cy;
    for (int index = 0; index < count; ++index) {
        const int32_t* rule = rules + index * kRuleWords;
        const int32_t flags = rule[1];
        RECT area = {rule[2], rule[3], rule[4], rule[5]};
        if (flags & 0x10)
            area.right += dx;
        if (flags & 0x100)
            area.top += dy;
        if (flags & 0x1)
            area.bottom += dy;
        MoveWindow(GetDlgItem(dialog, rule[0]), area.left, area.top, area.right - area.left,
                   area.bottom - area.top, TRUE);
    }
}

void PaintBorders(HWND dialog, const int32_t* controls, int count) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(dialog, &paint);
    const HBRUSH frame = CreateSolidBrush(SkinColour(2));
    for (int index = 0; index < count; ++index) {
        RECT area = {};
        const HWND control = GetDlgItem(dialog, controls[index] & 0xFFFF);
        if (control != nullptr && GetWindowRect(control, &area)) {
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
            InflateRect(&area, 1, 1);
            FrameRect(dc, &area, frame);
        }
    }
    DeleteObject(frame);
    EndPaint(dialog, &paint);
}

INT_PTR PaintDialogMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item == nullptr || item->CtlType != ODT_BUTTON) {
                return 0;
            }
            DrawButton(*item);
            return TRUE;
        }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, SkinColour(1));
            SetBkColor(dc, SkinColour(0));
            return reinterpret_cast<INT_PTR>(SkinBrush());
        }
        default:
            return 0;
    }
}

}  // namespace devhost

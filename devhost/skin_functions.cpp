// The skin functions the host hands out by address.
#include "devhost/skin_functions.h"

#include <cstdint>
#include <utility>

#include "devhost/skin_log.h"
#include "devhost/skin_painting.h"
#include "host/host_api.h"

namespace devhost {

namespace {

// A resize rule: control id, flags, then four words that belong to the host.
constexpr int kRuleWords = 6;

void Log(SkinCall call) {
    if (SkinLog* log = SkinLog::Active()) {
        log->Add(std::move(call));
    }
}

bool ArrayReadable(const void* array, int count) {
    return array != nullptr && count > 0 && count <= kMaxSkinArray;
}

SkinCall RuleCall(const char* function, HWND window, const int32_t* rules, int count) {
    SkinCall call{function, window, {}, count};
    if (!ArrayReadable(rules, count)) {
        return call;
    }
    for (int index = 0; index < count; ++index) {
        const int32_t* rule = rules + index * kRuleWords;
        call.arguments.push_back(rule[0]);
        call.arguments.push_back(rule[1]);
    }
    return call;
}

int KOVRA_HOST_CALL Colour(int index) {
    Log({"color", nullptr, {index}});
    return static_cast<int>(SkinColour(index));
}

INT_PTR KOVRA_HOST_CALL DialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinLog* log = SkinLog::Active();
    const INT_PTR answer = log != nullptr ? log->PreHandle(window, message, wParam, lParam) : 0;
    return answer != 0 ? answer : PaintDialogMessage(window, message, wParam, lParam);
}

void KOVRA_HOST_CALL DrawBorders(HWND window, const int32_t* controls, int count) {
    SkinCall call{"drawBorders", window, {}, count};
    if (ArrayReadable(controls, count)) {
        call.arguments.assign(controls, controls + count);
        PaintBorders(window, controls, count);
    }
    Log(std::move(call));
}

// ResizeRule is the plug-in's type; to the host a rule is six words.
void KOVRA_HOST_CALL ResizeInit(HWND window, ResizeRule* rules, int count) {
    auto* words = reinterpret_cast<int32_t*>(rules);
    Log(RuleCall("resizeInit", window, words, count));
    if (ArrayReadable(words, count)) {
        RememberLayout(window, words, count);
    }
}

void KOVRA_HOST_CALL Resize(HWND window, ResizeRule* rules, int count) {
    const auto* words = reinterpret_cast<const int32_t*>(rules);
    Log(RuleCall("resize", window, words, count));
    if (ArrayReadable(words, count)) {
        ApplyLayout(window, words, count);
    }
}

template <typename Function>
INT_PTR Address(Function function) {
    return reinterpret_cast<INT_PTR>(function);
}

}  // namespace

COLORREF SkinColour(int index) {
    switch (index) {
        case 0:
            return RGB(0x20, 0x20, 0x20);  // background
        case 1:
            return RGB(0xE0, 0xE0, 0xE0);  // text
        default:
            return RGB(0x80, 0x80, 0x80);
    }
}

INT_PTR SkinFunctionAddress(WPARAM selector) {
    switch (selector) {
        case SKINFN_GET_COLOR:
            return Address<SkinGetColor>(Colour);
        case SKINFN_DIALOG_MESSAGE:
            return Address<SkinDialogMessage>(DialogMessage);
        case SKINFN_DRAW_BORDERS:
            return Address<SkinDrawBorders>(DrawBorders);
        case SKINFN_RESIZE_INIT:
            return Address<SkinResize>(ResizeInit);
        case SKINFN_RESIZE:
            return Address<SkinResize>(Resize);
        default:
            return 0;
    }
}

}  // namespace devhost

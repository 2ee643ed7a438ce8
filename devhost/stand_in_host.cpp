// The stand-in host: loading the plug-in and answering its requests.
#include "devhost/stand_in_host.h"

#include <utility>

#include "devhost/record_copies.h"
#include "devhost/skin_functions.h"

namespace devhost {

namespace {

constexpr char kExportName[] = "winampGetMediaLibraryPlugin";
constexpr char kSettingsFileName[] = "settings.ini";

using DescriptorExport = PluginDescriptor*(KOVRA_HOST_CALL*)();

DescriptorExport FindExport(HMODULE module) {
    // Through void(*)() because GetProcAddress's type says nothing about the
    // real one.
    return reinterpret_cast<DescriptorExport>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, kExportName)));
}

std::string Failure(const std::string& what, const std::string& dllPath) {
    return what + " (" + dllPath + "): error " + std::to_string(GetLastError());
}

HFONT MakeListFont() {
    return CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
}

}  // namespace

StandInHost::StandInHost(HostOptions options) : options_(std::move(options)) {
    if (options_.settingsPath.empty()) {
        // The process id keeps hosts of tests run side by side apart.
        scratch_ = std::make_unique<ScratchFolder>("kovra-host-" +
                                                   std::to_string(GetCurrentProcessId()) + "-");
        options_.settingsPath = (scratch_->Path() / kSettingsFileName).string();
    }
    skin_.Activate();
    windows_ = CreateHostWindows(*this);
}

StandInHost::~StandInHost() {
    if (initialised_) {
        Quit();
    }
    if (windows_.main != nullptr) {
        DestroyWindow(windows_.main);
    }
    Unload();
}

bool StandInHost::Load(const std::string& dllPath) {
    if (module_ != nullptr) {
        loadError_ = "a plug-in is loaded already";
        return false;
    }
    HMODULE module = LoadLibraryA(dllPath.c_str());
    if (module == nullptr) {
        loadError_ = Failure("cannot load", dllPath);
        return false;
    }
    DescriptorExport exported = FindExport(module);
    PluginDescriptor* descriptor = exported != nullptr ? exported() : nullptr;
    if (descriptor == nullptr) {
        loadError_ = Failure(exported == nullptr ? "no export" : "no descriptor", dllPath);
        FreeLibrary(module);
        return false;
    }
    descriptor->hostMainWindow = windows_.main;
    descriptor->hostLibraryWindow = windows_.library;
    descriptor->moduleInstance = module;
    module_ = module;
    descriptor_ = descriptor;
    loadError_.clear();
    return true;
}

int StandInHost::Init() {
    if (descriptor_ == nullptr || descriptor_->init == nullptr) {
        return -1;
    }
    initialised_ = true;
    return descriptor_->init();
}

void StandInHost::Quit() {
    initialised_ = false;
    if (descriptor_ != nullptr && descriptor_->quit != nullptr) {
        descriptor_->quit();
    }
}

void StandInHost::Unload() {
    if (module_ == nullptr) {
        return;
    }
    DestroyLeftoverWindows();
    FreeLibrary(module_);
    module_ = nullptr;
    descriptor_ = nullptr;
    initialised_ = false;
}

void StandInHost::DestroyLeftoverWindows() {
    leftoverWindows_ = 0;
    if (windows_.library == nullptr) {
        return;
    }
    while (HWND child = GetWindow(windows_.library, GW_CHILD)) {
        ++leftoverWindows_;
        if (!DestroyWindow(child)) {
            break;  // not ours to destroy (another thread's): nothing more to do
        }
    }
}

INT_PTR StandInHost::Send(int message, INT_PTR param1, INT_PTR param2, INT_PTR param3) {
    if (descriptor_ == nullptr || descriptor_->messageHandler == nullptr) {
        return 0;
    }
    return descriptor_->messageHandler(message, param1, param2, param3);
}

void StandInHost::Pump(DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        // The deadline is checked between messages too, so that a flood of
        // posted messages cannot keep the caller here.
        while (GetTickCount64() <= deadline && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

std::vector<RecordedRequest> StandInHost::RequestsWithCode(UINT message, LPARAM code) const {
    std::vector<RecordedRequest> matching;
    for (const RecordedRequest& request : requests_) {
        if (request.message == message && request.code == code) {
            matching.push_back(request);
        }
    }
    return matching;
}

LRESULT StandInHost::Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordedRequest request;
    request.target = window;
    request.message = message;
    request.wParam = wParam;
    request.code = lParam;
    CopyCarriedRecord(request);
    if (options_.whileAnswering) {
        options_.whileAnswering(request);
    }
    request.answer =
        window == windows_.main ? AnswerMainRequest(request) : AnswerLibraryRequest(request);
    const LRESULT answer = request.answer;
    requests_.push_back(std::move(request));
    return answer;
}

LRESULT StandInHost::AnswerMainRequest(const RecordedRequest& request) {
    if (request.message != kHostMainRequest || request.code != HOSTIPC_GET_INI_FILE ||
        !options_.answerSettingsPath) {
        return 0;
    }
    return reinterpret_cast<LRESULT>(StableSettingsPath());
}

const char* StandInHost::StableSettingsPath() {
    if (answeredPaths_.empty() || answeredPaths_.back() != options_.settingsPath) {
        answeredPaths_.push_back(options_.settingsPath);
    }
    return answeredPaths_.back().c_str();
}

// The copy in `request` was taken before the host wrote its answers into the
// plug-in's record, so it shows what the plug-in sent.
LRESULT StandInHost::AnswerLibraryRequest(RecordedRequest& request) {
    if (request.message != WM_LIBRARY_IPC) {
        return 0;
    }
    switch (request.code) {
        case LIBIPC_ADD_TREE_ITEM:
            return AnswerTreeItem(request);
        case LIBIPC_DRAG_OVER:
            if (auto* record = reinterpret_cast<HostDropRecord*>(request.wParam)) {
                record->result = options_.dragOverResult;
            }
            return 0;
        case LIBIPC_SKIN_LISTVIEW:
            return options_.answerSkinRequests ? options_.skinnedListHandle : 0;
        case LIBIPC_GET_SKIN_FUNCTION:
            return AnswerSkinFunction(request.wParam);
        default:
            return 0;
    }
}

LRESULT StandInHost::AnswerTreeItem(RecordedRequest& request) {
    auto* record = reinterpret_cast<HostTreeItemRecord*>(request.wParam);
    if (record == nullptr) {
        return 0;
    }
    record->itemId = options_.treeItemId;
    request.treeItem->itemId = options_.treeItemId;
    return options_.treeItemId;
}

LRESULT StandInHost::AnswerSkinFunction(WPARAM selector) {
    if (!options_.answerSkinRequests) {
        return 0;
    }
    if (selector == SKINFN_LIST_FONT) {
        lastListFont_ = MakeListFont();
        return reinterpret_cast<LRESULT>(lastListFont_);
    }
    return SkinFunctionAddress(selector);
}

}  // namespace devhost

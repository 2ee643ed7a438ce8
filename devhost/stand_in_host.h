// A stand-in for the media player: loads ml_kovra, answers and records its
// requests.
#pragma once

#include <windows.h>

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "devhost/host_options.h"
#include "devhost/host_windows.h"
#include "devhost/recorded_request.h"
#include "base/scratch_folder.h"
#include "devhost/skin_log.h"
#include "host/host_api.h"

namespace devhost {

// Each request is recorded with deep copies of what it carried, in arrival
// order. One host at a time per process: the skin functions record into the
// newest. Everything runs on the thread that made the host.
class StandInHost : private RequestReceiver {
  public:
    explicit StandInHost(HostOptions options = {});
    // Quits the plug-in if it was initialised and not quit, destroys the
    // windows (the plug-in's among them, while its code is still there), then
    // unloads it.
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // Loads the DLL, takes its descriptor and fills in the host's part.
    bool Load(const std::string& dllPath);
    const std::string& LoadError() const { return loadError_; }
    // The plug-in's init and quit; Init answers -1 when nothing is loaded.
    int Init();
    void Quit();
    // Destroys what the plug-in left in the library window, so that no
    // window is left whose code is gone, then frees the DLL.
    void Unload();
    // The descriptor's message handler; 0 when nothing is loaded.
    INT_PTR Send(int message, INT_PTR param1, INT_PTR param2, INT_PTR param3);

    PluginDescriptor* Descriptor() const { return descriptor_; }
    HMODULE Module() const { return module_; }
    HWND MainWindow() const { return windows_.main; }
    HWND LibraryWindow() const { return windows_.library; }

    // Runs this thread's messages for that long, so that timers fire and
    // posted messages arrive. Returns early on WM_QUIT.
    void Pump(DWORD milliseconds);

    const std::vector<RecordedRequest>& Requests() const { return requests_; }
    std::vector<RecordedRequest> RequestsWithCode(UINT message, LPARAM code) const;
    void ClearRequests() { requests_.clear(); }

    const std::vector<SkinCall>& SkinCalls() const { return skin_.Calls(); }
    const std::map<UINT, int>& PreHandlerMessages() const { return skin_.PreHandlerMessages(); }
    void ClearSkinCalls() { skin_.Clear(); }

    HostOptions& Options() { return options_; }
    // The font last handed out for SKINFN_LIST_FONT; the plug-in owns it.
    HFONT LastListFont() const { return lastListFont_; }
    // How many children of the library window the last Unload had to destroy.
    int LeftoverWindowsAtUnload() const { return leftoverWindows_; }

  private:
    LRESULT Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void WindowsGone() override { windows_ = {}; }

    LRESULT AnswerMainRequest(const RecordedRequest& request);
    LRESULT AnswerLibraryRequest(RecordedRequest& request);
    LRESULT AnswerTreeItem(RecordedRequest& request);
    LRESULT AnswerSkinFunction(WPARAM selector);
    const char* StableSettingsPath();
    void DestroyLeftoverWindows();

    HostOptions options_;
    std::unique_ptr<ScratchFolder> scratch_;
    // The plug-in keeps the settings path pointer until it is unloaded, so
    // every path answered stays alive, even after the options change.
    std::list<std::string> answeredPaths_;
    SkinLog skin_{options_};
    HostWindows windows_;
    HMODULE module_ = nullptr;
    PluginDescriptor* descriptor_ = nullptr;
    bool initialised_ = false;
    std::string loadError_;
    std::vector<RecordedRequest> requests_;
    HFONT lastListFont_ = nullptr;
    int leftoverWindows_ = 0;
};

}  // namespace devhost

// Every text the library view sets on its status line, with the moment it
// was set, seen as it is set: also while the view's thread is busy reading
// the player and pumps no messages.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace devhost {

// Listens on the status control of `view` from construction to destruction,
// one listener at a time. Open the view, then listen before pumping it.
class StatusListener {
  public:
    struct Text {
        std::string text;
        double milliseconds;  // on the performance counter, from the listener's start
    };
    // Runs for each text once the control has taken it (before it is painted).
    using OnText = std::function<void(const std::string&)>;

    explicit StatusListener(HWND view, OnText onText = nullptr);
    ~StatusListener();
    StatusListener(const StatusListener&) = delete;
    StatusListener& operator=(const StatusListener&) = delete;

    const std::vector<Text>& Texts() const { return texts_; }
    // The texts that tell how a read of the player goes.
    std::vector<std::string> ProgressTexts() const;
    // Milliseconds on the same clock as Texts().
    double Now() const;

  private:
    static LRESULT CALLBACK Listen(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND status_ = nullptr;
    WNDPROC original_ = nullptr;
    OnText onText_;
    std::vector<Text> texts_;
    LARGE_INTEGER start_ = {};
    LARGE_INTEGER frequency_ = {};
};

// How the view's progress texts begin: while the files are read, then while
// the rows are added.
constexpr char kReadingTextPrefix[] = "Reading the player";
constexpr char kAddingTextPrefix[] = "Adding songs to the list";

// True for a text that tells how a read of the player goes.
bool IsProgressText(const std::string& text);

}  // namespace devhost

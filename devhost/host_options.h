// How the stand-in host answers the plug-in's requests; tests change them to
// provoke other paths.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace devhost {

struct RecordedRequest;

struct HostOptions {
    // Answered to HOSTIPC_GET_INI_FILE. Empty: a file in a folder that the
    // host makes for itself and removes when it goes (the file is not made).
    std::string settingsPath;
    bool answerSettingsPath = true;  // false: the request is answered with 0
    INT_PTR treeItemId = 4242;       // written into the tree item record and answered
    // false: every LIBIPC_GET_SKIN_FUNCTION (the font too) and
    // LIBIPC_SKIN_LISTVIEW is answered with 0, as by a host without a skin.
    bool answerSkinRequests = true;
    int32_t dragOverResult = 1;          // written into the record of LIBIPC_DRAG_OVER
    INT_PTR skinnedListHandle = 0x5150;  // answered to LIBIPC_SKIN_LISTVIEW
    INT_PTR preHandlerAnswer = 0;        // returned by the dialog-message skin function
    UINT preHandlerAnswerOnlyTo = 0;     // when set, only this message gets that answer; others 0
    // Runs inside each request once it is recorded, before it is answered, as
    // a host that runs a message loop there (or pulls a drive) would.
    std::function<void(const RecordedRequest&)> whileAnswering;
};

}  // namespace devhost

// The disclaimer dialog.
#include "view/disclaimer_dialog.h"

#include "resources/resource.h"

namespace {

// Closes on OK or Cancel; leaves every message, WM_INITDIALOG included, to
// the dialog manager.
INT_PTR CALLBACK DisclaimerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
    }
    return FALSE;
}

}  // namespace

void ShowDisclaimer(HINSTANCE module, HWND owner) {
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_DISCLAIMER), owner, DisclaimerProc, 0);
}

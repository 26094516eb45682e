// The configuration dialog: a hidden host dialog prepares the property
// sheet header and runs the client's configuration callback, or the kit's
// own sheet when the client asks for the default.
#include "kit/win32/kit_internal.h"

#include <commctrl.h>

#include "resources/dozekit_res.h"

namespace kit::win32 {
namespace {

// The caller's two integers, reached through the host's user data.
struct HostPair {
    BOOL active;
    int result;
};

// The first icon found: the client's, then the kit's, icon 100 before 199.
HICON LoadSheetIcon(int width, int height) {
    const KitState& kit = Kit();
    for (int id : {100, IDI_DK_KIT}) {
        for (HMODULE module : {static_cast<HMODULE>(kit.clientInstance), kit.resourceModule}) {
            if (!module) continue;
            if (HANDLE icon = ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, width,
                                           height, 0))
                return static_cast<HICON>(icon);
        }
    }
    return nullptr;
}

class SheetIcon {
public:
    explicit SheetIcon(HICON icon) : icon_(icon) {}
    ~SheetIcon() {
        if (icon_) ::DestroyIcon(icon_);
    }
    SheetIcon(const SheetIcon&) = delete;
    SheetIcon& operator=(const SheetIcon&) = delete;
    HICON Get() const { return icon_; }

private:
    HICON icon_;
};

// The client's configuration, or the kit's own sheet. The kit's general
// page is not built yet: a header without pages shows nothing.
int ExecuteUserDialog(HWND host, PROPSHEETHEADERA* header) {
    const auto* pair = reinterpret_cast<const HostPair*>(::GetWindowLongPtrA(host, GWLP_USERDATA));
    const KitState& kit = Kit();
    if (kit.config) {
        const int result = kit.config(host, header, pair ? pair->active : FALSE);
        if (result != SCR_DODEFAULT) return result;
    }
    if (header->nPages == 0) return 0;
    return static_cast<int>(::PropertySheetA(header));
}

BOOL OnHostInit(HWND host, LPARAM pairParam) {
    ::SetWindowLongPtrA(host, GWLP_USERDATA, pairParam);
    ::SetWindowLongPtrA(host, DWLP_USER, 0);

    const std::string caption = LoadClientString(IDS_DK_SHEET_CAPTION).value_or("");
    const SheetIcon large(LoadSheetIcon(::GetSystemMetrics(SM_CXICON),
                                        ::GetSystemMetrics(SM_CYICON)));
    const SheetIcon small(LoadSheetIcon(16, 16));
    if (large.Get())
        ::SendMessageA(host, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));

    PROPSHEETPAGEA pages[2] = {};
    PROPSHEETHEADERA header{};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEHICON | PSH_NOAPPLYNOW;
    header.hwndParent = host;
    header.hInstance = Kit().clientInstance;
    header.hIcon = small.Get() ? small.Get() : large.Get();
    header.pszCaption = caption.c_str();
    header.nPages = 0;
    header.nStartPage = 0;
    header.ppsp = pages;

    Trace().Trace("DozeKit: DoConfigDialog: about to ExecuteUserDialog");
    const int result = ExecuteUserDialog(host, &header);
    Trace().Trace("DozeKit: DoConfigDialog: completed ExecuteUserDialog... cleaning up");

    HWND owner = ::GetWindow(host, GW_OWNER);
    if (owner && ::IsWindow(owner)) ::SetForegroundWindow(owner);
    ::EndDialog(host, result);
    return TRUE;
}

INT_PTR CALLBACK HostDlgProc(HWND host, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnHostInit(host, lParam);
    return FALSE;
}

}  // namespace

int DoConfigDialog(HWND parent, BOOL active) {
    Trace().Trace("DozeKit: DoConfigDialog: starting...");
    CheckKitResources();
    HostPair pair{active, 0};
    pair.result = static_cast<int>(::DialogBoxParamA(Kit().resourceModule,
                                                     MAKEINTRESOURCEA(IDD_DK_HOST), parent,
                                                     HostDlgProc, reinterpret_cast<LPARAM>(&pair)));
    Trace().Trace("DozeKit: ~DoConfigDialog.");
    return pair.result;
}

}  // namespace kit::win32

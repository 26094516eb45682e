// The configuration dialog: a hidden host dialog prepares the property
// sheet (the general page, the "&About" item on its system menu) and runs
// the client's configuration callback, or the kit's own sheet when the
// client asks for the default. While the sheet is open the host routes the
// page's change notices to the window that opened the configuration and
// to previews in the sheet's monitor controls.
#include "kit/win32/kit_internal.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>

#include "common/win32/system_library.h"
#include "kit/core/general_dialog.h"
#include "resources/dozekit_res.h"

namespace kit::win32 {
namespace {

constexpr char kMonitorClass[] = DOZEKIT_MONITOR_CLASS;
constexpr DWORD kSheetFlags = PSH_PROPSHEETPAGE | PSH_USEHICON | PSH_NOAPPLYNOW | PSH_USECALLBACK;

// The caller's two integers, reached through the host's user data.
struct HostPair {
    BOOL active;
    int result;
};

const HostPair* PairOf(HWND host) {
    return reinterpret_cast<const HostPair*>(::GetWindowLongPtrA(host, GWLP_USERDATA));
}

// The first icon found: the client's, then the kit's, icon 100 before 199.
HICON LoadSheetIcon(int width, int height) {
    const KitState& kit = Kit();
    for (int id : {100, IDI_DK_KIT}) {
        for (HMODULE module : {static_cast<HMODULE>(kit.clientInstance), kit.resourceModule}) {
            if (!module) continue;
            if (HANDLE icon =
                    ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, 0))
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

// The sheet's own procedure is kept in the host's dialog user word.
LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND host = ::GetWindow(sheet, GW_OWNER);
    const auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(host, DWLP_USER));
    if (message == WM_SYSCOMMAND && wParam == IDM_DK_ABOUT) {
        try {
            RunAboutStep(sheet);
        } catch (const std::exception&) {
            // No memory for the About box: it does not open.
        }
    }
    if (message == WM_DESTROY && previous)
        ::SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    return previous ? ::CallWindowProcA(previous, sheet, message, wParam, lParam)
                    : ::DefWindowProcA(sheet, message, wParam, lParam);
}

// The sheet would take the hidden host's place, partly off the screen:
// it goes over the middle of the window that opened the configuration, or
// of the screen, and wholly inside the work area.
void PlaceSheet(HWND sheet) {
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT over = area;
    HWND owner = ::GetWindow(::GetWindow(sheet, GW_OWNER), GW_OWNER);
    if (owner && ::IsWindowVisible(owner)) ::GetWindowRect(owner, &over);
    RECT bounds{};
    ::GetWindowRect(sheet, &bounds);
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    LONG left = (over.left + over.right - width) / 2;
    LONG top = (over.top + over.bottom - height) / 2;
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    ::SetWindowPos(sheet, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AddAboutItem(HWND sheet) {
    const auto item = LoadKitString(IDS_DK_ABOUT_ITEM);
    if (HMENU menu = ::GetSystemMenu(sheet, FALSE); item && menu) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_DK_ABOUT, item->c_str());
    }
    ::SetWindowLongPtrA(::GetWindow(sheet, GW_OWNER), DWLP_USER,
                        ::GetWindowLongPtrA(sheet, GWLP_WNDPROC));
    ::SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetSubclassProc));
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message != PSCB_INITIALIZED) return 0;
    PlaceSheet(sheet);
    if (Kit().prefs.Current().fNoAboutItem) return 0;
    try {
        AddAboutItem(sheet);
    } catch (const std::exception&) {
        // No memory for the item's text: the sheet goes on without it.
    }
    return 0;
}

// The client's configuration, or the kit's own sheet.
int ExecuteUserDialog(HWND host, PROPSHEETHEADERA* header) {
    const HostPair* pair = PairOf(host);
    const KitState& kit = Kit();
    if (kit.config) {
        const int result = kit.config(host, header, pair ? pair->active : FALSE);
        if (result != SCR_DODEFAULT) return result;
    }
    return static_cast<int>(::win32::PropertySheetOnDemand(header));
}

// The page's record, or none when there is no memory for it: not for the
// record itself, nor for what it reads.
std::unique_ptr<GeneralDialog> MakeGeneralDialog() {
    try {
        return std::make_unique<GeneralDialog>(UserRegistry(), UserRegistryWriter(), KitStrings(),
                                               Kit().prefs.Current(), Trace());
    } catch (const std::exception&) {
        return nullptr;
    }
}

void RunHost(HWND host) {
    const std::string caption = LoadClientString(IDS_DK_SHEET_CAPTION).value_or("");
    const SheetIcon large(
        LoadSheetIcon(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)));
    const SheetIcon small(LoadSheetIcon(16, 16));
    if (large.Get())
        ::SendMessageA(host, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));

    // Without a dialog record the page ignores commands and notifications.
    const std::unique_ptr<GeneralDialog> general = MakeGeneralDialog();
    PROPSHEETPAGEA page{};
    page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = Kit().resourceModule;
    page.pszTemplate = MAKEINTRESOURCEA(IDD_DK_GENERAL);
    page.pfnDlgProc = GeneralDlgProc;
    page.lParam = reinterpret_cast<LPARAM>(general.get());
    // Room for two entries of the first version's size: the sheet steps
    // through them by their size, and a client may fill the second.
    struct PageEntries {
        alignas(PROPSHEETPAGEA) unsigned char bytes[2 * PROPSHEETPAGEA_V1_SIZE];
    } pages{};
    std::memcpy(pages.bytes, &page, PROPSHEETPAGEA_V1_SIZE);

    PROPSHEETHEADERA header{};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = kSheetFlags;
    header.hwndParent = host;
    header.hInstance = Kit().clientInstance;
    header.hIcon = small.Get() ? small.Get() : large.Get();
    header.pszCaption = caption.c_str();
    header.nPages = 1;
    header.nStartPage = 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages.bytes);
    header.pfnCallback = SheetCallback;

    Trace().Trace("DozeKit: DoConfigDialog: about to ExecuteUserDialog");
    const int result = ExecuteUserDialog(host, &header);
    Trace().Trace("DozeKit: DoConfigDialog: completed ExecuteUserDialog... cleaning up");

    HWND owner = ::GetWindow(host, GW_OWNER);
    if (owner && ::IsWindow(owner)) ::SetForegroundWindow(owner);
    ::EndDialog(host, result);
}

BOOL OnHostInit(HWND host, LPARAM pairParam) {
    ::SetWindowLongPtrA(host, GWLP_USERDATA, pairParam);
    ::SetWindowLongPtrA(host, DWLP_USER, 0);
    try {
        RunHost(host);
    } catch (const std::exception&) {
        // No exception may pass through the system's dialog code. Without
        // memory to run the configuration the hidden host ends as a dialog
        // that could not be made.
        ::EndDialog(host, -1);
    }
    return TRUE;
}

// A preview inside a monitor control: the control's first child is its
// screen, whose first child is the saver window.
BOOL CALLBACK SendToPreview(HWND window, LPARAM noticeParam) {
    char className[sizeof kMonitorClass + 1] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, kMonitorClass) != 0) return TRUE;
    HWND screen = ::GetWindow(window, GW_CHILD);
    HWND preview = screen ? ::GetWindow(screen, GW_CHILD) : nullptr;
    if (preview) {
        const auto* notice = reinterpret_cast<const PrefsChangeNotice*>(noticeParam);
        ::SendMessageA(preview, SCRM_PREFSCHANGED, notice->code,
                       reinterpret_cast<LPARAM>(notice->block));
    }
    return TRUE;
}

BOOL OnHostPrefsChanged(HWND host, const PrefsChangeNotice* notice) {
    if (!notice) return TRUE;
    const HostPair* pair = PairOf(host);
    const NoticeDeliveries route = RouteNotice(notice->code, pair && pair->active,
                                               Kit().prefs.Current().fNoPreviewUpdate != 0);
    if (HWND owner = ::GetWindow(host, GW_OWNER); route.owner && owner)
        ::SendMessageA(owner, SCRM_PREFSCHANGED, notice->code,
                       reinterpret_cast<LPARAM>(notice->block));
    if (route.previews)
        ::EnumChildWindows(reinterpret_cast<HWND>(notice->sheet), SendToPreview,
                           reinterpret_cast<LPARAM>(notice));
    return TRUE;
}

INT_PTR CALLBACK HostDlgProc(HWND host, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnHostInit(host, lParam);
    case SCRM_PREFSCHANGED:
        return OnHostPrefsChanged(host, reinterpret_cast<const PrefsChangeNotice*>(lParam));
    default: return FALSE;
    }
}

}  // namespace

int DoConfigDialog(HWND parent, BOOL active) {
    Trace().Trace("DozeKit: DoConfigDialog: starting...");
    WarnOfMissingKitResources();
    // The page's spin control belongs to the common controls.
    ::win32::InitCommonControlsOnDemand(ICC_UPDOWN_CLASS);
    HostPair pair{active, 0};
    pair.result =
        static_cast<int>(::DialogBoxParamA(Kit().resourceModule, MAKEINTRESOURCEA(IDD_DK_HOST),
                                           parent, HostDlgProc, reinterpret_cast<LPARAM>(&pair)));
    Trace().Trace("DozeKit: ~DoConfigDialog.");
    return pair.result;
}

}  // namespace kit::win32

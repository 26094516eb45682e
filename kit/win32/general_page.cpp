// The configuration sheet's general page: its dialog procedure, the page
// window as the core's GeneralDialog sees it, the hot-corner services
// (Sage.DLL, then Edgewake.dll, each loaded by name for one call) and
// context help through WinHelp.
#include "kit/win32/kit_internal.h"

#include <commctrl.h>

#include <exception>
#include <vector>

#include "common/win32/guards.h"
#include "kit/core/general_dialog.h"
#include "resources/dozekit_res.h"

namespace kit::win32 {
namespace {

constexpr char kEdgewakeLibrary[] = "Edgewake.dll";
constexpr char kEdgewakeDetect[] = "System_Agent_Detect";
constexpr char kEdgewakeChanged[] = "Screen_Saver_Changed";
constexpr UINT kBroadcastTimeoutMs = 1000;  // for each window

using DetectProc = int(WINAPI*)();
using ChangedProc = void(WINAPI*)();

// Loads the library by name, hands its entry to `call` and frees the
// library at once; a missing library or entry skips the call.
template <typename Proc, typename Call>
void WithEntry(const std::string& library, const std::string& entry, Call call) {
    const ::win32::UniqueLibrary module(::LoadLibraryA(library.c_str()));
    if (!module) return;
    if (const auto proc = reinterpret_cast<Proc>(
            reinterpret_cast<void*>(::GetProcAddress(module.Get(), entry.c_str()))))
        call(proc);
}

void TellServicesOfChange() {
    const auto changed = [](ChangedProc proc) { proc(); };
    const auto library = LoadKitString(IDS_DK_AGENT_LIBRARY);
    const auto entry = LoadKitString(IDS_DK_AGENT_CHANGED);
    if (library && entry) WithEntry<ChangedProc>(*library, *entry, changed);
    WithEntry<ChangedProc>(kEdgewakeLibrary, kEdgewakeChanged, changed);
}

// The help file for one request, or nothing when no name loads.
std::optional<std::string> HelpFile(bool activeConfigHelp) {
    const auto kitFile = LoadClientString(IDS_DK_HELP_FILE);
    bool exists = false;
    if (kitFile && !activeConfigHelp) {
        OFSTRUCT found{};
        found.cBytes = sizeof found;
        exists = ::OpenFile(kitFile->c_str(), &found, OF_EXIST) != HFILE_ERROR;
    }
    return ChooseHelpFile(activeConfigHelp, kitFile, LoadKitString(IDS_DK_AGENT_HELP), exists);
}

// `table`: (control, help context) pairs ended by two zeros.
BOOL CallWinHelp(HWND window, bool activeConfigHelp, UINT command, const void* table) {
    const auto file = HelpFile(activeConfigHelp);
    if (!file) return FALSE;
    return Kit().winHelp(window, file->c_str(), command, reinterpret_cast<ULONG_PTR>(table));
}

// The page window: its controls for the core, and the services it asks of
// the system.
class PageWindow : public GeneralPage, public PageServices {
public:
    explicit PageWindow(HWND page) : page_(page) {}

    std::uint32_t MonitorStyle() override {
        return static_cast<std::uint32_t>(::GetWindowLongA(Item(IDC_DK_MONITOR), GWL_STYLE));
    }
    void SetMonitorStyle(std::uint32_t style) override {
        ::SetWindowLongA(Item(IDC_DK_MONITOR), GWL_STYLE, static_cast<LONG>(style));
    }
    void Show(int id, bool shown) override { ::ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }
    void Enable(int id, bool enabled) override { ::EnableWindow(Item(id), enabled); }
    void SetText(int id, const std::string& text) override {
        ::SetDlgItemTextA(page_, id, text.c_str());
    }
    std::string Text(int id, std::size_t capacity) override {
        std::vector<char> text(capacity);
        const UINT length = ::GetDlgItemTextA(page_, id, text.data(), static_cast<int>(capacity));
        return std::string(text.data(), length);
    }
    void SetRows(int id, const std::vector<std::string>& rows) override {
        ::SendDlgItemMessageA(page_, id, CB_RESETCONTENT, 0, 0);
        for (const std::string& row : rows)
            ::SendDlgItemMessageA(page_, id, CB_ADDSTRING, 0,
                                  reinterpret_cast<LPARAM>(row.c_str()));
    }
    void Select(int id, std::uint32_t row) override {
        ::SendDlgItemMessageA(page_, id, CB_SETCURSEL, row, 0);
    }
    std::optional<std::uint32_t> Selection(int id) override {
        const LRESULT row = ::SendDlgItemMessageA(page_, id, CB_GETCURSEL, 0, 0);
        if (row < 0) return std::nullopt;
        return static_cast<std::uint32_t>(row);
    }
    void SetSpinRange(int id, int low, int high) override {
        ::SendDlgItemMessageA(page_, id, UDM_SETRANGE, 0, MAKELPARAM(high, low));
    }
    void SetChecked(int id, bool checked) override {
        ::CheckDlgButton(page_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    bool Checked(int id) override { return ::IsDlgButtonChecked(page_, id) == BST_CHECKED; }

    int DetectHotCornerService() override { return DetectSystemAgent(); }
    void KeepHotCornerService(int detected) override {
        if (Kit().monitors) Kit().monitors->SetServiceDetected(detected != 0);
    }
    void TellHotCornerServices() override { TellServicesOfChange(); }
    // Sent, not posted: the system hands a text to another program's window
    // only with a message that waits for it (a notification carrying a
    // pointer fails for every window of another thread). A window that
    // hangs is passed over.
    void BroadcastSettingsChange() override {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                              reinterpret_cast<LPARAM>("Windows"), SMTO_ABORTIFHUNG,
                              kBroadcastTimeoutMs, &result);
    }
    // To the sheet's owner, the hidden host dialog, which routes it on.
    void SendNotice(std::uint32_t code, const PrefsChangeBlock& block) override {
        HWND sheet = ::GetParent(page_);
        const PrefsChangeNotice notice{reinterpret_cast<std::uintptr_t>(sheet), code, &block};
        ::SendMessageA(::GetWindow(sheet, GW_OWNER), SCRM_PREFSCHANGED, 0,
                       reinterpret_cast<LPARAM>(&notice));
    }

private:
    HWND Item(int id) const { return ::GetDlgItem(page_, id); }

    HWND page_;
};

GeneralDialog* DialogOf(HWND page) {
    return reinterpret_cast<GeneralDialog*>(::GetWindowLongPtrA(page, DWLP_USER));
}

BOOL OnInitDialog(HWND page, LPARAM lParam) {
    const auto* entry = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    auto* dialog = entry ? reinterpret_cast<GeneralDialog*>(entry->lParam) : nullptr;
    try {
        Trace().Trace("DozeKit: GeneralDlgProc: WM_INITDIALOG. Setting up controls");
        if (dialog) {
            ::SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
            PageWindow window(page);
            dialog->SetupControls(window, window);
        }
    } catch (const std::exception&) {
        // No memory to set the page up: as without a dialog record, the
        // page ignores commands and notifications.
        ::SetWindowLongPtrA(page, DWLP_USER, 0);
    }
    return TRUE;
}

// Any notification of any control: every edit, selection, click or corner
// choice reaches the registry at once. A delay field left with text that
// is no delay shows the delay in force again.
BOOL OnCommand(HWND page, WPARAM command, LPARAM control) {
    GeneralDialog* dialog = DialogOf(page);
    if (!control || !dialog) return FALSE;
    PageWindow window(page);
    dialog->StoreControlChanges(window, window);
    if (LOWORD(command) == IDC_DK_DELAY && HIWORD(command) == EN_KILLFOCUS)
        dialog->LeaveDelayField(window);
    return TRUE;
}

BOOL OnNotify(HWND page, const NMHDR* header) {
    GeneralDialog* dialog = DialogOf(page);
    if (!dialog || !header) return TRUE;
    PageWindow window(page);
    switch (header->code) {
    case PSN_SETACTIVE:
        Trace().Trace("DozeKit: GeneralDlgProc: PSN_SETACTIVE - nothing much");
        return TRUE;
    case PSN_KILLACTIVE:
        Trace().Trace("DozeKit: GeneralDlgProc: PSN_KILLACTIVE - Validating. Everything is OK");
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
    case PSN_APPLY:
        Trace().Trace("DozeKit: GeneralDlgProc: PSN_APPLY - remembering current values");
        dialog->Apply(window);
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    case PSN_RESET:
        Trace().Trace("DozeKit: GeneralDlgProc: PSN_RESET - reverting back");
        dialog->Reset(window);
        return TRUE;
    default: return FALSE;
    }
}

BOOL OnHelp(const HELPINFO* info) {
    Trace().Trace("DozeKit: GeneralDlgProc: WM_HELP");
    if (info)
        CallWinHelp(static_cast<HWND>(info->hItemHandle), info->iCtrlId == IDC_DK_ACTIVE_CONFIG,
                    HELP_WM_HELP, kGeneralPageHelp.data());
    return TRUE;
}

BOOL OnContextMenu(HWND page, HWND clicked) {
    Trace().Trace("DozeKit: GeneralDlgProc: WM_CONTEXTMENU");
    CallWinHelp(clicked, clicked == ::GetDlgItem(page, IDC_DK_ACTIVE_CONFIG), HELP_CONTEXTMENU,
                kGeneralPageHelp.data());
    return TRUE;
}

}  // namespace

int DetectSystemAgent() {
    int detected = 0;
    const auto detect = [&detected](DetectProc proc) { detected = proc(); };
    const auto library = LoadKitString(IDS_DK_AGENT_LIBRARY);
    const auto entry = LoadKitString(IDS_DK_AGENT_DETECT);
    if (library && entry) WithEntry<DetectProc>(*library, *entry, detect);
    WithEntry<DetectProc>(kEdgewakeLibrary, kEdgewakeDetect, detect);
    return detected;
}

namespace {

INT_PTR DispatchPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page, lParam);
    case WM_COMMAND: return OnCommand(page, wParam, lParam);
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_HELP: return OnHelp(reinterpret_cast<const HELPINFO*>(lParam));
    case WM_CONTEXTMENU: return OnContextMenu(page, reinterpret_cast<HWND>(wParam));
    case WM_DESTROY: Trace().Trace("DozeKit: GeneralDlgProc: WM_DESTROY - tidying up"); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

// No exception may pass through the system's dialog code: a step that
// finds no memory is left undone.
INT_PTR CALLBACK GeneralDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return DispatchPageMessage(page, message, wParam, lParam);
    } catch (const std::exception&) {
        return FALSE;
    }
}

}  // namespace kit::win32

using namespace kit::win32;

BOOL WINAPI ScrHelp(HWND control, UINT command, DWORD context) {
    EnsureStarted();
    Trace().Trace("DozeKit: calling ScrHelp");
    const DWORD table[4] = {static_cast<DWORD>(::GetDlgCtrlID(control)), context, 0, 0};
    return CallWinHelp(control, context == IDH_DK_ACTIVE_CONFIG, command, table);
}

// Dialog 107, "Redira screensaver": the saver's settings. It opens small,
// as an information box; once the built-in set has been completed it
// offers "&More >>", which shows the choice of pictures, the folder and
// the difficulty below.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win32/system_library.h"
#include "puzzle/core/progress_store.h"
#include "puzzle/core/settings_rules.h"
#include "puzzle/core/status_text.h"
#include "puzzle/win32/registry_store.h"
#include "puzzle/win32/saver_dialogs.h"
#include "puzzle/win32/saver_environment.h"
#include "puzzle/win32/saver_pictures.h"
#include "puzzle/win32/saver_process.h"
#include "resources/redira_res.h"

namespace puzzle {

namespace {

// Sent by the dialog to itself.
constexpr UINT kCollapse = WM_APP + 0x100;
constexpr UINT kExpand = WM_APP + 0x101;

constexpr int kFolderCapacity = 260;
constexpr char kBrowseTitle[] = "Directory with your own images:";

// The controls shown only while own pictures are chosen.
constexpr int kOwnPictureControls[] = {IDC_SET_FOLDER, IDC_SET_BROWSE, IDC_SET_DIFFICULTY,
                                       IDC_SET_DIFFICULTY_LABEL};

// Everything the dialog works with, alive while it is shown.
struct SettingsDialog {
    explicit SettingsDialog(const BoardServices& boardServices)
        : services(boardServices), settings(boardServices) {}

    BoardServices services;
    ProgressStore settings;  // as they were when the dialog opened
    bool expanded = true;
    bool folderBrowsed = false;
    int fullHeight = 0;
    int shift = 0;                 // from the "&More >>" row down to OK's row
    std::vector<HWND> outOfSight;  // hidden while collapsed
};

SettingsDialog* Record(HWND dialog) {
    return reinterpret_cast<SettingsDialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

RECT ScreenRect(HWND dialog, int id) {
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    return rect;
}

void MoveControlDown(HWND dialog, int id, int by) {
    RECT rect = ScreenRect(dialog, id);
    POINT topLeft{rect.left, rect.top};
    ::ScreenToClient(dialog, &topLeft);
    ::SetWindowPos(::GetDlgItem(dialog, id), nullptr, topLeft.x, topLeft.y + by, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Resize(HWND dialog, int height) {
    RECT rect{};
    ::GetWindowRect(dialog, &rect);
    ::SetWindowPos(dialog, nullptr, 0, 0, rect.right - rect.left, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int SliderPosition(HWND dialog) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, IDC_SET_DIFFICULTY, TBM_GETPOS, 0, 0));
}

std::string FolderText(HWND dialog) {
    char folder[kFolderCapacity + 1] = "";
    ::GetDlgItemTextA(dialog, IDC_SET_FOLDER, folder, sizeof folder);
    return folder;
}

INT_PTR OnInitDialog(HWND dialog, SettingsDialog& record) {
    ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&record));
    ProgressStore& settings = record.settings;

    settings.RefreshDifficulty();
    ::SetDlgItemTextA(dialog, IDC_SET_FOLDER, settings.RefreshOwnDir().c_str());

    const DifficultyRange range = SliderRange(settings.TopHard());
    ::SendDlgItemMessageA(dialog, IDC_SET_DIFFICULTY, TBM_SETRANGE, FALSE,
                          MAKELPARAM(range.lowest, range.highest));
    ::SendDlgItemMessageA(dialog, IDC_SET_DIFFICULTY, TBM_SETPOS, TRUE, settings.Hard());
    ::SendMessageA(dialog, WM_HSCROLL, 0, 0);

    // The extra options are a reward for completing the built-in set.
    const bool completed = settings.RefreshTimesAtEnd(StoreKeyChoice::Base) != 0;
    const HWND more = ::GetDlgItem(dialog, IDC_SET_MORE);
    ::EnableWindow(more, completed);
    ::ShowWindow(more, completed ? SW_SHOW : SW_HIDE);

    const bool own = settings.RefreshUseOwnPics();
    ::CheckRadioButton(dialog, IDC_SET_ORIGINAL, IDC_SET_OWN, own ? IDC_SET_OWN : IDC_SET_ORIGINAL);
    ::SendMessageA(dialog, WM_COMMAND, IDC_SET_OWN, 0);

    RECT window{};
    ::GetWindowRect(dialog, &window);
    record.fullHeight = window.bottom - window.top;
    record.shift = ScreenRect(dialog, IDOK).bottom - ScreenRect(dialog, IDC_SET_MORE).bottom;
    ::SendMessageA(dialog, kCollapse, 0, 0);
    return TRUE;
}

// The controls below the collapsed dialog's edge are hidden as well, so
// that the keyboard cannot reach what cannot be seen.
void HideControlsOutOfSight(HWND dialog, SettingsDialog& record) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        POINT top{rect.left, rect.top};
        ::ScreenToClient(dialog, &top);
        // (By its own style: the dialog itself is not shown yet at first.)
        const bool shown = (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
        if (top.y >= client.bottom && shown) {
            ::ShowWindow(control, SW_HIDE);
            record.outOfSight.push_back(control);
        }
    }
}

void Collapse(HWND dialog, SettingsDialog& record) {
    if (!record.expanded) return;
    Resize(dialog, record.fullHeight - record.shift);
    ::SetDlgItemTextA(dialog, IDC_SET_MORE, "&More >>");
    MoveControlDown(dialog, IDOK, -record.shift);
    HideControlsOutOfSight(dialog, record);
    record.expanded = false;
}

void Expand(HWND dialog, SettingsDialog& record) {
    if (record.expanded) return;
    Resize(dialog, record.fullHeight);
    for (HWND control : record.outOfSight) ::ShowWindow(control, SW_SHOW);
    record.outOfSight.clear();
    // Once open, the dialog stays open.
    const HWND more = ::GetDlgItem(dialog, IDC_SET_MORE);
    ::SetWindowTextA(more, "&Less <<");
    ::EnableWindow(more, FALSE);
    ::ShowWindow(more, SW_HIDE);
    const HWND ok = ::GetDlgItem(dialog, IDOK);
    ::SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
    ::SendMessageA(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
    MoveControlDown(dialog, IDOK, record.shift);
    record.expanded = true;
}

void EnableOwnPictureControls(HWND dialog) {
    const bool own = ::IsDlgButtonChecked(dialog, IDC_SET_OWN) == BST_CHECKED;
    for (int id : kOwnPictureControls) ::EnableWindow(::GetDlgItem(dialog, id), own);
}

void BrowseForFolder(HWND dialog, SettingsDialog& record) {
    char name[MAX_PATH] = "";
    BROWSEINFOA browse{};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = name;
    browse.lpszTitle = kBrowseTitle;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    using Browse = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOA);
    using PathOf = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);
    using Free = void(WINAPI*)(LPVOID);
    const auto browseForFolder = win32::SystemFunction<Browse>("shell32.dll", "SHBrowseForFolderA");
    const auto pathOf = win32::SystemFunction<PathOf>("shell32.dll", "SHGetPathFromIDListA");
    const auto free = win32::SystemFunction<Free>("ole32.dll", "CoTaskMemFree");
    if (!browseForFolder || !pathOf || !free) return;
    LPITEMIDLIST chosen = browseForFolder(&browse);
    if (!chosen) return;
    char path[MAX_PATH] = "";
    if (pathOf(chosen, path)) {
        ::SetDlgItemTextA(dialog, IDC_SET_FOLDER, path);
        record.folderBrowsed = true;
    }
    free(chosen);
}

void Apply(HWND dialog, const SettingsDialog& record) {
    SettingsChoice choice;
    choice.ownPictures = ::IsDlgButtonChecked(dialog, IDC_SET_OWN) == BST_CHECKED;
    choice.folder = FolderText(dialog);
    choice.folderBrowsed = record.folderBrowsed;
    choice.difficulty = SliderPosition(dialog);
    ApplySettings(record.services, choice);
}

INT_PTR OnCommand(HWND dialog, SettingsDialog& record, int id) {
    switch (id) {
    case IDC_SET_MORE: ::SendMessageA(dialog, record.expanded ? kCollapse : kExpand, 0, 0); break;
    case IDC_SET_ORIGINAL:
    case IDC_SET_OWN: EnableOwnPictureControls(dialog); break;
    case IDC_SET_BROWSE: BrowseForFolder(dialog, record); break;
    case IDOK:
        Apply(dialog, record);
        ::EndDialog(dialog, IDOK);
        break;
    case IDCANCEL: ::EndDialog(dialog, IDCANCEL); break;
    default: return FALSE;
    }
    return TRUE;
}

INT_PTR OnHScroll(HWND dialog) {
    ::SetDlgItemTextA(dialog, IDC_SET_DIFFICULTY_LABEL,
                      DifficultyLabel(SliderPosition(dialog)).c_str());
    return TRUE;
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog(dialog, *reinterpret_cast<SettingsDialog*>(lParam));
    SettingsDialog* record = Record(dialog);
    if (!record) return FALSE;
    switch (message) {
    case WM_COMMAND: return OnCommand(dialog, *record, LOWORD(wParam));
    case WM_HSCROLL: return OnHScroll(dialog);
    case kCollapse: Collapse(dialog, *record); return TRUE;
    case kExpand: Expand(dialog, *record); return TRUE;
    default: return FALSE;
    }
}

// COM for the folder browser, for as long as the dialog is up.
class ComScope {
public:
    ComScope() {
        using Initialize = HRESULT(WINAPI*)(LPVOID, DWORD);
        const auto initialize = win32::SystemFunction<Initialize>("ole32.dll", "CoInitializeEx");
        uninitialize_ = win32::SystemFunction<Uninitialize>("ole32.dll", "CoUninitialize");
        initialized_ =
            initialize && uninitialize_ && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    }
    ~ComScope() {
        if (initialized_) uninitialize_();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    using Uninitialize = void(WINAPI*)();
    Uninitialize uninitialize_ = nullptr;
    bool initialized_ = false;
};

}  // namespace

int CALLBACK PuzzleConfig(HWND host, LPPROPSHEETHEADERA, BOOL) {
    win32::InitCommonControlsOnDemand(ICC_BAR_CLASSES);
    const ComScope com;

    const SaverProcess& process = Process();
    RegistryStore store;
    Win32Environment environment(process.instance);
    SaverPictures pictures(process.instance, process.load, nullptr);
    TickClock clock;
    SettingsDialog record(BoardServices{store, environment, pictures, clock});
    const INT_PTR result = ::DialogBoxParamA(process.instance, MAKEINTRESOURCEA(IDD_SETTINGS), host,
                                             SettingsProc, reinterpret_cast<LPARAM>(&record));
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace puzzle

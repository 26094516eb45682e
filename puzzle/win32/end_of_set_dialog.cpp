// Dialog 104, "The End": shown when the last picture of the set is solved.
#include "puzzle/core/settings_rules.h"
#include "puzzle/core/status_text.h"
#include "puzzle/win32/saver_dialogs.h"
#include "resources/redira_res.h"

namespace puzzle {

namespace {

// What the dialog works with, alive while it is shown.
struct EndOfSet {
    ProgressStore& progress;
    int hard;  // of the board just solved
};

EndOfSet* Record(HWND dialog) {
    return reinterpret_cast<EndOfSet*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR OnInitDialog(HWND dialog, EndOfSet& record) {
    ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&record));
    const ProgressStore& progress = record.progress;
    ::SetDlgItemTextA(dialog, IDC_END_CLICKS, ClicksTakenText(progress.GameClicks()).c_str());
    ::SetDlgItemTextA(dialog, IDC_END_TIME, DurationText(progress.GameTime()).c_str());
    // The last picture's number is the size of the set.
    ::SetDlgItemTextA(dialog, IDC_END_COMPLETED, CompletedText(progress.CurrentPic()).c_str());
    ::CheckRadioButton(dialog, IDC_END_EASY, IDC_END_HARDER, IDC_END_HARDER);
    return TRUE;
}

NextPass ChosenPass(HWND dialog) {
    if (::IsDlgButtonChecked(dialog, IDC_END_EASY) == BST_CHECKED) return NextPass::AsEasyAsAtFirst;
    if (::IsDlgButtonChecked(dialog, IDC_END_HARDER) == BST_CHECKED)
        return NextPass::ABitMoreDifficult;
    return NextPass::JustAsHard;
}

INT_PTR OnCommand(HWND dialog, int id) {
    if (id == IDOK) {
        if (EndOfSet* record = Record(dialog))
            record->progress.SaveNextHard(NextPassDifficulty(ChosenPass(dialog), record->hard,
                                                             record->progress.DefaultHard()));
    }
    // Escape and the close box store nothing: an earlier choice stays.
    if (id == IDOK || id == IDCANCEL) ::EndDialog(dialog, id);
    return TRUE;
}

INT_PTR CALLBACK EndOfSetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, *reinterpret_cast<EndOfSet*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
    }
}

}  // namespace

int RunEndOfSetDialog(HINSTANCE instance, HWND owner, ProgressStore& progress, int hard) {
    EndOfSet record{progress, hard};
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_END_OF_SET), owner,
                                              EndOfSetProc, reinterpret_cast<LPARAM>(&record)));
}

}  // namespace puzzle

// Dialog 104, "The End": shown when the last picture of the set is solved.
#include "puzzle/core/settings_rules.h"
#include "puzzle/core/status_text.h"
#include "puzzle/win32/saver_dialogs.h"
#include "resources/redira_res.h"

namespace puzzle {

namespace {

PuzzleBoard* DialogBoard(HWND dialog) {
    return reinterpret_cast<PuzzleBoard*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR OnInitDialog(HWND dialog, PuzzleBoard& board) {
    ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&board));
    ::SetDlgItemTextA(dialog, IDC_END_CLICKS, ClicksTakenText(board.GameClicks()).c_str());
    ::SetDlgItemTextA(dialog, IDC_END_TIME, DurationText(board.GameTime()).c_str());
    // The last picture's number is the size of the set.
    ::SetDlgItemTextA(dialog, IDC_END_COMPLETED, CompletedText(board.CurrentPic()).c_str());
    ::CheckRadioButton(dialog, IDC_END_EASY, IDC_END_HARDER, IDC_END_HARDER);
    return TRUE;
}

NextPass ChosenPass(HWND dialog) {
    if (::IsDlgButtonChecked(dialog, IDC_END_EASY) == BST_CHECKED) return NextPass::AsEasyAsAtFirst;
    if (::IsDlgButtonChecked(dialog, IDC_END_HARDER) == BST_CHECKED) return NextPass::ABitMoreDifficult;
    return NextPass::JustAsHard;
}

INT_PTR OnCommand(HWND dialog, int id) {
    if (id == IDOK) {
        if (PuzzleBoard* board = DialogBoard(dialog))
            board->SaveNextHard(NextPassDifficulty(ChosenPass(dialog), board->Hard(), board->DefaultHard()));
    }
    // Escape and the close box store nothing: an earlier choice stays.
    if (id == IDOK || id == IDCANCEL) ::EndDialog(dialog, id);
    return TRUE;
}

INT_PTR CALLBACK EndOfSetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, *reinterpret_cast<PuzzleBoard*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
    }
}

}  // namespace

int RunEndOfSetDialog(HINSTANCE instance, HWND owner, PuzzleBoard& board) {
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_END_OF_SET), owner,
                                              EndOfSetProc, reinterpret_cast<LPARAM>(&board)));
}

}  // namespace puzzle

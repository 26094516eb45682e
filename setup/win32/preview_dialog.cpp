#include "setup/win32/preview_dialog.h"

#include <cstring>

#include "common/win32/guards.h"
#include "setup/core/preview_template.h"

namespace setup {
namespace {

struct PreviewRun {
    const std::string& path;
    const std::string& status;
    bool startSaver;
};

// The rectangle paints itself black; what the saver draws comes from its
// own window, a child of the rectangle. The previous procedure is kept in
// the rectangle's user data.
LRESULT CALLBACK RectangleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT: {
        win32::PaintDc paint(window);
        const auto black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        ::FillRect(paint.Get(), &paint.Info().rcPaint, black);
        return 0;
    }
    case WM_DESTROY:
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        break;
    }
    return ::CallWindowProcA(previous, window, message, wParam, lParam);
}

// The saver's preview mode makes its window a child of `rectangle`. A
// failed start is not reported: the rectangle stays black.
void StartPreview(const std::string& path, HWND rectangle) {
    std::string commandLine =
        "\"" + path + "\" /p " +
        std::to_string(static_cast<int>(reinterpret_cast<INT_PTR>(rectangle)));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          IDLE_PRIORITY_CLASS, nullptr, nullptr, &startup, &process))
        return;
    win32::UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
}

INT_PTR OnInitDialog(HWND dialog, const PreviewRun& run) {
    ::SetDlgItemTextA(dialog, kPreviewOkId, "OK");
    ::SetDlgItemTextA(dialog, kPreviewStatusId, run.status.c_str());
    HWND rectangle = ::GetDlgItem(dialog, kPreviewRectangleId);
    ::SetWindowLongPtrA(rectangle, GWLP_USERDATA, ::GetWindowLongPtrA(rectangle, GWLP_WNDPROC));
    ::SetWindowLongPtrA(rectangle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RectangleProc));
    if (run.startSaver) StartPreview(run.path, rectangle);
    return TRUE;
}

// OK and Esc close the saver's preview window first; the installer does
// not wait for the saver's process to end.
INT_PTR OnCommand(HWND dialog, int id) {
    if (id != kPreviewOkId && id != kPreviewStatusId) return FALSE;
    HWND rectangle = ::GetDlgItem(dialog, kPreviewRectangleId);
    if (HWND preview = ::GetWindow(rectangle, GW_CHILD)) {
        // Not a plain send: a saver that hangs must not hang the installer.
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(preview, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    if (HWND preview = ::GetWindow(rectangle, GW_CHILD)) ::DestroyWindow(preview);
    ::EndDialog(dialog, id);
    return TRUE;
}

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, *reinterpret_cast<const PreviewRun*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
    }
}

}  // namespace

void RunPreviewDialog(HINSTANCE instance, HWND owner, const std::string& path,
                      const std::string& status, bool startSaver) {
    // The dialog manager reads the template from DWORD-aligned memory.
    const auto bytes = PreviewDialogTemplate();
    DWORD aligned[kPreviewTemplateSize / sizeof(DWORD)];
    std::memcpy(aligned, bytes.data(), bytes.size());
    const PreviewRun run{path, status, startSaver};
    ::DialogBoxIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(aligned), owner,
                              PreviewProc, reinterpret_cast<LPARAM>(&run));
}

}  // namespace setup

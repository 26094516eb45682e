// The password check before a full-screen saver closes, and the password
// change mode. The system's components that ask for and change the
// password are loaded by name at each use and released at once.
#include "common/win32/guards.h"
#include "kit/core/user_settings.h"
#include "kit/win32/kit_internal.h"
#include "resources/dozekit_res.h"

namespace kit::win32 {
namespace {

using VerifyPasswordProc = BOOL(WINAPI*)(HWND owner);
using ChangePasswordProc = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD, LPVOID);

template <typename Proc>
Proc FindEntry(HMODULE library, const std::string& name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(library, name.c_str())));
}

}  // namespace

bool NeedPassword() {
    const RuntimeState& runtime = Kit().runtime;
    return kit::NeedPassword(::GetTickCount(), runtime.startTime, runtime.passwordDelay,
                             UserRegistry(), KitStrings(), Trace());
}

int DoVerifyPwDialog(HWND window) {
    Diagnostics& trace = Trace();
    trace.Trace("DoVerifyPwDialog: using Master Password Router");
    const auto libraryName = LoadKitString(IDS_DK_VERIFYPW_LIBRARY);
    if (!libraryName) {
        trace.Trace("DoVerifyPwDialog: failed to load pwdprovidername string. Aborting");
        return IDOK;
    }
    ::win32::UniqueLibrary library(::LoadLibraryA(libraryName->c_str()));
    if (!library) {
        trace.Trace("DoVerifyPwDialog: unable to load pwdprovider library. Aborting");
        return IDOK;
    }
    const auto entryName = LoadKitString(IDS_DK_VERIFYPW_ENTRY);
    if (!entryName) {
        library.Reset();
        trace.Trace("DoVerifyPwDialog: failed to load 'verifypw' string. Aborting");
        return IDOK;
    }
    const auto verify = FindEntry<VerifyPasswordProc>(library.Get(), *entryName);
    if (!verify) {
        library.Reset();
        trace.Trace("DoVerifyPwDialog: could not get verifypw proc address. Aborting");
        return IDOK;
    }
    ::ShowCursor(TRUE);
    trace.Trace("DoVerifyPwDialog: about to do VerifyScreenSavePwd...");
    const BOOL mayClose = verify(window);
    ::ShowCursor(FALSE);
    library.Reset();
    if (mayClose) {
        trace.Trace("DoVerifyPwDialog: verifypwd returned TRUE!. Returing IDOK");
        return IDOK;
    }
    trace.Trace("DoVerifyPwDialog: verifypwd returned FALSE. Returning IDCANCEL");
    return IDCANCEL;
}

int DoChangePwDialog(HWND parent) {
    if (Kit().prefs.Current().fNeverRequirePassword) {
        const std::string text =
            LoadKitString(IDS_DK_NEVER_PASSWORD).value_or("Cannot change password");
        return ::MessageBoxA(parent, text.c_str(), "Password", MB_OK);
    }
    const auto libraryName = LoadKitString(IDS_DK_CHANGEPW_LIBRARY);
    if (!libraryName) return SCR_EXITCODE;
    ::win32::UniqueLibrary library(::LoadLibraryA(libraryName->c_str()));
    if (!library) return SCR_EXITCODE;
    const auto entryName = LoadKitString(IDS_DK_CHANGEPW_ENTRY);
    if (!entryName) return SCR_EXITCODE;
    const auto change = FindEntry<ChangePasswordProc>(library.Get(), *entryName);
    if (!change) return SCR_EXITCODE;
    const auto provider = LoadKitString(IDS_DK_CHANGEPW_PROVIDER);
    if (!provider) return SCR_EXITCODE;
    change(provider->c_str(), parent, 0, nullptr);
    return 1;
}

}  // namespace kit::win32

// The in-process server that gives the Display Properties control panel
// Edgewake's page: one class (the fixed identifier of the registration),
// a property-sheet extension adding the page 107, which applies as the
// settings dialog's OK does. Every object handed out and every page
// alive is counted, and so are the server's locks, so that
// DllCanUnloadNow answers truthfully.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>
#include <new>

#include "hotcorners/win32/edgewake.h"
#include "hotcorners/win32/settings_panel.h"
#include "resources/edgewake_res.h"

namespace edgewake {
namespace {

// {6F1C2B7E-3D54-4A8B-9E21-5C7D0A4F93B6}, as hotcorners::kClassId spells it.
constexpr CLSID kPageClass = {
    0x6F1C2B7E, 0x3D54, 0x4A8B, {0x9E, 0x21, 0x5C, 0x7D, 0x0A, 0x4F, 0x93, 0xB6}};

LONG g_objects = 0;  // factories, extensions and pages alive
LONG g_locks = 0;    // IClassFactory::LockServer

// One page of a sheet, from its creation until the sheet releases it.
struct PageState {
    PageState() { ::InterlockedIncrement(&g_objects); }
    ~PageState() { ::InterlockedDecrement(&g_objects); }
    PageState(const PageState&) = delete;
    PageState& operator=(const PageState&) = delete;

    std::unique_ptr<MonitorClassesInUse> monitors;
    std::unique_ptr<SettingsPanel> panel;
};

PageState* StateOf(HWND page) {
    return reinterpret_cast<PageState*>(::GetWindowLongPtrA(page, DWLP_USER));
}

BOOL OnPageNotify(HWND page, PageState* state, const NMHDR* header) {
    switch (header->code) {
    case PSN_KILLACTIVE: ::SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE); return TRUE;
    case PSN_APPLY:
        // Cancelling the uninstall question keeps the page open, changed.
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT,
                            state->panel->Apply(::GetParent(page), false)
                                ? PSNRET_NOERROR
                                : PSNRET_INVALID_NOCHANGEPAGE);
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    PageState* state = message == WM_INITDIALOG ? nullptr : StateOf(page);
    switch (message) {
    case WM_INITDIALOG: {
        const auto* entry = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        state = entry ? reinterpret_cast<PageState*>(entry->lParam) : nullptr;
        if (!state) return TRUE;
        ::SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        state->panel = std::make_unique<SettingsPanel>(page);
        state->panel->Open(hotcorners::SettingsMode::Normal);
        return TRUE;
    }
    case WM_COMMAND:
        if (state && state->panel && state->panel->OnCommand(wParam))
            PropSheet_Changed(::GetParent(page), page);
        return TRUE;
    case WM_TIMER:
        if (state && state->panel && wParam == SettingsPanel::kStatusTimer)
            state->panel->ShowServiceStatus();
        return TRUE;
    case WM_NOTIFY:
        if (!state || !state->panel || !lParam) return FALSE;
        return OnPageNotify(page, state, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
        ::KillTimer(page, SettingsPanel::kStatusTimer);
        if (state) state->panel.reset();
        return TRUE;
    default: return FALSE;
    }
}

// The monitor control's classes are there from just before the page's
// window is made until the sheet lets the page go.
UINT CALLBACK PageCallback(HWND, UINT message, LPPROPSHEETPAGEA entry) {
    auto* state = entry ? reinterpret_cast<PageState*>(entry->lParam) : nullptr;
    if (!state) return 1;
    if (message == PSPCB_CREATE) {
        if (!state->monitors) state->monitors = std::make_unique<MonitorClassesInUse>();
    } else if (message == PSPCB_RELEASE) {
        delete state;
    }
    return 1;
}

// What every object the server hands out shares: its reference count, and
// its place among the objects alive.
template <class... Interfaces>
class CountedObject : public Interfaces... {
public:
    CountedObject() { ::InterlockedIncrement(&g_objects); }
    virtual ~CountedObject() { ::InterlockedDecrement(&g_objects); }
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;

    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&refs_));
    }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = ::InterlockedDecrement(&refs_);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

private:
    LONG refs_ = 1;
};

class PageExtension : public CountedObject<IShellExtInit, IShellPropSheetExt> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit))
            *object = static_cast<IShellExtInit*>(this);
        else if (IsEqualIID(iid, IID_IShellPropSheetExt))
            *object = static_cast<IShellPropSheetExt*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    // The control panel's folder and selection say nothing the page needs.
    STDMETHODIMP Initialize(LPCITEMIDLIST, IDataObject*, HKEY) override { return S_OK; }

    STDMETHODIMP AddPages(LPFNADDPROPSHEETPAGE add, LPARAM sheet) override {
        if (!add) return E_INVALIDARG;
        auto* state = new (std::nothrow) PageState;
        if (!state) return E_OUTOFMEMORY;
        PROPSHEETPAGEA entry{};
        entry.dwSize = sizeof entry;
        entry.dwFlags = PSP_USECALLBACK;
        entry.hInstance = Module();
        entry.pszTemplate = MAKEINTRESOURCEA(IDD_EW_PAGE);
        entry.pfnDlgProc = PageProc;
        entry.lParam = reinterpret_cast<LPARAM>(state);
        entry.pfnCallback = PageCallback;
        HPROPSHEETPAGE page = ::CreatePropertySheetPageA(&entry);
        if (!page) {
            delete state;
            return E_FAIL;
        }
        // A page the sheet does not take is destroyed, which releases it.
        if (!add(page, sheet)) ::DestroyPropertySheetPage(page);
        return S_OK;
    }
    STDMETHODIMP ReplacePage(UINT, LPFNADDPROPSHEETPAGE, LPARAM) override { return E_NOTIMPL; }
};

class PageFactory : public CountedObject<IClassFactory> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* extension = new (std::nothrow) PageExtension;
        if (!extension) return E_OUTOFMEMORY;
        const HRESULT result = extension->QueryInterface(iid, object);
        extension->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            ::InterlockedIncrement(&g_locks);
        else
            ::InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

}  // namespace
}  // namespace edgewake

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, edgewake::kPageClass)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) edgewake::PageFactory;
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return edgewake::g_objects == 0 && edgewake::g_locks == 0 ? S_OK : S_FALSE;
}

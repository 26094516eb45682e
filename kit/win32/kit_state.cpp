// The kit's process-wide state, its start-up and teardown, its texts, the
// registry as the core sees it, and the preference calls of the client
// interface.
#include <new>
#include <vector>

#include "common/win32/guards.h"
#include "kit/core/user_settings.h"
#include "kit/core/version.h"
#include "kit/win32/current_user_registry.h"
#include "kit/win32/kit_internal.h"
#include "resources/dozekit_res.h"

namespace kit::win32 {
namespace {

// Trace lines go to the debugger, boxes to the screen.
class SystemSink : public DiagnosticSink {
public:
    void Write(const std::string& line) override { ::OutputDebugStringA(line.c_str()); }
    void ShowBox(std::uintptr_t owner, const std::string& text,
                 const std::string& caption) override {
        ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), MB_OK);
    }
};

class ResourceStrings : public StringTable {
public:
    std::optional<std::string> Load(int id) const override { return LoadKitString(id); }
};

class WritableUserKey : public WritableRegistryKey {
public:
    explicit WritableUserKey(HKEY key) : key_(key) {}
    void SetNumber(const std::string& name, std::uint32_t value) override {
        const DWORD number = value;
        ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    void SetText(const std::string& name, const std::vector<std::uint8_t>& bytes) override {
        ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ, bytes.data(),
                         static_cast<DWORD>(bytes.size()));
    }

private:
    ::win32::UniqueRegKey key_;
};

class UserRegistryWriterImpl : public RegistryWriter {
public:
    std::unique_ptr<WritableRegistryKey> CreateCurrentUser(const std::string& subkey) override {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<WritableUserKey>(key);
    }
};

struct Process {
    KitState state;
    SystemSink systemSink;
    Diagnostics diagnostics{state.prefs.Current(), &systemSink};
    ResourceStrings strings;
    CurrentUserRegistry registry;
    UserRegistryWriterImpl writer;
};

// Never destroyed: timer threads that outlive ScrMain may still trace
// while the program's static objects go away.
Process& TheProcess() {
    static Process* const process = new Process;
    return *process;
}

std::optional<std::string> LoadFrom(HMODULE module, int id, int capacity) {
    if (!module || capacity < 2) return std::nullopt;
    std::vector<char> buffer(static_cast<std::size_t>(capacity));
    const int length = ::LoadStringA(module, static_cast<UINT>(id), buffer.data(), capacity);
    if (length <= 0) return std::nullopt;
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// The kit carries the monitor control with its own resources.
MonitorSetup KitMonitorSetup(HMODULE module) {
    MonitorSetup setup;
    setup.module = module;
    setup.ids.rowTexts = {IDS_DK_CORNER_DEFAULT, IDS_DK_CORNER_NOW, IDS_DK_CORNER_NEVER};
    setup.ids.anchorText = IDS_DK_MONITOR_ANCHORS;
    setup.ids.monitorBitmap = IDB_DK_MONITOR;
    setup.ids.cornerBitmaps = {IDB_DK_CORNER_DEFAULT, IDB_DK_CORNER_NOW, IDB_DK_CORNER_NEVER};
    setup.ids.warningCaption = IDS_DK_WARNING;
    setup.ids.warningText = IDS_DK_NEED_CORNER_SERVICE;
    setup.diagnostics = &Trace();
    setup.stopPreviewTimer = ScrStopTimer;
    return setup;
}

}  // namespace

KitState& Kit() { return TheProcess().state; }
Diagnostics& Trace() { return TheProcess().diagnostics; }
const StringTable& KitStrings() { return TheProcess().strings; }
const Registry& UserRegistry() { return TheProcess().registry; }
RegistryWriter& UserRegistryWriter() { return TheProcess().writer; }

void EnsureStarted() {
    KitState& kit = Kit();
    if (kit.initialized || kit.resourceModule) return;
    kit.resourceModule = ::GetModuleHandleA(nullptr);
    kit.initialized = true;
    kit.prefs.ApplyDefaultsOnce();
    // What registration answers is not checked: a saver runs without the
    // control.
    kit.monitors = std::make_unique<MonitorControls>(KitMonitorSetup(kit.resourceModule));
    RegisterMonitorClasses(*kit.monitors);
}

void CloseProcess() {
    KitState& kit = Kit();
    Trace().Trace("DozeKit: closing process...");
    if (!kit.initialized) {
        Trace().Trace("nothing to close!");
        return;
    }
    kit.monitors.reset();
    kit.initialized = false;
    UnregisterMonitorClasses(kit.resourceModule, Trace());
}

std::optional<std::string> LoadKitString(int id, int capacity) {
    return LoadFrom(Kit().resourceModule, id, capacity);
}

std::optional<std::string> LoadClientString(int id, int capacity) {
    if (auto text = LoadFrom(Kit().clientInstance, id, capacity)) return text;
    return LoadKitString(id, capacity);
}

void SetDiagnosticSinkForTests(DiagnosticSink* sink) {
    TheProcess().diagnostics.SetSink(sink ? sink : &TheProcess().systemSink);
}

void SetWinHelpForTests(WinHelpProc winHelp) { Kit().winHelp = winHelp ? winHelp : ::WinHelpA; }

}  // namespace kit::win32

using namespace kit::win32;

LPSCRPREFS WINAPI ScrGetPrefs(void) {
    EnsureStarted();
    KitState& kit = Kit();
    kit.prefs.ApplyDefaultsOnce();
    auto* record = new (std::nothrow) SCRPREFS(kit.prefs.Copy());
    if (record) kit.prefsRecords.insert(record);
    return record;
}

void WINAPI ScrSetPrefs(LPSCRPREFS prefs) {
    EnsureStarted();
    KitState& kit = Kit();
    if (kit.prefs.Install(prefs, kit.running, Trace()) != kit::Preferences::SetResult::Installed)
        return;
    // A record the kit did not give out stays with its owner.
    if (kit.prefsRecords.erase(prefs) != 0) delete prefs;
}

int WINAPI ScrGetVersion(LPSTR buffer, int capacity) {
    EnsureStarted();
    return kit::CopyVersionText(buffer, capacity);
}

void WINAPI ScrGetSettings(PrefsChangeBlock* block) {
    EnsureStarted();
    if (!block) return;
    const kit::UserSettings settings =
        kit::ReadUserSettings(UserRegistry(), KitStrings(), Kit().prefs.Current());
    kit::FillChangeBlock(settings, *block);
}

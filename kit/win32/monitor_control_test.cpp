// The monitor control: in this process (the kit starts at its first call
// and registers the classes from this program's resources), its size, its
// painting read back from the screen and its corner commands; in the test
// saver, run as a configuration, CreatePreview. (The hot-corner warning is
// tested in the configuration sheet, whose monitor control shows it.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "kit/win32/dozekit.h"
#include "kit/win32/kit_internal.h"
#include "kit/win32/testing/saver_run.h"
#include "resources/dozekit_res.h"

namespace {

using kittest::SaverRun;

constexpr COLORREF kBackground = RGB(0xC8, 0x64, 0x32);
constexpr int kControlId = 0x321;

std::uint32_t Rgb(COLORREF colour) {
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;  // 0xRRGGBB, top row first
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

Pixels ReadBitmap(HBITMAP bitmap, int width, int height) {
    Pixels pixels{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::win32::WindowDc screen;
    ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.rgb.data(), &info,
                DIB_RGB_COLORS);
    for (auto& pixel : pixels.rgb) pixel &= 0xFFFFFF;
    return pixels;
}

// One of the kit's pictures, as this program's resources hold it.
Pixels KitPicture(int id) {
    ::win32::UniqueBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    ::GetObjectA(bitmap.Get(), sizeof info, &info);
    return ReadBitmap(bitmap.Get(), info.bmWidth, info.bmHeight);
}

// What a window shows on the screen.
Pixels ReadWindow(HWND window, int width, int height) {
    ::win32::WindowDc dc(window);
    ::win32::UniqueMemoryDc memory(::CreateCompatibleDC(dc.Get()));
    ::win32::UniqueBitmap copy(::CreateCompatibleBitmap(dc.Get(), width, height));
    {
        const ::win32::Selection selected(memory.Get(), copy.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
    }
    return ReadBitmap(copy.Get(), width, height);
}

// The first pixel where the two differ, as "x,y: seen/expected"; empty when none.
std::string FirstDifference(const Pixels& seen, const Pixels& expected) {
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (seen.At(x, y) != expected.At(x, y)) {
                char text[80];
                std::snprintf(text, sizeof text, "%d,%d: %06x/%06x", x, y, seen.At(x, y),
                              expected.At(x, y));
                return text;
            }
    return {};
}

// A top-level window of one colour that records the WM_COMMANDs it gets.
class Parent {
public:
    Parent() { commands().clear(); }

    HWND Get() const { return window_.Get(); }
    HWND AddControl(DWORD style, int x, int y, int width, int height) {
        return ::CreateWindowExA(0, DOZEKIT_MONITOR_CLASS, "", WS_CHILD | WS_VISIBLE | style, x, y,
                                 width, height, Get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    }
    // Everything painted, the parent before its children.
    void Paint() const {
        ::RedrawWindow(Get(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    static std::vector<std::pair<WPARAM, LPARAM>>& commands() {
        static std::vector<std::pair<WPARAM, LPARAM>> received;
        return received;
    }

private:
    static HBRUSH Background() {
        static const HBRUSH brush = ::CreateSolidBrush(kBackground);
        return brush;
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND) commands().emplace_back(wParam, lParam);
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    kittest::HostWindow window_{
        "MonitorTestParentClass",
        600,
        300,
        {.procedure = Procedure, .background = Background(), .style = WS_POPUP}};
};

class MonitorControl : public testing::Test {
protected:
    void SetUp() override {
        ScrGetVersion(nullptr, 0);  // the kit starts and registers the classes
        ASSERT_TRUE(kit::win32::Kit().monitors);
        kit::win32::Kit().monitors->SetServiceDetected(true);  // no warning box here
        monitor = KitPicture(IDB_DK_MONITOR);
        size = {monitor.width / 2, monitor.height};
    }

    // The control as it must look: the parent's colour where the mask is
    // white, the picture elsewhere, the corner pictures for MS_CORNERS and
    // the desktop's colour on the screen of MS_PREVIEW.
    Pixels Expected(std::uint32_t style) const {
        Pixels expected{size.width, size.height, {}};
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                expected.rgb.push_back(monitor.At(x + size.width, y) == 0xFFFFFF
                                           ? Rgb(kBackground)
                                           : monitor.At(x, y));
        const kit::MonitorLayout& layout = kit::win32::Kit().monitors->Layout();
        auto fill = [&](const kit::Rect& place, auto colourAt) {
            for (int y = place.top; y < place.bottom; ++y)
                for (int x = place.left; x < place.right; ++x)
                    expected.rgb[std::size_t(y) * size.width + x] =
                        colourAt(x - place.left, y - place.top);
        };
        if (kit::MonitorKind(style) == MS_PREVIEW)
            fill(layout.screen, [](int, int) { return Rgb(::GetSysColor(COLOR_BACKGROUND)); });
        if (kit::MonitorKind(style) == MS_CORNERS) {
            const auto actions = kit::CornersFromStyle(style);
            for (int corner = 0; corner < 4; ++corner) {
                const Pixels picture =
                    KitPicture(IDB_DK_CORNER_DEFAULT + static_cast<int>(actions[corner]));
                fill(layout.corners[corner], [&](int x, int y) { return picture.At(x, y); });
            }
        }
        return expected;
    }

    Pixels monitor;
    kit::Size size;
};

// (The centring arithmetic: the core's test.)
TEST_F(MonitorControl, KeepsItsCentreAndTakesThePicturesSize) {
    ASSERT_EQ(size, (kit::Size{185, 170}));
    struct Case {
        int width, height, dx, dy;  // created; moved by
    };
    for (const Case& c : {Case{196, 181, 6, 5}, Case{1, 1, -92, -85}}) {
        Parent parent;
        HWND control = parent.AddControl(MS_PREVIEW, 40, 30, c.width, c.height);
        RECT bounds{};
        ::GetWindowRect(control, &bounds);
        ::MapWindowPoints(nullptr, parent.Get(), reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_EQ(bounds.left, 40 + c.dx) << c.width;
        EXPECT_EQ(bounds.top, 30 + c.dy) << c.width;
        EXPECT_EQ(bounds.right - bounds.left, size.width) << c.width;
        EXPECT_EQ(bounds.bottom - bounds.top, size.height) << c.width;

        // Its screen window covers the picture's screen, with the control's id.
        HWND screen = ::GetWindow(control, GW_CHILD);
        ASSERT_TRUE(screen);
        char title[32] = {};
        ::GetWindowTextA(screen, title, sizeof title);
        EXPECT_STREQ(title, "Monitor window");
        EXPECT_EQ(::GetDlgCtrlID(screen), kControlId);
        ::GetWindowRect(screen, &bounds);
        ::MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_EQ(bounds.left, 16);
        EXPECT_EQ(bounds.top, 17);
        EXPECT_EQ(bounds.right, 169);
        EXPECT_EQ(bounds.bottom, 130);
    }
}

TEST_F(MonitorControl, PaintsThePictureOverItsParentAndTheCornersItsStyleHolds) {
    const std::uint32_t styles[] = {
        MS_CORNERS | MS_CTOPRIGHTNOW | MS_CBOTLEFTNEV,
        MS_NOTHING | 0x0FF0,  // corners set but not drawn
        MS_PREVIEW,
    };
    for (const std::uint32_t style : styles) {
        Parent parent;
        HWND control = parent.AddControl(style, 200, 50, size.width, size.height);
        parent.Paint();
        EXPECT_EQ(FirstDifference(ReadWindow(control, size.width, size.height), Expected(style)),
                  "")
            << std::hex << style;
    }
}

TEST_F(MonitorControl, ACornerChoiceRewritesTheStyleRepaintsAndTellsTheParent) {
    struct Case {
        std::uint32_t style;
        WPARAM command;
        std::uint32_t written;
        bool told;
    };
    // (Which command ids are corner choices: the core's test.)
    const Case cases[] = {
        {0x52, 0x1002, 0x62, true},    // top-left Now -> Never
        {0x842, 0x1101, 0x842, true},  // top-right Now again: told all the same
        {0x52, 0x1403, 0x52, false},   // corner 4
    };
    for (const Case& c : cases) {
        Parent parent;
        HWND control = parent.AddControl(c.style, 200, 50, size.width, size.height);
        parent.Paint();
        ::SendMessageA(control, WM_COMMAND, c.command, 0);
        EXPECT_EQ(static_cast<std::uint32_t>(::GetWindowLongA(control, GWL_STYLE)),
                  WS_CHILD | WS_VISIBLE | c.written)
            << std::hex << c.command;
        const std::vector<std::pair<WPARAM, LPARAM>> told{
            {MAKEWPARAM(kControlId, 0), reinterpret_cast<LPARAM>(control)}};
        EXPECT_EQ(Parent::commands(), c.told ? told : decltype(told){}) << std::hex << c.command;
        EXPECT_EQ(
            FirstDifference(ReadWindow(control, size.width, size.height), Expected(c.written)), "")
            << std::hex << c.command;
    }
}

// Records diagnostics while debug output is on.
class DebugOutput {
public:
    class Recorder : public kit::DiagnosticSink {
    public:
        void Write(const std::string& line) override { lines.push_back("trace " + line); }
        void ShowBox(std::uintptr_t, const std::string& text, const std::string& caption) override {
            lines.push_back("box " + caption + ": " + text);
        }
        std::vector<std::string> lines;
    };

    explicit DebugOutput(bool on) {
        Set(on);
        kit::win32::SetDiagnosticSinkForTests(&recorder);
    }
    ~DebugOutput() {
        kit::win32::SetDiagnosticSinkForTests(nullptr);
        Set(false);
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    Recorder recorder;

private:
    static void Set(bool on) {
        LPSCRPREFS prefs = ScrGetPrefs();
        prefs->fDebugOutput = on;
        ScrSetPrefs(prefs);
    }
};

TEST_F(MonitorControl, CreatePreviewRefusesWhatCannotHostAPreview) {
    const std::string lineEnd = "___________  \n\r";
    Parent parent;
    HWND cornered = parent.AddControl(MS_CORNERS, 10, 10, 1, 1);
    HWND screenless = parent.AddControl(MS_PREVIEW, 300, 10, 1, 1);
    ::DestroyWindow(::GetWindow(screenless, GW_CHILD));
    {
        DebugOutput debug(true);
        EXPECT_EQ(CreatePreview(nullptr), nullptr);
        EXPECT_EQ(CreatePreview(cornered), nullptr);
        EXPECT_EQ(CreatePreview(screenless), nullptr);
        const std::string wrongKind =
            "CreatePreview: Cannot, because monitor has wrong style! Give it the MS_PREVIEW style.";
        EXPECT_EQ(
            debug.recorder.lines,
            (std::vector<std::string>{
                "trace " + wrongKind + lineEnd,
                "box Programming error: " + wrongKind,
                "trace CreatePreview: Internal error. No monitor-window window could be found." +
                    lineEnd,
                "box Internal error: CreatePreview: No monitor-window window could be found.",
            }));
    }
    DebugOutput quiet(false);
    EXPECT_EQ(CreatePreview(cornered), nullptr);
    EXPECT_TRUE(quiet.recorder.lines.empty());
}

// The test saver's window of monitor controls (KITTEST_CONFIG=monitor).
class MonitorInSaver : public testing::Test {
protected:
    // The handle the saver logged after `prefix`, as text.
    static std::string Logged(const SaverRun& saver, const std::string& prefix) {
        const auto lines = saver.Lines(prefix);
        if (lines.empty()) return {};
        const std::string rest = lines[0].substr(prefix.size());
        return rest.substr(0, rest.find(' '));
    }
    static HWND Handle(const std::string& hex) {
        return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoul(hex, nullptr, 16)));
    }
    static std::size_t Count(const SaverRun& saver, const std::string& line) {
        const auto log = saver.Log();
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), line));
    }

    kittest::UserSettingsScope settings;
};

TEST_F(MonitorInSaver, PreviewsRunInTheScreenOrTheWindowAndEndWithTheirControl) {
    auto saver =
        std::make_unique<SaverRun>("/c", SaverRun::Environment{{"KITTEST_CONFIG", "monitor"},
                                                               {"KITTEST_PREFS", "debugoutput"},
                                                               {"KITTEST_TIMER", "100"}});
    ASSERT_TRUE(saver->Stays());
    const std::string control = Logged(*saver, "control 102 ");
    const std::string screen = Logged(*saver, "monitor window ");
    const std::string plain = Logged(*saver, "control 104 ");
    const std::string inScreen = Logged(*saver, "preview monitor=");
    const std::string inPlain = Logged(*saver, "preview plain=");
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(::GetParent(Handle(screen)), Handle(control));
    EXPECT_TRUE(saver->Logged("preview monitor=" + inScreen + " parent=" + screen));
    EXPECT_TRUE(saver->Logged("create mode=1 ex=0 style=50000000 x=0 y=0 cx=153 cy=113 parent=" +
                              screen + " title=SaverPreview class=DummyScreenSaverClass data=1"));
    EXPECT_TRUE(saver->Logged(
        "create mode=1 ex=0 style=50000000 x=0 y=0 cx=153 cy=113 parent=" + plain + " "));
    EXPECT_EQ(::GetParent(Handle(inPlain)), Handle(plain));
    kittest::Pump(400);
    ASSERT_GT(Count(*saver, "preview tick " + inScreen), 0u);

    // Destroying the control stops its preview's timer as its screen goes,
    // before the preview's own end; the program goes on.
    const std::size_t before = saver->Log().size();
    saver->Post(kittest::kDestroyChild, 102);
    ASSERT_TRUE(saver->Stays());
    const auto log = saver->Log();
    const std::vector<std::string> after(log.begin() + static_cast<std::ptrdiff_t>(before),
                                         log.end());
    const auto stopped = std::find_if(after.begin(), after.end(), [](const std::string& line) {
        return line.rfind("trace ScrStopTimer: destroying timer...", 0) == 0;
    });
    const auto ended = std::find_if(after.begin(), after.end(), [](const std::string& line) {
        return line.rfind("trace preview DefSaverProc: WM_DESTROY: tidying up", 0) == 0;
    });
    EXPECT_LT(stopped, ended);
    EXPECT_NE(ended, after.end());
    EXPECT_FALSE(std::any_of(after.begin(), after.end(), [](const std::string& line) {
        return line.find("POSTQUITMESSAGE") != std::string::npos;
    }));
    const std::size_t screenTicks = Count(*saver, "preview tick " + inScreen);
    const std::size_t plainTicks = Count(*saver, "preview tick " + inPlain);
    kittest::Pump(600);
    EXPECT_TRUE(saver->Stays());
    EXPECT_EQ(Count(*saver, "preview tick " + inScreen), screenTicks);
    EXPECT_GT(Count(*saver, "preview tick " + inPlain), plainTicks);

    saver->Post(WM_CLOSE);
    EXPECT_EQ(saver->Exit(), 4);
}

TEST(MonitorCarrier, ADllCarriesTheControlWithItsOwnResources) {
    const ::win32::UniqueLibrary carrier(::LoadLibraryA(KITTEST_CARRIER));
    ASSERT_TRUE(carrier);
    const auto probe = reinterpret_cast<int(WINAPI*)(char*, int)>(
        reinterpret_cast<void*>(::GetProcAddress(carrier.Get(), "CarrierProbe")));
    ASSERT_TRUE(probe);
    char text[200] = {};
    probe(text, sizeof text);
    // Its anchors, not the kit's in this program.
    EXPECT_STREQ(text, "size=185x170 corner=20x15 screen=10,12,150,100 top-right=130,12,150,27");
}

}  // namespace

// Stand-ins for the platform, for the hot-corner core's tests.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hotcorners/core/hot_corners.h"

namespace hotcorners {

// A desktop whose screen saver switch, mark, settings and saver files are
// plain fields, and which records every start and every state shown. It
// is an NT-style system whose installer wrote the saver into both places.
class FakeDesktop : public SaverDesktop {
public:
    bool ScreenSaverActive() override { return active; }
    void SetScreenSaverActive(bool on) override {
        active = on;
        ++switches;
    }
    bool HeldOffMark() override { return heldOffMark; }
    void SetHeldOffMark(bool held) override { heldOffMark = held; }
    bool NtFamily() override { return nt; }
    std::optional<std::string> DesktopSaverSetting() override { return desktopSaver; }
    std::string IniSaverSetting() override { return iniSaver; }
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    bool SaverRunning() override { return running; }
    void StartSaver() override { ++starts; }
    void ShowState(FeedbackState state) override { shown.push_back(state); }

    bool active = true;
    int switches = 0;
    bool heldOffMark = false;
    bool nt = true;
    std::optional<std::string> desktopSaver = "C:\\WINDOWS\\CORVANE.SCR";
    std::string iniSaver = "C:\\WINDOWS\\CORVANE.SCR";
    std::set<std::string> files = {"C:\\WINDOWS\\CORVANE.SCR"};
    bool running = false;
    int starts = 0;
    std::vector<FeedbackState> shown;
};

}  // namespace hotcorners

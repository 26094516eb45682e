// Stand-ins for the platform, for the kit core's tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/core/command_line.h"
#include "kit/core/diagnostics.h"
#include "kit/core/settings_store.h"
#include "resources/dozekit_res.h"

namespace kit {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Dword(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

inline Bytes Text(std::string_view text, bool terminated = true) {
    Bytes bytes(text.begin(), text.end());
    if (terminated) bytes.push_back(0);
    return bytes;
}

// Keys under the current user, each a map of value names to raw bytes.
// Writes land in the same maps and are counted.
class FakeRegistry : public Registry, public RegistryWriter {
public:
    using Values = std::map<std::string, Bytes>;

    class Key : public RegistryKey {
    public:
        explicit Key(const Values& values) : values_(values) {}
        std::optional<Bytes> Query(const std::string& name, std::size_t capacity) const override {
            const auto it = values_.find(name);
            if (it == values_.end() || it->second.size() > capacity) return std::nullopt;
            return it->second;
        }

    private:
        const Values& values_;
    };

    std::unique_ptr<RegistryKey> OpenCurrentUser(const std::string& subkey) const override {
        const auto it = keys.find(subkey);
        if (it == keys.end()) return nullptr;
        return std::make_unique<Key>(it->second);
    }

    class WritableKey : public WritableRegistryKey {
    public:
        WritableKey(Values& values, int& writes) : values_(values), writes_(writes) {}
        void SetNumber(const std::string& name, std::uint32_t value) override {
            values_[name] = Dword(value);
            ++writes_;
        }
        void SetText(const std::string& name, const Bytes& bytes) override {
            values_[name] = bytes;
            ++writes_;
        }

    private:
        Values& values_;
        int& writes_;
    };

    std::unique_ptr<WritableRegistryKey> CreateCurrentUser(const std::string& subkey) override {
        if (refuseCreate) return nullptr;
        return std::make_unique<WritableKey>(keys[subkey], writes);
    }

    std::map<std::string, Values> keys;
    int writes = 0;
    bool refuseCreate = false;
};

inline constexpr char kSettingsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
inline constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// The kit's own texts for the ids its core uses; tests remove some.
class FakeStrings : public StringTable {
public:
    FakeStrings()
        : texts{{IDS_DK_SETTINGS_KEY, kSettingsKey},
                {IDS_DK_PASSWORD_DELAY, "Password Delay"},
                {IDS_DK_PASSWORD_DELAY_INDEX, "Password Delay Index"},
                {IDS_DK_MOUSE_THRESHOLD, "Mouse Threshold"},
                {IDS_DK_MOUSE_THRESHOLD_INDEX, "Mouse Threshold Index"},
                {IDS_DK_MOUSE_CORNERS, "Mouse Corners"},
                {IDS_DK_MUTE_SOUND, "Mute Sound"},
                {IDS_DK_ACTIVE_CONFIG, "Active Config"},
                {IDS_DK_DESKTOP_KEY, kDesktopKey},
                {IDS_DK_USE_PASSWORD, "ScreenSaveUsePassword"},
                {IDS_DK_SENSITIVITY_HIGH, "High,0"},
                {IDS_DK_SENSITIVITY_NORMAL, "Normal,200"},
                {IDS_DK_SENSITIVITY_LOW, "Low, 400"},
                {IDS_DK_SENSITIVITY_KEYBOARD, "Keyboard only (ignore mouse movement),999999"},
                {IDS_DK_SECONDS, "seconds"},
                {IDS_DK_MINUTES, "minutes"},
                {IDS_DK_ALWAYS_PASSWORD, "This screensaver always uses a password"},
                {IDS_DK_NEVER_PASSWORD, "This screensaver never requires a password"}} {}

    std::optional<std::string> Load(int id) const override {
        const auto it = texts.find(id);
        if (it == texts.end()) return std::nullopt;
        return it->second;
    }

    std::map<int, std::string> texts;
};

// Records every line and box.
class RecordingSink : public DiagnosticSink {
public:
    struct BoxShown {
        std::uintptr_t owner;
        std::string text;
        std::string caption;
    };

    void Write(const std::string& line) override { lines.push_back(line); }
    void ShowBox(std::uintptr_t owner, const std::string& text,
                 const std::string& caption) override {
        boxes.push_back({owner, text, caption});
    }

    std::vector<std::string> lines;
    std::vector<BoxShown> boxes;
};

// A desktop of numbered windows.
class FakeWindows : public WindowQuery {
public:
    bool IsWindow(std::uintptr_t window) override {
        return std::find(existing.begin(), existing.end(), window) != existing.end();
    }
    std::uintptr_t ForegroundWindow() override { return foreground; }
    std::uintptr_t PreviewerWindow(std::string_view afterLetter) override {
        previewerAsked.emplace_back(afterLetter);
        return previewer;
    }

    std::vector<std::uintptr_t> existing{1234, 5678};
    std::uintptr_t foreground = 777;
    std::uintptr_t previewer = 0;
    std::vector<std::string> previewerAsked;
};

}  // namespace kit

// Stand-ins for the platform, for the kit core's tests.
#pragma once

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
class FakeRegistry : public Registry {
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

    std::map<std::string, Values> keys;
};

inline constexpr char kSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
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
                {IDS_DK_USE_PASSWORD, "ScreenSaveUsePassword"}} {}

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
        for (auto w : existing)
            if (w == window) return true;
        return false;
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

#include "kit/core/user_settings.h"

#include <algorithm>

#include "resources/dozekit_res.h"

namespace kit {
namespace {

// A 32-bit value read raw. Fewer than four bytes are zero-extended; a
// value without bytes counts as missing.
std::optional<std::uint32_t> QueryNumber(const RegistryKey& key, const std::string& name) {
    const auto bytes = key.Query(name, 4);
    if (!bytes || bytes->empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes->size(); ++i) value |= std::uint32_t{(*bytes)[i]} << (8 * i);
    return value;
}

void ReadNumber(const RegistryKey& key, const StringTable& strings, int nameId,
                std::uint32_t& field) {
    const auto name = strings.Load(nameId);
    if (!name) return;
    if (const auto value = QueryNumber(key, *name)) field = *value;
}

CornerState CornerFromChar(std::uint8_t c) {
    if (c == 'N') return CornerState::Never;
    if (c == 'Y') return CornerState::Now;
    return CornerState::Default;
}

void ReadCorners(const RegistryKey& key, const StringTable& strings,
                 std::array<CornerState, 4>& corners) {
    const auto name = strings.Load(IDS_DK_MOUSE_CORNERS);
    if (!name) return;
    // Four characters and a terminator fit; a longer text does not.
    const auto bytes = key.Query(*name, 5);
    if (!bytes) return;
    const auto end = std::find(bytes->begin(), bytes->end(), 0);
    const auto length = static_cast<std::size_t>(end - bytes->begin());
    for (std::size_t i = 0; i < corners.size(); ++i)
        corners[i] = i < length ? CornerFromChar((*bytes)[i]) : CornerState::Default;
}

}  // namespace

UserSettings ReadUserSettings(const Registry& registry, const StringTable& strings,
                              const ScrPrefs& prefs) {
    UserSettings settings;
    const auto keyName = strings.Load(IDS_DK_SETTINGS_KEY);
    if (!keyName) return settings;
    const auto key = registry.OpenCurrentUser(*keyName);
    if (!key) return settings;

    std::uint32_t threshold = 0;
    ReadNumber(*key, strings, IDS_DK_PASSWORD_DELAY, settings.passwordDelay);
    ReadNumber(*key, strings, IDS_DK_PASSWORD_DELAY_INDEX, settings.passwordDelayIndex);
    ReadNumber(*key, strings, IDS_DK_MOUSE_THRESHOLD, threshold);
    ReadNumber(*key, strings, IDS_DK_MOUSE_THRESHOLD_INDEX, settings.mouseThresholdIndex);
    if (prefs.fMuteSound) ReadNumber(*key, strings, IDS_DK_MUTE_SOUND, settings.muteSound);
    if (prefs.fActiveConfig) ReadNumber(*key, strings, IDS_DK_ACTIVE_CONFIG, settings.activeConfig);
    settings.mouseThreshold = static_cast<std::int32_t>(threshold);
    settings.passwordDelayIndex = std::min<std::uint32_t>(settings.passwordDelayIndex, 1);
    settings.mouseThresholdIndex = std::min<std::uint32_t>(settings.mouseThresholdIndex, 3);

    ReadCorners(*key, strings, settings.corners);
    return settings;
}

bool WriteUserSettings(const UserSettings& settings, RegistryWriter& writer,
                       const StringTable& strings, const ScrPrefs& prefs) {
    const auto keyName = strings.Load(IDS_DK_SETTINGS_KEY);
    if (!keyName) return false;
    const auto key = writer.CreateCurrentUser(*keyName);
    if (!key) return false;
    const auto writeNumber = [&](int nameId, std::uint32_t value) {
        if (const auto name = strings.Load(nameId)) key->SetNumber(*name, value);
    };
    writeNumber(IDS_DK_PASSWORD_DELAY, settings.passwordDelay);
    writeNumber(IDS_DK_PASSWORD_DELAY_INDEX, settings.passwordDelayIndex);
    writeNumber(IDS_DK_MOUSE_THRESHOLD, static_cast<std::uint32_t>(settings.mouseThreshold));
    writeNumber(IDS_DK_MOUSE_THRESHOLD_INDEX, settings.mouseThresholdIndex);
    if (const auto name = strings.Load(IDS_DK_MOUSE_CORNERS)) {
        std::vector<std::uint8_t> text;
        for (const CornerState corner : settings.corners) {
            const auto state = static_cast<std::size_t>(corner);
            text.push_back(static_cast<std::uint8_t>(state < 3 ? "-YN"[state] : '-'));
        }
        text.push_back(0);
        key->SetText(*name, text);
    }
    if (prefs.fMuteSound) writeNumber(IDS_DK_MUTE_SOUND, settings.muteSound);
    if (prefs.fActiveConfig) writeNumber(IDS_DK_ACTIVE_CONFIG, settings.activeConfig);
    return true;
}

void FillChangeBlock(const UserSettings& settings, PrefsChangeBlock& block) {
    std::copy(settings.corners.begin(), settings.corners.end(), block.corners);
    block.muteSound = static_cast<std::int32_t>(settings.muteSound);
    block.mouseThreshold = settings.mouseThreshold;
    block.passwordDelay = static_cast<std::int32_t>(settings.passwordDelay);
    block.activeConfig = static_cast<std::int32_t>(settings.activeConfig);
}

bool WithinPasswordDelay(std::uint32_t now, std::uint32_t start, std::uint32_t delaySeconds) {
    const std::uint32_t elapsedSeconds = (now - start) / 1000;
    return elapsedSeconds < delaySeconds;
}

bool NeedPassword(std::uint32_t now, std::uint32_t start, std::uint32_t delaySeconds,
                  const Registry& registry, const StringTable& strings, Diagnostics& diagnostics) {
    diagnostics.Trace("NeedPassword? Checking the timer");
    if (WithinPasswordDelay(now, start, delaySeconds)) {
        diagnostics.Trace("Nope, we're within the delay...");
        return false;
    }
    diagnostics.Trace("NeedPassword?: checking the registry");
    const auto keyName = strings.Load(IDS_DK_DESKTOP_KEY);
    if (!keyName) {
        diagnostics.Trace("NeedPassword: failed to load screensaver reg. key string. Aborting");
        return false;
    }
    const auto key = registry.OpenCurrentUser(*keyName);
    if (!key) {
        diagnostics.Trace("NeedPassword: could not get screensaver reg. key. Aborting");
        return false;
    }
    const auto valueName = strings.Load(IDS_DK_USE_PASSWORD);
    if (!valueName) {
        diagnostics.Trace("NeedPassword: failed to load 'usepw' key name. Aborting");
        return false;
    }
    const auto value = QueryNumber(*key, *valueName);
    if (!value) {
        diagnostics.Trace("NeedPassword: failed to get 'usepw' value from registry. Aborting");
        return false;
    }
    if (*value != 0) {
        diagnostics.Trace("NeedPassword: yes, we do need the password");
        return true;
    }
    diagnostics.Trace("NeedPassword: no, we don't need the password");
    return false;
}

}  // namespace kit

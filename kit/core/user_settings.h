// The user's kit settings, read from the key shared by every screen saver
// of the current user, and the password decision that closing a saver
// takes from them and from the system's password switch.
#pragma once

#include <array>
#include <cstdint>

#include "kit/core/diagnostics.h"
#include "kit/core/prefs.h"
#include "kit/core/settings_store.h"

namespace kit {

struct UserSettings {
    std::uint32_t passwordDelay = 60;       // seconds without a password after the start
    std::uint32_t passwordDelayIndex = 0;   // 0 seconds, 1 minutes
    std::int32_t mouseThreshold = 0;        // pixels in x or y
    std::uint32_t mouseThresholdIndex = 0;  // row of the sensitivity list, 0..3
    std::array<CornerState, 4> corners{};   // top-left, top-right, bottom-right, bottom-left
    std::uint32_t muteSound = 0;
    std::uint32_t activeConfig = 0;

    bool operator==(const UserSettings&) const = default;
};

// Defaults, then whatever can be read. "Mute Sound" is read only with
// fMuteSound, "Active Config" only with fActiveConfig.
UserSettings ReadUserSettings(const Registry& registry, const StringTable& strings,
                              const ScrPrefs& prefs);

// Writes every value whose name loads, "Mute Sound" only with fMuteSound and
// "Active Config" only with fActiveConfig; "Mouse Corners" as four
// characters of "-YN" and a terminator. False when the key cannot be
// created: then nothing is written.
bool WriteUserSettings(const UserSettings& settings, RegistryWriter& writer,
                       const StringTable& strings, const ScrPrefs& prefs);

// Fills every field of the block but its size.
void FillChangeBlock(const UserSettings& settings, PrefsChangeBlock& block);

// Whether the saver is still within its password delay: whole seconds
// since `start`, counted on the wrapping 32-bit millisecond tick.
bool WithinPasswordDelay(std::uint32_t now, std::uint32_t start, std::uint32_t delaySeconds);

// Whether closing the saver needs the password: past the delay and the
// system's "ScreenSaveUsePassword" switch on. Any failure to read the
// switch answers no.
bool NeedPassword(std::uint32_t now, std::uint32_t start, std::uint32_t delaySeconds,
                  const Registry& registry, const StringTable& strings, Diagnostics& diagnostics);

}  // namespace kit

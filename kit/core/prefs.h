// The client's kit preferences (SCRPREFS), their defaults and the rules by
// which a client installs them, and the record that carries changed user
// settings to saver windows. Plain 32-bit fields: these records cross the
// boundary between the kit and its client programs unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kit {

class Diagnostics;

// The client's preferences, in the order and with the widths its clients
// compile against. Flags: 0 off, anything else on.
struct ScrPrefs {
    std::uint32_t cbSize;
    std::int32_t fActiveConfig;
    std::int32_t fMuteSound;
    std::int32_t fDebugOutput;
    std::int32_t fDebugWindow;
    std::int32_t fNoAboutItem;
    std::int32_t fNoPreviewUpdate;
    std::int32_t fNoTimers;
    char szReserved1[256];
    char szReserved2[256];
    std::int32_t fAlwaysRequirePassword;
    std::int32_t fNeverRequirePassword;
    std::int32_t fPasswordForActiveConfig;
};
static_assert(sizeof(ScrPrefs) == 556);
static_assert(offsetof(ScrPrefs, szReserved1) == 32);
static_assert(offsetof(ScrPrefs, fAlwaysRequirePassword) == 544);

// What one hot corner does.
enum class CornerState : std::uint8_t { Default = 0, Now = 1, Never = 2 };

// Corners always in this order.
enum Corner { TopLeft = 0, TopRight = 1, BottomRight = 2, BottomLeft = 3 };

// The user's kit settings as carried by SCRM_PREFSCHANGED and filled by
// ScrGetSettings. 24 bytes, little-endian, packed as listed.
struct PrefsChangeBlock {
    std::uint32_t size;  // 24
    CornerState corners[4];
    std::int32_t muteSound;
    std::int32_t mouseThreshold;
    std::int32_t passwordDelay;  // seconds
    std::int32_t activeConfig;
};
static_assert(sizeof(PrefsChangeBlock) == 24);
static_assert(offsetof(PrefsChangeBlock, mouseThreshold) == 12);

ScrPrefs DefaultPrefs();

// The process's one current copy of the preferences.
class Preferences {
public:
    enum class SetResult {
        Installed,  // the record's fields are now current; the caller releases it
        Refused,    // the kit is running: nothing changed, the record stays with its owner
        Missing,    // no record given
    };

    const ScrPrefs& Current() const { return current_; }

    // Sets the defaults the first time only; later calls keep what is set.
    void ApplyDefaultsOnce();

    // A copy of the current preferences with cbSize filled in.
    ScrPrefs Copy() const;

    // Installs every field of the record but cbSize, unless the kit is
    // running. Reports through the diagnostics as the kit's rules say.
    SetResult Install(const ScrPrefs* record, bool running, Diagnostics& diagnostics);

private:
    ScrPrefs current_{};
    bool defaultsApplied_ = false;
};

}  // namespace kit

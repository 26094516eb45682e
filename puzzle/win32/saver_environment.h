// The saver's texts and the system facts the puzzle core asks for, and the
// system's tick count.
#pragma once

#include <windows.h>

#include "puzzle/core/services.h"

namespace puzzle {

class Win32Environment final : public SaverEnvironment {
public:
    // `texts` is the module whose string table holds the saver's texts.
    explicit Win32Environment(HMODULE texts) : texts_(texts) {}

    std::optional<std::string> LoadText(int id, std::size_t capacity) override;
    std::string WindowsDirectory() override;
    Size ScreenSize() override;

private:
    HMODULE texts_;
};

class TickClock final : public Clock {
public:
    std::uint32_t Now() override { return ::GetTickCount(); }
};

}  // namespace puzzle

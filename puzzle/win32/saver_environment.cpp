#include "puzzle/win32/saver_environment.h"

#include <vector>

namespace puzzle {

std::optional<std::string> Win32Environment::LoadText(int id, std::size_t capacity) {
    std::vector<char> buffer(capacity + 1);
    const int length = ::LoadStringA(texts_, static_cast<UINT>(id), buffer.data(),
                                     static_cast<int>(buffer.size()));
    if (length <= 0) return std::nullopt;
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string Win32Environment::WindowsDirectory() {
    char buffer[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "C:\\WINDOWS";
    return std::string(buffer, length);
}

Size Win32Environment::ScreenSize() {
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace puzzle

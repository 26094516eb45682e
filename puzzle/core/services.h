// What the puzzle core needs of the platform besides the store: a tick
// count, the saver's texts and system facts, and the pictures. The Win32
// layer implements these with the real API; testing/test_fakes.h has
// stand-ins.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "puzzle/core/picture.h"
#include "puzzle/core/store.h"

namespace puzzle {

// Milliseconds of a 32-bit tick count that wraps about every 49.7 days.
// Differences are taken modulo 2^32; nothing compares two ticks directly.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t Now() = 0;
};

struct Size {
    int width = 0;
    int height = 0;

    friend bool operator==(const Size&, const Size&) = default;
};

class SaverEnvironment {
public:
    virtual ~SaverEnvironment() = default;

    // String `id` of the saver's string table, of at most `capacity`
    // characters; nothing when it is missing.
    virtual std::optional<std::string> LoadText(int id, std::size_t capacity) = 0;
    // The system's Windows directory, the default folder of own pictures.
    virtual std::string WindowsDirectory() = 0;
    // The display's full size in pixels; pictures are fitted to it.
    virtual Size ScreenSize() = 0;
};

struct FolderEntry {
    std::string name;  // as the system lists it
    bool isFolder = false;
};

class PictureSource {
public:
    virtual ~PictureSource() = default;

    // Calls `visit` for every entry of `folder` in the order the system
    // lists them, until `visit` answers false. False when the listing
    // cannot start.
    virtual bool ListFolder(const std::string& folder,
                            const std::function<bool(const FolderEntry&)>& visit) = 0;
    // Whether the saver carries built-in picture `number` (1 to 65535).
    virtual bool BuiltInExists(int number) = 0;
    // The decoded picture, or null when it cannot be decoded.
    virtual std::unique_ptr<Picture> DecodeFile(const std::string& path) = 0;
    virtual std::unique_ptr<Picture> DecodeBuiltIn(int number) = 0;
    // A black picture of the given size, or null.
    virtual std::unique_ptr<Picture> PlainPicture(int width, int height) = 0;
};

// Everything a PuzzleBoard with a store works with. The services must
// outlive the board.
struct BoardServices {
    Store& store;
    SaverEnvironment& environment;
    PictureSource& pictures;
    Clock& clock;
};

}  // namespace puzzle

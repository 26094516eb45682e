// Stand-ins for the platform, for the puzzle core's tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "puzzle/core/canvas.h"
#include "puzzle/core/game_view.h"
#include "puzzle/core/picture.h"
#include "puzzle/core/picture_set.h"
#include "puzzle/core/progress_store.h"
#include "puzzle/core/services.h"
#include "puzzle/core/store.h"

namespace puzzle {

// A picture that only has a size. Scaling records the part asked for.
class FakePicture : public Picture {
public:
    FakePicture(int width, int height, std::vector<Rect>* scaledSources = nullptr)
        : width_(width), height_(height), scaledSources_(scaledSources) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::unique_ptr<Picture> ScaledPart(const Rect& source, int width, int height) const override {
        if (failScaling) return nullptr;
        if (scaledSources_) scaledSources_->push_back(source);
        return std::make_unique<FakePicture>(width, height);
    }
    bool failScaling = false;

private:
    int width_, height_;
    std::vector<Rect>* scaledSources_;
};

// A store in memory. Keys are whole paths; creating one does not create
// its parents. Opening or creating can be made to fail. The helpers below
// reach the values directly, whatever the failure flags say.
class MemoryStore : public Store {
public:
    struct Value {
        ValueKind kind = ValueKind::Bytes;
        std::vector<std::uint8_t> bytes;
    };
    using Values = std::map<std::string, Value>;

    std::unique_ptr<StoreKey> OpenExisting(std::string_view path) override {
        if (failOpen || !HasKey(std::string(path))) return nullptr;
        return std::make_unique<Key>(keys[std::string(path)]);
    }
    std::unique_ptr<StoreKey> CreateOrOpen(std::string_view path) override {
        if (failCreate) return nullptr;
        return std::make_unique<Key>(keys[std::string(path)]);
    }

    bool HasKey(const std::string& path) const { return keys.count(path) != 0; }
    const Value* Find(const std::string& path, const std::string& name) {
        if (!HasKey(path) || !keys[path].count(name)) return nullptr;
        return &keys[path][name];
    }
    // An integer only when exactly four bytes are stored.
    std::optional<std::int32_t> Integer(const std::string& path, const std::string& name) {
        const auto values = Integers(path, name);
        if (!values || values->size() != 1) return std::nullopt;
        return values->front();
    }
    std::optional<std::string> Text(const std::string& path, const std::string& name) {
        const Value* value = Find(path, name);
        if (!value) return std::nullopt;
        return std::string(value->bytes.begin(), value->bytes.end());
    }
    std::optional<std::vector<std::int32_t>> Integers(const std::string& path,
                                                      const std::string& name) {
        const Value* value = Find(path, name);
        if (!value) return std::nullopt;
        Key key(keys[path]);
        return ReadIntegers(key, name, value->bytes.size() / 4);
    }
    void SetRaw(const std::string& path, const std::string& name, ValueKind kind,
                std::vector<std::uint8_t> bytes) {
        keys[path][name] = Value{kind, std::move(bytes)};
    }
    // An integer, a text or a list of integers, written as the saver writes them.
    template <typename T>
    void Set(const std::string& path, const std::string& name, const T& value) {
        Key key(keys[path]);
        if constexpr (std::is_integral_v<T>)
            WriteInteger(key, name, value);
        else if constexpr (std::is_convertible_v<T, std::string_view>)
            WriteText(key, name, value);
        else
            WriteIntegers(key, name, value);
    }

    std::map<std::string, Values> keys;
    bool failOpen = false;
    bool failCreate = false;

private:
    class Key : public StoreKey {
    public:
        explicit Key(Values& values) : values_(values) {}
        std::optional<std::vector<std::uint8_t>> Read(std::string_view name,
                                                      std::size_t capacity) override {
            auto found = values_.find(std::string(name));
            if (found == values_.end() || found->second.bytes.size() > capacity)
                return std::nullopt;
            return found->second.bytes;
        }
        bool Write(std::string_view name, ValueKind kind,
                   std::span<const std::uint8_t> bytes) override {
            values_[std::string(name)] = Value{kind, {bytes.begin(), bytes.end()}};
            return true;
        }

    private:
        Values& values_;
    };
};

class FakeEnvironment : public SaverEnvironment {
public:
    std::optional<std::string> LoadText(int id, std::size_t capacity) override {
        auto found = texts.find(id);
        if (found == texts.end()) return std::nullopt;
        return found->second.substr(0, capacity);
    }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    Size ScreenSize() override { return screen; }

    // The saver's own string table.
    std::map<int, std::string> texts = {{2, "SOFTWARE\\Zelt\\Corvane"}, {3, "12"}};
    Size screen = {1024, 768};
};

// Built-in pictures and folders of files, all decoded to plain sizes.
class FakePictureSource : public PictureSource {
public:
    bool ListFolder(const std::string& folder,
                    const std::function<bool(const FolderEntry&)>& visit) override {
        auto found = folders.find(folder);
        if (found == folders.end()) return false;
        for (const FolderEntry& entry : found->second)
            if (!visit(entry)) break;
        return true;
    }
    bool BuiltInExists(int number) override { return builtIns.count(number) != 0; }
    std::unique_ptr<Picture> DecodeFile(const std::string& path) override {
        decodedFiles.push_back(path);
        WhileDecoding();
        auto found = files.find(path);
        if (found == files.end()) return nullptr;
        return std::make_unique<FakePicture>(found->second.width, found->second.height);
    }
    std::unique_ptr<Picture> DecodeBuiltIn(int number) override {
        decodedBuiltIns.push_back(number);
        WhileDecoding();
        auto found = builtIns.find(number);
        if (found == builtIns.end() || undecodable.count(number)) return nullptr;
        return std::make_unique<FakePicture>(found->second.width, found->second.height);
    }
    std::unique_ptr<Picture> PlainPicture(int width, int height) override {
        if (failPlain) return nullptr;
        return std::make_unique<FakePicture>(width, height);
    }

    // The ten built-in pictures of the saver, by their sizes.
    std::map<int, Size> builtIns = {
        {1, {534, 450}}, {2, {475, 450}}, {3, {413, 450}}, {4, {469, 450}},  {5, {561, 450}},
        {6, {359, 450}}, {7, {905, 450}}, {8, {600, 450}}, {9, {1300, 450}}, {10, {516, 450}}};
    std::set<int> undecodable;  // built-ins whose decoding fails
    std::map<std::string, std::vector<FolderEntry>> folders;
    std::map<std::string, Size> files;  // decodable files by path
    bool failPlain = false;
    std::vector<std::string> decodedFiles;
    std::vector<int> decodedBuiltIns;
    // Runs once, during the next decode: the image library's box, under
    // which the window goes on handling messages.
    std::function<void()> whileDecoding;

private:
    void WhileDecoding() {
        if (auto once = std::exchange(whileDecoding, nullptr)) once();
    }
};

class FakeClock : public Clock {
public:
    std::uint32_t Now() override { return now; }
    std::uint32_t now = 0;
};

// The identity arrangement of a 4 x 4 board with the given cells swapped.
inline std::vector<std::int32_t> Swapped(std::initializer_list<std::pair<int, int>> swaps) {
    std::vector<std::int32_t> cells(16);
    for (int i = 0; i < 16; ++i) cells[i] = i;
    for (auto [a, b] : swaps) std::swap(cells[a], cells[b]);
    return cells;
}

// All the fakes a board with a store needs, wired together.
struct FakePlatform {
    static constexpr char kBaseKey[] = "SOFTWARE\\Zelt\\Corvane";  // string 2 above

    MemoryStore store;
    FakeEnvironment environment;
    FakePictureSource pictures;
    FakeClock clock;

    BoardServices Services() { return {store, environment, pictures, clock}; }

    // A 4 x 4 board of 100-pixel tiles, stored under `key` for `picture`
    // with `arrangement`, on a screen `screenWidth` x 400 that every
    // picture fills.
    void StoreFourByFour(const std::vector<std::int32_t>& arrangement, int picture = 1,
                         const std::string& key = kBaseKey, int screenWidth = 400) {
        environment.screen = {screenWidth, 400};
        for (auto& [number, size] : pictures.builtIns) size = {400, 400};
        for (auto& [path, size] : pictures.files) size = {400, 400};
        for (auto [name, value] :
             {std::pair{"hard", 4}, {"CurrentPic", picture}, {"numtilesx", 4}, {"numtilesy", 4}})
            store.Set(key, name, value);
        store.Set(key, "index", arrangement);
    }

    // Own pictures switched on, from a folder of `names`, which all decode.
    void UseOwnPictures(const std::string& folder, const std::vector<std::string>& names) {
        store.Set(kBaseKey, "UseOwnPics", 1);
        store.Set(kBaseKey, "OwnDir", folder);
        auto& entries = pictures.folders[folder];
        for (const std::string& name : names) {
            entries.push_back({name, false});
            pictures.files[folder + "\\" + name] = {640, 480};
        }
    }
};

// The settings, the picture set and the board made from them, as a game
// holds them.
struct BoardMaking {
    explicit BoardMaking(const BoardServices& services)
        : progress(services), pictures(progress, services) {}
    // Makes the current board in place of the one held; false when it
    // comes plain.
    bool LoadCurrentPicture() {
        board = pictures.MakeCurrentBoard(board ? board->Hard() : progress.Hard());
        return !board->IsPlainBoard();
    }
    // Moves on as a click on a solved board does.
    void AdvancePicture() {
        if (progress.AdvancePicture()) LoadCurrentPicture();
    }
    // As the game asks at a solve: is the stored current picture the last
    // (in the own-pictures folder as last read)?
    bool IsLastPicture() { return pictures.IsLastPicture(progress.ReloadCurrentPic()); }
    void SaveArrangement() { progress.SaveArrangement(*board); }

    ProgressStore progress;
    PictureSet pictures;
    std::unique_ptr<PuzzleBoard> board;
};

// A window that records what the game asks of it, one line per request.
class RecordingView : public GameView {
public:
    void DrawCells(int column, int row, int columns, int rows) override {
        lines.push_back("cells " + Place(column, row) + " " + std::to_string(columns) + "x" +
                        std::to_string(rows));
    }
    void FlashCells(std::span<const Cell> cells) override {
        std::string line = "flash";
        for (const Cell& cell : cells) line += " " + Place(cell.column, cell.row);
        lines.push_back(line);
    }
    void FlashBoard() override { lines.push_back("flash board"); }
    void DrawSelectionFrame() override { lines.push_back("frame"); }
    void DrawHelpBox() override { lines.push_back("help box"); }
    void EraseHelpBox(HelpBoxErase how) override {
        lines.push_back(how == HelpBoxErase::Black ? "erase black" : "erase restore");
    }
    void RepaintNow() override { lines.push_back("repaint now"); }
    void RequestRepaint() override { lines.push_back("repaint later"); }
    Size LayoutWindow() override { return helpText; }
    void SetCursor(CursorShape shape) override {
        cursor = shape;
        lines.push_back(shape == CursorShape::Arrow    ? "arrow"
                        : shape == CursorShape::Hidden ? "hidden"
                                                       : "wait");
    }
    void Beep() override { lines.push_back("beep"); }
    bool IsShiftDown() override { return shiftDown; }
    bool IsPreview() override { return preview; }
    void StartTimer(GameTimer timer, std::uint32_t ms) override {
        lines.push_back("timer " + std::to_string(static_cast<int>(timer)) + " " +
                        std::to_string(ms));
    }
    void StopTimer(GameTimer timer) override {
        lines.push_back("stop timer " + std::to_string(static_cast<int>(timer)));
    }
    void SetWallpaper() override { lines.push_back("wallpaper"); }
    void SetDialogActive(bool active) override {
        lines.push_back(active ? "dialog on" : "dialog off");
    }
    void ShowProgressBox() override { Modal("progress box"); }
    void ShowEndOfSetDialog() override { Modal("end of set"); }
    void ShowRewardBox() override { Modal("reward"); }

    int Count(const std::string& line) const {
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    std::vector<std::string> lines;
    Size helpText = {150, 80};  // measured help text
    bool shiftDown = false;
    bool preview = false;
    CursorShape cursor = CursorShape::Arrow;
    std::function<void()> whileModal;  // runs while each box or dialog is up

private:
    static std::string Place(int column, int row) {
        return std::to_string(column) + "," + std::to_string(row);
    }
    void Modal(const std::string& line) {
        lines.push_back(line);
        if (whileModal) whileModal();
    }
};

// A canvas that records each primitive as one line. Rectangles read
// "left,top-right,bottom" in window pixels; tile squares "x,y".
class RecordingCanvas : public Canvas {
public:
    void CopyTiles(const Picture&, std::span<const TileCopy> copies) override {
        for (const TileCopy& copy : copies)
            lines.push_back("tile " + std::to_string(copy.square.x) + "," +
                            std::to_string(copy.square.y) + " to " + Area(copy.target));
    }
    void Fill(const WindowRect& area, Colour colour) override {
        lines.push_back("fill " + Name(colour) + " " + Area(area));
    }
    void Outline(const WindowRect& area, Colour colour) override {
        lines.push_back("outline " + Name(colour) + " " + Area(area));
    }
    void Text(const WindowRect& area, std::string_view text, Colour ink, Colour paper) override {
        texts.emplace_back(text);
        lines.push_back("text " + Name(ink) + " on " + Name(paper) + " " + Area(area));
    }
    Size MeasureText(std::string_view text, int wrapWidth) override {
        // 10 pixels a character, 20 a line; wrapped, every "\r\n" starts
        // a line.
        if (wrapWidth == 0) return {static_cast<int>(text.size()) * 10, 20};
        const auto breaks = std::count(text.begin(), text.end(), '\n');
        return {wrapWidth, static_cast<int>(breaks + 1) * 20};
    }
    void Show(const WindowRect& area) override { lines.push_back("show " + Area(area)); }
    void StartFlash() override { lines.push_back("flash start"); }
    void WaitForFlash(std::uint32_t elapsedMs) override {
        lines.push_back("wait " + std::to_string(elapsedMs));
    }

    static std::string Area(const WindowRect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "-" +
               std::to_string(r.right) + "," + std::to_string(r.bottom);
    }
    static std::string Name(Colour colour) {  // in the order of Colour
        static const char* const names[] = {"black",     "white",   "grey",
                                            "highlight", "helpbox", "helptext"};
        return names[static_cast<int>(colour)];
    }

    std::vector<std::string> lines;
    std::vector<std::string> texts;
};

}  // namespace puzzle

#include "imagelib/core/imgora_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "imagelib/core/testing/test_fakes.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;

Bytes Bmp(int width, int height) {
    testing::BmpFile file(width, height);
    file.pixelData = testing::BmpRows24(testing::TestPattern(width, std::abs(height), 3));
    return testing::BuildBmp(file);
}

TEST(ImgoraCore, EveryFailedLoadShowsTheLoadErrorWithThePathOnce) {
    FakePrompts prompts;
    ImgoraCore library(prompts);
    testing::TempFolder folder;
    const Bytes bmp = Bmp(4, 4);
    std::filesystem::create_directory(folder.PathOf("folder.bmp"));
    const std::string paths[] = {
        folder.PathOf("no such picture.jpg"),
        folder.Write("notes.txt", {'h', 'i'}),
        folder.Write("anim.gif", {'G', 'I', 'F', '8', '9', 'a'}),  // cut after the signature
        folder.Write("scan.PCX", {10, 5, 1, 8}),                   // cut in the header
        folder.Write("cut.bmp", Bytes(bmp.begin(), bmp.begin() + 60)),
        folder.PathOf("folder.bmp"),
    };
    for (const std::string& path : paths) {
        prompts.errors.clear();
        EXPECT_EQ(library.Load(path, 0), nullptr) << path;
        ASSERT_EQ(prompts.errors.size(), 1u) << path;
        EXPECT_EQ(prompts.errors[0].text, "Error Loading " + path);
        EXPECT_EQ(prompts.errors[0].caption, "Error");
    }
    EXPECT_EQ(library.LastWidth(), 0);
}

TEST(ImgoraCore, KeepsTheRecordAndTheLastSizeUntilTheNextLoad) {
    FakePrompts prompts;
    ImgoraCore library(prompts);
    library.SetProgressHook(RecordProgress);
    ProgressReports().clear();
    testing::TempFolder folder;
    const ImageRecord* first = library.Load(folder.Write("a.bmp", Bmp(3, -5)), 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(library.KeptImage(), first);
    EXPECT_EQ(library.LastHeight(), -5);     // top-down, as the file has it
    EXPECT_TRUE(ProgressReports().empty());  // a BMP load reports nothing

    // A JPEG named .PCX is found by its content; it reports its rows.
    const Bytes jpeg = testing::EncodeJpeg(testing::TestPattern(8, 200, 3));
    ASSERT_NE(library.Load(folder.Write("photo.PCX", jpeg), 1), nullptr);
    EXPECT_EQ(library.LastWidth(), 8);
    ASSERT_EQ(ProgressReports().size(), 200u);
    EXPECT_EQ(ProgressReports()[99], std::make_pair(kPhaseConverting, 50));
    EXPECT_EQ(ProgressReports().back(), std::make_pair(kPhaseConverting, 100));
    EXPECT_TRUE(library.ProgressShown());

    EXPECT_EQ(library.Load(folder.PathOf("missing.bmp"), 2), nullptr);
    EXPECT_EQ(library.KeptImage(), nullptr);
    EXPECT_EQ(library.LastWidth(), 8);
    EXPECT_EQ(library.LastHeight(), 200);
    EXPECT_FALSE(library.ProgressShown());  // only exactly 1 asks for it
    EXPECT_EQ(library.SaveQuality(), 80);
}

// A library with a recording progress window and its own hook, as the DLL
// makes it.
struct WindowedLibrary {
    WindowedLibrary() {
        prompts.log = &log;
        current = &library;
    }
    ~WindowedLibrary() { current = nullptr; }
    static std::int32_t Hook(std::uint16_t phase, std::int32_t percent) {
        return current->ReportProgress(phase, percent);
    }

    static inline ImgoraCore* current = nullptr;
    std::vector<std::string> log;
    FakePrompts prompts;
    FakeProgressDisplay display{log};
    ImgoraCore library{prompts, &display, Hook};
};

TEST(ImgoraCore, AWindowedLoadShowsTheWindowFirstAndReleasesItOnEveryWayOut) {
    WindowedLibrary windowed;
    ImgoraCore& library = windowed.library;
    testing::TempFolder folder;
    const std::string missing = folder.PathOf("gone.jpg");
    EXPECT_EQ(library.Load(missing, 1), nullptr);
    EXPECT_EQ(windowed.log,
              (std::vector<std::string>{"show: Progress: Loading " + missing,
                                        "error: Error: Error Loading " + missing, "release"}));
    EXPECT_EQ(library.InstalledHook(), &WindowedLibrary::Hook);

    windowed.log.clear();
    const std::string jpeg =
        folder.Write("a.jpg", testing::EncodeJpeg(testing::TestPattern(8, 40, 3)));
    ASSERT_NE(library.Load(jpeg, 1), nullptr);
    EXPECT_EQ(windowed.log,
              (std::vector<std::string>{"show: Progress: Loading " + jpeg, "release"}));
    const std::vector<std::int32_t>& bar = windowed.display.positions;
    ASSERT_EQ(bar.size(), 40u);  // one report per row
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_EQ(bar.front(), 3);
    EXPECT_EQ(bar.back(), 100);
    EXPECT_EQ(windowed.display.dispatches, 40);

    // Neither a load without the window nor one of another value shows it.
    windowed.log.clear();
    for (const std::uint8_t show : {0, 2, 255}) EXPECT_NE(library.Load(jpeg, show), nullptr);
    EXPECT_TRUE(windowed.log.empty());

    // An unexpected failure still releases the window.
    windowed.display.failAfterShowing = true;
    EXPECT_THROW(library.Load(jpeg, 1), std::runtime_error);
    EXPECT_EQ(windowed.log.back(), "release");
    windowed.display.failAfterShowing = false;
    EXPECT_NE(library.Load(jpeg, 0), nullptr);  // and the library is usable again
}

TEST(ImgoraCore, NothingDispatchedDuringALoadOrSaveCanStartAnother) {
    WindowedLibrary windowed;
    ImgoraCore& library = windowed.library;
    testing::TempFolder folder;
    const std::string first =
        folder.Write("first.jpg", testing::EncodeJpeg(testing::TestPattern(8, 20, 3)));
    const std::string second = folder.Write("second.bmp", Bmp(2, 2));
    int refused = 0;
    windowed.display.onDispatch = [&] {
        refused += library.Load(second, 1) == nullptr;
        refused += !library.SaveAsJpeg(90, folder.PathOf("nested.jpg"));
    };
    ASSERT_NE(library.Load(first, 1), nullptr);
    EXPECT_EQ(refused, 40);
    EXPECT_EQ(library.LastWidth(), 8);
    EXPECT_TRUE(windowed.prompts.errors.empty());
    refused = 0;
    EXPECT_TRUE(library.SaveAsJpeg(90, folder.PathOf("out.jpg")));
    EXPECT_EQ(refused, 40);
    EXPECT_FALSE(std::filesystem::exists(folder.PathOf("nested.jpg")));
    EXPECT_EQ(library.KeptImage()->Width(), 8);
}

}  // namespace
}  // namespace imagelib

#include "imagelib/core/image_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imagelib/core/test_fakes.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::BmpFile;
using testing::Bytes;
using testing::TempFolder;

Bytes SmallBmp(int width, int height) {
    BmpFile file;
    file.width = width;
    file.height = height;
    file.pixelData = testing::BmpRows24(testing::TestPattern(width, height < 0 ? -height : height, 3));
    return testing::BuildBmp(file);
}

class ImageLibraryTest : public ::testing::Test {
protected:
    FakePrompts prompts;
    ImageLibrary library{prompts};
    TempFolder folder;
};

TEST_F(ImageLibraryTest, AFileThatIsNotThereShowsTheLoadErrorWithThePath) {
    const std::string path = folder.PathOf("no such picture.jpg");
    EXPECT_EQ(library.Load(path, 0), nullptr);
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(prompts.errors[0].text, "Error Loading " + path);
    EXPECT_EQ(prompts.errors[0].caption, "Error");
    EXPECT_EQ(library.LastWidth(), 0);
    EXPECT_EQ(library.LastHeight(), 0);
}

TEST_F(ImageLibraryTest, EveryKindOfFailedLoadShowsTheLoadErrorOnce) {
    testing::JpegOptions exif;
    exif.exifInsteadOfJfif = true;
    struct Case {
        std::string name;
        Bytes bytes;
        const char* what;
    };
    const Bytes bmp = SmallBmp(4, 4);
    const std::vector<Case> cases = {
        {"notes.txt", {'h', 'e', 'l', 'l', 'o'}, "not recognised"},
        {"empty.bmp", {}, "empty"},
        {"folder", {}, "a folder, not a file"},
        {"photo.jpg", testing::EncodeJpeg(testing::TestPattern(8, 8, 3), exif), "APP1 first"},
        {"anim.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}, "GIF"},
        {"scan.pcx", {10, 5, 1, 8, 0, 0}, "PCX"},
        {"shot.TGA", {0, 0, 2, 0, 0, 0}, "Targa"},
        {"cut.bmp", Bytes(bmp.begin(), bmp.begin() + 60), "cut short"},
        {"looks.bmp", {'x', 'G', 'I', 'F', 'B', 'M'}, "a BMP name with GIF in its first bytes"},
    };
    for (const Case& c : cases) {
        std::string path;
        if (c.name == "folder") {
            path = folder.PathOf("folder.bmp");
            std::filesystem::create_directory(path);
        } else {
            path = folder.Write(c.name, c.bytes);
        }
        prompts.errors.clear();
        EXPECT_EQ(library.Load(path, 0), nullptr) << c.what;
        ASSERT_EQ(prompts.errors.size(), 1u) << c.what;
        EXPECT_EQ(prompts.errors[0].text, "Error Loading " + path) << c.what;
    }
}

TEST_F(ImageLibraryTest, KeepsTheLastRecordAndSizeUntilTheNextLoad) {
    const std::string wide = folder.Write("wide.bmp", SmallBmp(6, 2));
    const std::string topDown = folder.Write("top-down.bmp", SmallBmp(3, -5));
    const ImageRecord* first = library.Load(wide, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(library.KeptImage(), first);
    EXPECT_EQ(library.LastWidth(), 6);
    EXPECT_EQ(library.LastHeight(), 2);

    ASSERT_NE(library.Load(topDown, 0), nullptr);
    EXPECT_EQ(library.LastWidth(), 3);
    EXPECT_EQ(library.LastHeight(), -5);  // as the file has it

    // A failed load releases the kept image but not the last size.
    EXPECT_EQ(library.Load(folder.PathOf("missing.bmp"), 0), nullptr);
    EXPECT_EQ(library.KeptImage(), nullptr);
    EXPECT_EQ(library.LastWidth(), 3);
    EXPECT_EQ(library.LastHeight(), -5);
    EXPECT_TRUE(prompts.warnings.empty());
}

TEST_F(ImageLibraryTest, ACutJpegWarnsOnceAndLoadsOnOkOrFailsWithTheLoadErrorOnCancel) {
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(120, 90, 3));
    const std::string path =
        folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() * 3 / 4));

    ASSERT_NE(library.Load(path, 0), nullptr);
    EXPECT_EQ(prompts.warnings.size(), 1u);
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_EQ(library.LastWidth(), 120);

    prompts.warnings.clear();
    prompts.answerOk = false;
    EXPECT_EQ(library.Load(path, 0), nullptr);
    EXPECT_EQ(prompts.warnings.size(), 1u);
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(prompts.errors[0].text, "Error Loading " + path);
}

std::vector<std::pair<std::uint16_t, std::int32_t>> g_reports;
std::int32_t RecordProgress(std::uint16_t phase, std::int32_t percent) {
    g_reports.emplace_back(phase, percent);
    return 0;
}

TEST_F(ImageLibraryTest, AJpegLoadReportsItsRowsToTheProgressHookAndABmpLoadNothing) {
    library.SetProgressHook(RecordProgress);
    g_reports.clear();
    ASSERT_NE(library.Load(folder.Write("a.bmp", SmallBmp(4, 4)), 0), nullptr);
    EXPECT_TRUE(g_reports.empty());

    ASSERT_NE(library.Load(folder.Write("a.jpg", testing::EncodeJpeg(testing::TestPattern(8, 200, 3))), 0),
              nullptr);
    ASSERT_EQ(g_reports.size(), 200u);
    EXPECT_EQ(g_reports.front(), std::make_pair(kPhaseConverting, 1));  // 0.5 rounds up
    EXPECT_EQ(g_reports[99], std::make_pair(kPhaseConverting, 50));
    EXPECT_EQ(g_reports.back(), std::make_pair(kPhaseConverting, 100));
}

TEST_F(ImageLibraryTest, EveryLoadResetsItsSettingsAndChoosesEnglish) {
    EXPECT_TRUE(library.Texts().name.empty());
    library.Load(folder.PathOf("missing.bmp"), 1);
    EXPECT_EQ(library.Texts().name, "ENGLISH");
    EXPECT_TRUE(library.ProgressShown());
    EXPECT_EQ(library.SaveQuality(), 80);
    EXPECT_EQ(library.JpegOptions().ditherMode, 2);
    EXPECT_EQ(library.JpegOptions().twoPass, 1);

    library.Load(folder.PathOf("missing.bmp"), 2);  // only exactly 1 asks for it
    EXPECT_FALSE(library.ProgressShown());
}

}  // namespace
}  // namespace imagelib

#include "imagelib/core/image_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imagelib/core/test_fakes.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;

Bytes Bmp(int width, int height) {
    testing::BmpFile file(width, height);
    file.pixelData = testing::BmpRows24(testing::TestPattern(width, std::abs(height), 3));
    return testing::BuildBmp(file);
}

std::vector<std::pair<std::uint16_t, std::int32_t>> g_reports;
std::int32_t RecordProgress(std::uint16_t phase, std::int32_t percent) {
    g_reports.emplace_back(phase, percent);
    return 0;
}

TEST(ImageLibrary, EveryFailedLoadShowsTheLoadErrorWithThePathOnce) {
    FakePrompts prompts;
    ImageLibrary library(prompts);
    testing::TempFolder folder;
    testing::JpegOptions exif;
    exif.exifInsteadOfJfif = true;
    const Bytes bmp = Bmp(4, 4);
    const std::string paths[] = {
        folder.PathOf("no such picture.jpg"),
        folder.Write("notes.txt", {'h', 'i'}),
        folder.Write("exif.jpg", testing::EncodeJpeg(testing::TestPattern(8, 8, 3), exif)),
        folder.Write("anim.gif", {'G', 'I', 'F', '8', '9', 'a'}),  // cut after the signature
        folder.Write("scan.PCX", {10, 5, 1, 8}),                     // cut in the header
        folder.Write("cut.bmp", Bytes(bmp.begin(), bmp.begin() + 60)),
    };
    std::filesystem::create_directory(folder.PathOf("folder.bmp"));
    for (const std::string& path : {paths[0], paths[1], paths[2], paths[3], paths[4], paths[5],
                                    folder.PathOf("folder.bmp")}) {
        prompts.errors.clear();
        EXPECT_EQ(library.Load(path, 0), nullptr) << path;
        ASSERT_EQ(prompts.errors.size(), 1u) << path;
        EXPECT_EQ(prompts.errors[0].text, "Error Loading " + path);
        EXPECT_EQ(prompts.errors[0].caption, "Error");
    }
    EXPECT_EQ(library.LastWidth(), 0);
}

TEST(ImageLibrary, KeepsTheRecordAndTheLastSizeUntilTheNextLoad) {
    FakePrompts prompts;
    ImageLibrary library(prompts);
    library.SetProgressHook(RecordProgress);
    testing::TempFolder folder;
    const ImageRecord* first = library.Load(folder.Write("a.bmp", Bmp(3, -5)), 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(library.KeptImage(), first);
    EXPECT_EQ(library.LastHeight(), -5);  // top-down, as the file has it
    EXPECT_TRUE(g_reports.empty());       // a BMP load reports nothing

    // A JPEG named .PCX is found by its content; it reports its rows.
    const Bytes jpeg = testing::EncodeJpeg(testing::TestPattern(8, 200, 3));
    ASSERT_NE(library.Load(folder.Write("photo.PCX", jpeg), 1), nullptr);
    EXPECT_EQ(library.LastWidth(), 8);
    ASSERT_EQ(g_reports.size(), 200u);
    EXPECT_EQ(g_reports[99], std::make_pair(kPhaseConverting, 50));
    EXPECT_EQ(g_reports.back(), std::make_pair(kPhaseConverting, 100));
    EXPECT_TRUE(library.ProgressShown());

    EXPECT_EQ(library.Load(folder.PathOf("missing.bmp"), 2), nullptr);
    EXPECT_EQ(library.KeptImage(), nullptr);
    EXPECT_EQ(library.LastWidth(), 8);
    EXPECT_EQ(library.LastHeight(), 200);
    EXPECT_FALSE(library.ProgressShown());  // only exactly 1 asks for it
    EXPECT_EQ(library.SaveQuality(), 80);
}

}  // namespace
}  // namespace imagelib

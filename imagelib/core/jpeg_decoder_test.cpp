#include "imagelib/core/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/testing/test_fakes.h"
#include "imagelib/core/testing/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::Picture;

// djpeg's decode of the file with the integer DCT, written as a BMP and
// read back; for greyscale files through the same quantizer (256 levels,
// Floyd-Steinberg), which moves some values by one. Status 2 means it met
// a warning and still decoded.
std::vector<testing::Rgb> DjpegColours(const testing::TempFolder& folder, const std::string& path,
                                       bool grey) {
    const std::string output = folder.PathOf("djpeg.bmp");
    const std::string command = std::string(REDIRA_DJPEG) + " -dct int -bmp" +
                                (grey ? " -colors 256 -dither fs" : "") + " -outfile '" + output +
                                "' '" + path + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 2)) return {};
    return testing::RecordColours(DecodeFile(output, DecodeEnvironment{}).record);
}

// Decodes the file and expects what djpeg makes of it, rows bottom-up:
// blue, green, red at 24 bits, grey levels as indices into a grey ramp at
// 8 bits.
void ExpectDjpegPicture(const std::string& path, FakePrompts& prompts, bool grey) {
    const DecodeResult result = DecodeFile(path, DecodeEnvironment{&prompts, nullptr, {}});
    ASSERT_EQ(result.status, LoadStatus::Ok);
    const ImageRecord& record = result.record;
    ASSERT_GT(record.Height(), 0);
    ASSERT_EQ(record.BitCount(), grey ? 8 : 24);
    ASSERT_EQ(record.Header().coloursUsed, grey ? 256u : 0u);
    for (int i = 0; grey && i < 256; ++i) {
        const std::uint8_t* entry = record.ColourTable() + 4 * i;
        ASSERT_TRUE(entry[0] == i && entry[1] == i && entry[2] == i && entry[3] == 0) << i;
    }
    testing::TempFolder folder;
    EXPECT_EQ(testing::RecordColours(record), DjpegColours(folder, path, grey));
}

TEST(JpegDecoder, ColourGreyCmykAndYcckPicturesEqualDjpegsStoredBottomUp) {
    struct Case {
        int width, height, components;
        testing::JpegOptions options;
    };
    const Case cases[] = {{61, 37, 3, {85}},
                          {64, 64, 3, {70, true}},
                          {1, 1, 3, {90}},
                          {45, 29, 1, {85}},
                          {40, 24, 1, {60, true}},
                          {33, 17, 4, {85}},
                          {33, 17, 4, {85, false, true}}};
    testing::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << "x" << c.components);
        const Picture picture = testing::TestPattern(c.width, c.height, c.components);
        FakePrompts prompts;
        ExpectDjpegPicture(folder.Write("a.jpg", testing::EncodeJpeg(picture, c.options)), prompts,
                           c.components == 1);
        EXPECT_TRUE(prompts.warnings.empty());
    }
}

TEST(JpegDecoder, AFileCutShortWarnsOnceThenGivesTheFullPictureOnOkAndFailsOnCancel) {
    testing::TempFolder folder;
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(64, 48, 3), {90});
    const std::string path =
        folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() * 6 / 10));
    FakePrompts prompts;
    ExpectDjpegPicture(path, prompts, false);
    ASSERT_EQ(prompts.warnings.size(), 1u);
    EXPECT_EQ(prompts.warnings[0].text, "Premature end of JPEG file");
    EXPECT_EQ(prompts.warnings[0].caption, "Warning");

    FakePrompts cancelling;
    cancelling.answerOk = false;
    const DecodeResult result = DecodeFile(path, DecodeEnvironment{&cancelling, nullptr, {}});
    EXPECT_NE(result.status, LoadStatus::Ok);
    EXPECT_FALSE(result.record);
    EXPECT_EQ(cancelling.warnings.size(), 1u);
}

TEST(JpegDecoder, RefusesSizesTheFileCannotHold) {
    testing::TempFolder folder;
    const Bytes small = testing::EncodeJpeg(testing::TestPattern(8, 8, 3), {50});
    for (const int side : {65000, 2000}) {
        FakePrompts prompts;
        const DecodeResult result =
            DecodeFile(folder.Write("a.jpg", testing::WithFrameSize(small, side, side)),
                       DecodeEnvironment{&prompts, nullptr, {}});
        EXPECT_EQ(result.status, LoadStatus::BadHeader);
        EXPECT_TRUE(prompts.warnings.empty());
    }
    // The densest plain file still loads: 1600 x 1200 of one grey.
    Picture plain{1600, 1200, 1, Bytes(1600 * 1200, 0x80)};
    const DecodeResult result = DecodeFile(
        folder.Write("plain.jpg", testing::EncodeJpeg(plain, {75})), DecodeEnvironment{});
    EXPECT_EQ(result.status, LoadStatus::Ok);
}

TEST(JpegDecoder, AnExifOrientationTurnsThePictureUpright) {
    // The same coded picture with each orientation, in blocks of either
    // byte order, first in the file or behind a JFIF block (and behind
    // another APP1 block): each pixel is the plain picture's, turned.
    const int width = 24, height = 20;  // two bands of rows, the second part full
    testing::JpegOptions options{95};
    options.fullChroma = true;
    testing::TempFolder folder;
    for (const bool grey : {false, true}) {
        const Picture picture = testing::TestPattern(width, height, grey ? 1 : 3);
        options.jfif = true;
        const Bytes withJfif = testing::EncodeJpeg(picture, options);
        options.jfif = false;
        const Bytes withoutJfif = testing::EncodeJpeg(picture, options);
        const DecodeResult plain =
            DecodeFile(folder.Write("plain.jpg", withJfif), DecodeEnvironment{});
        ASSERT_EQ(plain.status, LoadStatus::Ok);
        const std::vector<testing::Rgb> stored = testing::RecordColours(plain.record);
        for (int value = 1; value <= 8; ++value) {
            SCOPED_TRACE(::testing::Message()
                         << (grey ? "grey" : "colour") << ", orientation " << value);
            const Bytes exif = testing::CameraExif(value, value % 2 == 0);
            const Bytes xmp = {'h', 't', 't', 'p', ':', '/', '/', 0};
            const Bytes file =
                value <= 4 ? testing::WithSegment(withoutJfif, 0xE1, exif)
                           : testing::WithSegment(testing::WithSegment(withJfif, 0xE1, exif, true),
                                                  0xE1, xmp, true);
            const DecodeResult result =
                DecodeFile(folder.Write("turned.jpg", file), DecodeEnvironment{});
            ASSERT_EQ(result.status, LoadStatus::Ok);
            const bool swapped = value >= 5;
            const int uprightWidth = swapped ? height : width,
                      uprightHeight = swapped ? width : height;
            ASSERT_EQ(result.record.Width(), uprightWidth);
            ASSERT_EQ(result.record.Height(), uprightHeight);
            ASSERT_EQ(result.record.BitCount(), grey ? 8 : 24);
            const std::vector<testing::Rgb> upright = testing::RecordColours(result.record);
            for (int y = 0; y < uprightHeight; ++y) {
                for (int x = 0; x < uprightWidth; ++x) {
                    const testing::Position from =
                        testing::StoredPosition(value, width, height, x, y);
                    ASSERT_EQ(upright[y * uprightWidth + x], stored[from.y * width + from.x])
                        << x << "," << y;
                }
            }
        }
    }
}

// The largest difference of two pictures in any channel of any pixel;
// 256 when their sizes differ.
int LargestDifference(const std::vector<testing::Rgb>& a, const std::vector<testing::Rgb>& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (const int shift : {0, 8, 16}) {
            largest = std::max(largest, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                                 static_cast<int>((b[i] >> shift) & 0xFF)));
        }
    }
    return largest;
}

TEST(JpegDecoder, EveryTestPictureDjpegDecodesLoadsAsAViewerShowsIt) {
    // Cameras', phones' and editors' files (imagelib/testdata/jpeg, made by
    // its make_pictures.py), the fuzzing seeds and the built-in pictures;
    // what djpeg cannot decode (12-bit, lossless) fails.
    testing::TempFolder folder;
    const std::string source = REDIRA_SOURCE_DIR;
    const std::string command = "'" + source + "/imagelib/testdata/jpeg/viewer_references.py' '" +
                                folder.PathOf("") + "' '" + source + "/imagelib/testdata/jpeg' '" +
                                source + "/imagelib/testdata/seeds' '" + source + "/resources'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int loaded = 0, refused = 0;
    for (const std::string& name : folder.Names()) {
        if (!name.ends_with(".jpg")) continue;
        SCOPED_TRACE(name);
        const std::string base = folder.PathOf(name.substr(0, name.size() - 4));
        FakePrompts prompts;
        const DecodeResult result =
            DecodeFile(folder.PathOf(name), DecodeEnvironment{&prompts, nullptr, {}});
        EXPECT_TRUE(prompts.warnings.empty());
        if (std::filesystem::exists(base + ".refused")) {
            EXPECT_NE(result.status, LoadStatus::Ok);
            EXPECT_FALSE(result.record);
            ++refused;
            continue;
        }
        ASSERT_EQ(result.status, LoadStatus::Ok);
        const DecodeResult reference = DecodeFile(base + ".bmp", DecodeEnvironment{});
        ASSERT_EQ(result.record.Width(), reference.record.Width());
        ASSERT_EQ(result.record.Height(), reference.record.Height());
        EXPECT_LE(LargestDifference(testing::RecordColours(result.record),
                                    testing::RecordColours(reference.record)),
                  1);
        ++loaded;
    }
    EXPECT_GE(loaded, 30);
    EXPECT_EQ(refused, 2);
}

}  // namespace
}  // namespace imagelib

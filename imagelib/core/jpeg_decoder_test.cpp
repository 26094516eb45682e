#include "imagelib/core/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
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
std::vector<testing::Rgb> DjpegColours(const testing::TempFolder& folder, const std::string& path, bool grey) {
    const std::string output = folder.PathOf("djpeg.bmp");
    const std::string command = std::string(REDIRA_DJPEG) + " -dct int -bmp" + (grey ? " -colors 256 -dither fs" : "") +
                                " -outfile '" + output + "' '" + path + "' 2>/dev/null";
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

TEST(JpegDecoder, ColourAndGreyPicturesEqualDjpegsStoredBottomUp) {
    struct Case {
        int width, height, components;
        testing::JpegOptions options;
    };
    const Case cases[] = {{61, 37, 3, {85}}, {64, 64, 3, {70, true}}, {1, 1, 3, {90}},
                          {45, 29, 1, {85}}, {40, 24, 1, {60, true}}};
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
    const std::string path = folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() * 6 / 10));
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

// Writes another width and height into the frame header.
Bytes WithClaimedSize(Bytes jpeg, int side) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = jpeg[i + 7] = static_cast<std::uint8_t>(side >> 8);
            jpeg[i + 6] = jpeg[i + 8] = static_cast<std::uint8_t>(side);
            break;
        }
    }
    return jpeg;
}

TEST(JpegDecoder, RefusesFourComponentsAndSizesTheFileCannotHold) {
    testing::TempFolder folder;
    testing::JpegOptions ycck;
    ycck.ycck = true;
    const Bytes small = testing::EncodeJpeg(testing::TestPattern(8, 8, 3), {50});
    const Bytes refused[] = {
        testing::EncodeJpeg(testing::TestPattern(16, 8, 4)),        // CMYK
        testing::EncodeJpeg(testing::TestPattern(16, 8, 4), ycck),  // YCCK
        WithClaimedSize(small, 65000),
        WithClaimedSize(small, 2000),
    };
    for (const Bytes& bytes : refused) {
        FakePrompts prompts;
        const DecodeResult result =
            DecodeFile(folder.Write("a.jpg", bytes), DecodeEnvironment{&prompts, nullptr, {}});
        EXPECT_EQ(result.status, LoadStatus::BadHeader);
        EXPECT_TRUE(prompts.warnings.empty());
    }
    // The densest plain file still loads: 1600 x 1200 of one grey.
    Picture plain{1600, 1200, 1, Bytes(1600 * 1200, 0x80)};
    const DecodeResult result =
        DecodeFile(folder.Write("plain.jpg", testing::EncodeJpeg(plain, {75})), DecodeEnvironment{});
    EXPECT_EQ(result.status, LoadStatus::Ok);
}

}  // namespace
}  // namespace imagelib

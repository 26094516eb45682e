#include "imagelib/core/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "imagelib/core/decode_file.h"
#include "imagelib/core/test_fakes.h"
#include "imagelib/core/test_files.h"

namespace imagelib {
namespace {

using testing::Bytes;
using testing::JpegOptions;
using testing::Picture;
using testing::TempFolder;

// djpeg's own decode of the file with the integer DCT; for greyscale
// files through the same quantizer (256 levels, Floyd-Steinberg dithering),
// which moves some values by one. It ends with status 2 when it met a
// warning (a file cut short), which still gives a picture.
std::optional<Picture> Djpeg(const TempFolder& folder, const std::string& jpegPath,
                             bool grey = false) {
    const std::string output = folder.PathOf("djpeg.pnm");
    const std::string command = std::string(REDIRA_DJPEG) + " -dct int" +
                                (grey ? " -colors 256 -dither fs" : "") + " -outfile '" + output +
                                "' '" + jpegPath + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 2)) {
        return std::nullopt;
    }
    return testing::ReadPnm(output);
}

DecodeResult Decode(const std::string& path, FakePrompts& prompts) {
    const DecodeEnvironment environment{&prompts, nullptr, {}};
    return DecodeFile(path, true, environment);
}

// The record's pixels equal the reference picture, whose top row is the
// record's last row. 24-bit records hold blue, green, red; 8-bit records
// hold indices into their colour table.
void ExpectSamePicture(const ImageRecord& record, const Picture& reference) {
    ASSERT_EQ(record.Width(), reference.width);
    ASSERT_EQ(record.Height(), reference.height);
    const int bits = record.BitCount();
    ASSERT_EQ(bits, reference.components == 3 ? 24 : 8);
    const std::size_t stride = static_cast<std::size_t>(RowStride(record.Width(), bits));
    int mismatches = 0;
    for (int y = 0; y < reference.height; ++y) {
        const std::uint8_t* row = record.Pixels() + (reference.height - 1 - y) * stride;
        for (int x = 0; x < reference.width; ++x) {
            const std::uint8_t* expected = reference.At(x, y);
            std::uint8_t blue, green, red;
            if (bits == 24) {
                blue = row[3 * x];
                green = row[3 * x + 1];
                red = row[3 * x + 2];
            } else {
                const std::uint8_t* entry = record.ColourTable() + 4 * row[x];
                blue = entry[0];
                green = entry[1];
                red = entry[2];
            }
            const std::uint8_t expectedRed = expected[0];
            const std::uint8_t expectedGreen = reference.components == 3 ? expected[1] : expected[0];
            const std::uint8_t expectedBlue = reference.components == 3 ? expected[2] : expected[0];
            if (red != expectedRed || green != expectedGreen || blue != expectedBlue) {
                if (++mismatches <= 3) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << int{red} << ","
                                  << int{green} << "," << int{blue} << " instead of "
                                  << int{expectedRed} << "," << int{expectedGreen} << ","
                                  << int{expectedBlue};
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

struct PictureCase {
    int width;
    int height;
    JpegOptions options;
    const char* what;
};

TEST(JpegDecoder, ColourPicturesEqualDjpegRowForRowStoredBottomUp) {
    const PictureCase cases[] = {
        {61, 37, {85}, "odd size, baseline"},
        {64, 64, {70, true}, "progressive"},
        {1, 1, {90}, "one pixel"},
        {17, 130, {95}, "tall"},
    };
    TempFolder folder;
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.Write(
            "colour.jpg", testing::EncodeJpeg(testing::TestPattern(c.width, c.height, 3), c.options));
        FakePrompts prompts;
        const DecodeResult result = Decode(path, prompts);
        ASSERT_EQ(result.status, LoadStatus::Ok);
        const InfoHeader header = result.record.Header();
        EXPECT_EQ(header.bitCount, 24);
        EXPECT_EQ(header.coloursUsed, 0u);
        EXPECT_EQ(header.imageDataSize, RowStride(c.width, 24) * c.height);
        EXPECT_EQ(result.record.PixelOffset(), 40u);
        const std::optional<Picture> reference = Djpeg(folder, path);
        ASSERT_TRUE(reference);
        ExpectSamePicture(result.record, *reference);
        EXPECT_TRUE(prompts.warnings.empty());
    }
}

TEST(JpegDecoder, GreyPicturesBecomeEightBitRecordsWithAGreyRamp) {
    const PictureCase cases[] = {
        {45, 29, {85}, "baseline"},
        {40, 24, {60, true}, "progressive"},
    };
    TempFolder folder;
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.Write(
            "grey.jpg", testing::EncodeJpeg(testing::TestPattern(c.width, c.height, 1), c.options));
        FakePrompts prompts;
        const DecodeResult result = Decode(path, prompts);
        ASSERT_EQ(result.status, LoadStatus::Ok);
        const InfoHeader header = result.record.Header();
        EXPECT_EQ(header.bitCount, 8);
        EXPECT_EQ(header.coloursUsed, 256u);
        ASSERT_EQ(result.record.PixelOffset(), 40u + 1024);
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t* entry = result.record.ColourTable() + 4 * i;
            ASSERT_EQ(Bytes(entry, entry + 4), (Bytes{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0}))
                << "entry " << i;
        }
        const std::optional<Picture> reference = Djpeg(folder, path, true);
        ASSERT_TRUE(reference);
        ASSERT_EQ(reference->components, 1);
        ExpectSamePicture(result.record, *reference);
    }
}

TEST(JpegDecoder, ADetectionByContentWorksWhateverTheName) {
    TempFolder folder;
    const Bytes jfif = testing::EncodeJpeg(testing::TestPattern(8, 8, 3));
    FakePrompts prompts;
    EXPECT_EQ(Decode(folder.Write("photo.PCX", jfif), prompts).status, LoadStatus::Ok);

    // With an APP1 block first the file is not recognised at all, and
    // under a .PCX name it goes to a reader that is not there.
    JpegOptions exif;
    exif.exifInsteadOfJfif = true;
    const Bytes app1First = testing::EncodeJpeg(testing::TestPattern(8, 8, 3), exif);
    ASSERT_EQ(app1First[3], 0xE1);
    EXPECT_EQ(Decode(folder.Write("photo.jpg", app1First), prompts).status,
              LoadStatus::NotRecognised);
    EXPECT_EQ(Decode(folder.Write("photo.pcx", app1First), prompts).status,
              LoadStatus::NotRecognised);
}

TEST(JpegDecoder, AFileCutShortWarnsOnceThenGivesTheFullPictureOnOk) {
    TempFolder folder;
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(64, 48, 3), {90});
    const std::string path =
        folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() * 6 / 10));
    FakePrompts prompts;
    const DecodeResult result = Decode(path, prompts);
    ASSERT_EQ(result.status, LoadStatus::Ok);
    ASSERT_EQ(prompts.warnings.size(), 1u);
    EXPECT_EQ(prompts.warnings[0].text, "Premature end of JPEG file");
    EXPECT_EQ(prompts.warnings[0].caption, "Warning");
    EXPECT_EQ(result.record.Width(), 64);
    EXPECT_EQ(result.record.Height(), 48);
    const std::optional<Picture> reference = Djpeg(folder, path);
    ASSERT_TRUE(reference);
    ExpectSamePicture(result.record, *reference);
}

TEST(JpegDecoder, CancelAtTheWarningFailsTheDecode) {
    TempFolder folder;
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(64, 48, 3), {90});
    const std::string path =
        folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    FakePrompts prompts;
    prompts.answerOk = false;
    const DecodeResult result = Decode(path, prompts);
    EXPECT_NE(result.status, LoadStatus::Ok);
    EXPECT_FALSE(result.record);
    EXPECT_EQ(prompts.warnings.size(), 1u);
}

TEST(JpegDecoder, AFileCutAtAnyLengthFailsOrGivesTheFullSizeAfterOneWarningAtMost) {
    TempFolder folder;
    const Bytes whole = testing::EncodeJpeg(testing::TestPattern(16, 16, 3), {80, true});
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const std::string path = folder.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + length));
        FakePrompts prompts;
        const DecodeResult result = Decode(path, prompts);
        EXPECT_LE(prompts.warnings.size(), 1u) << length;
        if (result.record) {
            EXPECT_EQ(result.record.Width(), 16) << length;
            EXPECT_EQ(result.record.Height(), 16) << length;
        } else {
            EXPECT_NE(result.status, LoadStatus::Ok) << length;
        }
    }
}

TEST(JpegDecoder, RefusesFourComponentFiles) {
    TempFolder folder;
    for (const bool ycck : {false, true}) {
        JpegOptions options;
        options.ycck = ycck;
        const std::string path = folder.Write(
            "print.jpg", testing::EncodeJpeg(testing::TestPattern(16, 8, 4), options));
        FakePrompts prompts;
        const DecodeResult result = Decode(path, prompts);
        EXPECT_EQ(result.status, LoadStatus::BadHeader) << (ycck ? "YCCK" : "CMYK");
        EXPECT_FALSE(result.record);
        EXPECT_TRUE(prompts.warnings.empty());
    }
}

// Writes a new width and height into the frame header of a JPEG file.
Bytes WithClaimedSize(Bytes jpeg, int width, int height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

TEST(JpegDecoder, RefusesASizeTheFileCannotHoldBeforeAllocatingIt) {
    TempFolder folder;
    const Bytes small = testing::EncodeJpeg(testing::TestPattern(8, 8, 3), {50});
    for (const int side : {65000, 20000, 2000}) {
        const std::string path = folder.Write("claim.jpg", WithClaimedSize(small, side, side));
        FakePrompts prompts;
        const DecodeResult result = Decode(path, prompts);
        EXPECT_EQ(result.status, LoadStatus::BadHeader) << side;
        EXPECT_FALSE(result.record) << side;
        EXPECT_TRUE(prompts.warnings.empty()) << side;
    }
}

TEST(JpegDecoder, APlainPictureOfOneColourStillLoads) {
    // The most a plain file packs into few bytes: 1600 x 1200 of one grey.
    Picture plain{1600, 1200, 1, {}};
    plain.samples.assign(1600 * 1200, 0x80);
    TempFolder folder;
    const Bytes bytes = testing::EncodeJpeg(plain, {75});
    const std::string path = folder.Write("plain.jpg", bytes);
    FakePrompts prompts;
    const DecodeResult result = Decode(path, prompts);
    ASSERT_EQ(result.status, LoadStatus::Ok) << bytes.size() << " bytes";
    EXPECT_EQ(result.record.Width(), 1600);
    EXPECT_EQ(result.record.Pixels()[0], 0x80);
}

}  // namespace
}  // namespace imagelib

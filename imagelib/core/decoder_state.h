// The state block and the services that every decoder shares: buffered
// input (ReadByte), buffered output into a decoded-data buffer (EmitByte,
// FlushOutput), allocation of that buffer and of the image record, and the
// end of every decode (FinishDecode). A fresh DecoderState is made for each
// decode, so every field starts at zero.
//
// A decoder's life: set the file name (DecodeFile does), OpenInput, then
// either read the stream directly (ReadDirect, SeekInput) or set the buffer
// sizes it wants and call SetupBuffers and read with ReadByte; set capacity
// and AllocDecoded when it decompresses into the decoded-data buffer; make
// the record with NewImageRecord; end with FinishDecode (0 on success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imagelib/core/byte_buffer.h"
#include "imagelib/core/display_palette.h"
#include "imagelib/core/image_record.h"
#include "imagelib/core/input_stream.h"
#include "imagelib/core/load_status.h"
#include "imagelib/core/user_prompts.h"

namespace imagelib {

// The decoders' progress report: phase 0 while the file is read, 1 while
// rows are converted; percent 0 to 100. The Win32 layer may install one
// (for the progress window); it answers 0.
using ProgressHook = std::int32_t (*)(std::uint16_t phase, std::int32_t percent);
inline constexpr std::uint16_t kPhaseReading = 0;
inline constexpr std::uint16_t kPhaseConverting = 1;

// Options of the JPEG decoder. Every load resets them to these values.
struct JpegReadOptions {
    std::uint8_t colourMode = 0;  // 0: full colour (the only mode any load sets)
    std::uint8_t ditherMode = 2;  // Floyd-Steinberg, for greyscale files
    std::uint8_t twoPass = 1;
};

// What the library lends to a decode: it outlives the DecoderState.
struct DecodeEnvironment {
    UserPrompts* prompts = nullptr;  // none: JPEG warnings are let pass
    ProgressHook progressHook = nullptr;
    JpegReadOptions jpegOptions;
    const DisplayPalette* displayPalette = nullptr;  // none: fixed colours instead
};

// Both buffers of ReadByte and EmitByte are at least this large.
inline constexpr std::size_t kMinimumBufferSize = 0x4000;

struct DecoderState {
    explicit DecoderState(const DecodeEnvironment& lent) : environment(lent) {}
    DecoderState(const DecoderState&) = delete;
    DecoderState& operator=(const DecoderState&) = delete;

    const DecodeEnvironment& environment;

    LoadStatus status = LoadStatus::Ok;
    bool intoMemory = false;  // read the whole file into memory first
    bool endOfInput = false;  // set by ReadByte when the file is exhausted
    bool outputFull = false;  // set by EmitByte when the decoded data is full
    std::string fileName;

    InputStream input;
    std::int64_t fileSize = 0;

    // ReadByte's buffer. A decoder may set inputBufferSize before
    // SetupBuffers, which raises it to at least kMinimumBufferSize.
    ByteBuffer inputBuffer;
    std::size_t inputBufferSize = 0;
    std::size_t inputPosition = 0;
    std::size_t bytesInBuffer = 0;
    std::int64_t bytesConsumed = 0;  // bytes of the file taken from the stream so far

    // The decoded-data buffer that EmitByte fills; the decoder sets
    // capacity (and decodedRowLength) before AllocDecoded.
    ByteBuffer decoded;
    std::size_t bytesWritten = 0;
    std::size_t capacity = 0;
    std::size_t decodedRowLength = 0;

    // EmitByte's staging chunk; chunkSize as inputBufferSize.
    ByteBuffer chunk;
    std::size_t chunkSize = 0;
    std::size_t chunkFill = 0;
    std::size_t chunkCapacity = 0;

    ImageRecord record;
    std::size_t headerSize = 0;  // 40 + 4 * colours: the offset of the pixel rows
    std::size_t imageDataSize = 0;
    std::size_t rowStride = 0;
    std::uint16_t colours = 0;
    std::uint16_t bitsPerPixel = 0;
    PaletteTriples palette{};
    // 100 / file size while reading, 100 / row count while converting.
    float percentFactor = 0;

    // Opens fileName (into memory when intoMemory is set), records the file
    // size and sets percentFactor to 100 / file size. Failure: status 132
    // (129 when the memory copy cannot be allocated), false.
    bool OpenInput();
    // Raises the buffer sizes to kMinimumBufferSize, allocates both
    // buffers and arranges for the first ReadByte to fill its buffer.
    // Failure: status 129, false.
    bool SetupBuffers();
    // Allocates the decoded-data buffer of `capacity` bytes, zero-filled.
    // Failure: status 129, false.
    bool AllocDecoded();

    // The next byte of the file; 0 with endOfInput set when there is none.
    // Each refill of the buffer reports reading progress.
    std::uint8_t ReadByte();
    // Up to `count` bytes through ReadByte's buffer (refills report as
    // ReadByte's do); answers how many. Fewer only at the end of the file,
    // with endOfInput set.
    std::size_t ReadBytes(std::uint8_t* into, std::size_t count);
    // Reads up to `count` bytes straight from the stream (behind what
    // ReadByte has taken) and counts them as consumed; answers how many.
    std::size_t ReadDirect(void* into, std::size_t count);
    // Continues reading the file at `offset`; ReadByte's buffer is dropped.
    bool SeekInput(std::int64_t offset);

    // Appends one byte to the decoded data through the chunk. When the
    // decoded data is full the byte is dropped and outputFull is set.
    void EmitByte(std::uint8_t value);
    // Appends `count` bytes behind those emitted so far, as many as fit;
    // sets outputFull once the decoded data is full.
    void EmitBytes(const std::uint8_t* bytes, std::size_t count);
    // Moves the chunk's pending bytes to the decoded data, never beyond
    // its capacity. Called once after the last EmitByte.
    void FlushOutput();

    // Allocates the record (recordHeaderSize + dataBytes bytes, zero-filled)
    // and writes its header: 40, width, height, 1 plane, `bits`, no
    // compression, dataBytes, colours used = ColourCount(1, bits). With
    // bits <= 8 and a palette, entry i of the colour table is made from
    // triple i. Refuses (status 131) sizes beyond the image limits, a
    // header size other than 40 + 4 * ColourCount(1, bits) and fewer data
    // bytes than the rows need; status 129 when it cannot be allocated.
    bool NewImageRecord(const PaletteTriples* triples, std::int32_t width, std::int32_t height,
                        std::size_t dataBytes, std::size_t recordHeaderSize, int bits);

    // Closes the input and releases every buffer; with a non-zero status
    // also the record. Stores the status and answers whether it is 0.
    bool FinishDecode(LoadStatus finalStatus);

    // Calls the progress hook, if any, with count * percentFactor rounded
    // to the nearest integer.
    void ReportProgress(std::uint16_t phase, double count) const;
};

}  // namespace imagelib

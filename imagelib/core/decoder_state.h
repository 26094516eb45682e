// What one decode works with, and the services every decoder shares: the
// file in memory behind a bounds-checked reader, the decoded-data buffer,
// the record maker and the end of every decode. A fresh DecoderState is
// made for each decode.
//
// A decoder's life: OpenInput (the whole file into `input`); read the
// headers (TakeHeader) and the data (Byte, Take); when it decompresses
// first, Allocate the decoded data and Put bytes into it; MakeRecord
// with the layout and palette; place the rows, reporting each with
// ReportRow; end with Finish (Ok on success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "imagelib/core/byte_buffer.h"
#include "imagelib/core/byte_reader.h"
#include "imagelib/core/display_palette.h"
#include "imagelib/core/image_record.h"
#include "imagelib/core/input_stream.h"
#include "imagelib/core/load_status.h"
#include "imagelib/core/progress.h"
#include "imagelib/core/user_prompts.h"

namespace imagelib {

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
    const FileOpener* files = nullptr;               // none: files are opened plainly
};

// Reading progress is reported every this many bytes at least (as if the
// file went through a buffer of this size).
inline constexpr std::size_t kReadingStep = 0x4000;

// The decoded-data buffer: bytes in the order a decoder produces them,
// before it places them into the record. It starts zeroed, so what a short
// file never reaches is 0.
class DecodedData {
public:
    // `capacity` zero bytes; false when they cannot be had.
    bool Allocate(std::size_t capacity) {
        buffer_ = ByteBuffer::Zeroed(capacity);
        written_ = 0;
        full_ = false;
        return static_cast<bool>(buffer_);
    }
    // Appends one byte. When there is no room it is dropped and Full() set.
    void Put(std::uint8_t value) {
        if (written_ < buffer_.Size()) {
            buffer_.Data()[written_++] = value;
        } else {
            full_ = true;
        }
    }
    // Appends as many of `count` bytes as fit; Full() once no room is left.
    void Put(const std::uint8_t* bytes, std::size_t count);
    // The room left, for a decoder to write into directly; Advance then
    // counts what it wrote there, and sets Full() once no room is left.
    std::span<std::uint8_t> Room() { return {buffer_.Data() + written_, buffer_.Size() - written_}; }
    void Advance(std::size_t count);

    bool Full() const { return full_; }
    std::size_t Written() const { return written_; }
    const std::uint8_t* Data() const { return buffer_.Data(); }
    void Release() { buffer_.Reset(); }

private:
    ByteBuffer buffer_;
    std::size_t written_ = 0;
    bool full_ = false;
};

struct DecoderState {
    DecoderState(const DecodeEnvironment& lent, std::string name)
        : environment(lent), fileName(std::move(name)) {}
    DecoderState(const DecoderState&) = delete;
    DecoderState& operator=(const DecoderState&) = delete;

    const DecodeEnvironment& environment;
    const std::string fileName;
    LoadStatus status = LoadStatus::Ok;

    ByteReader input;     // the file, once OpenInput has read it
    DecodedData decoded;  // for the decoders that decompress first
    PaletteTriples palette{};
    RecordLayout layout;  // of the record, once MakeRecord made it
    ImageRecord record;

    // Reads the whole file into memory and puts `input` over it; reading
    // reports every kReadingStep bytes. Failure: status 132 (cannot open
    // or read), 129 (no memory for it), false.
    bool OpenInput();
    // Reading progress every `step` bytes (at least kReadingStep) from now.
    void ReportReadingEvery(std::size_t step);

    // Allocates the record of `recordLayout` (zero-filled) and writes its
    // header: 40, width, height, 1 plane, bits, no compression, the data
    // size, colours used. With a palette, entry i of the colour table is
    // made from triple i. From now on ReportRow counts rows of the height.
    // Refuses (status 131) sizes beyond the image limits; status 129 when
    // it cannot be allocated.
    bool MakeRecord(const RecordLayout& recordLayout, const PaletteTriples* triples);
    // Reports `rows` rows converted (phase 1, share of the height, or of
    // the whole set by ScaleRows).
    void ReportRow(double rows) const { rows_.Report(rows); }
    void ScaleRows(double whole) { rows_ = ProgressScale(environment.progressHook, kPhaseConverting, whole); }

    // Releases the file and the decoded data; with a non-zero status also
    // the record. Stores the status and answers whether it is 0.
    bool Finish(LoadStatus finalStatus);

private:
    ByteBuffer file_;
    ProgressScale rows_;
};

}  // namespace imagelib

// What one decode works with, and the services every decoder shares: the
// file in memory behind a bounds-checked reader, the decoded-data buffer
// and the record maker. The steps of a decode follow from the types:
// DecodeFile reads the file and makes a DecoderState of it; the decoder
// reads from Input(), decompresses into its own DecodedData if it must,
// and asks MakeRecord for the record, which alone gives it the rows to
// fill and report; DecodeFile ends the decode with Finish.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

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
    std::span<std::uint8_t> Room() {
        return {buffer_.Data() + written_, buffer_.Size() - written_};
    }
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

// The record a decoder fills, from DecoderState::MakeRecord: its rows
// and colour table exist only once the record does.
class NewRecord {
public:
    std::uint8_t* Pixels() { return record_.Pixels(); }
    std::uint8_t* ColourTable() { return record_.Bytes() + kInfoHeaderSize; }
    // Reports `rows` rows converted (phase 1, share of the height, or of
    // the whole set by ScaleRows).
    void ReportRow(double rows) const { rows_.Report(rows); }
    void ScaleRows(double whole) { rows_ = ProgressScale(hook_, kPhaseConverting, whole); }

private:
    friend class DecoderState;
    NewRecord() = default;
    ImageRecord record_;
    ProgressHook hook_ = nullptr;
    ProgressScale rows_;
};

// What MakeRecord answers: the record to fill, or none and why.
struct MadeRecord {
    NewRecord* record = nullptr;  // none: refused
    LoadStatus status = LoadStatus::Ok;
};

// The outcome of a decode.
struct DecodeResult {
    ImageRecord record;  // empty on failure
    LoadStatus status = LoadStatus::Ok;
};

// One decode: the file, read whole into memory before it begins, behind
// a bounds-checked reader (headers with TakeHeader, data with Byte and
// Take), and the record maker.
class DecoderState {
public:
    // Reading progress is reported every kReadingStep bytes from the start.
    DecoderState(const DecodeEnvironment& lent, ByteBuffer file);
    DecoderState(const DecoderState&) = delete;
    DecoderState& operator=(const DecoderState&) = delete;

    const DecodeEnvironment& Environment() const { return environment_; }
    ByteReader& Input() { return input_; }
    // Reading progress every `step` bytes (at least kReadingStep) from now.
    void ReportReadingEvery(std::size_t step);

    // Allocates the record of `layout` (zero-filled) and writes its header:
    // 40, width, height, 1 plane, bits, no compression, the data size,
    // colours used. With a palette, entry i of the colour table is made
    // from triple i. Its rows report shares of the height.
    // Refuses (status 131) sizes beyond the image limits; status 129 when
    // it cannot be allocated.
    MadeRecord MakeRecord(const RecordLayout& layout, const PaletteTriples* triples);
    // The same for a header kept as a file has it (its bit count,
    // compression, colours used, and a negative height for rows stored top
    // first): room for the colour table it asks for (ColourTableEntries),
    // then `dataSize` bytes of pixel data, which becomes its data size.
    MadeRecord MakeRecord(InfoHeader header, std::size_t dataSize);

    // The decode's outcome: the record when `status` is Ok, else none.
    DecodeResult Finish(LoadStatus status);

private:
    const DecodeEnvironment& environment_;
    ByteBuffer file_;
    ByteReader input_;
    NewRecord made_;
};

}  // namespace imagelib

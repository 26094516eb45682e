#include "imagelib/core/decoder_state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imagelib/core/image_limits.h"
#include "imagelib/core/input_stream.h"

namespace imagelib {

void DecodedData::Put(const std::uint8_t* bytes, std::size_t count) {
    const std::size_t take = std::min(count, buffer_.Size() - written_);
    if (take > 0) std::memcpy(buffer_.Data() + written_, bytes, take);
    written_ += take;
    if (written_ == buffer_.Size()) full_ = true;
}

void DecodedData::Advance(std::size_t count) {
    written_ += std::min(count, buffer_.Size() - written_);
    if (written_ == buffer_.Size()) full_ = true;
}

bool DecoderState::OpenInput() {
    const LoadStatus read = ReadWholeFile(fileName, environment.files, file_);
    if (read != LoadStatus::Ok) {
        status = read;
        return false;
    }
    input = ByteReader(std::span<const std::uint8_t>(file_.Data(), file_.Size()));
    ReportReadingEvery(kReadingStep);
    return true;
}

void DecoderState::ReportReadingEvery(std::size_t step) {
    input.ReportSteps(environment.progressHook, std::max(step, kReadingStep));
}

bool DecoderState::MakeRecord(const RecordLayout& recordLayout, const PaletteTriples* triples) {
    if (!ImageSizeAllowed(recordLayout.width, recordLayout.height) || recordLayout.bits <= 0 ||
        recordLayout.imageDataSize > kMaxBlockSize) {
        status = LoadStatus::BadHeader;
        return false;
    }
    record = ImageRecord::Allocate(recordLayout.headerSize + recordLayout.imageDataSize);
    if (!record) {
        status = LoadStatus::OutOfMemory;
        return false;
    }
    layout = recordLayout;
    InfoHeader header;
    header.width = layout.width;
    header.height = layout.height;
    header.bitCount = static_cast<std::uint16_t>(layout.bits);
    header.imageDataSize = static_cast<std::uint32_t>(layout.imageDataSize);
    header.coloursUsed = layout.colours;
    header.Write(record.Bytes());
    if (layout.bits <= 8 && triples) {
        std::uint8_t* table = record.Bytes() + kInfoHeaderSize;
        for (std::uint32_t i = 0; i < layout.colours; ++i) {
            table[4 * i + 0] = (*triples)[3 * i + 2];
            table[4 * i + 1] = (*triples)[3 * i + 1];
            table[4 * i + 2] = (*triples)[3 * i + 0];
        }
    }
    ScaleRows(layout.height);
    return true;
}

bool DecoderState::Finish(LoadStatus finalStatus) {
    input = ByteReader();
    file_.Reset();
    decoded.Release();
    if (finalStatus != LoadStatus::Ok) record = ImageRecord();
    status = finalStatus;
    return finalStatus == LoadStatus::Ok;
}

}  // namespace imagelib

#include "imagelib/core/decoder_state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "imagelib/core/image_limits.h"

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

DecoderState::DecoderState(const DecodeEnvironment& lent, ByteBuffer file)
    : environment_(lent),
      file_(std::move(file)),
      input_(std::span<const std::uint8_t>(file_.Data(), file_.Size())) {
    ReportReadingEvery(kReadingStep);
}

void DecoderState::ReportReadingEvery(std::size_t step) {
    input_.ReportSteps(environment_.progressHook, std::max(step, kReadingStep));
}

MadeRecord DecoderState::MakeRecord(const RecordLayout& layout, const PaletteTriples* triples) {
    if (layout.bits <= 0 || layout.imageDataSize > kMaxBlockSize)
        return {nullptr, LoadStatus::BadHeader};
    InfoHeader header;
    header.width = layout.width;
    header.height = layout.height;
    header.bitCount = static_cast<std::uint16_t>(layout.bits);
    header.coloursUsed = layout.colours;
    const MadeRecord made = MakeRecord(header, layout.imageDataSize);
    if (made.record && layout.bits <= 8 && triples) {
        std::uint8_t* table = made.record->ColourTable();
        for (std::uint32_t i = 0; i < layout.colours; ++i) {
            table[4 * i + 0] = (*triples)[3 * i + 2];
            table[4 * i + 1] = (*triples)[3 * i + 1];
            table[4 * i + 2] = (*triples)[3 * i + 0];
        }
    }
    return made;
}

MadeRecord DecoderState::MakeRecord(InfoHeader header, std::size_t dataSize) {
    const std::int64_t rows = std::llabs(static_cast<std::int64_t>(header.height));
    if (!ImageSizeAllowed(header.width, rows)) return {nullptr, LoadStatus::BadHeader};
    const std::size_t tableSize = 4 * std::size_t{ColourTableEntries(header)};
    made_.record_ = ImageRecord::Allocate(kInfoHeaderSize + tableSize + dataSize);
    if (!made_.record_) return {nullptr, LoadStatus::OutOfMemory};
    header.imageDataSize = static_cast<std::uint32_t>(dataSize);
    header.Write(made_.record_.Bytes());
    made_.hook_ = environment_.progressHook;
    made_.ScaleRows(static_cast<double>(rows));
    return {&made_, LoadStatus::Ok};
}

DecodeResult DecoderState::Finish(LoadStatus status) {
    if (status != LoadStatus::Ok) return {ImageRecord(), status};
    return {std::move(made_.record_), status};
}

}  // namespace imagelib

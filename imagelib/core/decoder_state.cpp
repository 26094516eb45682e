#include "imagelib/core/decoder_state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "imagelib/core/image_limits.h"

namespace imagelib {

bool DecoderState::OpenInput() {
    const LoadStatus opened = input.Open(fileName, intoMemory);
    if (opened != LoadStatus::Ok) {
        status = opened;
        return false;
    }
    fileSize = input.Size();
    percentFactor = fileSize > 0 ? 100.0f / static_cast<float>(fileSize) : 0.0f;
    return true;
}

bool DecoderState::SetupBuffers() {
    inputBufferSize = std::max(inputBufferSize, kMinimumBufferSize);
    chunkSize = std::max(chunkSize, kMinimumBufferSize);
    inputPosition = inputBufferSize;
    bytesInBuffer = 0;
    chunkCapacity = decoded ? std::min(chunkSize, capacity - bytesWritten) : chunkSize;
    chunkFill = 0;
    inputBuffer = ByteBuffer::Uninitialised(inputBufferSize);
    chunk = ByteBuffer::Uninitialised(chunkSize);
    if (!inputBuffer || !chunk) {
        status = LoadStatus::OutOfMemory;
        return false;
    }
    return true;
}

bool DecoderState::AllocDecoded() {
    // Zero-filled, so that pixels a short file never reaches are black
    // rather than whatever the heap held.
    decoded = ByteBuffer::Zeroed(capacity);
    if (!decoded) {
        status = LoadStatus::OutOfMemory;
        return false;
    }
    bytesWritten = 0;
    // A chunk larger than the whole decoded data would overrun it at its
    // first move.
    chunkCapacity = std::min(chunkCapacity, capacity);
    return true;
}

std::uint8_t DecoderState::ReadByte() {
    if (inputPosition < bytesInBuffer) return inputBuffer.Data()[inputPosition++];
    const std::int64_t left = fileSize - bytesConsumed;
    if (left <= 0 || !inputBuffer) {
        endOfInput = true;
        return 0;
    }
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(left, static_cast<std::int64_t>(inputBuffer.Size())));
    const std::size_t got = input.Read(inputBuffer.Data(), wanted);
    if (got == 0) {
        // The file is shorter than it was, or cannot be read any more.
        endOfInput = true;
        return 0;
    }
    bytesInBuffer = got;
    bytesConsumed += static_cast<std::int64_t>(got);
    inputPosition = 1;
    ReportProgress(kPhaseReading, static_cast<double>(bytesConsumed));
    return inputBuffer.Data()[0];
}

std::size_t DecoderState::ReadBytes(std::uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (inputPosition >= bytesInBuffer) {
            const std::uint8_t first = ReadByte();  // refills the buffer
            if (endOfInput) break;
            into[done++] = first;
            continue;
        }
        const std::size_t take = std::min(count - done, bytesInBuffer - inputPosition);
        std::memcpy(into + done, inputBuffer.Data() + inputPosition, take);
        inputPosition += take;
        done += take;
    }
    return done;
}

std::size_t DecoderState::ReadDirect(void* into, std::size_t count) {
    const std::size_t got = input.Read(into, count);
    bytesConsumed += static_cast<std::int64_t>(got);
    return got;
}

bool DecoderState::SeekInput(std::int64_t offset) {
    if (!input.Seek(offset)) return false;
    bytesConsumed = offset;
    inputPosition = 0;
    bytesInBuffer = 0;
    return true;
}

void DecoderState::EmitByte(std::uint8_t value) {
    if (chunkFill < chunkCapacity) {
        chunk.Data()[chunkFill++] = value;
        return;
    }
    FlushOutput();
    const std::size_t space = capacity - bytesWritten;
    if (space == 0 || !chunk) {
        outputFull = true;
        return;
    }
    chunkCapacity = std::min(space, chunkSize);
    chunk.Data()[0] = value;
    chunkFill = 1;
}

void DecoderState::EmitBytes(const std::uint8_t* bytes, std::size_t count) {
    FlushOutput();  // what EmitByte staged comes first
    const std::size_t space = decoded ? capacity - bytesWritten : 0;
    const std::size_t take = std::min(count, space);
    if (take > 0) std::memcpy(decoded.Data() + bytesWritten, bytes, take);
    bytesWritten += take;
    const std::size_t left = space - take;
    if (left == 0) outputFull = true;
    // EmitByte never stages more than is left.
    chunkCapacity = std::min(chunkSize, left);
}

void DecoderState::FlushOutput() {
    const std::size_t space = decoded ? capacity - bytesWritten : 0;
    const std::size_t count = std::min(chunkFill, space);
    if (count > 0) std::memcpy(decoded.Data() + bytesWritten, chunk.Data(), count);
    bytesWritten += count;
    chunkFill = 0;
}

bool DecoderState::NewImageRecord(const PaletteTriples* triples, std::int32_t width,
                                  std::int32_t height, std::size_t dataBytes,
                                  std::size_t recordHeaderSize, int bits) {
    const std::int64_t rows = std::llabs(static_cast<std::int64_t>(height));
    const std::uint32_t tableEntries = ColourCount(1, static_cast<std::uint32_t>(bits));
    if (!ImageSizeAllowed(width, rows) || bits <= 0 ||
        recordHeaderSize != kInfoHeaderSize + 4 * std::size_t{tableEntries} ||
        static_cast<std::int64_t>(dataBytes) < DibRowStride(width, bits) * rows ||
        dataBytes > kMaxBlockSize) {
        status = LoadStatus::BadHeader;
        return false;
    }
    record = ImageRecord::Allocate(recordHeaderSize + dataBytes);
    if (!record) {
        status = LoadStatus::OutOfMemory;
        return false;
    }
    InfoHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bits);
    header.imageDataSize = static_cast<std::uint32_t>(dataBytes);
    header.coloursUsed = tableEntries;
    header.Write(record.Bytes());
    if (bits <= 8 && triples) {
        std::uint8_t* table = record.Bytes() + kInfoHeaderSize;
        for (std::uint32_t i = 0; i < tableEntries; ++i) {
            table[4 * i + 0] = (*triples)[3 * i + 2];
            table[4 * i + 1] = (*triples)[3 * i + 1];
            table[4 * i + 2] = (*triples)[3 * i + 0];
        }
    }
    return true;
}

bool DecoderState::FinishDecode(LoadStatus finalStatus) {
    input.Close();
    decoded.Reset();
    inputBuffer.Reset();
    chunk.Reset();
    if (finalStatus != LoadStatus::Ok) record = ImageRecord();
    status = finalStatus;
    return finalStatus == LoadStatus::Ok;
}

void DecoderState::ReportProgress(std::uint16_t phase, double count) const {
    if (!environment.progressHook) return;
    const float percent = static_cast<float>(count) * percentFactor;
    environment.progressHook(phase, static_cast<std::int32_t>(std::lround(percent)));
}

}  // namespace imagelib

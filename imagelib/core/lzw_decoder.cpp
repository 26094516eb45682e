#include "imagelib/core/lzw_decoder.h"

#include <algorithm>
#include <cstring>

namespace imagelib {

LzwDecoder::LzwDecoder(int minimumCodeSize, CodeByteSource& source)
    : source_(source),
      clearCode_(static_cast<std::uint16_t>(1u << minimumCodeSize)),
      endCode_(static_cast<std::uint16_t>(clearCode_ + 1)),
      minimumCodeSize_(minimumCodeSize) {
    std::fill_n(length_.begin(), clearCode_, std::uint16_t{1});
    codeSize_ = minimumCodeSize + 1;
    limitCode_ = static_cast<std::uint16_t>(2 * clearCode_);
    nextFree_ = static_cast<std::uint16_t>(clearCode_ + 2);
}

bool LzwDecoder::FillBits() {
    // A code may span any number of blocks, however short they are.
    while (bitCount_ < codeSize_) {
        if (next_ == blockEnd_) {
            if (sourceDone_) return false;
            const std::span<const std::uint8_t> block = source_.NextBlock();
            if (block.empty()) {
                sourceDone_ = true;
                return false;
            }
            next_ = block.data();
            blockEnd_ = next_ + block.size();
        }
        bits_ |= std::uint32_t{*next_++} << bitCount_;
        bitCount_ += 8;
    }
    return true;
}

std::size_t LzwDecoder::TakePending(std::uint8_t* out, std::size_t room) {
    const std::size_t count = std::min(room, kStringSize - pending_);
    if (count > 0) std::memcpy(out, string_.data() + pending_, count);
    pending_ += count;
    return count;
}

std::size_t LzwDecoder::Decode(std::uint8_t* out, std::size_t room) {
    std::size_t written = TakePending(out, room);

    // The state the loop changes lives in locals while it runs: the bytes
    // it stores into `out` could otherwise alias any member, and each
    // would be read again after every store.
    std::uint32_t bits = bits_;
    int bitCount = bitCount_;
    const std::uint8_t* next = next_;
    const std::uint8_t* blockEnd = blockEnd_;
    int codeSize = codeSize_;
    unsigned limitCode = limitCode_;
    unsigned nextFree = nextFree_;
    unsigned firstByte = firstByte_;
    unsigned oldCode = oldCode_;
    const unsigned clearCode = clearCode_;
    const unsigned endCode = endCode_;
    std::uint16_t* const prefix = prefix_.data();
    std::uint8_t* const suffix = suffix_.data();
    std::uint16_t* const length = length_.data();

    // The next code of the current width; the end code when the bytes run
    // out before a whole code.
    auto readCode = [&]() -> unsigned {
        while (bitCount < codeSize && next != blockEnd) {
            bits |= std::uint32_t{*next++} << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize) {
            bits_ = bits, bitCount_ = bitCount, next_ = next, blockEnd_ = blockEnd, codeSize_ = codeSize;
            const bool filled = FillBits();
            bits = bits_, bitCount = bitCount_, next = next_, blockEnd = blockEnd_;
            if (!filled) return endCode;
        }
        const unsigned code = bits & ((1u << codeSize) - 1);
        bits >>= codeSize;
        bitCount -= codeSize;
        return code;
    };
    auto resetTable = [&] {
        codeSize = minimumCodeSize_ + 1;
        limitCode = 2 * clearCode;
        nextFree = clearCode + 2;
    };

    while (written < room && !ended_) {
        unsigned code = 0;
        if (firstCode_) {
            // A raster starts as after a clear code, whether or not its
            // encoder wrote one.
            firstCode_ = false;
            code = clearCode;
        } else {
            code = readCode();
        }
        if (code == endCode) {
            ended_ = true;
            break;
        }
        if (code == clearCode) {
            resetTable();
            do {
                code = readCode();
            } while (code == clearCode);
            if (code == endCode) {
                ended_ = true;
                break;
            }
            // The table is empty: a table code here is damage, taken as 0.
            if (code > clearCode) code = 0;
            firstByte = oldCode = code;
            out[written++] = static_cast<std::uint8_t>(code);
            continue;
        }

        unsigned inCode = code;
        bool repeatFirst = false;
        if (code >= nextFree) {
            // Not defined yet. The encoder may use the entry it is about to
            // define: the old code's string followed by its own first byte.
            // A code beyond that is damage; it is expanded the same way and
            // the next entry is built on code 0 instead.
            if (code > nextFree) inCode = 0;
            repeatFirst = true;
            code = oldCode;
        }
        const std::size_t size = std::min<std::size_t>(length[code] + (repeatFirst ? 1 : 0), kStringSize);
        const bool fits = size <= room - written;
        std::uint8_t* const start = fits ? out + written : string_.data() + (kStringSize - size);
        std::uint8_t* at = start + size;
        if (repeatFirst) *--at = static_cast<std::uint8_t>(firstByte);
        // The prefixes lead to a root in length[code] - 1 steps; the bound
        // on `at` holds whatever the tables contain.
        while (code >= clearCode && at > start + 1) {
            *--at = suffix[code];
            code = prefix[code];
        }
        *--at = static_cast<std::uint8_t>(code);
        firstByte = code;

        // A full table stays as it is until the next clear code.
        if (nextFree < kTableSize) {
            prefix[nextFree] = static_cast<std::uint16_t>(oldCode);
            suffix[nextFree] = static_cast<std::uint8_t>(firstByte);
            length[nextFree] = static_cast<std::uint16_t>(length[oldCode] + 1);
            ++nextFree;
            if (nextFree >= limitCode && codeSize < kMaxCodeSize) {
                ++codeSize;
                limitCode *= 2;
            }
        }
        oldCode = inCode;
        if (fits) {
            written += size;
        } else {
            pending_ = kStringSize - size;
            written += TakePending(out + written, room - written);
        }
    }

    bits_ = bits;
    bitCount_ = bitCount;
    next_ = next;
    blockEnd_ = blockEnd;
    codeSize_ = codeSize;
    limitCode_ = static_cast<std::uint16_t>(limitCode);
    nextFree_ = static_cast<std::uint16_t>(nextFree);
    firstByte_ = static_cast<std::uint16_t>(firstByte);
    oldCode_ = static_cast<std::uint16_t>(oldCode);
    return written;
}

}  // namespace imagelib

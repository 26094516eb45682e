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
    ResetTable(table_);
}

void LzwDecoder::ResetTable(TableState& table) const {
    table.codeSize = minimumCodeSize_ + 1;
    table.limitCode = 2u * clearCode_;
    table.nextFree = clearCode_ + 2u;
}

LzwDecoder::CodeBits LzwDecoder::FromNextBlocks(CodeBits bits, int width) {
    // A code may span any number of blocks, however short they are.
    while (bits.count < width && !sourceDone_) {
        const std::span<const std::uint8_t> block = source_.NextBlock();
        if (block.empty()) {
            sourceDone_ = true;
            break;
        }
        bits.next = block.data();
        bits.blockEnd = block.data() + block.size();
        bits.TopUp(width);
    }
    return bits;
}

std::size_t LzwDecoder::TakePending(std::uint8_t* out, std::size_t room) {
    const std::size_t count = std::min(room, kStringSize - pending_);
    if (count > 0) std::memcpy(out, string_.data() + pending_, count);
    pending_ += count;
    return count;
}

std::size_t LzwDecoder::Decode(std::uint8_t* out, std::size_t room) {
    std::size_t written = TakePending(out, room);

    CodeBits input = input_;
    TableState table = table_;
    const unsigned clearCode = clearCode_;
    const unsigned endCode = endCode_;
    std::uint16_t* const prefix = prefix_.data();
    std::uint8_t* const suffix = suffix_.data();
    std::uint16_t* const length = length_.data();

    // The next code of the current width; the end code when the bytes run
    // out before a whole code.
    auto readCode = [&]() -> unsigned {
        input.TopUp(table.codeSize);
        if (input.count < table.codeSize) {
            input = FromNextBlocks(input, table.codeSize);
            if (input.count < table.codeSize) return endCode;
        }
        return input.Take(table.codeSize);
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
            ResetTable(table);
            do {
                code = readCode();
            } while (code == clearCode);
            if (code == endCode) {
                ended_ = true;
                break;
            }
            // The table is empty: a table code here is damage, taken as 0.
            if (code > clearCode) code = 0;
            table.firstByte = table.oldCode = code;
            out[written++] = static_cast<std::uint8_t>(code);
            continue;
        }

        unsigned inCode = code;
        bool repeatFirst = false;
        if (code >= table.nextFree) {
            // Not defined yet. The encoder may use the entry it is about to
            // define: the old code's string followed by its own first byte.
            // A code beyond that is damage; it is expanded the same way and
            // the next entry is built on code 0 instead.
            if (code > table.nextFree) inCode = 0;
            repeatFirst = true;
            code = table.oldCode;
        }
        const std::size_t size = std::min<std::size_t>(length[code] + (repeatFirst ? 1 : 0), kStringSize);
        const bool fits = size <= room - written;
        std::uint8_t* const start = fits ? out + written : string_.data() + (kStringSize - size);
        std::uint8_t* at = start + size;
        if (repeatFirst) *--at = static_cast<std::uint8_t>(table.firstByte);
        // The prefixes lead to a root in length[code] - 1 steps; the bound
        // on `at` holds whatever the tables contain.
        while (code >= clearCode && at > start + 1) {
            *--at = suffix[code];
            code = prefix[code];
        }
        *--at = static_cast<std::uint8_t>(code);
        table.firstByte = code;

        // A full table stays as it is until the next clear code.
        if (table.nextFree < kTableSize) {
            prefix[table.nextFree] = static_cast<std::uint16_t>(table.oldCode);
            suffix[table.nextFree] = static_cast<std::uint8_t>(table.firstByte);
            length[table.nextFree] = static_cast<std::uint16_t>(length[table.oldCode] + 1);
            ++table.nextFree;
            if (table.nextFree >= table.limitCode && table.codeSize < kMaxCodeSize) {
                ++table.codeSize;
                table.limitCode *= 2;
            }
        }
        table.oldCode = inCode;
        if (fits) {
            written += size;
        } else {
            pending_ = kStringSize - size;
            written += TakePending(out + written, room - written);
        }
    }

    input_ = input;
    table_ = table;
    return written;
}

}  // namespace imagelib

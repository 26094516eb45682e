#include "imagelib/core/lzw_decoder.h"

#include <algorithm>
#include <cstring>

namespace imagelib {

LzwDecoder::LzwDecoder(int minimumCodeSize, CodeByteSource& source)
    : source_(source),
      clearCode_(static_cast<std::uint16_t>(1u << minimumCodeSize)),
      endCode_(static_cast<std::uint16_t>(clearCode_ + 1)),
      minimumCodeSize_(minimumCodeSize) {
    for (unsigned root = 0; root < clearCode_; ++root) {
        tail_[root] = root & 0xFF;
        first_[root] = static_cast<std::uint8_t>(root);
        length_[root] = 1;
    }
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
    const std::size_t count = std::min(room, pendingEnd_ - pending_);
    if (count > 0) std::memcpy(out, string_.data() + pending_, count);
    pending_ += count;
    return count;
}

void LzwDecoder::WriteString(unsigned code, std::size_t size, std::uint8_t* to) const {
    // The last piece first, then the ones before it, each a whole word:
    // a piece's zeroes beyond the string's end land in the slack, and
    // those of a later piece are written over by the next one back.
    std::size_t pieces = (size + 7) / 8;
    std::uint8_t* at = to + 8 * pieces;
    while (pieces-- > 0) {
        at -= 8;
        std::memcpy(at, &tail_[code], 8);
        code = head_[code];
    }
}

std::size_t LzwDecoder::Decode(std::uint8_t* out, std::size_t room) {
    std::size_t written = TakePending(out, room);

    CodeBits input = input_;
    TableState table = table_;
    const unsigned clearCode = clearCode_;
    const unsigned endCode = endCode_;
    std::uint64_t* const tail = tail_.data();
    std::uint16_t* const head = head_.data();
    std::uint16_t* const length = length_.data();
    std::uint8_t* const first = first_.data();

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
        const bool repeatFirst = code >= table.nextFree;
        if (repeatFirst) {
            // Not defined yet. The encoder may use the entry it is about to
            // define: the old code's string followed by the first byte of
            // the last string. A code beyond that is damage; it is expanded
            // the same way and the next entry is built on code 0 instead.
            if (code > table.nextFree) inCode = 0;
            code = table.oldCode;
        }
        // The bound only guards against tables that break their invariants.
        const std::size_t stringLength = std::min<std::size_t>(length[code], kStringSize - 1);
        const std::size_t size = stringLength + (repeatFirst ? 1 : 0);
        const bool fits = size + kSlack <= room - written;
        std::uint8_t* const to = fits ? out + written : string_.data();
        WriteString(code, stringLength, to);
        if (repeatFirst) to[stringLength] = static_cast<std::uint8_t>(table.firstByte);
        table.firstByte = first[code];

        // A full table stays as it is until the next clear code.
        if (table.nextFree < kTableSize) {
            // The old string followed by this string's first byte: one more
            // byte in the old string's last piece, or a new piece of one.
            const unsigned old = table.oldCode;
            const unsigned next = table.nextFree;
            const unsigned oldLength = length[old];
            const unsigned inLastPiece = (oldLength - 1) % 8 + 1;
            if (inLastPiece < 8) {
                tail[next] = tail[old] | std::uint64_t{table.firstByte} << (8 * inLastPiece);
                head[next] = head[old];
            } else {
                tail[next] = table.firstByte;
                head[next] = static_cast<std::uint16_t>(old);
            }
            length[next] = static_cast<std::uint16_t>(oldLength + 1);
            first[next] = first[old];
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
            pending_ = 0;
            pendingEnd_ = size;
            written += TakePending(out + written, room - written);
        }
    }

    input_ = input;
    table_ = table;
    return written;
}

}  // namespace imagelib

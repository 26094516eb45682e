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
        entries_[root].tail = root & 0xFF;
        entries_[root].length = 1;
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

std::size_t LzwDecoder::Decode(std::uint8_t* out, std::size_t room) {
    std::size_t written = TakePending(out, room);

    CodeBits input = input_;
    TableState table = table_;
    bool ended = ended_;
    const unsigned clearCode = clearCode_;
    const unsigned endCode = endCode_;
    const std::size_t fastEnd =
        room > kSlack ? room - kSlack : 0;  // strings ending by here fit directly
    Entry* const entries = entries_.data();

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

    // What follows a clear code: the table emptied, then a root written as
    // it is. False at the end code.
    auto restart = [&]() -> bool {
        ResetTable(table);
        unsigned code = 0;
        do {
            code = readCode();
        } while (code == clearCode);
        if (code == endCode) return false;
        // The table is empty: a table code here is damage, taken as 0.
        if (code > clearCode) code = 0;
        table.firstByte = table.oldCode = code;
        out[written++] = static_cast<std::uint8_t>(code);
        return true;
    };

    if (firstCode_ && written < room && !ended) {
        // A raster starts as after a clear code, whether or not its encoder
        // wrote one.
        firstCode_ = false;
        ended = !restart();
    }
    while (written < room && !ended) {
        unsigned code = readCode();
        if (code - clearCode < 2) {
            ended = code == endCode || !restart();
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
        // The bounds only guard against a table that breaks its invariants.
        const std::size_t stringLength =
            std::clamp<std::size_t>(entries[code].length, 1, kStringSize - 1);
        const std::size_t size = stringLength + (repeatFirst ? 1 : 0);
        const bool fits = written + size <= fastEnd;
        std::uint8_t* const to = fits ? out + written : string_.data();

        // The last piece first, then the ones before it, each as a whole
        // word: a piece's zeroes beyond the string land in the slack, and
        // those of a piece before the last are written over by the next.
        std::size_t pieces = (stringLength + 7) / 8;
        std::uint8_t* at = to + 8 * (pieces - 1);
        unsigned piece = code;
        std::memcpy(at, &entries[piece].tail, 8);
        while (--pieces > 0) {
            piece = entries[piece].head;
            at -= 8;
            std::memcpy(at, &entries[piece].tail, 8);
        }
        if (repeatFirst) to[stringLength] = static_cast<std::uint8_t>(table.firstByte);
        table.firstByte = to[0];

        // A full table stays as it is until the next clear code.
        if (table.nextFree < kTableSize) {
            // The old string followed by this string's first byte: one more
            // byte in the old string's last piece, or a new piece of one.
            const Entry old = entries[table.oldCode];
            Entry& next = entries[table.nextFree];
            const unsigned used = old.length % 8u;  // in the old last piece; 0 when it is full
            next.tail =
                used ? old.tail | std::uint64_t{table.firstByte} << (8 * used) : table.firstByte;
            next.head = static_cast<std::uint16_t>(used ? old.head : table.oldCode);
            next.length = static_cast<std::uint16_t>(old.length + 1);
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
    ended_ = ended;
    return written;
}

}  // namespace imagelib

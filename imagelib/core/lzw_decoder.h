// The LZW decompressor of GIF rasters: variable-length codes packed least
// significant bit first, a clear code and an end code, code widths from the
// minimum code size + 1 up to 12 bits. It knows nothing of GIF's blocks: it
// takes its bytes from a CodeByteSource, one block at a time.
//
// Damaged data is tolerated, as a picture viewer should: a code beyond the
// next free table entry is expanded as if it were that entry (and the next
// entry is then built on code 0), a table code right after a clear code
// counts as index 0, and when the codes run out the output simply ends.
// None of this can make the decoder read or write outside its tables.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace imagelib {

// Blocks of code bytes. An empty block means there are no more.
class CodeByteSource {
public:
    virtual ~CodeByteSource() = default;
    // The next block; it stays valid until the next call.
    virtual std::span<const std::uint8_t> NextBlock() = 0;
};

class LzwDecoder {
public:
    static constexpr int kMaxCodeSize = 12;
    static constexpr std::size_t kTableSize = std::size_t{1} << kMaxCodeSize;  // 4096 entries

    static constexpr bool MinimumCodeSizeAllowed(int size) { return size >= 2 && size <= 11; }

    // `minimumCodeSize` must be allowed (2 to 11).
    LzwDecoder(int minimumCodeSize, CodeByteSource& source);
    LzwDecoder(const LzwDecoder&) = delete;
    LzwDecoder& operator=(const LzwDecoder&) = delete;

    // Writes the next decoded bytes (colour indices), up to `room` of them,
    // and answers how many. It answers fewer than `room` only once the data
    // has ended: at the end code or when the code bytes run out. The bytes
    // of `out` beyond the answer, up to `room`, may have been written over.
    std::size_t Decode(std::uint8_t* out, std::size_t room);
    bool Ended() const { return ended_; }

private:
    // The code bits not yet taken, least significant first, and the rest
    // of the block they come from. Bits above `count` may already hold the
    // following bytes of the block; they are or-ed in again unchanged.
    struct CodeBits {
        std::uint64_t bits = 0;
        int count = 0;
        const std::uint8_t* next = nullptr;
        const std::uint8_t* blockEnd = nullptr;

        // Takes bytes from the current block until `width` bits are there
        // or the block is used up; eight at a time while it has them.
        void TopUp(int width) {
            if (count >= width) return;
            if (blockEnd - next >= 8) {
                std::uint64_t word = 0;
                for (int i = 0; i < 8; ++i) word |= std::uint64_t{next[i]} << (8 * i);
                bits |= word << count;
                next += (63 - count) >> 3;
                count |= 56;  // count < 16 before: count + 8 * bytes taken
                return;
            }
            while (count < width && next != blockEnd) {
                bits |= std::uint64_t{*next++} << count;
                count += 8;
            }
        }
        // The next code of `width` bits; that many bits must be there.
        unsigned Take(int width) {
            const auto code = static_cast<unsigned>(bits & ((1u << width) - 1));
            bits >>= width;
            count -= width;
            return code;
        }
    };

    // Where the table stands: the code width, when it grows, the next
    // entry to define and the strings the next entry is made of.
    struct TableState {
        int codeSize = 0;
        unsigned limitCode = 0;  // the code width grows when nextFree reaches it
        unsigned nextFree = 0;   // the next table entry to define
        unsigned firstByte = 0;  // first byte of the last string
        unsigned oldCode = 0;    // the code the next entry is built on
    };

    // `bits` topped up from the following blocks, however short they are,
    // until `width` bits are there; fewer when the blocks run out.
    CodeBits FromNextBlocks(CodeBits bits, int width);
    // Moves what is left of the last string to `out`; answers how many.
    std::size_t TakePending(std::uint8_t* out, std::size_t room);
    void ResetTable(TableState& table) const;

    CodeByteSource& source_;
    const std::uint16_t clearCode_;
    const std::uint16_t endCode_;
    const int minimumCodeSize_;

    // Decode works on copies of these in locals, which the bytes it stores
    // into the caller's buffer cannot alias, and puts them back at its end.
    CodeBits input_;
    TableState table_;
    bool sourceDone_ = false;
    bool firstCode_ = true;
    bool ended_ = false;

    // Entry e (clearCode_ + 2 <= e < table_.nextFree) is the string of an
    // older entry followed by one byte, `length` bytes long. A root code r
    // (below clearCode_) is the one byte r (its low eight bits), length 1.
    //
    // A string is kept in pieces of eight bytes from its start; the last
    // piece holds the 1 to 8 bytes left over. `tail` is that last piece,
    // its bytes from the lowest up and zero above them; `head` is the
    // entry of the string without it (unused when the string has one
    // piece). So an entry's string is its head's string, then its tail.
    struct Entry {
        std::uint64_t tail = 0;
        std::uint16_t head = 0;
        std::uint16_t length = 0;
    };
    // Invariants, kept by construction: oldCode is a root or a defined
    // entry (a damaged code makes it 0), so every new entry is built on one
    // too, never on the clear or the end code, and its head is below it.
    // Following the heads from entry e reaches a root or an entry of one
    // piece in (length - 1) / 8 steps, and no string is longer than
    // kTableSize - clearCode_ bytes. Writing a string takes its number of
    // pieces from the length, bounded by the buffer, so it stays in the
    // buffer whatever the table holds.
    std::array<Entry, kTableSize> entries_{};

    static_assert(std::endian::native == std::endian::little,
                  "pieces are stored as little-endian words");

    // A string goes straight into the caller's buffer when it fits there
    // with kSlack bytes to spare, else into string_, whose bytes not yet
    // handed out are string_[pending_ .. pendingEnd_).
    static constexpr std::size_t kSlack = 8;
    static constexpr std::size_t kStringSize = kTableSize + 1;
    std::array<std::uint8_t, kStringSize + kSlack> string_{};
    std::size_t pending_ = 0;
    std::size_t pendingEnd_ = 0;
};

}  // namespace imagelib

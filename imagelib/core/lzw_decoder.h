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
    // has ended: at the end code or when the code bytes run out.
    std::size_t Decode(std::uint8_t* out, std::size_t room);
    bool Ended() const { return ended_; }

private:
    // The code bits not yet taken, least significant first, and the rest
    // of the block they come from.
    struct CodeBits {
        std::uint32_t bits = 0;
        int count = 0;
        const std::uint8_t* next = nullptr;
        const std::uint8_t* blockEnd = nullptr;

        // Takes bytes from the current block until `width` bits are there
        // or the block is used up.
        void TopUp(int width) {
            while (count < width && next != blockEnd) {
                bits |= std::uint32_t{*next++} << count;
                count += 8;
            }
        }
        // The next code of `width` bits; that many bits must be there.
        unsigned Take(int width) {
            const unsigned code = bits & ((1u << width) - 1);
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
        unsigned firstByte = 0;  // first byte (root code) of the last string
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

    // Decode works on copies of these two in locals, which the bytes it
    // stores into the caller's buffer cannot alias, and puts them back at
    // its end.
    CodeBits input_;
    TableState table_;
    bool sourceDone_ = false;
    bool firstCode_ = true;
    bool ended_ = false;

    // Entry e (clearCode_ + 2 <= e < table_.nextFree) is the string of entry
    // prefix_[e] followed by the byte suffix_[e]; length_[e] bytes long.
    // A root code r (below clearCode_) is the one byte r (its low eight
    // bits), length_[r] = 1. Invariants, kept by construction: oldCode is
    // a root or a defined entry (a damaged code makes it 0), so every new
    // entry's prefix_[e] < e is one too, never the clear or the end code.
    // So the prefixes from any defined entry reach a root in length_[e] - 1
    // steps, and no string is longer than kTableSize - clearCode_ bytes.
    std::array<std::uint16_t, kTableSize> prefix_{};
    std::array<std::uint8_t, kTableSize> suffix_{};
    std::array<std::uint16_t, kTableSize> length_{};

    // A string is written backwards, from its last byte: straight into the
    // caller's buffer when it fits there, else into string_, whose bytes
    // not yet handed out are string_[pending_ .. kStringSize). Either way
    // the writing stops at the string's first byte whatever the tables
    // hold.
    static constexpr std::size_t kStringSize = kTableSize + 1;
    std::array<std::uint8_t, kStringSize> string_{};
    std::size_t pending_ = kStringSize;
};

}  // namespace imagelib

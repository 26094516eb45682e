// A heap block that reports a failed allocation as an empty block instead
// of throwing, so that decoders can turn it into a load status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace imagelib {

// No single block is ever larger than this, whatever a file claims. It is
// well above the largest image record (see image_limits.h) and keeps a
// claimed size from reaching the allocator at all.
inline constexpr std::size_t kMaxBlockSize = std::size_t{512} << 20;

class ByteBuffer {
public:
    ByteBuffer() = default;

    // A block of `size` bytes, all zero; empty when it cannot be had.
    static ByteBuffer Zeroed(std::size_t size) { return Allocate(size, true); }
    // A block of `size` bytes whose contents are not set; empty when it
    // cannot be had.
    static ByteBuffer Uninitialised(std::size_t size) { return Allocate(size, false); }

    explicit operator bool() const { return data_ != nullptr; }
    std::uint8_t* Data() { return data_.get(); }
    const std::uint8_t* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }
    void Reset() {
        data_.reset();
        size_ = 0;
    }

private:
    struct Free {
        void operator()(std::uint8_t* block) const { std::free(block); }
    };

    static ByteBuffer Allocate(std::size_t size, bool zeroed) {
        ByteBuffer buffer;
        if (size > kMaxBlockSize) return buffer;
        // A zero-sized request still gives a valid block.
        const std::size_t bytes = size == 0 ? 1 : size;
        void* block = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
        if (!block) return buffer;
        buffer.data_.reset(static_cast<std::uint8_t*>(block));
        buffer.size_ = size;
        return buffer;
    }

    std::unique_ptr<std::uint8_t, Free> data_;
    std::size_t size_ = 0;
};

}  // namespace imagelib

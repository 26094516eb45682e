// The decoders' view of a file held whole in memory: a position that never
// leaves it, and reads that answer what is there.
//
// Reading progress is reported in steps, as if the file went through a
// buffer of `step` bytes: whenever a read (Byte, Take) reaches a byte past
// the last step, the next step is taken and reported as the share of the
// file up to its end. Header reads (TakeHeader) and Seek count as taken
// without a report, so the first read behind them starts a step.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "imagelib/core/progress.h"

namespace imagelib {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }
    std::size_t Left() const { return bytes_.size() - position_; }
    // A read asked for more than the file holds.
    bool Ended() const { return ended_; }

    // Reports reading progress (phase reading, percent of the file size)
    // to `hook` every `step` bytes from now on.
    void ReportSteps(ProgressHook hook, std::size_t step) {
        reading_ = ProgressScale(hook, kPhaseReading, static_cast<double>(bytes_.size()));
        step_ = std::max<std::size_t>(step, 1);
    }

    // The next byte; 0 with Ended() set when there is none.
    std::uint8_t Byte() {
        if (position_ < stepEnd_) return bytes_[position_++];
        if (!NextStep()) return 0;
        return bytes_[position_++];
    }

    // The next `count` bytes, in place; fewer (with Ended() set) where the
    // file ends.
    std::span<const std::uint8_t> Take(std::size_t count) {
        const std::size_t start = position_;
        const std::size_t end = start + std::min(count, Left());
        while (stepEnd_ < end) NextStep(end);
        position_ = end;
        if (end - start < count) ended_ = true;
        return bytes_.subspan(start, end - start);
    }
    // Copies the next `count` bytes to `into`; false (with Ended() set and
    // nothing copied) when the file has fewer.
    bool Read(std::uint8_t* into, std::size_t count) {
        if (Left() < count) {
            Take(count);
            return false;
        }
        const std::span<const std::uint8_t> bytes = Take(count);
        std::copy(bytes.begin(), bytes.end(), into);
        return true;
    }

    // A header of `count` bytes at the position, taken without a report;
    // empty (with Ended() set) when the file has fewer.
    std::span<const std::uint8_t> TakeHeader(std::size_t count) {
        if (Left() < count) {
            ended_ = true;
            return {};
        }
        const std::span<const std::uint8_t> header = bytes_.subspan(position_, count);
        position_ += count;
        stepEnd_ = std::max(stepEnd_, position_);
        return header;
    }

    // Goes on at `offset`; false when it lies beyond the end.
    bool Seek(std::size_t offset) {
        if (offset > bytes_.size()) return false;
        position_ = offset;
        stepEnd_ = offset;
        return true;
    }

private:
    // Takes the step that holds the byte at the position (at least up to
    // `through`); false with Ended() set at the end of the file.
    bool NextStep(std::size_t through = 0) {
        if (position_ >= bytes_.size() && through <= position_) {
            ended_ = true;
            return false;
        }
        const std::size_t from = std::max(stepEnd_, position_);
        stepEnd_ = from + std::min(step_, bytes_.size() - from);
        reading_.Report(static_cast<double>(stepEnd_));
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::size_t stepEnd_ = 0;  // the end of the bytes taken so far
    std::size_t step_ = 0x4000;
    ProgressScale reading_;
    bool ended_ = false;
};

}  // namespace imagelib

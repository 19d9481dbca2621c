// The sliding window of Reduce and Implode: decoded bytes collect in the work area and go to the
// output path whenever the window fills, and matches copy from the bytes behind.
//
// The work area is not cleared between entries, so a match that reaches before the entry's first
// byte (damaged data, or an encoder that relies on it) would copy another entry's bytes: until the
// window has been written once, such positions read as zero bytes.
#pragma once

#include "io/entry_output.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kq {

template <std::uint32_t Size>
class TSlidingWindow {
    static_assert((Size & (Size - 1)) == 0, "positions wrap with a mask");

public:
    TSlidingWindow(TEntryOutput& output, std::uint8_t* area) : output_(output), area_(area) {}

    void Put(std::uint8_t byte) {
        area_[pos_] = byte;
        if (++pos_ == Size) {
            WriteFull();
        }
    }

    // Appends length bytes copied from distance bytes back (1 <= distance < Size), in pieces that
    // end where the source or the target reaches the window's end.
    void Copy(std::uint32_t distance, std::uint32_t length) {
        std::uint32_t from = (pos_ - distance) & (Size - 1);
        while (length > 0) {
            const std::uint32_t piece = std::min({Size - from, Size - pos_, length});
            std::uint8_t* to = area_ + pos_;
            if (!written_ && from >= pos_) {
                std::memset(to, 0, piece);
            } else if (distance < piece) {
                // The source runs into the bytes this piece writes: byte by byte repeats them.
                const std::uint8_t* src = area_ + from;
                for (std::uint32_t i = 0; i < piece; ++i) {
                    to[i] = src[i];
                }
            } else {
                std::memcpy(to, area_ + from, piece);
            }
            length -= piece;
            from = (from + piece) & (Size - 1);
            pos_ += piece;
            if (pos_ == Size) {
                WriteFull();
            }
        }
    }

    // Writes what the window holds since it was last written.
    void Finish() { output_.FlushWindow(area_, pos_); }

private:
    void WriteFull() {
        output_.FlushWindow(area_, Size);
        pos_ = 0;
        written_ = true;
    }

    TEntryOutput& output_;
    std::uint8_t* const area_;
    std::uint32_t pos_ = 0;
    bool written_ = false;
};

} // namespace kq

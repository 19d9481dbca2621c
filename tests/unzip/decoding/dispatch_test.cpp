// Methods without a decoder show "Unknown Compression Method" once per entry and write nothing.
#include "platform/dialogs.h"
#include "support/decoding.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

TEST(Dispatch, UnknownMethodsShowOneBoxAndWriteNothing) {
    for (const std::uint16_t unknown : {7, 9, 12, 99, 65535}) {
        SCOPED_TRACE("method " + std::to_string(unknown));
        std::vector<std::string> boxes;
        SetMessageBoxResponder(
            [&](const std::string& text, const std::string& caption, std::uint32_t flags) {
                boxes.push_back(text + "|" + caption + "|" + std::to_string(flags));
                return id::Ok;
            });
        const DecodeRecord r = Decode(unknown, Bytes(100, 1), DecodeOptions().Declared(100));
        SetMessageBoxResponder(nullptr);
        EXPECT_EQ(boxes, (std::vector<std::string>{"Unknown Compression Method|Zip Error|0"}));
        EXPECT_TRUE(r.writes.empty());
        EXPECT_EQ(r.chunksRead, 0);
        EXPECT_EQ(r.crc, 0u);
    }
}

} // namespace
} // namespace kq::test

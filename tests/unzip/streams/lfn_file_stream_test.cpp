// TLFNFileStream: what ends up in a written file and when, the flush-to-disk rule, and open
// failures.
#include "base/exceptions.h"
#include "io/buffer_stream.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

TEST(LFNFileStream, WritingTwentyThousandBytes) {
    test::ScratchFolder folder;
    std::string bytes(20000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>('0' + i % 10);
    }
    int flushes = 0;
    {
        TLFNFileStream stream(folder / "out.bin", FileMode::Create, false);
        stream.OnAfterFlush = [&](TObject*) { ++flushes; };
        for (size_t done = 0; done < bytes.size(); done += 1000) {
            ASSERT_EQ(stream.Write(bytes.data() + done, 1000), 1000);
        }
        EXPECT_EQ(flushes, 2) << "two buffer-fulls while writing";
        EXPECT_EQ(stream.Position(), 20000) << "bytes still in the buffer count";
    }
    EXPECT_EQ(flushes, 3) << "the rest when the stream ends";
    EXPECT_EQ(test::ReadWholeFile(folder / "out.bin"), bytes);

    TLFNFileStream closed(folder / "closed.txt", FileMode::Create, true);
    closed.Write("hello", 5);
    closed.Close();
    EXPECT_EQ(test::ReadWholeFile(folder / "closed.txt"), "hello") << "Close hands the rest on";
}

TEST(LFNFileStream, FlushToDiskOnlyForModesThatWrite) {
    test::ScratchFolder folder;
    test::WriteWholeFile(folder / "modes.txt", "x");
    struct Case {
        FileMode mode;
        bool flag;
        bool flushOnDestroy;
    };
    for (Case c : {Case{FileMode::Read, true, false}, Case{FileMode::ReadDenyWrite, true, false},
                   Case{FileMode::Create, true, true}, Case{FileMode::Create, false, false}}) {
        TLFNFileStream stream(folder / "modes.txt", c.mode, c.flag);
        EXPECT_EQ(stream.FlushOnDestroy(), c.flushOnDestroy)
            << "mode " << static_cast<int>(c.mode) << " flag " << c.flag;
    }
}

TEST(LFNFileStream, OpenFailures) {
    test::ScratchFolder folder;
    EXPECT_THROW(TLFNFileStream(folder / "missing.zip", FileMode::ReadDenyWrite, false),
                 EFOpenError);
    EXPECT_THROW(TLFNFileStream(folder / "no\\such\\folder\\new.txt", FileMode::Create, false),
                 EFCreateError);
}

} // namespace
} // namespace kq

// TLFNFileStream: opening files in the engine's modes, the flush-on-destroy rule and what ends
// up in the file.
#include "base/exceptions.h"
#include "support/scratch_folder.h"
#include "unzip/buffer_stream.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

std::string Digits(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('0' + i % 10);
    return bytes;
}

TEST(LFNFileStream, WritingTwentyThousandBytes) {
    test::ScratchFolder folder;
    const std::string path = folder / "out.bin";
    const std::string bytes = Digits(20000);
    int flushes = 0;
    {
        TLFNFileStream stream(path, FileMode::Create, false);
        stream.OnAfterFlush = [&](TObject*) { ++flushes; };
        for (size_t done = 0; done < bytes.size(); done += 1000)
            ASSERT_EQ(stream.Write(bytes.data() + done, 1000), 1000);
        EXPECT_EQ(flushes, 2) << "two buffer-fulls while writing";
    }
    EXPECT_EQ(flushes, 3) << "the rest when the stream ends";
    EXPECT_EQ(test::ReadWholeFile(path), bytes);
}

TEST(LFNFileStream, CloseHandsOnAndClosesOnce) {
    test::ScratchFolder folder;
    const std::string path = folder / "closed.txt";
    int flushes = 0;
    {
        TLFNFileStream stream(path, FileMode::Create, true);
        stream.OnAfterFlush = [&](TObject*) { ++flushes; };
        stream.Write("hello", 5);
        stream.Close();
        EXPECT_EQ(flushes, 1);
        EXPECT_EQ(test::ReadWholeFile(path), "hello");
    }
    EXPECT_EQ(flushes, 1) << "nothing left to hand on after Close";
}

TEST(LFNFileStream, FlushToDiskOnlyForModesThatWrite) {
    test::ScratchFolder folder;
    const std::string path = folder / "modes.txt";
    test::WriteWholeFile(path, "x");
    struct Case {
        FileMode mode;
        bool flag;
        bool flushOnDestroy;
    };
    const Case cases[] = {
        {FileMode::Read, true, false},
        {FileMode::ReadDenyWrite, true, false},
        {FileMode::Create, true, true},
        {FileMode::Create, false, false},
    };
    for (const Case& c : cases) {
        TLFNFileStream stream(path, c.mode, c.flag);
        EXPECT_EQ(stream.FlushOnDestroy(), c.flushOnDestroy)
            << "mode " << static_cast<int>(c.mode) << " flag " << c.flag;
    }
}

TEST(LFNFileStream, ReadsWhatIsThere) {
    test::ScratchFolder folder;
    const std::string path = folder / "in.bin";
    const std::string bytes = Digits(100);
    test::WriteWholeFile(path, bytes);
    TLFNFileStream stream(path, FileMode::ReadDenyWrite, false);
    EXPECT_EQ(stream.Size(), 100);
    EXPECT_EQ(stream.Seek(-22, soFromEnd), 78);
    char tail[30] = {};
    EXPECT_EQ(stream.Read(tail, 30), 22) << "a short read at the end, no exception";
    EXPECT_EQ(std::string(tail, 22), bytes.substr(78));
    EXPECT_GE(stream.Handle().DosDateTime(), 0) << "the handle answers time queries";
}

TEST(LFNFileStream, OpenFailures) {
    test::ScratchFolder folder;
    EXPECT_THROW(TLFNFileStream(folder / "missing.zip", FileMode::Read, false), EFOpenError);
    EXPECT_THROW(TLFNFileStream(folder / "missing.zip", FileMode::ReadDenyWrite, false),
                 EFOpenError);
    EXPECT_THROW(TLFNFileStream(folder / "no\\such\\folder\\new.txt", FileMode::Create, false),
                 EFCreateError);
    try {
        TLFNFileStream stream(folder / "missing.zip", FileMode::Read, false);
    } catch (const EFOpenError& e) {
        const std::string prefix = "Cannot open file \"" + (folder / "missing.zip") + "\". ";
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    }
}

} // namespace
} // namespace kq

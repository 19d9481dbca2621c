// The catalogue's size limit: 65520 entries are read, a 65521st is refused by the list.
#include "base/exceptions.h"
#include "support/zip_fixtures.h"
#include "test/file_bytes.h"
#include "test/raises.h"
#include "test/scratch_folder.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace kq {
namespace {

// An archive of count empty stored files named e00000, e00001, ..., written field by field.
std::string ArchiveOfEmptyFiles(uint32_t count) {
    std::string local, central, end;
    auto put = [](std::string& out, std::initializer_list<uint32_t> values, int width) {
        for (uint32_t v : values) {
            for (int i = 0; i < width; ++i) {
                out += static_cast<char>((v >> (8 * i)) & 0xFF);
            }
        }
    };
    for (uint32_t i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "e%05u", i);
        const auto offset = static_cast<uint32_t>(local.size());
        put(local, {0x04034B50}, 4);
        put(local, {20, 0, 0}, 2);            // version, flags, method
        put(local, {0x50210000, 0, 0, 0}, 4); // time, CRC-32, sizes
        put(local, {6, 0}, 2);                // name and extra lengths
        local += name;
        put(central, {0x02014B50}, 4);
        put(central, {20, 20, 0, 0}, 2);
        put(central, {0x50210000, 0, 0, 0}, 4);
        put(central, {6, 0, 0, 0, 0}, 2); // lengths, start part, internal attributes
        put(central, {0x20, offset}, 4);
        central += name;
    }
    put(end, {0x06054B50}, 4);
    put(end, {0, 0, count, count}, 2);
    put(end, {static_cast<uint32_t>(central.size()), static_cast<uint32_t>(local.size())}, 4);
    put(end, {0}, 2);
    return local + central + end;
}

TEST(Capacity, AtMost65520Entries) {
    test::ScratchFolder folder;
    test::WriteWholeFile(folder / "full.zip", ArchiveOfEmptyFiles(65520));
    test::WriteWholeFile(folder / "over.zip", ArchiveOfEmptyFiles(65521));
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, folder / "full.zip");
    EXPECT_EQ(zip.Count(), 65520);
    EXPECT_EQ(zip.Filename(65519), "e65519");
    // 65520 is a capacity step; the next step, 65536, passes the list's limit of 65534.
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { test::ReadListing(zip, folder / "over.zip"); }),
              "List capacity out of bounds (65536)");
    EXPECT_EQ(zip.Count(), 0);
}

} // namespace
} // namespace kq

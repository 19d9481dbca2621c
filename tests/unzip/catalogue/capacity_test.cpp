// The catalogue's size limit: 65520 entries are read, a 65521st is refused by the list.
#include "base/exceptions.h"
#include "support/scratch_folder.h"
#include "support/zip_fixtures.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// An archive of count empty stored files named e00000, e00001, ..., written field by field.
std::string ArchiveOfEmptyFiles(uint32_t count) {
    std::string local;
    std::string central;
    for (uint32_t i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "e%05u", i);
        const uint32_t offset = static_cast<uint32_t>(local.size());
        Put32(local, 0x04034B50);
        for (uint32_t v : {20u, 0u, 0u})
            Put16(local, v);
        for (uint32_t v : {0x50210000u, 0u, 0u, 0u})
            Put32(local, v); // time, CRC-32, sizes
        Put16(local, 6);
        Put16(local, 0);
        local += name;
        Put32(central, 0x02014B50);
        for (uint32_t v : {20u, 20u, 0u, 0u})
            Put16(central, v);
        for (uint32_t v : {0x50210000u, 0u, 0u, 0u})
            Put32(central, v);
        for (uint32_t v : {6u, 0u, 0u, 0u, 0u})
            Put16(central, v);
        Put32(central, 0x20);
        Put32(central, offset);
        central += name;
    }
    std::string end;
    Put32(end, 0x06054B50);
    for (uint32_t v : {0u, 0u, count, count})
        Put16(end, v);
    Put32(end, static_cast<uint32_t>(central.size()));
    Put32(end, static_cast<uint32_t>(local.size()));
    Put16(end, 0);
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
    EXPECT_EQ(test::MessageOf<EListError>([&] { test::ReadListing(zip, folder / "over.zip"); }),
              "List capacity out of bounds (65536)");
    EXPECT_EQ(zip.Count(), 0);
}

} // namespace
} // namespace kq

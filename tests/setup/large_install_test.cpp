// The wizard installs a product whose one file is 2.3 GiB, packed by mksetup (deflated and
// encrypted, plain 32-bit sizes): the file arrives whole, the log names it with its stamp, and
// the run ends on the finished page with the folder recorded. The source file, the archive and
// the installed copy are made and removed by the test (label "large").
#include "platform/registry.h"
#include "wizard_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <zlib.h>

namespace kq::setup_test {
namespace {

constexpr std::uint64_t kUnit = 1 << 20;
constexpr std::uint64_t kSize = 2469606195; // 2.3 GiB

// Two different megabytes, each a 4 KiB block of noise repeated, in the Thue-Morse order: a
// megabyte lost, doubled or swapped changes the CRC.
std::vector<std::string> Units() {
    std::string noise(4096, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 2654435761u) >> 13 & 0xFF);
    }
    std::string reversed(noise.rbegin(), noise.rend());
    std::vector<std::string> units(2);
    for (std::uint64_t i = 0; i < kUnit / noise.size(); ++i) {
        units[0] += noise;
        units[1] += reversed;
    }
    return units;
}

// Writes the file and returns its CRC-32.
std::uint32_t WriteLargeFile(const std::string& path) {
    const std::vector<std::string> units = Units();
    std::ofstream out(path, std::ios::binary);
    uLong crc = crc32(0, nullptr, 0);
    for (std::uint64_t at = 0, i = 0; at < kSize; at += kUnit, ++i) {
        const std::string& unit = units[__builtin_popcountll(i) & 1];
        const auto length = static_cast<uInt>(std::min<std::uint64_t>(kUnit, kSize - at));
        out.write(unit.data(), length);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(unit.data()), length);
    }
    return static_cast<std::uint32_t>(crc);
}

std::uint32_t FileCrc(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(16 * kUnit);
    uLong crc = crc32(0, nullptr, 0);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()),
                    static_cast<uInt>(in.gcount()));
    }
    return static_cast<std::uint32_t>(crc);
}

class LargeInstallation : public Wizard {};

TEST_F(LargeInstallation, AFileOf2Point3GiBIsInstalledWhole) {
    // The source, the archive (small: the content packs well) and the installed copy.
    if (std::filesystem::space(root_).available < 2 * kSize + (kUnit << 8)) {
        GTEST_SKIP() << "about 5 GiB of free space needed in " << root_;
    }
    SetModuleFileName("C:\\Media\\Setup.exe");
    std::filesystem::create_directories(root_ + "/source");
    std::filesystem::create_directories(root_ + "/c/Media");
    const std::uint32_t crc = WriteLargeFile(root_ + "/source/big.bin");
    const std::string pack = std::string(KQ_MKSETUP) + " '" + root_ + "/source' '" + root_ +
                             "/c/Media/Setup.dat' > /dev/null";
    ASSERT_EQ(std::system(pack.c_str()), 0) << pack;
    std::filesystem::remove(root_ + "/source/big.bin");

    auto form = Start();
    form->ButtonNext1Click(nullptr);
    form->EditDir->SetText("D:\\Big\\");
    Click([&] { form->ButtonNext2Click(nullptr); });
    Click([&] { form->ButtonNext3Click(nullptr); });
    EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);

    const std::string installed = root_ + "/d/Big/big.bin";
    ASSERT_TRUE(std::filesystem::exists(installed));
    EXPECT_EQ(std::filesystem::file_size(installed), kSize);
    EXPECT_EQ(FileCrc(installed), crc);
    std::ifstream log(root_ + "/d/Big/Uninstall.log", std::ios::binary);
    const std::string logText{std::istreambuf_iterator<char>(log), {}};
    EXPECT_EQ(logText.rfind("[Qyn]\r\n0=big.bin\r\nD0=", 0), 0u) << logText;
    EXPECT_EQ(logText.find("D0=-1"), std::string::npos) << logText;
    RegKey key;
    RegistryValue value;
    ASSERT_TRUE(key.Open("Software\\Kavoru\\KavoruQyn"));
    ASSERT_TRUE(key.QueryValue("InstallPath", value));
    EXPECT_EQ(value.data, "D:\\Big\\");
    SetModuleFileName("");
}

} // namespace
} // namespace kq::setup_test

// Encrypted entries made by Info-ZIP zip and zipcloak (crypt/fixtures/make_fixtures.sh): the
// password check byte, decryption across the 16000-byte chunks, wrong passwords.
#include "support/decoding.h"
#include "support/zip_entries.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>

namespace kq::test {
namespace {

const std::string kFolder = "tests/unzip/crypt/fixtures/";

struct Archive {
    std::vector<std::uint8_t> bytes;
    std::vector<ZipEntry> entries;
};

const Archive& Load(const std::string& name) {
    static std::map<std::string, Archive> loaded;
    Archive& a = loaded[name];
    if (a.bytes.empty()) {
        a.bytes = ReadFileBytes(kFolder + name);
        a.entries = ListEntries(a.bytes);
    }
    return a;
}

const ZipEntry& Entry(const std::string& archive, const std::string& name) {
    for (const ZipEntry& e : Load(archive).entries)
        if (e.name == name)
            return e;
    throw std::runtime_error(archive + " has no entry " + name);
}

DecodeRecord DecodeEntry(const std::string& archive, const std::string& name,
                         const std::string& password) {
    const ZipEntry& e = Entry(archive, name);
    DecodeOptions options;
    options.password = password;
    options.uncompressedSize = static_cast<std::int32_t>(e.uncompressedSize);
    return Decode(e.method, EntryData(Load(archive).bytes, e), options);
}

enum class CheckSource { CrcHighByte, TimeHighByte };

struct EntryCase {
    const char* archive;
    const char* name;
    CheckSource source;
    int chunksRead;
    std::vector<std::int32_t> writes; // empty: not checked (deflated data)
};

const EntryCase kEntries[] = {
    {"cloak.zip", "text.txt", CheckSource::CrcHighByte, 1, {}},
    {"cloak.zip", "empty.txt", CheckSource::CrcHighByte, 0, {}},
    {"cloak.zip", "s16000.bin", CheckSource::CrcHighByte, 1, {16000}},
    {"cloak.zip", "s16001.bin", CheckSource::CrcHighByte, 2, {16000, 1}},
    {"files.zip", "text.txt", CheckSource::TimeHighByte, 1, {}},
    {"files.zip", "empty.txt", CheckSource::TimeHighByte, 0, {}},
    {"pipe.zip", "-", CheckSource::TimeHighByte, 1, {}},
};

std::string Name(const EntryCase& c) {
    return std::string(c.archive) + " " + c.name;
}

TEST(EncryptedEntries, CheckByteIsTheCrcHighByteOrWithBit3TheTimeHighByte) {
    for (const EntryCase& c : kEntries) {
        SCOPED_TRACE(Name(c));
        const ZipEntry& e = Entry(c.archive, c.name);
        const DecodeRecord r = DecodeEntry(c.archive, c.name, "secret");
        const int expected =
            c.source == CheckSource::CrcHighByte ? int(e.crc >> 24) : int(e.dosTime >> 8);
        EXPECT_EQ(r.checkByte, expected);
        EXPECT_EQ(PasswordCheckByte(e.flags, e.dosTime, e.crc), expected);
        EXPECT_EQ((e.flags & 8) != 0, c.source == CheckSource::TimeHighByte);
    }
}

TEST(EncryptedEntries, DecryptAndDecodeWithTheRightPassword) {
    for (const EntryCase& c : kEntries) {
        SCOPED_TRACE(Name(c));
        const ZipEntry& e = Entry(c.archive, c.name);
        const DecodeRecord r = DecodeEntry(c.archive, c.name, "secret");
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output.size(), e.uncompressedSize);
        EXPECT_EQ(r.crc, e.crc);
        EXPECT_EQ(r.chunksRead, c.chunksRead);
        if (!c.writes.empty()) {
            EXPECT_EQ(r.writes, c.writes);
        }
        if (e.uncompressedSize == 0) {
            EXPECT_TRUE(r.writes.empty());
            EXPECT_TRUE(r.filePercents.empty());
        }
    }
}

TEST(EncryptedEntries, WrongPasswordFailsTheCheckByte) {
    for (const EntryCase& c : kEntries) {
        SCOPED_TRACE(Name(c));
        const ZipEntry& e = Entry(c.archive, c.name);
        EXPECT_NE(DecodeEntry(c.archive, c.name, "Secret").checkByte,
                  PasswordCheckByte(e.flags, e.dosTime, e.crc));
    }
}

// make_fixtures.sh found "wrong327" with Python's zipfile (for the committed cloak.zip): its check
// byte for text.txt matches, and the data then decodes to garbage. The CRC comparison catches it.
TEST(EncryptedEntries, WrongPasswordWhoseCheckByteMatchesFailsTheCrc) {
    const ZipEntry& e = Entry("cloak.zip", "text.txt");
    const DecodeRecord r = DecodeEntry("cloak.zip", "text.txt", "wrong327");
    EXPECT_EQ(r.checkByte, PasswordCheckByte(e.flags, e.dosTime, e.crc));
    EXPECT_NE(r.crc, e.crc);
}

TEST(EncryptedEntries, HeaderCutShortCountsAsAWrongPassword) {
    TMemoryStream archive;
    archive.WriteBuffer("12345", 5);
    archive.SetPosition(0);
    TCryptKeys keys;
    std::int32_t size = 5;
    EXPECT_EQ(ReadEncryptionHeader(keys, "secret", archive, size), -1);
    EXPECT_EQ(size, 5 - 12);
}

} // namespace
} // namespace kq::test

// Encrypted entries made by Info-ZIP zip and zipcloak (crypt/fixtures/make_fixtures.sh): the
// password check byte, decryption across the 16000-byte chunks, wrong passwords.
#include "support/decoding.h"
#include "support/zip_entries.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>

namespace kq::test {
namespace {

struct Found {
    Bytes data;
    ZipEntry entry;
};

Found Find(const std::string& archive, const std::string& name) {
    const Bytes zip = ReadFileBytes("tests/unzip/crypt/fixtures/" + archive);
    for (const ZipEntry& e : ListEntries(zip))
        if (e.name == name)
            return {EntryData(zip, e), e};
    throw std::runtime_error(archive + " has no entry " + name);
}

DecodeRecord DecodeWith(const Found& f, const std::string& password) {
    return Decode(f.entry.method, f.data,
                  DecodeOptions()
                      .Declared(static_cast<std::int32_t>(f.entry.uncompressedSize))
                      .Password(password));
}

TEST(EncryptedEntries, CheckByteDecryptionAndWrongPasswords) {
    struct Case {
        const char* archive;
        const char* name;
        bool timeCheck; // bit 3 set: the check byte is the time's high byte, else the CRC's
        int chunksRead;
        std::vector<std::int32_t> writes; // empty: not checked (deflated)
    };
    const Case cases[] = {
        {"cloak.zip", "text.txt", false, 1, {}},
        {"cloak.zip", "empty.txt", false, 0, {}},
        {"cloak.zip", "s16000.bin", false, 1, {16000}},
        {"cloak.zip", "s16001.bin", false, 2, {16000, 1}},
        {"files.zip", "text.txt", true, 1, {}},
        {"files.zip", "empty.txt", true, 0, {}},
        {"pipe.zip", "-", true, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.archive) + " " + c.name);
        const Found f = Find(c.archive, c.name);
        const ZipEntry& e = f.entry;
        const int expected = c.timeCheck ? e.dosTime >> 8 : int(e.crc >> 24);
        EXPECT_EQ((e.flags & 8) != 0, c.timeCheck);
        EXPECT_EQ(PasswordCheckByte(e.flags, e.dosTime, e.crc), expected);

        const DecodeRecord r = DecodeWith(f, "secret");
        EXPECT_EQ(r.checkByte, expected);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output.size(), e.uncompressedSize);
        EXPECT_EQ(r.crc, e.crc);
        EXPECT_EQ(r.chunksRead, c.chunksRead);
        EXPECT_TRUE(c.writes.empty() || r.writes == c.writes);
        EXPECT_TRUE(e.uncompressedSize != 0 || (r.writes.empty() && r.filePercents.empty()));

        EXPECT_NE(DecodeWith(f, "Secret").checkByte, expected) << "a wrong password";
    }
}

// make_fixtures.sh found "wrong327" with Python's zipfile (for the committed cloak.zip): its check
// byte for text.txt matches, and the data then decodes to garbage. The CRC comparison catches it.
TEST(EncryptedEntries, WrongPasswordWhoseCheckByteMatchesFailsTheCrc) {
    const Found f = Find("cloak.zip", "text.txt");
    const DecodeRecord r = DecodeWith(f, "wrong327");
    EXPECT_EQ(r.checkByte, PasswordCheckByte(f.entry.flags, f.entry.dosTime, f.entry.crc));
    EXPECT_NE(r.crc, f.entry.crc);
}

TEST(EncryptedEntries, HeaderCutShortCountsAsAWrongPassword) {
    TMemoryStream archive;
    archive.WriteBuffer("12345", 5);
    archive.SetPosition(0);
    TCryptKeys keys;
    std::int64_t size = 5;
    EXPECT_EQ(ReadEncryptionHeader(keys, "secret", archive, size), -1);
    EXPECT_EQ(size, 5 - 12);
}

} // namespace
} // namespace kq::test

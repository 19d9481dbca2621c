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
    for (const ZipEntry& e : ListEntries(zip)) {
        if (e.name == name) {
            return {EntryData(zip, e), e};
        }
    }
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
        int checkByte;  // the header's last byte as Python's zipfile decrypts it with "secret"
        int chunksRead;
        std::vector<std::int32_t> writes; // empty: not checked (deflated)
    };
    // The CRCs' high bytes (28074CFEh, 0, E9656E02h, 904D0D8Bh) and the high byte of 10:20:30
    // (528Fh), the time make_fixtures.sh gives every file.
    const Case cases[] = {
        {"cloak.zip", "text.txt", false, 0x28, 1, {}},
        {"cloak.zip", "empty.txt", false, 0x00, 0, {}},
        {"cloak.zip", "s16000.bin", false, 0xE9, 1, {16000}},
        {"cloak.zip", "s16001.bin", false, 0x90, 2, {16000, 1}},
        {"files.zip", "text.txt", true, 0x52, 1, {}},
        {"files.zip", "empty.txt", true, 0x52, 0, {}},
        {"pipe.zip", "-", true, 0x52, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.archive) + " " + c.name);
        const Found f = Find(c.archive, c.name);
        const ZipEntry& e = f.entry;
        EXPECT_EQ((e.flags & 8) != 0, c.timeCheck);
        EXPECT_EQ(PasswordCheckByte(e.flags, e.dosTime, e.crc), c.checkByte);

        const DecodeRecord r = DecodeWith(f, "secret");
        EXPECT_EQ(r.checkByte, c.checkByte);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output.size(), e.uncompressedSize);
        EXPECT_EQ(r.crc, e.crc);
        EXPECT_EQ(r.chunksRead, c.chunksRead);
        EXPECT_TRUE(c.writes.empty() || r.writes == c.writes);
        EXPECT_TRUE(e.uncompressedSize != 0 || (r.writes.empty() && r.filePercents.empty()));

        EXPECT_NE(DecodeWith(f, "Secret").checkByte, c.checkByte) << "a wrong password";
    }
}

// make_fixtures.sh found "wrong327" with Python's zipfile (for the committed cloak.zip): its check
// byte for text.txt matches (28h, the CRC's high byte), and the data then decodes to garbage. The
// CRC comparison catches it.
TEST(EncryptedEntries, WrongPasswordWhoseCheckByteMatchesFailsTheCrc) {
    const Found f = Find("cloak.zip", "text.txt");
    const DecodeRecord r = DecodeWith(f, "wrong327");
    EXPECT_EQ(r.checkByte, 0x28);
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

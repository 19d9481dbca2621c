// The extraction run as its owner sees it: which entries are extracted where, and the events
// in their order with their arguments. Archives are made by Python's zipfile and Info-ZIP zip
// (fixtures/make_fixtures.sh); the sizes and CRC-32s in the tables are theirs.
#include "extraction.h"
#include "extraction/made_folders.h"
#include "support/multi_part.h"
#include "support/testdata.h"
#include "support/zip_fixtures.h"
#include "test/raises.h"
#include "unzip/errors.h"

#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;

TEST(ExtractionRun, EntriesGoBelowDestDirWithTheirFolders) {
    test::Extraction x(test::ExtractionFixture("layout.zip"));
    EXPECT_EQ(x.zip.UnZip(), 7);
    // The folder entries App/ and empty/ raise nothing and are not counted; every entry lands
    // below D, whatever its stored path says.
    EXPECT_EQ(x.log.lines,
              (Lines{"StartUnZipInfo 7 69", "StartUnZip 1 D\\App\\bin\\x.dll",
                     "EndUnZip 1 D\\App\\bin\\x.dll", "StartUnZip 2 D\\App\\readme.txt",
                     "EndUnZip 2 D\\App\\readme.txt", "StartUnZip 4 D\\data\\a.txt",
                     "EndUnZip 4 D\\data\\a.txt", "StartUnZip 5 D\\abs\\b.txt",
                     "EndUnZip 5 D\\abs\\b.txt", "StartUnZip 6 D\\up.txt", "EndUnZip 6 D\\up.txt",
                     "StartUnZip 7 D\\dir\\_con.txt", "EndUnZip 7 D\\dir\\_con.txt",
                     "StartUnZip 8 D\\notes.txt_\\hidden", "EndUnZip 8 D\\notes.txt_\\hidden",
                     "UnZipComplete 7"}));
    EXPECT_EQ(test::FilesUnder(x.folder.Path()),
              (std::set<std::string>{"out/App/bin/x.dll", "out/App/readme.txt", "out/data/a.txt",
                                     "out/abs/b.txt", "out/up.txt", "out/dir/_con.txt",
                                     "out/notes.txt_/hidden"}));
    EXPECT_TRUE(DirectoryExists(x.Out("empty")));
    EXPECT_EQ(test::ReadWholeFile(x.Out("App\\readme.txt")), "read me\n");
    // The catalogue keeps the stored paths.
    EXPECT_EQ(x.zip.Pathname(4) + x.zip.Filename(4), "C:\\data\\a.txt");
    EXPECT_EQ(x.zip.Pathname(6), "..\\..\\");
    EXPECT_FALSE(x.zip.ArchiveIsOpen()) << "closed after the run unless KeepZipOpen";
}

TEST(ExtractionRun, RootDirIsTakenOffIgnoringCaseAndFlatRunsDropFolders) {
    test::Extraction x(test::ExtractionFixture("layout.zip"));
    x.zip.SetRootDir("app");
    TStringList patterns;
    patterns.SetCommaText("*.dll,app\\readme.*");
    x.zip.SetFilesList(&patterns);
    x.zip.SetDoAll(false);
    EXPECT_EQ(x.zip.UnZip(), 2);
    EXPECT_EQ(x.log.lines, (Lines{"StartUnZipInfo 2 18", "StartUnZip 1 D\\bin\\x.dll",
                                  "EndUnZip 1 D\\bin\\x.dll", "StartUnZip 2 D\\readme.txt",
                                  "EndUnZip 2 D\\readme.txt", "UnZipComplete 2"}));
    EXPECT_EQ(x.zip.FilesList()->Count(), 0) << "patterns last one run";

    x.log.lines.clear();
    x.zip.SetRecreateDirs(false);
    x.zip.SetFilesList(&patterns);
    EXPECT_EQ(x.zip.UnZip(), 2);
    EXPECT_EQ(x.log.lines,
              (Lines{"StartUnZipInfo 2 18", "StartUnZip 1 D\\x.dll", "EndUnZip 1 D\\x.dll",
                     "StartUnZip 2 D\\readme.txt", "EndUnZip 2 D\\readme.txt", "UnZipComplete 2"}));
}

TEST(ExtractionRun, NothingSelectedOrStoppedStillReportsStartAndEnd) {
    struct Case {
        const char* name;
        bool doAll;
        bool stopNow;
        Lines expected;
    };
    const Case cases[] = {
        {"no entry selected", false, false, {"StartUnZipInfo 0 0", "UnZipComplete 0"}},
        {"StopNow", true, true, {"StartUnZipInfo 7 69", "UnZipComplete 0"}},
    };
    for (const Case& c : cases) {
        test::Extraction x(test::ExtractionFixture("layout.zip"));
        x.zip.SetDoAll(c.doAll);
        x.log.stopNow = c.stopNow;
        EXPECT_EQ(x.zip.UnZip(), 0) << c.name;
        EXPECT_EQ(x.log.lines, c.expected) << c.name;
        EXPECT_FALSE(DirectoryExists(x.Out("App"))) << c.name;
    }
}

TEST(ExtractionRun, PasswordsAndCrcMismatches) {
    // secret.zip: plain.txt (not encrypted), secret.txt and damaged.txt (password "right";
    // damaged.txt's data was changed after its encryption header). crc.zip: bad.txt's stored
    // CRC is wrong, long.txt is declared 100 bytes long and holds 20000.
    struct Case {
        const char* name;
        const char* archive;
        const char* password;
        bool passwordHandler;
        int extracted;
        Lines expected;
        std::vector<const char*> absent;
    };
    const Case cases[] = {
        {"wrong password, no handler: skipped by stored path",
         "secret.zip",
         "wrong",
         false,
         1,
         {"StartUnZipInfo 3 37", "StartUnZip 0 D\\plain.txt", "EndUnZip 0 D\\plain.txt",
          "StartUnZip 1 D\\secret.txt", "SkippingFile srBadPassword secret.txt 1",
          "StartUnZip 2 D\\damaged.txt", "SkippingFile srBadPassword damaged.txt 2",
          "UnZipComplete 1"},
         {"secret.txt", "damaged.txt"}},
        {"right password: the damaged entry fails its CRC",
         "secret.zip",
         "right",
         false,
         2,
         {"StartUnZipInfo 3 37", "StartUnZip 0 D\\plain.txt", "EndUnZip 0 D\\plain.txt",
          "StartUnZip 1 D\\secret.txt", "EndUnZip 1 D\\secret.txt", "StartUnZip 2 D\\damaged.txt",
          "SkippingFile srBadPassword damaged.txt 2", "UnZipComplete 2"},
         {"damaged.txt"}},
        // The handler turns "wrong" into "right" and "right" into "Right" (a new password,
        // since case counts), and keeps "Right".
        {"a handler's new password is checked; after a CRC failure the entry is redone",
         "secret.zip",
         "wrong",
         true,
         2,
         {"StartUnZipInfo 3 37", "StartUnZip 0 D\\plain.txt", "EndUnZip 0 D\\plain.txt",
          "StartUnZip 1 D\\secret.txt", "BadPassword 1 wrong", "EndUnZip 1 D\\secret.txt",
          "StartUnZip 2 D\\damaged.txt", "BadPassword 2 right", "StartUnZip 2 D\\damaged.txt",
          "BadPassword 2 Right", "SkippingFile srBadPassword damaged.txt 2", "UnZipComplete 2"},
         {"damaged.txt"}},
        {"CRC mismatches of plain entries",
         "crc.zip",
         "",
         true,
         2,
         {"StartUnZipInfo 4 125", "StartUnZip 0 D\\good.txt", "EndUnZip 0 D\\good.txt",
          "StartUnZip 1 D\\bad.txt", "BadCRC D06B42F6 12345678 1", "StartUnZip 2 D\\long.txt",
          "BadCRC 00000000 06B682F5 2", "StartUnZip 3 D\\after.txt", "EndUnZip 3 D\\after.txt",
          "UnZipComplete 2"},
         {"bad.txt", "long.txt"}},
        {"an encrypted entry shorter than its encryption header is damaged",
         "short_encrypted.zip",
         "",
         true,
         1,
         {"StartUnZipInfo 2 11", "StartUnZip 0 D\\short.bin",
          "SkippingFile srBadPassword short.bin 0", "StartUnZip 1 D\\plain.txt",
          "EndUnZip 1 D\\plain.txt", "UnZipComplete 1"},
         {"short.bin"}},
    };
    for (const Case& c : cases) {
        test::Extraction x(test::ExtractionFixture(c.archive));
        x.zip.SetPassword(c.password);
        x.log.onBadPassword = [](AnsiString& password) {
            password = password == "wrong" ? "right" : "Right";
        };
        if (!c.passwordHandler) {
            x.log.DetachBadPassword();
        }
        EXPECT_EQ(x.zip.UnZip(), c.extracted) << c.name;
        EXPECT_EQ(x.log.lines, c.expected) << c.name;
        for (const char* failed : c.absent) {
            EXPECT_FALSE(FileExists(x.Out(failed))) << c.name << ": " << failed;
        }
    }
}

TEST(ExtractionRun, SkipFromOnStartUnZipLeavesTheFileAlone) {
    test::Extraction x(test::ExtractionFixture("crc.zip"));
    ForceDirectories(x.Out(""));
    test::WriteWholeFile(x.Out("good.txt"), "old");
    x.log.onStartUnZip = [](int index, AnsiString&, bool& skip) { skip = index < 3; };
    EXPECT_EQ(x.zip.UnZip(), 1);
    EXPECT_EQ(x.log.lines,
              (Lines{"StartUnZipInfo 4 125", "StartUnZip 0 D\\good.txt", "StartUnZip 1 D\\bad.txt",
                     "StartUnZip 2 D\\long.txt", "StartUnZip 3 D\\after.txt",
                     "EndUnZip 3 D\\after.txt", "UnZipComplete 1"}));
    EXPECT_EQ(test::ReadWholeFile(x.Out("good.txt")), "old");
}

TEST(ExtractionRun, ACommentReadByAHandlerLeavesTheArchiveToTheRun) {
    // The archive a handler reads a comment from is the one the run reads the entry from: it
    // stays open until the run ends, and KeepZipOpen stays what the owner made it.
    test::Extraction x(test::Fixture("comments.zip"));
    std::vector<std::string> seen;
    x.log.onStartUnZip = [&](int index, AnsiString&, bool&) {
        seen.push_back(x.zip.FileComment(index) + (x.zip.KeepZipOpen() ? " kept" : ""));
    };
    EXPECT_EQ(x.zip.UnZip(), 3);
    EXPECT_EQ(seen, (std::vector<std::string>{"first entry comment", "", "caf\xe9 \x80\xff"}));
    EXPECT_EQ(test::ReadWholeFile(x.Out("docs\\guide.txt")).size(), 11u);
    EXPECT_FALSE(x.zip.ArchiveIsOpen());
}

TEST(ExtractionRun, IndexErrors) {
    test::Extraction x(test::ExtractionFixture("crc.zip"));
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { x.zip.Filename(0); }),
              "Index 0 is out of range")
        << "no catalogue yet";
    x.zip.OpenAndRefreshCatalogue();
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { x.zip.Filename(4); }),
              "Index 4 is out of range");
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { x.zip.Pathname(-1); }),
              "Index -1 is out of range");
}

TEST(ExtractionRun, ExceptionsLeaveAfterTheEndActions) {
    // truncated.zip: big.bin is declared 200000 bytes long; the archive ends after 40000.
    test::Extraction x(test::ExtractionFixture("truncated.zip"));
    TStringList patterns;
    patterns.Add("*");
    x.zip.SetFilesList(&patterns);
    EXPECT_EQ(test::RaisedMessage<EFatalUnzipError>([&] { x.zip.UnZip(); }),
              "Premature end of file reached");
    EXPECT_EQ(x.log.lines,
              (Lines{"StartUnZipInfo 2 200006", "StartUnZip 0 D\\first.txt",
                     "EndUnZip 0 D\\first.txt", "StartUnZip 1 D\\big.bin", "UnZipComplete 1"}));
    // The chunks that arrived do not stay; the archive stays open for the next run.
    EXPECT_EQ(test::FilesUnder(x.folder / "out"), std::set<std::string>{"first.txt"});
    EXPECT_TRUE(x.zip.ArchiveIsOpen());
    EXPECT_FALSE(x.zip.KeepZipOpen());
    EXPECT_EQ(x.zip.FilesList()->Count(), 0);

    // A handler's exception leaves the same way; calls back into a running UnZip are refused.
    test::Extraction y(test::ExtractionFixture("crc.zip"));
    std::string refusals;
    y.log.onEndUnZip = [&](int, const AnsiString&) {
        refusals += test::RaisedMessage<EInvalidOperation>([&] { y.zip.UnZip(); }) + "|";
        refusals += test::RaisedMessage<EInvalidOperation>([&] { y.zip.SetZipName("other.zip"); });
        throw EAbort("stop");
    };
    EXPECT_EQ(test::RaisedMessage<EAbort>([&] { y.zip.UnZip(); }), "stop");
    EXPECT_EQ(refusals, "The archive is already being extracted|"
                        "The archive cannot change while it is extracted");
    EXPECT_EQ(y.log.lines.back(), "UnZipComplete 0") << "counted after its OnEndUnZip";
    EXPECT_FALSE(y.zip.Busy());
}

// An exception from a progress handler, or out of memory, inside an entry's data leaves the run
// in every method alike: nothing of the file stays (it was being written under its partial name),
// OnUnZipComplete comes last, and the next entry is not started. (Deflate ends a block only for
// damage.)
TEST(ExtractionRun, HandlerExceptionsLeaveTheRunInEveryMethod) {
    std::vector<std::uint8_t> data(100000);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>("every method alike\n"[i % 19] + i / 4000);
    }
    struct Case {
        const char* name;
        bool deflated;
        std::function<void()> toss;
        std::string raised;
    };
    const Case cases[] = {
        {"stored, EAbort", false, [] { throw EAbort("stop"); }, "stop"},
        {"deflated, EAbort", true, [] { throw EAbort("stop"); }, "stop"},
        {"stored, cancel", false, [] { throw EUserCanceled("User Aborted Operation"); },
         "User Aborted Operation"},
        {"deflated, cancel", true, [] { throw EUserCanceled("User Aborted Operation"); },
         "User Aborted Operation"},
        {"stored, out of memory", false, [] { throw std::bad_alloc(); }, "std::bad_alloc"},
        {"deflated, out of memory", true, [] { throw std::bad_alloc(); }, "std::bad_alloc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::Extraction x("");
        test::SplitZipWriter writer({std::size_t(1) << 30});
        if (c.deflated) {
            writer.AddDeflated("big.bin", data);
        } else {
            writer.AddStored("big.bin", data);
        }
        writer.AddStored("next.txt", {'n'});
        test::WriteWholeFile(x.folder / "run.zip", writer.Finish().at(0));
        x.zip.SetZipName(x.folder / "run.zip");
        int calls = 0;
        x.zip.OnFilePercentDone = [&](TObject*, int) {
            if (++calls == 2) {
                c.toss();
            }
        };
        std::string raised = "nothing";
        try {
            x.zip.UnZip();
        } catch (const Exception& e) {
            raised = e.Message();
        } catch (const std::exception& e) {
            raised = e.what();
        }
        EXPECT_EQ(raised, c.raised);
        EXPECT_EQ(x.log.lines,
                  (Lines{"StartUnZipInfo 2 100001", "StartUnZip 0 D\\big.bin", "UnZipComplete 0"}));
        EXPECT_EQ(test::FilesUnder(x.folder / "out"), std::set<std::string>{});
    }
}

TEST(ExtractionRun, DamagedLocalHeaderIsABadArchive) {
    KQ_SKIP_WITHOUT_TESTDATA();
    test::Extraction x(test::Testdata("files/dotnet/localFileOffsetOutOfBounds.zip"));
    EXPECT_EQ(test::RaisedMessage<EBadZipFile>([&] { x.zip.UnZip(); }), "Not a valid zip file!");
    EXPECT_EQ(x.log.lines.back(), "UnZipComplete 0");
}

} // namespace
} // namespace kq

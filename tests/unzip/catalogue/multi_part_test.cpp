// Multi-part archives: reading a catalogue spread over parts made by Info-ZIP's zip -s, the
// component's own way of naming parts, and the ways a part can be refused.
#include "platform/dialogs.h"
#include "support/multi_part.h"
#include "support/zip_fixtures.h"
#include "test/raises.h"
#include "test/scratch_folder.h"
#include "unzip/errors.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

// Reaches the component's own part handling.
class PartsZip : public TZipExtractor {
public:
    PartsZip() : TZipExtractor(nullptr) {}
    using TZipExtractor::DefaultGetNextDisk;
    using TZipExtractor::SwitchToPart;
};

TEST(MultiPart, CatalogueAcrossParts) {
    test::ScratchFolder folder;
    test::CopyFixtureParts(folder);
    PartsZip zip;
    std::vector<std::string> asked;
    zip.OnGetNextDisk = [&](TObject* sender, int part, AnsiString& name) {
        asked.push_back(std::to_string(part) + " after " + name.substr(folder.Path().size()));
        zip.DefaultGetNextDisk(sender, part, name);
    };
    const auto listing = test::ReadListing(zip, folder / "multi.004");
    // Sizes and CRC-32 values as Python's zipfile reads them from the joined parts.
    ASSERT_EQ(listing.size(), 7u);
    EXPECT_EQ(listing[0], (test::ListedEntry{"d\\", 0, 0}));
    EXPECT_EQ(listing[6].path, "d\\f5.bin");
    EXPECT_EQ(listing[6].size, 46000u);
    EXPECT_EQ(asked, (std::vector<std::string>{"3 after multi.004", "4 after multi.003"}));
    EXPECT_EQ(zip.MultiPartMode(), TMultiPartMode::mpSplitFiles);
    EXPECT_EQ(zip.PartCount(), 4);
    EXPECT_EQ(zip.CurrentPart(), 3);
    EXPECT_EQ(zip.ZipName(), folder / "multi.004") << "the name of the part open now";
}

TEST(MultiPart, PartRefusedOrMissing) {
    test::ScratchFolder folder;
    test::CopyFixtureParts(folder, 3);
    PartsZip zip;
    EXPECT_THROW(test::ReadListing(zip, folder / "multi.004"), EFOpenError)
        << "a missing part file is reported, not asked for again and again";
    EXPECT_EQ(zip.Count(), 0);
    zip.OnGetNextDisk = [](TObject*, int, AnsiString& name) { name.clear(); };
    EXPECT_EQ(test::RaisedMessage<EUserCanceled>([&] { zip.OpenAndRefreshCatalogue(); }),
              "User canceled loading new disk.");
}

TEST(MultiPart, DefaultHandlerNamesSplitParts) {
    struct Case {
        const char* name;
        int part;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\inst\\setup.zip", 2, "C:\\inst\\setup.002"},
        {"setup.003", 12, "setup.012"},
        {"setup", 1, "setup.001"},
        {"dir.v1\\setup", 2, "dir.v1\\setup.002"},
    };
    PartsZip zip;
    zip.SetMultiPartMode(TMultiPartMode::mpSplitFiles);
    for (const Case& c : cases) {
        AnsiString name = c.name;
        zip.DefaultGetNextDisk(&zip, c.part, name);
        EXPECT_EQ(name, c.expected) << c.name << " part " << c.part;
    }
}

TEST(MultiPart, DefaultHandlerAsksForRemovableDisks) {
    test::ScratchFolder folder;
    test::CopyFixtureParts(folder);
    PartsZip zip;
    zip.SetMultiPartMode(TMultiPartMode::mpRemovableDisks);
    std::vector<std::string> shown;
    int answer = id::Ok;
    SetMessageBoxResponder(
        [&](const std::string& text, const std::string& caption, uint32_t flags) {
            shown.push_back(text + "|" + caption + "|" + std::to_string(flags));
            return answer;
        });
    AnsiString name = folder / "multi.001";
    zip.DefaultGetNextDisk(&zip, 2, name);
    EXPECT_EQ(name, folder / "multi.001") << "OK keeps the name: the disk is in the drive";
    answer = id::Cancel;
    zip.DefaultGetNextDisk(&zip, 2, name);
    EXPECT_EQ(name, "") << "Cancel refuses";
    EXPECT_EQ(shown, std::vector<std::string>(2, "Please insert disk 2 of the multi-disk set.||" +
                                                     std::to_string(mb::OkCancel)));

    // A disk whose label does not end in the part number (the test folder's drive has no such
    // label) is asked for again, until the user cancels; without the check it is taken.
    shown.clear();
    int calls = 0;
    zip.OnGetNextDisk = [&](TObject*, int, AnsiString& fileName) {
        fileName = ++calls < 3 ? folder / "multi.002" : "";
    };
    EXPECT_THROW(zip.SwitchToPart(2), EUserCanceled);
    EXPECT_EQ(calls, 3);
    calls = 0;
    zip.SetCheckVolumeLabel(false);
    zip.SwitchToPart(2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(zip.CurrentPart(), 1);
    SetMessageBoxResponder(nullptr);
}

} // namespace
} // namespace kq

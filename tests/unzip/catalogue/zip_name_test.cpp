// ZipName and the cached catalogue: a new name drops it, a changed archive time makes it be
// read again, and the component's published properties.
#include "base/properties.h"
#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "support/zip_fixtures.h"
#include "test/file_bytes.h"
#include "test/raises.h"
#include "test/scratch_folder.h"
#include "unzip/errors.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

void CopyWithTime(const std::string& from, const std::string& to, uint32_t dosDateTime) {
    test::WriteWholeFile(to, test::ReadWholeFile(from));
    File file(to, FileMode::Write);
    ASSERT_TRUE(file.SetDosDateTime(dosDateTime) && file.Close());
}

TEST(ZipName, NewNameDropsTheCatalogue) {
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, test::Fixture("sorted.zip"));
    zip.SetZipName(test::Fixture("SORTED.ZIP"));
    EXPECT_EQ(zip.Count(), 5) << "the same name in other case is the same archive";
    EXPECT_TRUE(zip.ArchiveIsOpen());
    zip.SetZipName(test::Fixture("tree.zip"));
    EXPECT_EQ(zip.Count(), 0);
    EXPECT_FALSE(zip.ArchiveIsOpen());
    EXPECT_EQ(zip.EndCentral().TotalEntries(), 0);

    // "?" asks for the file in a dialog, cancelled here.
    SetFileOpenDialogResponder([](auto&, auto&, auto&, std::string&) { return false; });
    EXPECT_EQ(test::RaisedMessage<EUserCanceled>([&] { zip.SetZipName("C:\\?"); }),
              "User canceled setting zip file name.");
    SetFileOpenDialogResponder(nullptr);
    EXPECT_EQ(zip.ZipName(), test::Fixture("tree.zip"));
    zip.SetDesigning(true);
    zip.SetZipName("C:\\?");
    EXPECT_EQ(zip.ZipName(), "C:\\?") << "in the designer the name is only stored";
}

TEST(ZipName, CatalogueIsReadAgainWhenTheArchiveTimeChanges) {
    test::ScratchFolder folder;
    const std::string path = folder / "setup.zip";
    CopyWithTime(test::Fixture("sorted.zip"), path, 0x50210000);
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, path);
    zip.CloseArchive();

    // Other contents with the same time: the cached catalogue stands.
    CopyWithTime(test::Fixture("tree.zip"), path, 0x50210000);
    zip.OpenAndRefreshCatalogue();
    EXPECT_EQ(zip.Filename(0), "zeta.txt");
    zip.CloseArchive();

    CopyWithTime(test::Fixture("comments.zip"), path, 0x50210010);
    zip.OpenAndRefreshCatalogue();
    EXPECT_EQ(zip.Count(), 3);
    EXPECT_EQ(zip.Filename(0), "readme.txt");
}

TEST(ZipName, PublishedProperties) {
    TZipExtractor zip(nullptr);
    EXPECT_EQ(zip.SortMode(), TZipSortMode::ByNone);
    EXPECT_EQ(zip.IncompleteZipMode(), TIncompleteZipMode::izAssumeMulti);
    EXPECT_FALSE(zip.KeepZipOpen());
    EXPECT_TRUE(zip.DoProcessMessages());
    EXPECT_TRUE(static_cast<bool>(zip.OnGetNextDisk)) << "the component's own handler";

    // As the form loader sets them: by name, enumerations by value name.
    const TPropInfo* sortMode = FindPropInfo(zip, "sortmode");
    ASSERT_NE(sortMode, nullptr);
    SetOrdProp(zip, *sortMode, GetEnumValue(*sortMode->EnumInfo(), "ByRate"));
    EXPECT_EQ(zip.SortMode(), TZipSortMode::ByRate);
    const TPropInfo* mode = FindPropInfo(zip, "IncompleteZipMode");
    ASSERT_NE(mode, nullptr);
    SetOrdProp(zip, *mode, GetEnumValue(*mode->EnumInfo(), "izAssumeNotAZip"));
    EXPECT_EQ(zip.IncompleteZipMode(), TIncompleteZipMode::izAssumeNotAZip);
    SetStrProp(zip, *FindPropInfo(zip, "ZipName"), "a.zip");
    EXPECT_EQ(zip.ZipName(), "a.zip");
    SetOrdProp(zip, *FindPropInfo(zip, "KeepZipOpen"), 1);
    EXPECT_TRUE(zip.KeepZipOpen());

    TZipExtractor designed(nullptr);
    designed.SetDesigning(true);
    TZipExtractor inDesigner(&designed);
    EXPECT_FALSE(static_cast<bool>(inDesigner.OnGetNextDisk)) << "no handler in the designer";
}

} // namespace
} // namespace kq

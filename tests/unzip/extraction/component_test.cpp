// The component as a form stores and its owner sets it: published properties in their order
// with their defaults, the setters' rules, the dialogs behind "?", Assign.
#include "base/properties.h"
#include "platform/file_dialogs.h"
#include "platform/shell.h"
#include "support/zip_fixtures.h"
#include "test/raises.h"
#include "unzip/errors.h"
#include "unzip/zip_extractor.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

TEST(ExtractorComponent, PublishedPropertiesAndDefaults) {
    TZipExtractor zip(nullptr);
    std::vector<std::string> names;
    for (const TPropInfo* prop : GetPropList(zip)) {
        if (prop->Kind() != TPropKind::Event && prop->Name() != "Name" && prop->Name() != "Tag") {
            names.push_back(
                prop->Name() + "=" +
                (prop->Kind() == TPropKind::String       ? GetStrProp(zip, *prop)
                 : prop->Kind() == TPropKind::StringList ? std::to_string(zip.FilesList()->Count())
                 : prop->EnumInfo() ? GetEnumName(*prop->EnumInfo(), GetOrdProp(zip, *prop))
                                    : std::to_string(GetOrdProp(zip, *prop))));
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "ThisVersion=220", "ZipName=", "DestDir=", "RootDir=", "SortMode=ByNone",
                         "RecreateDirs=0", "OverwriteMode=Prompt", "FilesList=0", "DoAll=0",
                         "IncompleteZipMode=izAssumeMulti", "KeepZipOpen=0", "DoProcessMessages=1",
                         "RetainAttributes=1", "ReplaceReadOnly=0", "FlushFilesOnClose=0"}));
    std::vector<std::string> events;
    for (const TPropInfo* prop : GetPropList(zip)) {
        if (prop->Kind() == TPropKind::Event) {
            events.push_back(prop->Name());
        }
    }
    EXPECT_EQ(events, (std::vector<std::string>{
                          "OnStartUnZipInfo", "OnFilePercentDone", "OnTotalPercentDone",
                          "OnStartUnZip", "OnEndUnZip", "OnPromptForOverwrite", "OnSkippingFile",
                          "OnBadPassword", "OnBadCRC", "OnInCompleteZip", "OnGetNextDisk",
                          "OnUnZipComplete", "OnGetNextBuffer"}));
    EXPECT_EQ(zip.Password(), "");
    EXPECT_EQ(zip.Count(), 0);

    SetOrdProp(zip, *FindPropInfo(zip, "ThisVersion"), 5);
    SetOrdProp(zip, *FindPropInfo(zip, "OverwriteMode"), 3);
    EXPECT_EQ(zip.ThisVersion(), 220);
    EXPECT_EQ(zip.OverwriteMode(), TUZOverwriteMode::ifNewer);
}

TEST(ExtractorComponent, FolderSettersAndFilesList) {
    struct Case {
        const char* given;
        const char* destDir;
        const char* rootDir;
    };
    const Case cases[] = {
        {"", "", ""},
        {"C:\\inst\\", "C:\\inst", "C:\\inst\\"},
        {"C:\\inst", "C:\\inst", "C:\\inst\\"},
        {"C:\\inst\\\\", "C:\\inst\\", "C:\\inst\\\\"},
        {"app", "app", "app\\"},
    };
    for (const Case& c : cases) {
        TZipExtractor zip(nullptr);
        zip.SetDestDir(c.given);
        zip.SetRootDir(c.given);
        EXPECT_EQ(zip.DestDir(), c.destDir) << c.given;
        EXPECT_EQ(zip.RootDir(), c.rootDir) << c.given;
    }

    TZipExtractor zip(nullptr);
    TStringList patterns;
    patterns.SetCommaText("*.txt,bin\\*");
    zip.SetFilesList(&patterns);
    patterns.Add("later");
    EXPECT_EQ(zip.FilesList()->CommaText(), "*.txt,bin\\*") << "a copy, not the list";
}

TEST(ExtractorComponent, QuestionMarkAsksTheUser) {
    struct Asked {
        std::string title, filter, start;
    } asked;
    std::string answer;
    SetFileOpenDialogResponder([&](const std::string& title, const std::string& filter,
                                   const std::string& start, std::string& file) {
        asked = {title, filter, start};
        file = answer;
        return !answer.empty();
    });
    SetFolderDialogResponder([&](const std::string&, const std::wstring&, std::string& folder) {
        folder = answer;
        return !answer.empty();
    });

    TZipExtractor zip(nullptr);
    zip.SetZipName("old.zip");
    answer = "C:\\chosen\\setup.zip";
    zip.SetZipName("Q:\\missing\\?");
    EXPECT_EQ(zip.ZipName(), "C:\\chosen\\setup.zip");
    EXPECT_EQ(asked.title, "Open a Zip File");
    EXPECT_EQ(asked.filter, "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|"
                            "Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*");
    EXPECT_EQ(asked.start, "C:\\") << "the name's folder does not exist";
    zip.SetZipName("tests\\unzip\\?");
    EXPECT_EQ(asked.start, "tests\\unzip\\");
    answer = "D:\\chosen\\";
    zip.SetDestDir("?");
    EXPECT_EQ(zip.DestDir(), "D:\\chosen");

    answer.clear();
    EXPECT_EQ(test::RaisedMessage<EUserCanceled>([&] { zip.SetZipName("?"); }),
              "User canceled setting zip file name.");
    EXPECT_EQ(test::RaisedMessage<EUserCanceled>([&] { zip.SetDestDir("?"); }),
              "User canceled Set Desination Directory");
    EXPECT_EQ(zip.ZipName(), "C:\\chosen\\setup.zip");
    EXPECT_EQ(zip.DestDir(), "D:\\chosen");
    SetFileOpenDialogResponder(nullptr);
    SetFolderDialogResponder(nullptr);
}

TEST(ExtractorComponent, AssignCopiesTheSettingsAndHandlers) {
    // Every published setting of the source gets a value other than its default.
    TZipExtractor source(nullptr);
    for (const TPropInfo* prop : GetPropList(source)) {
        if (prop->Kind() == TPropKind::String && prop->Name() != "Name") {
            SetStrProp(source, *prop, prop->Name() + "\\x");
        } else if (prop->Kind() == TPropKind::Boolean) {
            SetOrdProp(source, *prop, 1 - GetOrdProp(source, *prop));
        } else if (prop->Kind() == TPropKind::Enumeration) {
            SetOrdProp(source, *prop, 2);
        }
    }
    source.FilesList()->Add("*.dll");
    source.SetPassword("secret");
    int calls = 0;
    source.OnUnZipComplete = [&](TObject*, int) { ++calls; };

    TZipExtractor copy(nullptr);
    copy.Assign(&source);
    for (const TPropInfo* prop : GetPropList(source)) {
        if (prop->Kind() == TPropKind::Event || prop->Name() == "Name") {
            continue;
        }
        const bool copied = prop->Name() != "FlushFilesOnClose";
        if (prop->Kind() == TPropKind::String) {
            EXPECT_EQ(GetStrProp(copy, *prop) == GetStrProp(source, *prop), copied) << prop->Name();
        } else if (prop->Kind() != TPropKind::StringList) {
            EXPECT_EQ(GetOrdProp(copy, *prop) == GetOrdProp(source, *prop), copied) << prop->Name();
        }
    }
    EXPECT_EQ(copy.FilesList()->CommaText(), "*.dll");
    EXPECT_EQ(copy.Password(), "") << "the password is not a setting";
    copy.OnUnZipComplete(&copy, 0);
    EXPECT_EQ(calls, 1);

    TStringList other;
    EXPECT_EQ(test::RaisedMessage<EConvertError>([&] { copy.Assign(&other); }),
              "Cannot assign a TStringList to a TZipExtractor");
}

} // namespace
} // namespace kq

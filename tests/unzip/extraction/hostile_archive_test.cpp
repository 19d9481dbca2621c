// Archives whose entry names aim outside the destination folder, at devices or at alternate
// streams: every form Windows knows for an absolute or escaping path, with "\" and "/". The
// archive is written byte by byte, its names aimed at a sibling of the scratch folder, and the
// scratch folder is the current folder, so that a drive-relative name would land in it. After the
// extraction nothing has changed outside the destination (the whole stand-in root natively; the
// scratch folder and the sibling under Windows) and every file entry's bytes are in a file below
// the destination.
#include "extraction.h"
#include "support/zip_writer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/standin.h"
#include "test/file_bytes.h"
#endif

namespace kq {
namespace {

namespace fs = std::filesystem;

// The host's current folder for the scope, the previous one restored after.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~CurrentFolder() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

std::string Slashed(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

struct Hostile {
    std::vector<std::string> files, folders;
};

// sibling: a Windows path with a drive, without a trailing backslash, beside the scratch folder
// in which the destination "dest" lies.
Hostile HostileNames(const std::string& sibling) {
    const std::string name = sibling.substr(sibling.rfind('\\') + 1);
    const std::string rooted = sibling.substr(2); // "\...\name"
    Hostile h;
    h.files = {
        // Up and out of the destination.
        "..\\..\\" + name + "\\dotdot.txt",
        "../../" + name + "/dotdot-slash.txt",
        "inner\\..\\..\\..\\" + name + "\\inner.txt",
        // Absolute, drive-relative and rooted.
        sibling + "\\drive.txt",
        Slashed(sibling) + "/drive-slash.txt",
        "C:..\\" + name + "\\drive-relative.txt",
        "C:drive-relative-name.txt",
        rooted + "\\rooted.txt",
        Slashed(rooted) + "/rooted-slash.txt",
        // Network and device namespaces.
        "\\\\kq-no-such-server\\share\\unc.txt",
        "//kq-no-such-server/share/unc-slash.txt",
        "\\\\?\\" + sibling + "\\long-prefix.txt",
        "\\\\.\\" + sibling + "\\device-prefix.txt",
        "\\\\?\\UNC\\kq-no-such-server\\share\\long-unc.txt",
        // Alternate data streams: "::$DATA" names the file's main stream.
        "ads.txt",
        "ads.txt:hidden",
        "ads.txt::$DATA",
        "stream-folder:x\\in-stream-folder.txt",
        // Devices, as files and as folders.
        "CON",
        "aux.txt",
        "Nul.log",
        "com1",
        "LPT9.txt",
        "CONIN$",
        "prn\\in-prn-folder.txt",
        // Trailing dots and blanks, which Windows strips.
        "dots.txt.",
        "blanks.txt  ",
        "both.txt. .",
        "trail-folder. \\in-trail-folder.txt",
        "trail-folder2.\\in-trail-folder2.txt",
        // Names made only of dots (and blanks).
        "...",
        "....\\in-dots.txt",
        ". .\\in-dot-blank.txt",
        "..\\..",
        "sub\\.",
    };
    h.folders = {
        "..\\..\\" + name + "\\made-folder\\",
        sibling + "\\abs-folder\\",
        "\\\\?\\" + sibling + "\\long-prefix-folder\\",
        rooted + "\\rooted-folder\\",
        "..\\",
        "...\\",
    };
    return h;
}

// Every file and folder below the tops, "except" and what lies below it left out.
std::set<std::string> Everything(const std::vector<fs::path>& tops, const fs::path& except) {
    std::set<std::string> found;
    for (const fs::path& top : tops) {
        for (auto it = fs::recursive_directory_iterator(top);
             it != fs::recursive_directory_iterator(); ++it) {
            if (it->path() == except) {
                it.disable_recursion_pending();
                continue;
            }
            found.insert(it->path().generic_string());
        }
    }
    return found;
}

std::multiset<std::string> ContentsUnder(const std::string& folder) {
    std::multiset<std::string> contents;
    for (const std::string& file : test::FilesUnder(folder)) {
        contents.insert(test::ReadWholeFile(folder + "\\" + file));
    }
    return contents;
}

TEST(HostileArchive, EntryNamesWriteNothingOutsideTheDestination) {
    for (const bool recreateDirs : {true, false}) {
        SCOPED_TRACE(recreateDirs ? "folders recreated" : "flat");
        test::ScratchFolder scratch;
        const std::string top = scratch.Path().substr(0, scratch.Path().size() - 1);
        const std::string sibling = top + "-sibling";
        const std::string dest = scratch / "dest";
        fs::create_directories(test::HostOf(sibling));
        struct RemoveSibling {
            fs::path path;
            ~RemoveSibling() {
                std::error_code ignored;
                fs::remove_all(path, ignored);
            }
        } removeSibling{test::HostOf(sibling)};
        CurrentFolder current(test::HostOf(scratch.Path()));

        const Hostile names = HostileNames(sibling);
        test::StoredZipWriter writer;
        std::multiset<std::string> expected;
        for (std::size_t i = 0; i < names.files.size(); ++i) {
            const std::string bytes = "entry " + std::to_string(i) + ": " + names.files[i];
            writer.AddFile(names.files[i], bytes);
            expected.insert(bytes);
        }
        for (const std::string& folder : names.folders) {
            writer.AddFolder(folder);
        }
        const std::string archive = scratch / "hostile.zip";
        test::WriteWholeFile(archive, writer.Bytes());

#ifdef _WIN32
        const std::vector<fs::path> watched = {test::HostOf(scratch.Path()), test::HostOf(sibling)};
#else
        const std::vector<fs::path> watched = {RootFolder()};
#endif
        const fs::path destHost = test::HostOf(dest);
        const std::set<std::string> before = Everything(watched, destHost);

        TZipExtractor zip(nullptr);
        zip.SetZipName(archive);
        zip.SetDestDir(dest);
        zip.SetRecreateDirs(recreateDirs);
        zip.SetDoAll(true);
        zip.SetOverwriteMode(TUZOverwriteMode::Always);
        std::vector<std::string> skipped;
        zip.OnSkippingFile = [&](TObject*, TSkipReason, const AnsiString& name, int, bool&) {
            skipped.push_back(name);
        };
        int extracted = -1;
        EXPECT_NO_THROW(extracted = zip.UnZip());
        zip.SetZipName(""); // closes the archive, so the scratch folder can go

        EXPECT_EQ(Everything(watched, destHost), before) << "something changed outside dest";
        EXPECT_TRUE(fs::is_empty(test::HostOf(sibling)));
        EXPECT_EQ(extracted, static_cast<int>(names.files.size()));
        EXPECT_TRUE(skipped.empty()) << skipped.front();
        EXPECT_EQ(ContentsUnder(dest), expected) << "an entry's bytes are missing from dest";
    }
}

} // namespace
} // namespace kq

// What the extraction tests share: the fixtures of this folder, a component set up as the tests
// use it, and the files found under a folder.
#pragma once

#include "support/event_log.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"
#include "unzip/zip_extractor.h"

#include <filesystem>
#include <set>
#include <string>

#ifndef _WIN32
#include "platform/standin.h"
#endif

namespace kq::test {

inline std::string ExtractionFixture(const std::string& name) {
    return "tests\\unzip\\extraction\\fixtures\\" + name;
}

// The entries' date-time in the fixtures, 2020-02-29 13:14:16.
inline constexpr std::uint32_t kFixtureTime = 0x505D69C8;

// A component that extracts archive into the scratch folder's "out" folder, recreating the
// entries' folders, and an event log on it.
struct Extraction {
    explicit Extraction(const std::string& archive) : log(zip, folder / "out") {
        zip.SetZipName(archive);
        zip.SetDestDir(folder / "out");
        zip.SetRecreateDirs(true);
        zip.SetDoAll(true);
        zip.SetOverwriteMode(TUZOverwriteMode::Always);
    }

    std::string Out(const std::string& name) const { return folder / ("out\\" + name); }

    ScratchFolder folder;
    TZipExtractor zip{nullptr};
    EventLog log;
};

// The host's view of a Windows path of the platform layer.
inline std::filesystem::path HostOf(const std::string& windowsPath) {
#ifdef _WIN32
    return std::filesystem::path(windowsPath);
#else
    return std::filesystem::path(*HostPath(windowsPath));
#endif
}

// Every file under folder, as paths relative to it with "/" between folders.
inline std::set<std::string> FilesUnder(const std::string& folder) {
    std::set<std::string> files;
    const std::filesystem::path root = HostOf(folder);
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        if (item.is_regular_file()) {
            files.insert(item.path().lexically_relative(root).generic_string());
        }
    }
    return files;
}

} // namespace kq::test

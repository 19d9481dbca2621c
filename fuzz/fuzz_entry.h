// Shared pieces of the fuzz targets.
//
// RunEntry runs one fuzzer input through a decoder as one archive entry. The input's first
// three bytes are the entry's parameters, the rest is its compressed data:
//   byte 0-1   the declared uncompressed size, low 16 bits
//   byte 2     bits 0-3: the size's bits 16-19 (so at most 1 MiB is written);
//              bits 4-7: for the decoder (Reduce's factor, Implode's flags, ...)
// The context lives for the whole run, as in an extraction, so a decoder meets the work area as
// earlier inputs left it.
//
// Sandbox gives the targets that work on files a folder of their own: the platform stand-in's
// root is a fresh temporary folder, the archive lies at C:\work\ and output goes to C:\work\out.
#pragma once

#include "base/exceptions.h"
#include "base/stream.h"
#include "decoders/unzip_context.h"
#include "platform/standin.h"
#include "test/temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

namespace kq::fuzz {

struct Entry {
    std::int32_t uncompressedSize;
    int parameter; // bits 4-7 of byte 2
};

// Decodes data[3..] with decode; inputs shorter than the parameters are ignored. Errors the
// output path raises (the entry growing past its declared size) are part of normal operation.
inline void RunEntry(const std::uint8_t* data, std::size_t size,
                     const std::function<void(TUnzipContext&, const Entry&)>& decode,
                     std::size_t padTo = 0) {
    if (size < 3) {
        return;
    }
    static TUnzipContext context;
    const Entry entry{static_cast<std::int32_t>(data[0] | data[1] << 8 | (data[2] & 0x0F) << 16),
                      data[2] >> 4};
    TMemoryStream archive;
    archive.WriteBuffer(data + 3, static_cast<std::int32_t>(size - 3));
    if (padTo > size - 3) {
        archive.SetSize(static_cast<std::int64_t>(padTo));
    }
    archive.SetPosition(0);
    TDiscardStream output;
    context.Archive = &archive;
    context.ProcessMessages = [] {};
    context.StartEntry(&output, static_cast<std::int32_t>(archive.Size()), entry.uncompressedSize,
                       false);
    try {
        decode(context, entry);
    } catch (const Exception&) {
    }
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

class Sandbox {
public:
    static constexpr const char* Archive = "C:\\work\\a.zip";
    static constexpr const char* Companion = "C:\\work\\a.zfc";
    static constexpr const char* Output = "C:\\work\\out";

    static Sandbox& Instance() {
        static Sandbox sandbox;
        return sandbox;
    }

    // Writes bytes to a file of the work folder ("a.zip").
    void Write(const std::string& name, std::string_view bytes) {
        std::ofstream(work_ / name, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // Aborts when anything but the work folder's own files and the output folder's tree exists
    // under the sandbox, then empties the work folder.
    void CheckAndClear() {
        namespace fs = std::filesystem;
        const fs::path out = work_ / "out";
        for (auto it = fs::recursive_directory_iterator(base_);
             it != fs::recursive_directory_iterator(); ++it) {
            const fs::path& p = it->path();
            const bool ancestor = p == root_ || p == root_ / "c" || p == work_;
            const bool archive = p.parent_path() == work_ && p.filename() != "out" &&
                                 p.filename().string().rfind("a.", 0) == 0 &&
                                 fs::is_regular_file(fs::symlink_status(p));
            auto rel = p.lexically_relative(out);
            const bool inside = !rel.empty() && *rel.begin() != "..";
            if (!ancestor && !archive && !inside && p != out) {
                std::fprintf(stderr, "written outside the destination: %s\n", p.c_str());
                std::abort();
            }
        }
        for (const auto& e : fs::directory_iterator(work_)) {
            fs::remove_all(e.path());
        }
    }

private:
    // In TMPDIR, which scripts/fuzz points at a folder it removes, however the run ends.
    Sandbox() : base_(folder_.Path()), root_(base_ / "root"), work_(root_ / "c" / "work") {
        std::filesystem::create_directories(work_);
        SetRootFolder(root_.string());
    }

    test::TempFolder folder_;
    const std::filesystem::path base_, root_, work_;
};

} // namespace kq::fuzz

// The folders an extraction makes, and what a run knows of them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kq {

// (Existence checks and the current directory are the platform's: FileExists, DirectoryExists,
// GetCurrentDirectory.)

// Creates path and every missing parent; true when the folder exists afterwards. The folders it
// created, outermost first, are added to made when it is given.
bool ForceDirectories(const std::string& path, std::vector<std::string>* made = nullptr);
// What an extraction run knows of the folders it created: they were empty, so a name in one of
// them that the run has not used is missing without a look-up (under Wine every look-up of a
// missing name reads the whole folder). Windows compares names without regard to case; here only
// ASCII letters are compared so, and a file name with any other letter is never known to be
// missing.
class TMadeFolders {
public:
    explicit TMadeFolders(int codePage);

    // A folder the run created (it is also a name used in its parent).
    void Made(const std::string& folder);
    // A file the run creates or may have created; its partial file ("<name>.partial") with it.
    void Used(const std::string& path);
    // Whether the run has used the name (a file or a folder), under any case of its ASCII
    // letters; true also, by a chance of about one in 2^64, for another name.
    bool WasUsed(const std::string& path) const;
    // True when nothing can be named path: its folder was created by the run, which has not
    // used the name since.
    bool KnownMissing(const std::string& path) const;

private:
    // 64-bit hashes in open addressing, 0 marking a free slot: 16 bytes a name. Two paths may
    // share a hash only by a chance of about one in 2^64 for each pair.
    class Hashes {
    public:
        void Insert(std::uint64_t hash);
        bool Contains(std::uint64_t hash) const;
        bool Empty() const { return count_ == 0; }

    private:
        void Place(std::uint64_t hash);
        std::vector<std::uint64_t> slots_;
        std::size_t count_ = 0;
    };

    // The hash of the path's first length bytes without trailing backslashes, its ASCII letters
    // in upper case when fold is set.
    std::uint64_t Hash(const std::string& path, std::size_t length, bool fold) const;

    int codePage_;
    std::array<bool, 256> leadByte_{}; // of the code page, looked up for every byte hashed
    Hashes folders_;                   // exact bytes: the stand-in tells case apart in folder names
    Hashes used_;                      // ASCII letters folded
};

} // namespace kq

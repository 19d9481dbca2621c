// The catalogue of an archive of any shape: the end record, the central records, the rebuild by
// scanning and the companion ".zfc" file, under each IncompleteZipMode and sort mode.
//   byte 0  bits 0-1: IncompleteZipMode (3: izAssumeBad as well); bit 2: a companion file
//           follows; bit 3: the archive is named ".EXE"; bits 4-6: SortMode
//   with a companion: bytes 1-2 the archive's length, then the archive, then the companion;
//   otherwise the archive from byte 1.
#include "fuzz_entry.h"
#include "unzip/zip_extractor.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    if (size < 1) {
        return 0;
    }
    auto& sandbox = fuzz::Sandbox::Instance();
    const std::uint8_t options = data[0];
    std::string_view archive = fuzz::Bytes(data + 1, size - 1);
    const bool exe = (options & 8) != 0;
    if ((options & 4) != 0 && size >= 3) {
        const std::size_t length = std::min<std::size_t>(data[1] | data[2] << 8, size - 3);
        archive = fuzz::Bytes(data + 3, length);
        sandbox.Write("a.zfc", fuzz::Bytes(data + 3 + length, size - 3 - length));
    }
    sandbox.Write(exe ? "a.EXE" : "a.zip", archive);
    {
        TZipExtractor zip(nullptr);
        zip.SetZipName(exe ? "C:\\work\\a.EXE" : fuzz::Sandbox::Archive);
        const int mode = options & 3;
        zip.SetIncompleteZipMode(static_cast<TIncompleteZipMode>(mode == 3 ? 1 : mode));
        zip.SetSortMode(static_cast<TZipSortMode>(options >> 4 & 7));
        try {
            zip.OpenAndRefreshCatalogue();
            for (int i = 0; i < zip.Count(); ++i) {
                (void)zip.Filename(i);
                (void)zip.Pathname(i);
                (void)zip.FileComment(i);
            }
            (void)zip.ZipComment();
        } catch (const Exception&) {
        }
    }
    sandbox.CheckAndClear();
    return 0;
}

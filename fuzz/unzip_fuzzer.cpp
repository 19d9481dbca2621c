// UnZip of an arbitrary file into a folder of its own: whatever the archive holds, the run ends
// with an answer or an engine error, and nothing is written outside the destination. Encrypted
// entries are read with the password "fuzz"; a catalogue that cannot be found is rebuilt from
// the local headers.
#include "fuzz_entry.h"
#include "unzip/zip_extractor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    auto& sandbox = fuzz::Sandbox::Instance();
    sandbox.Write("a.zip", fuzz::Bytes(data, size));
    {
        TZipExtractor zip(nullptr);
        zip.SetZipName(fuzz::Sandbox::Archive);
        zip.SetDestDir(fuzz::Sandbox::Output);
        zip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
        zip.SetRecreateDirs(true);
        zip.SetOverwriteMode(TUZOverwriteMode::Always);
        zip.SetPassword("fuzz");
        zip.SetDoProcessMessages(false);
        zip.OnSkippingFile = [](TObject*, TSkipReason, const AnsiString&, int, bool& retry) {
            retry = false;
        };
        try {
            zip.UnZip();
        } catch (const Exception&) {
        }
    }
    sandbox.CheckAndClear();
    return 0;
}

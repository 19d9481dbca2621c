// Test support for the older methods: decodes one entry through the dispatcher, with the entry's
// general purpose flags, in a work area an earlier entry left full of 0xA5; and a plain model of
// what literals and matches expand to, positions before the data reading as zero.
#pragma once

#include "decoders/decode_entry.h"
#include "decoders/explode.h"
#include "support/bit_writer.h"
#include "support/decoding.h"

#include <algorithm>
#include <string>

namespace kq::test {

struct LegacyResult {
    Bytes output;
    std::uint32_t crc = 0;
    std::string error; // of an exception that left the decoder
};

inline LegacyResult DecodeLegacy(std::uint16_t compressionMethod, std::uint16_t flags,
                                 const Bytes& data, std::int32_t uncompressedSize) {
    TMemoryStream archive;
    archive.WriteBuffer(data.data(), static_cast<std::int32_t>(data.size()));
    archive.SetPosition(0);
    RecordingStream output;
    TUnzipContext context;
    context.Archive = &archive;
    context.ProcessMessages = [] {};
    std::fill(context.WorkArea(), context.WorkArea() + TUnzipContext::WorkAreaSize, 0xA5);
    context.StartEntry(&output, static_cast<std::int32_t>(data.size()), uncompressedSize, false);
    LegacyResult result;
    try {
        DecodeEntryData(context, compressionMethod, flags);
    } catch (const Exception& e) {
        result.error = e.Message();
    }
    result.crc = context.FinalCrc();
    result.output.assign(output.Memory(), output.Memory() + output.Size());
    return result;
}

struct Symbol {
    int literal = -1; // else a match:
    int length = 0;
    int distance = 0;
};

inline Symbol Match(int length, int distance) {
    return {-1, length, distance};
}

inline std::vector<Symbol> Literals(const std::string& s) {
    std::vector<Symbol> symbols;
    for (const char c : s) {
        symbols.push_back({static_cast<std::uint8_t>(c)});
    }
    return symbols;
}

template <class T>
std::vector<T> operator+(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Expand(const std::vector<Symbol>& symbols) {
    Bytes out;
    for (const Symbol& s : symbols) {
        if (s.literal >= 0) {
            out.push_back(static_cast<std::uint8_t>(s.literal));
        }
        for (int i = 0; i < s.length; ++i) {
            const std::ptrdiff_t from = std::ptrdiff_t(out.size()) - s.distance;
            out.push_back(from < 0 ? 0 : out[static_cast<std::size_t>(from)]);
        }
    }
    return out;
}

inline Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

} // namespace kq::test

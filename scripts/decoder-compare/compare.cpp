// Decodes a fixed, seeded set of Deflate streams and prints, one line per stream, everything the
// decoder's caller can observe: the result or the exception (class and message), the output bytes
// and how they were written, the chunks read from the archive and the calls made meanwhile, the
// input position and the context's counts afterwards. Built once against each version of the
// decoder (see run), the two listings must be the same.
//
// The streams: zlib's raw Deflate of several kinds of data at every level, several window sizes,
// memory levels and strategies, and mutations of them (bits flipped, bytes inserted, replaced or
// removed, the stream cut short), some with a declared size too small for the output or with a
// compressed size shorter or longer than the stream.
#include "base/exceptions.h"
#include "base/stream.h"
// The engine's own headers moved into its folders: a revision from before keeps them in its
// interface.
#if __has_include("decoders/inflate.h")
#include "decoders/inflate.h"
#include "decoders/unzip_context.h"
#else
#include "unzip/decoders.h"
#include "unzip/unzip_context.h"
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>
#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// FNV-1a, 64 bits: a digest of a listing's long parts.
struct Digest {
    std::uint64_t h = 0xcbf29ce484222325ull;
    void Add(const void* data, std::size_t n) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < n; ++i) {
            h = (h ^ p[i]) * 0x100000001b3ull;
        }
    }
    void Add(const std::string& s) { Add(s.data(), s.size()); }
};

// The archive: the stream's bytes, each read logged with where it started and how much it asked.
class Archive : public kq::TStream {
public:
    Archive(const Bytes& data, std::string& log) : data_(data), log_(log) {}
    std::int32_t Read(void* buffer, std::int32_t count) override {
        log_ += "R" + std::to_string(pos_) + "/" + std::to_string(count) + ";";
        const std::size_t n =
            pos_ >= data_.size() ? 0 : std::min<std::size_t>(std::size_t(count), data_.size() - pos_);
        std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, int origin) override {
        if (origin == kq::soFromBeginning) {
            pos_ = std::size_t(offset);
        } else if (origin == kq::soFromCurrent) {
            pos_ = std::size_t(std::int64_t(pos_) + offset);
        } else {
            pos_ = std::size_t(std::int64_t(data_.size()) + offset);
        }
        return std::int64_t(pos_);
    }
    std::size_t Pos() const { return pos_; }

private:
    const Bytes& data_;
    std::string& log_;
    std::size_t pos_ = 0;
};

class Output : public kq::TStream {
public:
    Output(Bytes& data, std::string& log) : data_(data), log_(log) {}
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void* buffer, std::int32_t count) override {
        log_ += "W" + std::to_string(count) + ";";
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        data_.insert(data_.end(), p, p + count);
        return count;
    }
    std::int64_t Seek(std::int64_t, int) override { return std::int64_t(data_.size()); }

private:
    Bytes& data_;
    std::string& log_;
};

Bytes RawDeflate(const Bytes& input, int level, int windowBits, int memLevel, int strategy) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -windowBits, memLevel, strategy) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    Bytes out(deflateBound(&z, uLong(input.size())) + 64);
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = uInt(input.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) {
        throw std::runtime_error("deflate");
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Bytes Data(int kind, std::size_t size, std::mt19937& random) {
    Bytes d(size);
    switch (kind) {
    case 0: // random bytes
        for (auto& b : d) {
            b = std::uint8_t(random());
        }
        break;
    case 1: { // words
        static const char* const words[] = {"the ", "window ", "of ", "a ", "block ",
                                            "code ",  "\r\n",   "zip ", "entry "};
        std::size_t i = 0;
        while (i < size) {
            for (const char* w = words[random() % 9]; *w && i < size; ++w) {
                d[i++] = std::uint8_t(*w);
            }
        }
        break;
    }
    case 2: // runs of one byte, short patterns
        for (std::size_t i = 0; i < size;) {
            const std::size_t run = 1 + random() % 300;
            const std::uint32_t period = 1 + random() % 9;
            const std::uint8_t base = std::uint8_t(random());
            for (std::size_t j = 0; j < run && i < size; ++j, ++i) {
                d[i] = std::uint8_t(base + j % period);
            }
        }
        break;
    default: // few symbols, long distances
        for (std::size_t i = 0; i < size; ++i) {
            d[i] = i >= 20000 && random() % 4 != 0 ? d[i - 20000 + random() % 7]
                                                    : std::uint8_t('a' + random() % 4);
        }
        break;
    }
    return d;
}

void Mutate(Bytes& s, std::mt19937& random) {
    if (s.empty()) {
        s.push_back(std::uint8_t(random()));
        return;
    }
    const int edits = 1 + int(random() % 3);
    for (int e = 0; e < edits && !s.empty(); ++e) {
        const std::size_t at = random() % s.size();
        switch (random() % 5) {
        case 0:
        case 1:
            s[at] ^= std::uint8_t(1u << (random() % 8));
            break;
        case 2:
            s.insert(s.begin() + std::ptrdiff_t(at), std::uint8_t(random()));
            break;
        case 3:
            s[at] = std::uint8_t(random());
            break;
        default:
            s.resize(at);
            break;
        }
    }
}

std::string Hex(std::uint64_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    std::mt19937 random(20261209);
    kq::TUnzipContext context;
    std::string log;
    context.DoProcessMessages = true;
    Archive* current = nullptr;
    context.ProcessMessages = [&] { log += "M" + std::to_string(current->Pos()) + ";"; };
    context.OnFilePercentDone = [&](int p) { log += "F" + std::to_string(p) + ";"; };
    context.OnTotalPercentDone = [&](int p) { log += "T" + std::to_string(p) + ";"; };
    context.RunTotalBytes = 1 << 30;

    static const std::size_t sizes[] = {0, 1, 7, 300, 5000, 40000, 70000, 300000};
    for (int n = 0; n < count; ++n) {
        const std::size_t size = sizes[random() % 8];
        const int kind = int(random() % 4);
        const Bytes plain = Data(kind, size, random);
        const int level = int(random() % 10);
        const int windowBits = 9 + int(random() % 7);
        const int memLevel = 1 + int(random() % 9);
        static const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE,
                                         Z_FIXED};
        const int strategy = strategies[random() % 5];
        Bytes stream = RawDeflate(plain, level, windowBits, memLevel, strategy);
        // A third of the streams as made, the rest damaged.
        const bool mutated = random() % 3 != 0;
        if (mutated) {
            Mutate(stream, random);
        }
        std::int64_t declaredCompressed = std::int64_t(stream.size());
        std::int64_t declaredSize = std::int64_t(plain.size());
        switch (random() % 8) {
        case 0:
            declaredCompressed = std::max<std::int64_t>(0, declaredCompressed - 1 - random() % 40);
            break;
        case 1:
            declaredCompressed += 1 + random() % 40;
            break;
        case 2:
            declaredSize = std::max<std::int64_t>(0, declaredSize - 1 - random() % 20000);
            break;
        case 3:
            declaredSize += random() % 100000;
            break;
        default:
            break;
        }

        log.clear();
        Bytes out;
        Archive archive(stream, log);
        current = &archive;
        Output output(out, log);
        context.Archive = &archive;
        context.StartEntry(&output, declaredCompressed, declaredSize, false);
        std::string result;
        try {
            result = "result " + std::to_string(int(kq::Inflate(context)));
        } catch (const std::exception& e) {
            result = std::string("exception ") + typeid(e).name() + " " + e.what();
        }
        Digest digest;
        digest.Add(out.data(), out.size());
        Digest logDigest;
        logDigest.Add(log);
        std::printf("%d %s|out %zu %s|log %zu %s|crc %08x written %lld left %lld count %u last %u "
                    "pos %zu\n",
                    n, result.c_str(), out.size(), Hex(digest.h).c_str(), log.size(),
                    Hex(logDigest.h).c_str(), context.FinalCrc(),
                    static_cast<long long>(context.BytesWritten),
                    static_cast<long long>(context.CompressedBytesLeft), context.InputCount,
                    context.LastByte, archive.Pos());
    }
    return 0;
}

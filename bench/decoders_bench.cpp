// Speed of the decoding engine: Deflate memory to memory against zlib's inflate and (when it is
// installed) libdeflate's on the same streams, CRC-32 against zlib's crc32, and decryption. Our
// Deflate always computes the CRC of what it writes (the output path does), so it is compared
// with zlib's inflate alone and with each decoder followed by its crc32. The ratios (our time /
// theirs; below 1 is faster) are printed after the table; they use CPU time, which a machine
// shared with other work disturbs less than wall time.
#include "base/stream.h"
#include "crypto/crc32.h"
#include "crypto/crypt.h"
#include "decoders/inflate.h"
#include "decoders/unzip_context.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>
#ifdef KQ_BENCH_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// --- Data --------------------------------------------------------------------------------------

Bytes Text(std::size_t size) {
    static const char* const words[] = {
        "the ",      "setup ",   "archive ", "window ", "of ",      "entry ",     "bytes ",
        "and ",      "a ",       "folder ",  "file ",   "\r\n",     "install ",   "to ",
        "Kavoru ",   "program ", "is ",      "with ",   "which ",   "data ",      "for ",
        "shortcut ", "on ",      "desktop ", "in ",     "license ", "agreement ", "user "};
    std::mt19937 random(1);
    Bytes data;
    while (data.size() < size) {
        // Zipf-like: early words are far more common.
        const std::size_t i = random() % 28 * (random() % 28) / 28;
        for (const char* w = words[i]; *w != '\0'; ++w) {
            data.push_back(static_cast<std::uint8_t>(*w));
        }
        if (random() % 11 == 0) {
            data.push_back(static_cast<std::uint8_t>('0' + random() % 10));
        }
    }
    data.resize(size);
    return data;
}

Bytes Records(std::size_t size) {
    std::mt19937 random(2);
    Bytes data;
    while (data.size() < size) {
        const std::uint32_t id = static_cast<std::uint32_t>(data.size() / 24);
        const std::uint32_t value = random() % 1000;
        const std::uint8_t record[24] = {std::uint8_t(id),
                                         std::uint8_t(id >> 8),
                                         std::uint8_t(id >> 16),
                                         0,
                                         std::uint8_t(value),
                                         std::uint8_t(value >> 8),
                                         0,
                                         0,
                                         'K',
                                         'Q',
                                         'N',
                                         std::uint8_t('0' + random() % 3),
                                         0,
                                         0,
                                         0x80,
                                         0x3F,
                                         std::uint8_t(random() % 7),
                                         0,
                                         0,
                                         0,
                                         0xFF,
                                         0xFF,
                                         0,
                                         0};
        data.insert(data.end(), record, record + 24);
    }
    data.resize(size);
    return data;
}

// The benchmark's own executable: real machine code and data.
Bytes ThisProgram() {
    std::ifstream in("/proc/self/exe", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes Random(std::size_t size) {
    std::mt19937 random(3);
    Bytes data(size);
    for (auto& b : data) {
        b = static_cast<std::uint8_t>(random());
    }
    return data;
}

Bytes RawDeflate(const Bytes& input, int level) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, static_cast<uLong>(input.size())) + 16);
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = static_cast<uInt>(input.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) {
        throw std::runtime_error("deflate failed");
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct Corpus {
    std::string name;
    Bytes plain;
    Bytes deflated;
};

const std::vector<Corpus>& Corpora() {
    static const std::vector<Corpus> corpora = [] {
        std::vector<Corpus> c;
        const std::size_t size = 8 << 20;
        c.push_back({"text", Text(size), {}});
        c.push_back({"records", Records(size), {}});
        c.push_back({"program", ThisProgram(), {}});
        c.push_back({"random", Random(size / 4), {}});
        for (Corpus& x : c) {
            x.deflated = RawDeflate(x.plain, 6);
        }
        return c;
    }();
    return corpora;
}

// --- Streams for memory-to-memory decoding -------------------------------------------------------

class InputStream : public kq::TStream {
public:
    explicit InputStream(const Bytes& data) : data_(data) {}
    std::int32_t Read(void* buffer, std::int32_t count) override {
        const std::size_t n = std::min<std::size_t>(count, data_.size() - pos_);
        std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, int origin) override {
        pos_ = static_cast<std::size_t>(origin == kq::soFromBeginning ? offset : pos_ + offset);
        return static_cast<std::int64_t>(pos_);
    }

private:
    const Bytes& data_;
    std::size_t pos_ = 0;
};

class OutputStream : public kq::TStream {
public:
    explicit OutputStream(Bytes& data) : data_(data) {}
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void* buffer, std::int32_t count) override {
        std::memcpy(data_.data() + pos_, buffer, static_cast<std::size_t>(count));
        pos_ += static_cast<std::size_t>(count);
        return count;
    }
    std::int64_t Seek(std::int64_t offset, int origin) override {
        pos_ = static_cast<std::size_t>(origin == kq::soFromBeginning ? offset : pos_ + offset);
        return static_cast<std::int64_t>(pos_);
    }

private:
    Bytes& data_;
    std::size_t pos_ = 0;
};

// --- Deflate -----------------------------------------------------------------------------------

void Ours(benchmark::State& state, const Corpus& corpus) {
    kq::TUnzipContext context;
    context.DoProcessMessages = false;
    Bytes out(corpus.plain.size());
    for (auto _ : state) {
        InputStream input(corpus.deflated);
        OutputStream output(out);
        context.Archive = &input;
        context.StartEntry(&output, static_cast<std::int32_t>(corpus.deflated.size()),
                           static_cast<std::int32_t>(corpus.plain.size()), false);
        if (kq::Inflate(context) != kq::TInflateResult::Decoded) {
            state.SkipWithError("decoding failed");
        }
        benchmark::DoNotOptimize(context.FinalCrc());
    }
    if (out != corpus.plain) {
        state.SkipWithError("decoded bytes differ");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(out.size()));
}

void Zlib(benchmark::State& state, const Corpus& corpus, bool withCrc) {
    z_stream z{};
    inflateInit2(&z, -15);
    Bytes out(corpus.plain.size());
    for (auto _ : state) {
        inflateReset(&z);
        z.next_in = const_cast<Bytef*>(corpus.deflated.data());
        z.avail_in = static_cast<uInt>(corpus.deflated.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        if (inflate(&z, Z_FINISH) != Z_STREAM_END) {
            state.SkipWithError("zlib failed");
        }
        if (withCrc) {
            benchmark::DoNotOptimize(crc32(0, out.data(), static_cast<uInt>(out.size())));
        }
    }
    inflateEnd(&z);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(out.size()));
}

#ifdef KQ_BENCH_LIBDEFLATE
// libdeflate decodes a whole stream into a whole buffer in one call, the fastest case there is.
void Libdeflate(benchmark::State& state, const Corpus& corpus, bool withCrc) {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    Bytes out(corpus.plain.size());
    for (auto _ : state) {
        if (libdeflate_deflate_decompress(d, corpus.deflated.data(), corpus.deflated.size(),
                                          out.data(), out.size(), nullptr) != LIBDEFLATE_SUCCESS) {
            state.SkipWithError("libdeflate failed");
        }
        if (withCrc) {
            benchmark::DoNotOptimize(libdeflate_crc32(0, out.data(), out.size()));
        }
    }
    libdeflate_free_decompressor(d);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(out.size()));
}
#endif

// --- CRC-32 and decryption ---------------------------------------------------------------------

const Bytes& Megabytes() {
    static const Bytes data = Random(4 << 20);
    return data;
}

void OurCrc(benchmark::State& state) {
    const Bytes& data = Megabytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kq::UpdateCrc(0xFFFFFFFF, data.data(), data.size()));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(data.size()));
}

void ZlibCrc(benchmark::State& state) {
    const Bytes& data = Megabytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(crc32(0, data.data(), static_cast<uInt>(data.size())));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(data.size()));
}

void Decrypt(benchmark::State& state) {
    Bytes data = Megabytes();
    kq::TCryptKeys keys;
    kq::InitKeys(keys, "password");
    for (auto _ : state) {
        kq::DecryptBuffer(keys, data.data(), data.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(data.size()));
}

// --- Ratios ------------------------------------------------------------------------------------

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the fastest one: the machine is shared, and noise only adds time.
        for (const Run& run : runs) {
            // Reported repetitions, or their median when only aggregates are reported.
            const bool repetition = run.run_type == Run::RT_Iteration;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!(repetition || median) || run.error_occurred) {
                continue;
            }
            const std::string name = run.run_name.function_name;
            const double t = run.GetAdjustedCPUTime();
            if (!times.count(name) || t < times[name]) {
                times[name] = t;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    for (const Corpus& c : Corpora()) {
        benchmark::RegisterBenchmark(("Inflate/ours/" + c.name).c_str(), Ours, c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Inflate/zlib/" + c.name).c_str(), Zlib, c, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Inflate/zlib+crc32/" + c.name).c_str(), Zlib, c, true)
            ->Unit(benchmark::kMillisecond);
#ifdef KQ_BENCH_LIBDEFLATE
        benchmark::RegisterBenchmark(("Inflate/libdeflate+crc32/" + c.name).c_str(), Libdeflate, c,
                                     true)
            ->Unit(benchmark::kMillisecond);
#endif
    }
    benchmark::RegisterBenchmark("Crc32/ours", OurCrc);
    benchmark::RegisterBenchmark("Crc32/zlib", ZlibCrc);
    benchmark::RegisterBenchmark("Decrypt/ours", Decrypt);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::cout << "\nTime ratio, ours / theirs (below 1.0: ours is faster; the best repetition, "
                 "or the median when only aggregates are reported)\n";
    auto& t = reporter.times;
    const auto ratio = [&](const std::string& ours, const std::string& theirs) -> std::string {
        if (!t.count(ours) || !t.count(theirs)) {
            return "-";
        }
        return std::to_string(t[ours] / t[theirs]).substr(0, 5);
    };
    for (const Corpus& c : Corpora()) {
        std::cout << "  inflate " << c.name << " (" << c.plain.size() << " bytes, deflated to "
                  << c.deflated.size() << "): vs inflate "
                  << ratio("Inflate/ours/" + c.name, "Inflate/zlib/" + c.name)
                  << ", vs inflate+crc32 "
                  << ratio("Inflate/ours/" + c.name, "Inflate/zlib+crc32/" + c.name)
                  << ", vs libdeflate+crc32 "
                  << ratio("Inflate/ours/" + c.name, "Inflate/libdeflate+crc32/" + c.name) << "\n";
    }
    std::cout << "  crc32: " << ratio("Crc32/ours", "Crc32/zlib") << "\n";
    benchmark::Shutdown();
    return 0;
}

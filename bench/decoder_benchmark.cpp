// Throughput of the block decoder alone and of read_ild on whole files.
// Items are decoded samples.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ild/ild_reader.hpp"
#include "ild/ps_adpcm.hpp"
#include "ild_writer.hpp"
#include "large_ild.hpp"

namespace {

constexpr std::size_t mebibyte = std::size_t{1} << 20;
constexpr std::size_t block_pair_size = 2 * ps_adpcm_block_size;

// Channel 0's blocks of one mebibyte of music, decoded where they lie, as the reader does.
void BM_decode_ps_adpcm_block(benchmark::State& state) {
    const std::vector<std::uint8_t> file = large_ild(mebibyte, false);
    const std::span<const std::uint8_t> data(file.data() + ild_header_size,
                                              file.size() - ild_header_size);
    const std::size_t blocks = data.size() / block_pair_size;
    std::vector<float> samples;
    samples.reserve(blocks * ps_adpcm_samples_per_block);
    for (auto _ : state) {
        samples.clear();
        AdpcmChannelState history;
        for (std::size_t block = 0; block < blocks; ++block) {
            decode_ps_adpcm_block(data.subspan(block * block_pair_size).first<ps_adpcm_block_size>(),
                                  history, samples);
        }
        benchmark::DoNotOptimize(samples.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples.size()));
}
BENCHMARK(BM_decode_ps_adpcm_block);

// A file of the benchmark's argument in mebibytes, removed when the benchmark ends;
// named after the process so that simultaneous runs do not share it.
class BenchFile {
public:
    BenchFile(std::size_t mebibytes, bool invalid_last_block)
        : path_(std::filesystem::temp_directory_path() /
                ("decoder_benchmark_" + std::to_string(getpid()) + "_" + std::to_string(mebibytes) +
                 ".ild")) {
        write_file(path_, large_ild(mebibytes * mebibyte, invalid_last_block));
    }
    ~BenchFile() { std::filesystem::remove(path_); }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

void BM_read_ild(benchmark::State& state) {
    const BenchFile file(static_cast<std::size_t>(state.range(0)), false);
    std::size_t samples = 0;
    for (auto _ : state) {
        const DecodedAudio audio = read_ild(file.path());
        samples = audio.channels[0].size() + audio.channels[1].size();
        benchmark::DoNotOptimize(audio.channels[0].data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples));
}
BENCHMARK(BM_read_ild)->Arg(1)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

// Everything is decoded, then the last block fails and the result is dropped.
void BM_read_ild_rejected(benchmark::State& state) {
    const BenchFile file(static_cast<std::size_t>(state.range(0)), true);
    const std::size_t block_pairs =
        (std::filesystem::file_size(file.path()) - ild_header_size) / block_pair_size;
    // Every block but the rejected last one.
    const std::size_t samples = (2 * block_pairs - 1) * ps_adpcm_samples_per_block;
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(read_ild(file.path()));
            state.SkipWithError("the invalid last block was accepted");
            break;
        } catch (const std::runtime_error& error) {
            if (std::string_view(error.what()) != "Invalid PS ADPCM block") {
                state.SkipWithError(error.what());
                break;
            }
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples));
}
BENCHMARK(BM_read_ild_rejected)->Arg(1)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// How much the readers cost beyond the file system itself: each measured
// operation runs beside a baseline that touches the same bytes or the same
// folders in the plainest way, in the same run, and the ratios are printed
// at the end from the fastest of each one's repetitions (the aims: a scenario read within 1.5x of reading its bytes,
// a catalogue scan within 1.2x of a bare directory enumeration).
//
// A game folder is written to a temporary folder first: one typical
// scenario, one of 64 MiB, and a catalogue of 100 ports x 100 files.
#include <dirent.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "catalogue/catalogue_scan.h"
#include "scenario/scenario_reader.h"
#include "support/scenario_bytes.h"

namespace {
namespace stdfs = std::filesystem;
using namespace kolt;

// A scenario as the game writes them: header, a wind table, then flight
// records with plausible contents (call signs, types, times, altitudes,
// headings, route numbers, which are small and now and then equal a marker
// value) and every thousand records a further wind entry.
std::string MakeScenario(std::size_t flights) {
    test::ScenarioBytes s;
    s.Stage("Bench Day");
    std::size_t at = 32;
    for (std::uint32_t w : {900u, 3u, 12000u, 18000u, 20u, 3u, 0x104u, 0u, 2u, 301u, 44u}) {
        s.Put32(at, w);
        at += 4;
    }
    s.Program("qmz48");
    at = 84;  // right after the program name
    for (std::uint32_t t : {830u, 900u, 930u, 1000u, 1030u, 1130u}) {
        s.WindAt(at, t, static_cast<std::int32_t>(270 + t % 50), static_cast<std::int32_t>(10 + t % 7));
        at += 16;
    }
    static const char* kinds[] = {"B763", "B738", "A320", "B772", "DH8D", "E170"};
    for (std::size_t i = 0; i < flights; ++i) {
        const bool twice = i % 4 == 0;
        const std::size_t start = s.bytes().size();
        s.Append32(twice ? 6 : 5);
        char callsign[9];
        std::snprintf(callsign, sizeof callsign, "JAL%04zu", i % 10000);
        s.Put(s.bytes().size(), std::string_view(callsign, 8));
        s.Put(s.bytes().size(), kinds[i % 6]);
        for (std::uint32_t w :
             {900u + static_cast<std::uint32_t>(i % 55), 3000u + static_cast<std::uint32_t>(i % 12) * 1000,
              static_cast<std::uint32_t>(i * 45 % 360 + 10), 140u + static_cast<std::uint32_t>(i % 120),
              1u + static_cast<std::uint32_t>(i % 20), twice ? 1u : 0u})
            s.Append32(w);
        s.Resize(start + 4 + (twice ? 176 : 104));
        if (i % 1000 == 999) s.Append32(7).Append32(90);
    }
    return s.bytes();
}

void WriteFile(const stdfs::path& path, const std::string& bytes) {
    stdfs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

struct BenchGame {
    stdfs::path root;
    std::size_t bigSize = 0;

    BenchGame() {
        std::string pattern = (stdfs::temp_directory_path() / "kolt-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        root = pattern;
        WriteFile(root / "port/Bench/scenario/typical.sd3", MakeScenario(30));
        std::string big = MakeScenario(540000);  // records average 126 bytes: a little over 64 MiB
        big.resize(64u << 20);
        bigSize = big.size();
        WriteFile(root / "port/Bench/scenario/big.sd3", big);
        WriteFile(root / "stage/Bench/Day.ini", "[Stage]\r\nhighscore=15230\r\nexe=velq.exe\r\n");
        for (int p = 0; p < 100; ++p)
            for (int f = 0; f < 100; ++f) {
                char name[64];
                std::snprintf(name, sizeof name, "catalogue/port/P%03d/scenario/s%03d.sd3", p, f);
                WriteFile(root / name, "");
            }
        stdfs::current_path(root);
    }
    ~BenchGame() {
        std::error_code ec;
        stdfs::current_path(root.parent_path(), ec);
        stdfs::remove_all(root, ec);
    }
};

BenchGame* game = nullptr;

// The plainest reading of a file's bytes, through the same file layer and
// buffer size the readers use.
std::size_t ReadAll(const char* path) {
    fs::FileError error;
    auto file = fs::OpenForReading(path, error);
    static std::vector<unsigned char> buffer(64 * 1024);
    std::size_t total = 0;
    for (std::int64_t n; (n = file->Read(buffer.data(), buffer.size())) > 0;)
        total += static_cast<std::size_t>(n);
    return total;
}

void ReadScenarioTypical(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadScenario("port\\Bench\\scenario\\typical.sd3", false, {}));
}
void ReadBytesTypical(benchmark::State& state) {
    // The scenario file and its stage ini: the bytes a load reads.
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadAll("port/Bench/scenario/typical.sd3"));
        benchmark::DoNotOptimize(ReadAll("stage/Bench/Day.ini"));
    }
}
void ReadScenarioBig(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadScenario("port\\Bench\\scenario\\big.sd3", false, {}));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * game->bigSize));
}
void ReadBytesBig(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadAll("port/Bench/scenario/big.sd3"));
        benchmark::DoNotOptimize(ReadAll("stage/Bench/Day.ini"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * game->bigSize));
}

void ScanCatalogue100x100(benchmark::State& state) {
    stdfs::current_path(game->root / "catalogue");
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanCatalogue());
    stdfs::current_path(game->root);
}
// readdir of "port" and of every port's scenario folder, nothing else.
void EnumerateDirectories100x100(benchmark::State& state) {
    stdfs::current_path(game->root / "catalogue");
    for (auto _ : state) {
        std::size_t names = 0;
        DIR* ports = ::opendir("port");
        while (const dirent* p = ::readdir(ports)) {
            if (p->d_name[0] == '.') continue;
            DIR* files = ::opendir(("port/" + std::string(p->d_name) + "/scenario").c_str());
            if (!files) continue;
            while (::readdir(files))
                ++names;
            ::closedir(files);
        }
        ::closedir(ports);
        benchmark::DoNotOptimize(names);
    }
    stdfs::current_path(game->root);
}

double Fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

BENCHMARK(ReadScenarioTypical)->ComputeStatistics("min", Fastest);
BENCHMARK(ReadBytesTypical)->ComputeStatistics("min", Fastest);
BENCHMARK(ReadScenarioBig)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(ReadBytesBig)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(ScanCatalogue100x100)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(EnumerateDirectories100x100)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

// Keeps each benchmark's fastest time per iteration over its repetitions:
// on a shared, noisy machine the minimum is what the code itself costs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions the "min" aggregate; a single run stands for itself.
            const bool fastest = run.run_type == Run::RT_Aggregate ? run.aggregate_name == "min" : run.repetitions <= 1;
            if (!fastest) continue;
            seconds[run.run_name.function_name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;  // per iteration
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BenchGame bench;
    game = &bench;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* label, const char* measured, const char* baseline, double aim) {
        const auto m = reporter.seconds.find(measured), b = reporter.seconds.find(baseline);
        if (m == reporter.seconds.end() || b == reporter.seconds.end() || b->second <= 0) return;
        const double r = m->second / b->second;
        std::printf("%-44s %6.2fx  (aim <= %.1fx)%s\n", label, r, aim, r <= aim ? "" : "  ABOVE AIM");
    };
    std::printf("\nratios against the baselines measured in this run:\n");
    ratio("typical scenario read / reading its bytes", "ReadScenarioTypical", "ReadBytesTypical", 1.5);
    ratio("64 MiB scenario read / reading its bytes", "ReadScenarioBig", "ReadBytesBig", 1.5);
    ratio("catalogue scan / bare enumeration", "ScanCatalogue100x100", "EnumerateDirectories100x100", 1.2);
    benchmark::Shutdown();
    return 0;
}

// The long run: the real utility refreshes its device list and selects a device, over
// and over, while this program samples from outside what the utility's process holds.
// Run in a lab with tests/soak/soak.json (tools/soak, and the soak_check test):
//
//   kavron-soak PATH_TO_KavronStorageUtility.exe [--iterations N] [--warmup N]
//               [--every N] [--check] [--max-private-growth-kb N]
//
// Prints a "sample" line after the warm-up, every N iterations and at the end, then
// "key value" lines: the first and last value of each figure, its growth and its
// largest growth over the first sample, and the time taken. With --check it ends with
// "verdict flat" (status 0) only if every iteration did what it should and no figure
// grew past its bound.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "process_figures.h"
#include "utility_session.h"

namespace {

// The devices of soak.json the run selects in turn, and the volumes each lists: the
// two-port model (its port query runs, three volumes), a single-port device that
// answers by unicast (one volume) and one without volumes. soak.json has a fourth
// device that the list leaves out (other selector bytes).
struct PlannedDevice {
    const char* name;
    size_t volumes;
};
constexpr PlannedDevice kPlan[] = {{"Office Storage", 3}, {"Living Room Media", 1}, {"Backup Vault", 0}};
constexpr size_t kListedDevices = 3;

// Sampled between iterations, once the utility's window has settled, the counts of
// handles, GDI objects and windows are the same after every iteration of a program
// that releases what it takes: any growth is a leak. Private bytes (under Wine
// PagefileUsage, which moves page by page with the memory the process touches) did
// not move by a single page over 60 or 1,000
// iterations of leak-free runs; the bound leaves 8 pages for a heap that takes a fresh
// one now and then. A leak of 1 KiB per iteration adds 60 KiB over 60 iterations,
// and anything from about 550 bytes per iteration crosses the bound.
constexpr std::int64_t kDefaultMaxPrivateGrowthKb = 32;

struct Options {
    std::string utility;
    int iterations = 1000;
    int warmup = 6;
    int every = 100;
    bool check = false;
    std::int64_t maxPrivateGrowthKb = kDefaultMaxPrivateGrowthKb;
};

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(arg, "--check") == 0)
            options->check = true;
        else if (std::strcmp(arg, "--iterations") == 0 && hasValue)
            options->iterations = std::atoi(argv[++i]);
        else if (std::strcmp(arg, "--warmup") == 0 && hasValue)
            options->warmup = std::atoi(argv[++i]);
        else if (std::strcmp(arg, "--every") == 0 && hasValue)
            options->every = std::atoi(argv[++i]);
        else if (std::strcmp(arg, "--max-private-growth-kb") == 0 && hasValue)
            options->maxPrivateGrowthKb = std::atoll(argv[++i]);
        else if (arg[0] != '-' && options->utility.empty())
            options->utility = arg;
        else
            return false;
    }
    return !options->utility.empty() && options->iterations > 0 && options->warmup >= 0 && options->every > 0;
}

std::string WindowsPath(std::string path)
{
    // Handed a Unix path; Wine maps the root at Z:.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct TakenSample {
    int iteration;
    double seconds;
    soak::Sample figures;
};

std::string Text(const std::optional<std::uint64_t>& value)
{
    return value ? std::to_string(*value) : "unavailable";
}

void PrintSample(const TakenSample& sample)
{
    std::printf("sample %d", sample.iteration);
    for (const auto& value : sample.figures.values)
        std::printf(" %s", Text(value).c_str());
    std::printf(" %.1f\n", sample.seconds);
    std::fflush(stdout);
}

// The first and last value of one figure and its growth over the first sample.
struct Growth {
    bool available = false;
    std::uint64_t first = 0, last = 0;
    std::int64_t growth = 0, maxGrowth = 0;
};

Growth GrowthOf(const std::vector<TakenSample>& samples, soak::Figure figure)
{
    Growth g;
    for (const auto& sample : samples)
        if (!sample.figures.values[figure])
            return g;  // a figure missing from any sample is not a series
    g.available = true;
    g.first = *samples.front().figures.values[figure];
    g.last = *samples.back().figures.values[figure];
    g.growth = static_cast<std::int64_t>(g.last - g.first);
    for (const auto& sample : samples)
        g.maxGrowth = std::max(g.maxGrowth, static_cast<std::int64_t>(*sample.figures.values[figure] - g.first));
    return g;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: kavron-soak PATH_TO_UTILITY [--iterations N] [--warmup N] [--every N] [--check] "
                             "[--max-private-growth-kb N]\n");
        return 2;
    }

    const auto started = std::chrono::steady_clock::now();
    soak::UtilitySession utility(WindowsPath(options.utility));
    if (!utility.window()) {
        std::fprintf(stderr, "kavron-soak: the utility's window never appeared\n");
        return 1;
    }
    std::printf("startup_s %.1f\n", Seconds(started));

    int failures = 0;
    bool ended = false;
    // One iteration: Refresh, then a click on the next device of the plan.
    auto iterate = [&](int index) {
        const PlannedDevice& device = kPlan[static_cast<size_t>(index) % (sizeof kPlan / sizeof kPlan[0])];
        std::string problem = utility.Refresh(kListedDevices);
        if (problem.empty())
            problem = utility.Select(device.name, device.volumes);
        if (problem.empty())
            return;
        ++failures;
        ended = WaitForSingleObject(utility.process(), 0) == WAIT_OBJECT_0;
        std::printf("failure %d %s%s\n", index, problem.c_str(), ended ? " (the program has ended)" : "");
        std::fflush(stdout);
    };

    for (int i = 0; i < options.warmup && !ended; ++i)
        iterate(i);

    std::printf("sample_columns iteration");
    for (int f = 0; f < soak::kFigureCount; ++f)
        std::printf(" %s", soak::FigureName(static_cast<soak::Figure>(f)));
    std::printf(" seconds\n");
    const auto measured = std::chrono::steady_clock::now();
    std::vector<TakenSample> samples;
    auto take = [&](int iteration) {
        samples.push_back({iteration, Seconds(measured), soak::SampleSettled(utility.process(), utility.pid())});
        PrintSample(samples.back());
    };
    if (!ended)
        take(0);
    int done = 0;
    while (done < options.iterations && !ended) {
        iterate(options.warmup + done);
        ++done;
        if (!ended && (done % options.every == 0 || done == options.iterations))
            take(done);
    }
    const double elapsed = Seconds(measured);
    const std::string exitProblem = ended ? std::string("the program ended during the run") : utility.Exit();

    std::printf("iterations %d\n", done);
    std::printf("warmup_iterations %d\n", options.warmup);
    std::printf("failed_iterations %d\n", failures);
    std::printf("elapsed_s %.1f\n", elapsed);
    std::printf("seconds_per_iteration %.3f\n", done ? elapsed / done : 0.0);
    std::printf("utility_exit %s\n", exitProblem.empty() ? "ok" : exitProblem.c_str());

    std::vector<std::string> growing;
    for (int f = 0; f < soak::kFigureCount; ++f) {
        const auto figure = static_cast<soak::Figure>(f);
        const char* name = soak::FigureName(figure);
        const Growth g = samples.empty() ? Growth{} : GrowthOf(samples, figure);
        if (!g.available) {
            std::printf("%s unavailable\n", name);
            if (figure != soak::kWorkingSet)
                growing.push_back(std::string(name) + " cannot be read");
            continue;
        }
        std::printf("%s_source %s\n", name, samples.front().figures.sources[figure]);
        std::printf("%s_first %llu\n%s_last %llu\n", name, static_cast<unsigned long long>(g.first), name,
                    static_cast<unsigned long long>(g.last));
        std::printf("%s_growth %lld\n%s_max_growth %lld\n", name, static_cast<long long>(g.growth), name,
                    static_cast<long long>(g.maxGrowth));
        // The working set is the system's choice of what stays resident: reported,
        // never judged.
        if (figure == soak::kWorkingSet)
            continue;
        const std::int64_t bound = figure == soak::kPrivateBytes ? options.maxPrivateGrowthKb * 1024 : 0;
        if (g.maxGrowth > bound)
            growing.push_back(std::string(name) + " grew by " + std::to_string(g.maxGrowth) + " (bound " +
                              std::to_string(bound) + ")");
    }

    const bool worked = failures == 0 && exitProblem.empty();
    if (!options.check)
        return worked ? 0 : 1;
    if (!worked)
        growing.push_back("the iterations did not all do what they should");
    if (growing.empty()) {
        std::printf("verdict flat\n");
        return 0;
    }
    for (const auto& problem : growing)
        std::printf("verdict growing: %s\n", problem.c_str());
    return 1;
}

// The start-up scan against the floor of reading every sub-directory once.
// Prints, after Google Benchmark's own table, each scan figure as a ratio of
// the floor measured in the same run. The ratios use CPU time (user and
// system) of the whole process: the machines this runs on are shared, and
// time spent waiting for a core is neither the scan's nor the floor's; and
// the scan reads on threads of its own, whose time is the scan's too.

#include "ReadFloor.h"
#include "TreeGen.h"
#include "catalogue/Scan.h"
#include "platform/FileLookup.h"
#include "platform/Paths.h"
#include "state/Context.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

const QString& tree(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> trees;
    static std::map<int, QString> paths;
    auto& slot = trees[count];
    if (!slot) {
        slot = std::make_unique<QTemporaryDir>();
        paths[count] = slot->path() + QStringLiteral("/quake");
        makeBenchQuake(paths[count], count);
    }
    return paths[count];
}

// The floor: each sub-directory read once with plain readdir(), nothing else.
void BM_Floor(benchmark::State& state) {
    const std::string root =
        QFile::encodeName(tree(static_cast<int>(state.range(0)))).toStdString();
    for (auto _ : state)
        benchmark::DoNotOptimize(readEverySubdirectoryOnce(root));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The start-up scan as the program runs it: the directory list opens the
// Quake directory, then every sub-directory is probed and the lists filled.
void BM_StartupScan(benchmark::State& state) {
    const QString root = tree(static_cast<int>(state.range(0)));
    ui::Form1 form;
    state::Context ctx(form, root);
    for (auto _ : state) {
        // Untimed: the lists emptied and the directory list moved away, so
        // that opening the Quake directory reads it again, as at start-up.
        state.PauseTiming();
        form.List1->Clear();
        form.List2->Clear();
        form.Combo2->Clear();
        form.Dir1->setPath(QStringLiteral("/"));
        state.ResumeTiming();
        form.Dir1->setPath(root);
        ctx.QuakeDir = form.Dir1->Path();
        catalogue::scanPatches(ctx, state::Occasion::StartUp);
        benchmark::DoNotOptimize(form.List2->ListCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The probes alone, without the widgets, each sub-directory read once as the
// scan does: what the file system costs us.
void BM_ProbesOnly(benchmark::State& state) {
    const QString root = tree(static_cast<int>(state.range(0)));
    QStringList dirs;
    QDir listing(root);
    for (const QString& name : listing.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        dirs.append(root + QLatin1Char('/') + name);
    ui::Form1 form;
    state::Context ctx(form, root);
    for (auto _ : state) {
        platform::HeldListings oneReadPerDirectory;
        int patches = 0;
        for (const QString& dir : dirs) {
            state::ProbeFile(ctx, dir + QStringLiteral("/progs.dat"), &oneReadPerDirectory);
            if (!ctx.ProbeResult)
                state::ProbeFile(ctx, dir + QStringLiteral("/*.pak"), &oneReadPerDirectory);
            patches += ctx.ProbeResult;
        }
        benchmark::DoNotOptimize(patches);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The directory list opening the Quake directory: the part of the scan that
// is the toolkit's, not the probes'.
void BM_DirectoryList(benchmark::State& state) {
    const QString root = tree(static_cast<int>(state.range(0)));
    ui::Form1 form;
    for (auto _ : state) {
        state.PauseTiming();
        form.Dir1->setPath(QStringLiteral("/"));
        state.ResumeTiming();
        form.Dir1->setPath(root);
        benchmark::DoNotOptimize(form.Dir1->ListCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Floor)->Arg(100)->Arg(1000)->Arg(10000)->MeasureProcessCPUTime()->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_StartupScan)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbesOnly)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectoryList)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// Collects each run's time per iteration, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"))
                perIteration[plainName(run.run_name.str())] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> perIteration;

  private:
    // A run measuring the whole process's CPU time is named with a suffix.
    static std::string plainName(std::string name) {
        const std::string suffix = "/process_time";
        if (const auto at = name.find(suffix); at != std::string::npos)
            name.erase(at, suffix.size());
        return name;
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nCPU time per scan\n%-8s %12s %12s %8s %14s\n", "subdirs", "floor ms", "scan ms",
                "ratio", "scan us/subdir");
    for (int n : {100, 1000, 10000}) {
        // Appended rather than "/" + ...: GCC 12 warns falsely on that form.
        std::string suffix = "/";
        suffix += std::to_string(n);
        const auto floor = reporter.perIteration.find("BM_Floor" + suffix);
        const auto scan = reporter.perIteration.find("BM_StartupScan" + suffix);
        if (floor == reporter.perIteration.end() || scan == reporter.perIteration.end())
            continue;
        std::printf("%-8d %12.2f %12.2f %8.2f %14.2f\n", n, floor->second, scan->second,
                    scan->second / floor->second, scan->second * 1000.0 / n);
    }
    benchmark::Shutdown();
    return 0;
}

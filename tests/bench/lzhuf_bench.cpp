// LZHUF throughput and compression ratio: each file of the product as the
// installer carries it, and a few large files of this system. Prints Google
// Benchmark's figures, then one table (MB = 10^6 bytes of the expanded file
// per second of processor time), then the two parses side by side over four
// sets of files: the product's, a large program, a text corpus and Windows
// programs (one pass each, processor seconds per MB).
//
// The sets: NOVLA_BENCH_PROGRAM (default the C++ compiler proper of this
// machine), NOVLA_BENCH_TEXT (a folder, default the common licences),
// NOVLA_BENCH_PE (a folder of DLLs, default the i386 libraries of Wine;
// files of at most NOVLA_BENCH_PE_MAX bytes, default 1 MB). A set that is
// not there is left out.
//
// Product files come from NOVLA_BENCH_FILES, else from the Windows tree next
// to this host tree (<build>/win32/product/files: the real stand-in
// programs), else from this tree's own product/files.
#include <benchmark/benchmark.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <dirent.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "codec/lzhuf.h"
#include "codec/lzhuf_host.h"
#include "payload/product.h"

namespace {

struct Figures {
    size_t size = 0;
    size_t stored = 0;
    double encodeMBps = 0;
    double decodeMBps = 0;
};

std::vector<std::string> g_order;
std::map<std::string, Figures> g_figures;
std::map<std::string, std::vector<uint8_t>> g_data;
std::map<std::string, std::vector<uint8_t>> g_streams;

// The decoder's output goes to a fixed buffer, so only decoding is timed.
struct Sink {
    uint8_t* at;
    uint8_t* end;
};

bool CopyOut(void* file, const uint8_t* bytes, uint32_t count)
{
    Sink* sink = static_cast<Sink*>(file);
    if ((size_t)(sink->end - sink->at) < count)
        return false;
    memcpy(sink->at, bytes, count);
    sink->at += count;
    return true;
}

// Processor time of this process, as Google Benchmark counts it: other
// work on the machine does not slow the figures down.
double CpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

void Encode(benchmark::State& state, std::string name)
{
    const std::vector<uint8_t>& data = g_data[name];
    size_t stored = 0;
    double start = CpuSeconds();
    for (auto _ : state) {
        std::vector<uint8_t> stream = LzhufCompress(data.data(), data.size());
        stored = stream.size();
        benchmark::DoNotOptimize(stream.data());
    }
    double seconds = CpuSeconds() - start;
    state.SetBytesProcessed((int64_t)(state.iterations() * data.size()));
    state.counters["ratio"] = data.empty() ? 0 : (double)stored / (double)data.size();
    g_figures[name].encodeMBps = (double)state.iterations() * (double)data.size() / seconds / 1e6;
}

void Decode(benchmark::State& state, std::string name)
{
    const std::vector<uint8_t>& data = g_data[name];
    const std::vector<uint8_t>& stream = g_streams[name];
    std::vector<uint8_t> out(data.size());
    double start = CpuSeconds();
    for (auto _ : state) {
        Sink sink = {out.data(), out.data() + out.size()};
        SetLzhufOutput(CopyOut, &sink);
        if (!LzhufDecodeStream(stream.data(), (uint32_t)stream.size(), (uint32_t)data.size()))
            state.SkipWithError("write failed");
        benchmark::DoNotOptimize(out.data());
    }
    double seconds = CpuSeconds() - start;
    SetLzhufOutput(nullptr, nullptr);
    if (out != data)
        state.SkipWithError("expanded bytes differ");
    state.SetBytesProcessed((int64_t)(state.iterations() * data.size()));
    g_figures[name].decodeMBps = (double)state.iterations() * (double)data.size() / seconds / 1e6;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>* data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !data->empty();
}

std::string ProductFolder()
{
    if (const char* given = getenv("NOVLA_BENCH_FILES"))
        return given;
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "product/files";
    self[n] = '\0';
    std::string bin = self;
    bin = bin.substr(0, bin.rfind('/'));            // <build>/host/bin
    std::string host = bin.substr(0, bin.rfind('/'));  // <build>/host
    std::string windows = host.substr(0, host.rfind('/')) + "/win32/product/files";
    std::vector<uint8_t> probe;
    if (ReadFile(windows + "/" + g_payloadTable.rows[ROW_MAIN_PROGRAM].resourceName, &probe))
        return windows;
    return host + "/product/files";
}

void AddFile(const std::string& name, const std::string& path)
{
    std::vector<uint8_t> data;
    if (!ReadFile(path, &data) || data.size() > UINT32_MAX)
        return;
    g_data[name] = data;
    g_streams[name] = LzhufCompress(data.data(), data.size());
    g_figures[name].size = data.size();
    g_figures[name].stored = g_streams[name].size();
    g_order.push_back(name);
    benchmark::RegisterBenchmark(("encode/" + name).c_str(), Encode, name)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("decode/" + name).c_str(), Decode, name)->Unit(benchmark::kMillisecond);
}

// One set of files through both parses, once each; every stream is
// expanded and compared.
struct SetFigures {
    std::string name;
    size_t files = 0;
    uint64_t size = 0, lazy = 0, optimal = 0;
    double lazySeconds = 0, optimalSeconds = 0;
    bool intact = true;
};

SetFigures MeasureSet(const std::string& name, const std::vector<std::string>& paths)
{
    SetFigures f;
    f.name = name;
    for (const std::string& path : paths) {
        std::vector<uint8_t> data;
        if (!ReadFile(path, &data) || data.size() > UINT32_MAX)
            continue;
        ++f.files;
        f.size += data.size();
        double start = CpuSeconds();
        std::vector<uint8_t> lazy = LzhufCompress(data.data(), data.size(), LzhufParse::kLazy);
        double middle = CpuSeconds();
        std::vector<uint8_t> optimal = LzhufCompress(data.data(), data.size());
        f.optimalSeconds += CpuSeconds() - middle;
        f.lazySeconds += middle - start;
        f.lazy += lazy.size();
        f.optimal += optimal.size();
        std::vector<uint8_t> back;
        for (const std::vector<uint8_t>* stream : {&lazy, &optimal})
            if (!LzhufExpand(stream->data(), stream->size(), (uint32_t)data.size(), &back) || back != data)
                f.intact = false;
    }
    return f;
}

// The regular files of folder, by name, of at most maxSize bytes.
std::vector<std::string> FolderFiles(const std::string& folder, const char* suffix, uint64_t maxSize)
{
    std::vector<std::string> paths;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name, path = folder + "/" + name;
            struct stat st;
            size_t n = strlen(suffix);
            if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (uint64_t)st.st_size > maxSize ||
                name.size() < n || name.compare(name.size() - n, n, suffix) != 0)
                continue;
            paths.push_back(path);
        }
        closedir(dir);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

const char* Setting(const char* name, const char* fallback)
{
    const char* given = getenv(name);
    return given && *given ? given : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    // Every row that the installer carries compressed (the file table
    // packed from the manifest).
    std::string folder = ProductFolder();
    for (int i = 0; i < g_payloadTable.rowCount; ++i)
        if (g_payloadTable.rows[i].storedSize)
            AddFile(g_payloadTable.rows[i].resourceName, folder + "/" + g_payloadTable.rows[i].resourceName);
    AddFile("g++-12", "/usr/bin/g++-12");
    AddFile("GPL-3", "/usr/share/common-licenses/GPL-3");
    AddFile("Apache-2.0", "/usr/share/common-licenses/Apache-2.0");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    printf("\nLZHUF, product files from %s\n\n", folder.c_str());
    printf("| File | Size (bytes) | Stored (bytes) | Stored / size | Encode MB/s | Decode MB/s |\n");
    printf("|---|---:|---:|---:|---:|---:|\n");
    for (const std::string& name : g_order) {
        const Figures& f = g_figures[name];
        printf("| %s | %zu | %zu | %.1f %% | %.1f | %.1f |\n", name.c_str(), f.size, f.stored,
               100.0 * (double)f.stored / (double)f.size, f.encodeMBps, f.decodeMBps);
    }

    std::vector<std::string> product;
    for (int i = 0; i < g_payloadTable.rowCount; ++i)
        if (g_payloadTable.rows[i].storedSize)
            product.push_back(folder + "/" + g_payloadTable.rows[i].resourceName);
    uint64_t peMax = strtoull(Setting("NOVLA_BENCH_PE_MAX", "1000000"), nullptr, 10);
    std::vector<SetFigures> sets = {
        MeasureSet("product files", product),
        MeasureSet("large program", {Setting("NOVLA_BENCH_PROGRAM", "/usr/lib/gcc/x86_64-linux-gnu/12/cc1plus")}),
        MeasureSet("text corpus", FolderFiles(Setting("NOVLA_BENCH_TEXT", "/usr/share/common-licenses"), "", UINT64_MAX)),
        MeasureSet("Windows DLLs",
                   FolderFiles(Setting("NOVLA_BENCH_PE", "/usr/lib/i386-linux-gnu/wine/i386-windows"), ".dll", peMax)),
    };
    printf("\nThe two parses (one pass each; s/MB = processor seconds per 10^6 bytes)\n\n");
    printf("| Set | Files | Size (bytes) | Lazy (bytes) | Optimal (bytes) | Optimal / lazy | Lazy s/MB | Optimal s/MB |\n");
    printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    bool intact = true;
    for (const SetFigures& f : sets) {
        if (f.files == 0)
            continue;
        double mb = (double)f.size / 1e6;
        printf("| %s | %zu | %llu | %llu | %llu | %.4f | %.3f | %.3f |\n", f.name.c_str(), f.files,
               (unsigned long long)f.size, (unsigned long long)f.lazy, (unsigned long long)f.optimal,
               (double)f.optimal / (double)f.lazy, f.lazySeconds / mb, f.optimalSeconds / mb);
        if (!f.intact) {
            printf("%s: a stream did not expand back to its file\n", f.name.c_str());
            intact = false;
        }
    }
    return intact ? 0 : 1;
}

// The one table `make bench` prints: each figure beside the limit it is measured against, the
// ratio and its target. Times are medians of several runs after one warm-up run.
#include "BenchTable.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "convert/SWD.h"
#include "convert/TR4Converter.h"
#include "level/LevelReader.h"
#include "level/LevelSize.h"
#include "level/LevelWriter.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "support/TestPaths.h"
#include "util/LittleEndian.h"

namespace tessarin::bench {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Times each of `runs` in turn, run after run, and gives the median of each: a figure and the limit
// it is set beside meet the same stretches of noise from the rest of the machine (timed one after
// the other, a burst of it could double one side of a ratio alone). Whatever a run returns is
// destroyed after the clock stops: freeing a level is not loading it.
template <typename... F>
std::array<double, sizeof...(F)> mediansInTurn(F&&... runs) {
    constexpr std::size_t n = sizeof...(F);
    auto once = [](auto& run) {
        const auto a = Clock::now();
        [[maybe_unused]] auto result = run();
        return std::chrono::duration<double, std::milli>(Clock::now() - a).count();
    };
    (once(runs), ...);  // warm-up: the file in the page cache, the allocator primed
    std::array<std::vector<double>, n> times;
    const auto start = Clock::now();
    for (int i = 0; i < 41; ++i) {
        std::size_t k = 0;
        (times[k++].push_back(once(runs)), ...);
        if (i >= 6 && std::chrono::duration<double, std::milli>(Clock::now() - start).count() > 600.0 * n) break;
    }
    std::array<double, n> medians{};
    for (std::size_t k = 0; k < n; ++k) {
        std::sort(times[k].begin(), times[k].end());
        medians[k] = times[k][times[k].size() / 2];
    }
    return medians;
}

template <typename F>
double medianMs(F&& run) {
    return mediansInTurn(std::forward<F>(run))[0];
}

// The floor for any loader: the file's bytes into a buffer that is not zero-filled first, taken
// from the allocator each run as a loader takes its lists.
std::unique_ptr<std::uint8_t[]> plainRead(const fs::path& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    if (std::fread(buffer.get(), 1, size, f) != size) buffer.reset();
    std::fclose(f);
    return buffer;
}

// What a level's lists cost to make with nothing decoded or checked: the file mapped, as the loader
// maps it, and blocks of the sizes the loaded lists hold taken from the allocator and filled from
// the mapping in turn. Copying the bytes is most of it, as it is of the plain read.
std::vector<std::unique_ptr<std::uint8_t[]>> listsFromMapping(const fs::path& path,
                                                              const std::vector<std::size_t>& sizes) {
    std::vector<std::unique_ptr<std::uint8_t[]>> blocks;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return blocks;
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    void* map = size > 0 ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    close(fd);
    if (map == MAP_FAILED) return blocks;
    const auto* bytes = static_cast<const std::uint8_t*>(map);
    blocks.reserve(sizes.size());
    std::size_t at = 0;
    for (const std::size_t n : sizes) {
        blocks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(n));
        if (at + n > size) at = 0;  // lists wider in memory than in the file run past its end
        std::memcpy(blocks.back().get(), bytes + at, std::min(n, size));
        at += n;
    }
    munmap(map, size);
    return blocks;
}

// The floor for any safe save: the bytes written to a new file beside the target and renamed over
// it, with nothing checked and nothing kept. Its blocks are asked for up front, as a save does: that
// is the file system's cheapest way to take them. The replaced file is held open until the clock has
// stopped, as a save lets go of it on another thread: freeing its blocks is not writing the new ones.
struct HeldFile {
    int fd = -1;
    HeldFile() = default;
    HeldFile(HeldFile&& o) noexcept : fd(std::exchange(o.fd, -1)) {}
    ~HeldFile() {
        if (fd >= 0) close(fd);
    }
};

HeldFile plainSafeWrite(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    HeldFile old;
    old.fd = open(path.c_str(), O_PATH | O_CLOEXEC);
    const fs::path tmp = path.string() + ".plain";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return old;
    fallocate(fileno(f), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size()));
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) == 0 && ok) std::rename(tmp.c_str(), path.c_str());
    return old;
}

// zlib alone inflating a TR4/TR5 file's chunks one after another (four in TR4, three in TR5), into
// buffers taken from the allocator each run, as the loader's are.
class InflateAlone {
public:
    InflateAlone(const fs::path& path, bool tr5) {
        std::ifstream in(path, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::size_t p = 10;
        for (int i = 0; i < (tr5 ? 3 : 4) && p + 8 <= m_bytes.size(); ++i) {
            const std::uint32_t size = util::le::u32(&m_bytes[p]), packed = util::le::u32(&m_bytes[p + 4]);
            if (packed > m_bytes.size() - p - 8) break;
            m_chunks.push_back({p + 8, packed, size});
            p += 8 + packed;
        }
    }
    std::vector<std::unique_ptr<std::uint8_t[]>> operator()() const {
        std::vector<std::unique_ptr<std::uint8_t[]>> outs;
        for (const auto& c : m_chunks) {
            outs.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::size_t>(c.size, 1)));
            uLongf len = static_cast<uLongf>(c.size);
            uncompress(outs.back().get(), &len, &m_bytes[c.at], c.packed);
        }
        return outs;
    }

private:
    struct Chunk {
        std::size_t at;
        std::uint32_t packed;
        std::uint32_t size;
    };
    std::vector<std::uint8_t> m_bytes;
    std::vector<Chunk> m_chunks;
};

// The fields of one line of a pipe between the bench's processes, separated by tabs.
std::vector<std::string> tabFields(const char* line) {
    std::vector<std::string> fields(1);
    for (const char* c = line; *c && *c != '\n'; ++c) {
        if (*c == '\t') fields.emplace_back();
        else fields.back() += *c;
    }
    return fields;
}

// Peak resident memory (KiB) of a child process running `args`, its output thrown away. A child
// forked from this (large) process would start its high-water mark at our size, so children are
// started by a small helper process forked before anything was loaded.
long spawnAndMeasure(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage use{};
    if (pid < 0 || wait4(pid, &status, 0, &use) < 0) return 0;
    return use.ru_maxrss;
}

int g_toHelper = -1, g_fromHelper = -1;

void startHelper() {
    int down[2], up[2];
    if (pipe(down) != 0 || pipe(up) != 0) return;
    if (fork() == 0) {
        close(down[1]);
        close(up[0]);
        // One request a line: the arguments separated by tabs; the answer is the peak in KiB.
        std::FILE* in = fdopen(down[0], "r");
        char line[8192];
        while (std::fgets(line, sizeof line, in)) {
            const long kib = spawnAndMeasure(tabFields(line));
            if (write(up[1], &kib, sizeof kib) != sizeof kib) break;
        }
        _exit(0);
    }
    close(down[0]);
    close(up[1]);
    g_toHelper = down[1];
    g_fromHelper = up[0];
}

// The median of five runs: a run's peak moves by a few hundred KiB with how its threads met, as much
// as a small level's margin.
long peakRssKiB(const std::vector<std::string>& args) {
    if (g_toHelper < 0) return 0;
    std::string line;
    for (const auto& a : args) line += (line.empty() ? "" : "\t") + a;
    line += "\n";
    std::vector<long> peaks;
    for (int i = 0; i < 5; ++i) {
        long kib = 0;
        if (write(g_toHelper, line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
            read(g_fromHelper, &kib, sizeof kib) != sizeof kib)
            return 0;
        peaks.push_back(kib);
    }
    std::sort(peaks.begin(), peaks.end());
    return peaks[peaks.size() / 2];
}

struct Row {
    std::string figure;
    double value = 0;
    std::string unit;
    std::string against;
    double limit = 0;
    double target = 0;
};

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, v >= 100 ? "%.0f" : v >= 10 ? "%.1f" : "%.2f", v);
    return buf;
}

void print(const std::vector<Row>& rows) {
    std::printf("| figure | measured | limit it is measured against | ratio | target | holds |\n");
    std::printf("|---|---:|---|---:|---:|:---:|\n");
    for (const auto& r : rows) {
        const double ratio = r.limit > 0 ? r.value / r.limit : 0;
        std::printf("| %s | %s %s | %s %s %s | %.2fx | <= %.1fx | %s |\n", r.figure.c_str(), number(r.value).c_str(),
                    r.unit.c_str(), r.against.c_str(), number(r.limit).c_str(), r.unit.c_str(), ratio, r.target,
                    ratio <= r.target ? "yes" : "NO");
    }
}

struct LevelFile {
    std::string name;
    fs::path path;
};

// What the tools around the core need: the CLI for the memory figures, the sprite file for conversions.
struct Tools {
    fs::path cli;
    long baselineKiB = 0;
    fs::path swd;
};

void measure(const LevelFile& f, const Tools& tools, std::vector<Row>& rows) {
    std::vector<std::string> warnings;
    auto loaded = level::LoadLevel(f.path, &warnings);
    if (!loaded) {
        std::fprintf(stderr, "%s: %s\n", f.name.c_str(), loaded.error().c_str());
        return;
    }
    const int v = loaded->LevelVersion;
    auto load = [&] { return level::LoadLevel(f.path); };
    auto read = [&] { return plainRead(f.path); };
    double loadMs = 0;
    if (v >= level::kVersionTR4) {
        const InflateAlone inflate(f.path, v == level::kVersionTR5);
        const auto ms = mediansInTurn(load, [&] { return std::pair(read(), inflate()); });
        loadMs = ms[0];
        rows.push_back({"LoadLevel " + f.name, loadMs, "ms", "plain read + inflate alone", ms[1], 1.1});
    } else {
        // Where a level is made of thousands of small lists, making them is itself over the first
        // target; the second row says how near the load comes to that.
        std::vector<std::size_t> sizes{loaded->Rooms.size() * sizeof(level::TRRoom)};
        level::ForEachList(*loaded, [&sizes](const auto& list) {
            if (!list.empty()) sizes.push_back(list.size() * sizeof(list[0]));
        });
        const auto ms = mediansInTurn(load, read, [&] { return listsFromMapping(f.path, sizes); });
        loadMs = ms[0];
        rows.push_back({"LoadLevel " + f.name, loadMs, "ms", "plain read", ms[1], 1.5});
        rows.push_back({"LoadLevel " + f.name, loadMs, "ms", "its lists' blocks filled from the mapped file alone",
                        ms[2], 1.5});
    }
    if (v == level::kVersionTR2 || v == level::kVersionTR3) {
        // Building and saving the file's bytes are timed on their own and set beside the load's own
        // figure, as either disturbs a load timed in turn with it or is disturbed by it: building the
        // 52 MiB levels' bytes took twice as long, a save pushed the level's file out of the
        // processor's caches before each load (a third to three quarters slower), and the file each
        // save replaced, let go of on another thread, was freed during the next run (so the plain
        // write is timed on its own too).
        const double serialize = medianMs([&] { return level::SerializeLevel(*loaded); });
        rows.push_back({"SerializeLevel " + f.name, serialize, "ms", "LoadLevel", loadMs, 1.5});
        // Never beside the level (the real ones are read-only and must stay untouched).
        const fs::path out = fs::temp_directory_path() / ("tessarin-bench-save-" + std::to_string(getpid()) + ".tr2");
        const double save = medianMs([&] { return level::SaveLevel(out, *loaded); });
        const auto bytes = level::SerializeLevel(*loaded);
        const double floor = bytes ? medianMs([&] { return plainSafeWrite(out, *bytes); }) : 0;
        fs::remove(out);
        rows.push_back({"SaveLevel " + f.name + " (to disk)", save, "ms", "LoadLevel", loadMs, 1.5});
        // What the file system alone costs for the same bytes (page cache, block reservation, the
        // rename).
        rows.push_back({"SaveLevel " + f.name + " (to disk)", save, "ms", "its bytes written and renamed alone", floor, 1.5});
    }
    if (v == level::kVersionTR4 && !tools.swd.empty()) {
        // As the command line converts: the sprite file and the level read from disk, the result in memory.
        for (const std::int16_t target : {level::kVersionTR3, level::kVersionTR2}) {
            // A conversion loads the level first: the two are timed in turn.
            const auto [convertMs, loadBeside] =
                mediansInTurn([&] { return convert::ConvertTR4(f.path, target, tools.swd); }, load);
            rows.push_back({"ConvertTR4 to TR" + std::to_string(target) + " " + f.name, convertMs, "ms", "LoadLevel",
                            loadBeside, 1.1});
        }
    }
    if (!tools.cli.empty()) {
        const double mem = static_cast<double>(level::InMemorySize(*loaded)) / (1 << 20);
        const long peak = peakRssKiB({tools.cli.string(), "info", f.path.string()});
        rows.push_back({"peak RSS of cli info " + f.name + " (above the CLI's own)",
                        static_cast<double>(peak - tools.baselineKiB) / 1024, "MiB", "level in memory", mem, 1.3});
    }
}

// Each level is measured in a process of its own, forked before anything of it is loaded: measured
// one after another in one process, a level's figures depended on those before it (the 7 MiB TR5
// level loaded a fifth slower after a 52 MiB level, in the heap that level had left).
void measureApart(const LevelFile& f, const Tools& tools, std::vector<Row>& rows) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        // Every allocation from the heap, kept between runs: without this the allocator maps a block
        // of 32 MiB or more afresh each time and faults in every page, so a plain read of a large
        // file would pay for fresh memory while a load, whose lists are smaller, reuses the heap. This
        // way neither side pays for fresh memory, at any size; what the loader maps itself (the file,
        // an inflated chunk) it still pays for.
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
        std::vector<Row> measured;
        measure(f, tools, measured);
        std::FILE* out = fdopen(fds[1], "w");
        for (const auto& r : measured)
            std::fprintf(out, "%s\t%.17g\t%s\t%s\t%.17g\t%.17g\n", r.figure.c_str(), r.value, r.unit.c_str(),
                         r.against.c_str(), r.limit, r.target);
        std::fclose(out);
        _exit(0);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return;
    }
    std::FILE* in = fdopen(fds[0], "r");
    char line[1024];
    while (std::fgets(line, sizeof line, in)) {
        const auto fields = tabFields(line);
        if (fields.size() == 6)
            rows.push_back({fields[0], std::stod(fields[1]), fields[2], fields[3], std::stod(fields[4]),
                            std::stod(fields[5])});
    }
    std::fclose(in);
    waitpid(pid, nullptr, 0);
}

}  // namespace

int runTable(const char* argv0, const char* only) {
    auto wanted = [only](const std::string& name) {
        if (!only) return true;
        const std::string list = only;
        for (std::size_t a = 0; a <= list.size();) {
            std::size_t b = list.find(',', a);
            if (b == std::string::npos) b = list.size();
            if (name.find(list.substr(a, b - a)) != std::string::npos) return true;
            a = b + 1;
        }
        return false;
    };
    startHelper();
    std::vector<LevelFile> files;
    for (const char* n : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2", "tr4-test1.tr4", "tr5-test1.trc"}) {
        const auto path = test::realLevel(n);
        if (!path.empty() && wanted(n)) files.push_back({n, path});
    }
    const fs::path dir = fs::temp_directory_path() / ("tessarin-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    // Rooms of 10 x 10 and 31 x 31 sectors, and make-level's own default size (8 x 8, 120 faces).
    struct Kind {
        int rooms;
        bool defaultSize;
    };
    for (const Kind kind : {Kind{400, false}, Kind{1024, false}, Kind{100, true}, Kind{1024, true}}) {
        const int rooms = kind.rooms;
        for (std::int16_t v = 1; v <= 5; ++v) {
            levelgen::LargeLevelParams p;
            p.version = v;
            p.rooms = rooms;
            if (!kind.defaultSize) {
                p.sectorsPerSide = rooms == 400 ? 10 : 31;
                p.facesPerRoom = rooms == 400 ? 200 : 1000;
                p.items = 5000;
                p.triggersPerRoom = 6;
            }
            p.seed = 7;
            const std::string name = (kind.defaultSize ? "default" : "gen") + std::to_string(rooms) + "-tr" +
                                     std::to_string(v) + levelgen::levelExtension(v);
            if (!wanted(name)) continue;
            const auto bytes = levelgen::buildLevel(levelgen::composeLargeLevel(p));
            std::ofstream(dir / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            files.push_back({name + " (" + number(static_cast<double>(bytes.size()) / (1 << 20)) + " MiB)", dir / name});
        }
    }
    Tools tools;
    tools.cli = fs::path(argv0).parent_path() / "tessarin2-cli";
    if (!fs::exists(tools.cli)) tools.cli.clear();
    if (!tools.cli.empty()) tools.baselineKiB = peakRssKiB({tools.cli.string(), "info", (dir / "missing.tr2").string()});
    tools.swd = convert::swdFileBeside(fs::path(argv0).parent_path());
    if (!fs::exists(tools.swd)) tools.swd.clear();

    std::vector<Row> rows;
    for (const auto& f : files) measureApart(f, tools, rows);
    fs::remove_all(dir);
    if (g_toHelper >= 0) close(g_toHelper);
    print(rows);
    return 0;
}

}  // namespace tessarin::bench

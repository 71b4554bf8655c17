// The stamp catalog benchmark: the table engine and SQLite do the same work on synthetic catalogs of
// 100,000 and 1,000,000 records, each workload in a process of its own so that its peak memory is its own.
//
//   stamp_catalog_bench [--records N[,N...]] [--folder DIR]
#include "BenchResults.h"
#include "Workloads.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::BenchResults;
namespace figure = bench::figure;

struct Options
{
    std::vector<std::int64_t> sizes{100000, 1000000};
    std::string folder = std::filesystem::temp_directory_path().string();
};

// Runs one workload in a child process (this program again) and collects its figures.
BenchResults runChild(const std::string& workload, std::int64_t records, const std::string& parent)
{
    std::string pattern = parent + "/tessary-bench-" + workload + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a folder in " + parent);
    const std::string folder = pattern;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], 1);
        ::close(pipeEnds[0]);
        const std::string count = std::to_string(records);
        ::execl("/proc/self/exe", "stamp_catalog_bench", "--workload", workload.c_str(), count.c_str(),
                folder.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::filesystem::remove_all(folder);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the " + workload + " workload failed");
    return BenchResults::parse(output);
}

std::string number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

struct Row
{
    const char* label;
    const std::string& figure;
    const char* unit;
    int decimals;
};

void printTable(std::int64_t records, const BenchResults& engine, const BenchResults& sqlite)
{
    const Row rows[] = {
        {"append, one post per record, two tags", figure::append, "ms", 0},
        {"append, one bulk transaction", figure::appendBulk, "ms", 0},
        {"files on disk after the appends", figure::files, "MB", 0},
        {"peak memory until the appends end", figure::appendMemory, "MB", 0},
        {"build a third tag over the table", figure::buildTag, "ms", 1},
        {"26 letter-range counts", figure::letterCounts, "ms", 2},
        {"findKey seek and read, each", figure::seek, "µs", 1},
        {"full scan with a substring test", figure::scan, "ms", 0},
        {"open and read the first record", figure::openFirst, "ms", 2},
        {"delete every tenth record, one by one", figure::deletes, "ms", 0},
        {"pack (SQLite: VACUUM)", figure::pack, "ms", 0},
        {"peak memory of the whole run (VmHWM)", figure::memory, "MB", 0},
    };
    const auto cell = [](double value, const Row& row) {
        return value < 0 ? std::string("–") : number(value, row.decimals) + " " + row.unit;
    };
    const auto ratio = [](double ours, double theirs) {
        return ours < 0 || theirs <= 0 ? std::string("–") : number(ours / theirs, 2);
    };
    std::cout << "\n### " << records << " records\n\n"
              << "| measurement | engine | SQLite | ratio | engine CPU | SQLite CPU | CPU ratio |\n"
              << "|---|---:|---:|---:|---:|---:|---:|\n";
    for (const Row& row : rows) {
        const std::string cpu = row.figure + BenchResults::cpuSuffix;
        const double ours = engine.value(row.figure);
        const double theirs = sqlite.value(row.figure);
        std::cout << "| " << row.label << " | " << cell(ours, row) << " | " << cell(theirs, row) << " | "
                  << ratio(ours, theirs) << " | " << cell(engine.value(cpu), row) << " | "
                  << cell(sqlite.value(cpu), row) << " | " << ratio(engine.value(cpu), sqlite.value(cpu))
                  << " |\n";
    }
    const auto perRecord = [&](const BenchResults& results, const std::string& name) {
        return number(results.value(name) * 1000 / static_cast<double>(records), 1) + " µs";
    };
    std::cout << "\nratio: engine ÷ SQLite (below 1: the engine is faster). Per record: append "
              << perRecord(engine, figure::append) << " (SQLite " << perRecord(sqlite, figure::append)
              << ", bulk " << perRecord(sqlite, figure::appendBulk) << ")\n";
    for (const std::string* same : {&figure::counted, &figure::scanHits, &figure::packed})
        if (engine.value(*same) != sqlite.value(*same))
            std::cout << "MISMATCH: " << *same << " " << engine.value(*same) << " (engine) against "
                      << sqlite.value(*same) << " (SQLite)\n";
}

void printGoals(const BenchResults& engine, const BenchResults& sqlite)
{
    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    std::cout << "\ngoals at 100,000 records:\n"
              << "- appends at least as fast as SQLite: "
              << verdict(engine.value(figure::append) <= sqlite.value(figure::append)) << "\n"
              << "- tag build at least as fast as SQLite: "
              << verdict(engine.value(figure::buildTag) <= sqlite.value(figure::buildTag)) << "\n"
              << "- 26 counts under 20 ms: " << verdict(engine.value(figure::letterCounts) < 20) << "\n"
              << "- open and first record under 20 ms: " << verdict(engine.value(figure::openFirst) < 20)
              << "\n";
}

std::string machine()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    std::string model;
    int cores = 0;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0 && model.empty())
            model = line.substr(line.find(':') + 2);
        cores += line.rfind("processor", 0) == 0;
    }
    utsname system{};
    ::uname(&system);
    return model + ", " + std::to_string(cores) + " cores, " + system.sysname + " " + system.release;
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--records") {
            options.sizes.clear();
            std::istringstream list(argv[i + 1]);
            for (std::string size; std::getline(list, size, ',');)
                options.sizes.push_back(std::stoll(size));
        } else if (name == "--folder") {
            options.folder = argv[i + 1];
        } else {
            throw std::runtime_error("unknown option " + name);
        }
    }
    if (argc % 2 == 0)
        throw std::runtime_error("usage: stamp_catalog_bench [--records N[,N...]] [--folder DIR]");
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 5 && std::string(argv[1]) == "--workload") {
            const std::string workload = argv[2];
            const std::int64_t records = std::stoll(argv[3]);
            const BenchResults results = workload == "engine" ? bench::runEngineWorkload(records, argv[4])
                                                              : bench::runSqliteWorkload(records, argv[4]);
            std::cout << results.serialize();
            return 0;
        }
        const Options options = parseOptions(argc, argv);
        std::cout << "machine: " << machine() << "\nSQLite " << sqlite3_libversion() << ", files in "
                  << options.folder << "\n";
        std::string memory;
        for (std::int64_t records : options.sizes) {
            const BenchResults engine = runChild("engine", records, options.folder);
            const BenchResults sqlite = runChild("sqlite", records, options.folder);
            printTable(records, engine, sqlite);
            if (records == 100000)
                printGoals(engine, sqlite);
            memory += (memory.empty() ? "" : "; ") + std::to_string(records) +
                      " records: " + number(engine.value(figure::appendMemory), 0) +
                      " MB until the appends end, " + number(engine.value(figure::memory), 0) + " MB in all";
        }
        std::cout << "\nengine peak memory by size: " << memory << "\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "stamp_catalog_bench: " << error.what() << "\n";
        return 1;
    }
}

#include "BenchResults.h"

#include "Workloads.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/resource.h>

namespace bench {

namespace {

double processorMilliseconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

Stopwatch::Stopwatch() : start_(std::chrono::steady_clock::now()), cpuStart_(processorMilliseconds()) {}

double Stopwatch::milliseconds() const
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
}

double Stopwatch::cpuMilliseconds() const
{
    return processorMilliseconds() - cpuStart_;
}

void BenchResults::addTime(const std::string& name, const Stopwatch& watch, double scale)
{
    const double cpu = watch.cpuMilliseconds();
    add(name, watch.milliseconds() * scale);
    add(name + cpuSuffix, cpu * scale);
}

void BenchResults::addMedian(const std::string& name, std::vector<Lap> laps)
{
    std::sort(laps.begin(), laps.end(), [](const Lap& a, const Lap& b) { return a.wall < b.wall; });
    add(name, laps[laps.size() / 2].wall);
    add(name + cpuSuffix, laps[laps.size() / 2].cpu);
}

double BenchResults::value(const std::string& name) const
{
    for (const auto& [figure, value] : figures_)
        if (figure == name)
            return value;
    return -1;
}

std::string BenchResults::serialize() const
{
    std::ostringstream out;
    out.precision(17);
    for (const auto& [name, value] : figures_)
        out << name << '\t' << value << '\n';
    return out.str();
}

BenchResults BenchResults::parse(const std::string& text)
{
    BenchResults results;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            results.add(line.substr(0, tab), std::stod(line.substr(tab + 1)));
    }
    return results;
}

double peakMemoryMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0; // given in kB
    return -1;
}

std::pair<std::string, std::string> letterRange(char letter)
{
    const std::string lower = letter == 'A' ? std::string(1, '\1') : std::string(1, letter);
    const std::string upper = letter == 'Z' ? std::string(1, '\xff') : std::string(1, letter) + '\xff';
    return {lower, upper};
}

std::vector<std::int64_t> seekTargets(std::int64_t records)
{
    std::mt19937_64 random(42);
    std::vector<std::int64_t> targets;
    for (int i = 0; i < seekCount; ++i)
        targets.push_back(std::uniform_int_distribution<std::int64_t>(1, records)(random));
    return targets;
}

double folderMegabytes(const std::string& folder)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

} // namespace bench

#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Wall-clock time and the processor time of this process (user and system), both in milliseconds: on a
// machine that others share, the processor time is the steadier figure of the two.
struct Lap
{
    double wall = 0;
    double cpu = 0;
};

class Stopwatch
{
public:
    Stopwatch();
    double milliseconds() const;
    double cpuMilliseconds() const;
    Lap lap() const { return {milliseconds(), cpuMilliseconds()}; }

private:
    std::chrono::steady_clock::time_point start_;
    double cpuStart_;
};

// The figures of one workload run, in the order they were measured: milliseconds for times, plain
// numbers for counts and megabytes for memory, as each name says.
class BenchResults
{
public:
    static constexpr const char* cpuSuffix = " cpu";

    void add(const std::string& name, double value) { figures_.emplace_back(name, value); }
    // The watch's wall-clock time as name and its processor time as name + cpuSuffix, each times scale.
    void addTime(const std::string& name, const Stopwatch& watch, double scale = 1);
    // The middle one of several laps of the same work.
    void addMedian(const std::string& name, std::vector<Lap> laps);
    const std::vector<std::pair<std::string, double>>& figures() const { return figures_; }
    // Missing figures are negative.
    double value(const std::string& name) const;

    // One "name<TAB>value" line per figure, and back.
    std::string serialize() const;
    static BenchResults parse(const std::string& text);

private:
    std::vector<std::pair<std::string, double>> figures_;
};

// The process's peak resident memory (VmHWM) in megabytes.
double peakMemoryMegabytes();
// The size of the files in a folder, in megabytes.
double folderMegabytes(const std::string& folder);

// The letter ranges of the letter tabs on an ascending text tag: "A" from the character with code 1,
// "Z" up to the character with code 255.
std::pair<std::string, std::string> letterRange(char letter);

} // namespace bench

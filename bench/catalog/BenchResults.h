#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// The figures of one workload run, in the order they were measured: milliseconds for times, plain
// numbers for counts and megabytes for memory, as each name says.
class BenchResults
{
public:
    void add(const std::string& name, double value) { figures_.emplace_back(name, value); }
    const std::vector<std::pair<std::string, double>>& figures() const { return figures_; }
    // Missing figures are negative.
    double value(const std::string& name) const;

    // One "name<TAB>value" line per figure, and back.
    std::string serialize() const;
    static BenchResults parse(const std::string& text);

private:
    std::vector<std::pair<std::string, double>> figures_;
};

class Stopwatch
{
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    double milliseconds() const
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

// The process's peak resident memory (VmHWM) in megabytes.
double peakMemoryMegabytes();
// The size of the files in a folder, in megabytes.
double folderMegabytes(const std::string& folder);

// The letter ranges of the letter tabs on an ascending text tag: "A" from the character with code 1,
// "Z" up to the character with code 255.
std::pair<std::string, std::string> letterRange(char letter);

} // namespace bench

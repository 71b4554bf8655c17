#include "BenchResults.h"

#include "Workloads.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace bench {

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

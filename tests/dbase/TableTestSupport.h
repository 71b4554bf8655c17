#pragma once

#include "dbase/Table.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace dbase::fixtures {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessary-dbase-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct CommandResult
{
    int exitCode = -1;
    std::string output; // standard output only
};

// Runs a shell command and collects its standard output.
inline CommandResult runCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Bytes that exercise every value of a byte, as a binary column must keep them.
inline std::string binaryPattern(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(i < 256 ? i : state >> 16);
    }
    return bytes;
}

// The columns of catalogFields, by position.
namespace CatalogColumn {
enum : std::size_t
{
    Number,
    Mark,
    Title,
    Price,
    Issued,
    Mint,
    Notes,
    Picture
};
}

// The stamp catalog's shape in small: text, numbers with decimals, a date, a logical, a memo, a picture.
inline std::vector<FieldSpec> catalogFields()
{
    return {
        {"NUMBER", FieldType::Numeric, 10, 0},  {"MARK", FieldType::Character, 1, 0},
        {"TITLE", FieldType::Character, 40, 0}, {"PRICE", FieldType::Numeric, 12, 2},
        {"ISSUED", FieldType::Date, 0, 0},      {"MINT", FieldType::Logical, 0, 0},
        {"NOTES", FieldType::Memo, 0, 0},       {"PICTURE", FieldType::Binary, 0, 0},
    };
}

} // namespace dbase::fixtures

#include <csignal>
#include <unistd.h>

namespace dbase::fixtures {

// A helper process with a pipe to its standard input and one from its standard output.
class PeerProcess
{
public:
    explicit PeerProcess(const std::vector<std::string>& arguments)
    {
        int toChild[2];
        int fromChild[2];
        if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0)
            throw std::runtime_error("pipe failed");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(toChild[0], 0);
            ::dup2(fromChild[1], 1);
            ::close(toChild[1]);
            ::close(fromChild[0]);
            std::vector<char*> argv;
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        input_ = toChild[1];
        output_ = ::fdopen(fromChild[0], "r");
    }
    ~PeerProcess()
    {
        if (input_ >= 0)
            ::close(input_);
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (output_)
            std::fclose(output_);
    }
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // The next line it printed, without the line break; empty at its end.
    std::string readLine()
    {
        char buffer[4096];
        if (!std::fgets(buffer, sizeof buffer, output_))
            return {};
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        return line;
    }
    void release()
    {
        ::close(input_);
        input_ = -1;
    }
    void kill() { ::kill(pid_, SIGKILL); }
    int wait()
    {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        waited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    FILE* output_ = nullptr;
    bool waited_ = false;
};

} // namespace dbase::fixtures

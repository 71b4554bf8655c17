// Stands in for an attachment's application: writes each argument it got, one per line, to the file that
// ARGV_WRITER_OUTPUT names, and nothing else.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    const char* output = std::getenv("ARGV_WRITER_OUTPUT");
    if (!output)
        return 2;
    std::ofstream file(std::string(output) + ".part", std::ios::binary);
    for (int i = 1; i < argc; ++i)
        file << argv[i] << '\n';
    file.close();
    // Renamed when complete, so the test never reads half a file.
    return std::rename((std::string(output) + ".part").c_str(), output) == 0 ? 0 : 1;
}

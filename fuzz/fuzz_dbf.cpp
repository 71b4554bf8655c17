// Arbitrary bytes as the .dbf of a table whose memo file is sound and empty.
#include "FuzzTableFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string memo(512, '\0');
    memo[0] = 1;
    memo[20] = 0;
    memo[21] = 2; // block size 512
    exerciseTable(std::string(reinterpret_cast<const char*>(data), size), memo);
    return 0;
}

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dbase {

// SHA-256 (FIPS 180-4), for fingerprints of binary values in dumps and checks.
class Sha256
{
public:
    Sha256();
    void update(std::string_view bytes);
    std::array<std::uint8_t, 32> finish();

    static std::string hex(std::string_view bytes);

private:
    void compress(const unsigned char* block);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace dbase

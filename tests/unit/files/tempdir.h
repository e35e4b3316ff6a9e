#pragma once
// A fresh folder per test, removed with everything in it afterwards.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace zarvik::test {

class TempDir {
public:
    TempDir() {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() /
                 ("zarvik-files-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // File names are UTF-8 throughout the program, whatever the system's code page.
    std::string file(const std::string& name) const {
        return (m_path / std::filesystem::u8path(name)).u8string();
    }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(m_path))
            out.push_back(e.path().filename().u8string());
        return out;
    }

private:
    std::filesystem::path m_path;
};

inline std::vector<std::uint8_t> readBytes(const std::string& fileName) {
    std::ifstream in(std::filesystem::u8path(fileName), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(std::filesystem::u8path(fileName), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace zarvik::test

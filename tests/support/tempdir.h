// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace trekmor::testing {

class TempDir {
 public:
  TempDir() {
    std::random_device entropy;
    m_path = std::filesystem::temp_directory_path() / ("trekmor-test-" + std::to_string(entropy()));
    std::filesystem::create_directories(m_path);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace trekmor::testing

#pragma once
// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quill::test {

class TempFolder final {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quill-dl-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path without a trailing '/'.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::size_t entries_in(const std::filesystem::path& folder) {
  std::error_code ignored;
  auto it = std::filesystem::directory_iterator(folder, ignored);
  return static_cast<std::size_t>(std::distance(it, std::filesystem::directory_iterator()));
}

}  // namespace quill::test

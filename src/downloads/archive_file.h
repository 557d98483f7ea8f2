#pragma once
// The file that one transfer writes. Owns its descriptor; used by the
// transfer thread only.

#include <cstddef>
#include <string>

namespace quill::downloads {

class ArchiveFile final {
 public:
  ArchiveFile() = default;
  ~ArchiveFile();
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  // True when `name` can name a file inside a folder: not empty, not "." or
  // "..", no '/' and no zero byte.
  static bool usable_name(const std::string& name);
  static bool folder_exists(const std::string& folder);

  // Creates folder + name (a '/' added where needed), replacing an existing
  // file or link; never follows a link. False when it cannot be created.
  bool create(const std::string& folder, const std::string& name);
  // Writes all of `data` in pieces of at most kMaxWritePiece bytes. False on
  // a failed write.
  bool write(const char* data, std::size_t size);
  bool is_open() const { return fd_ >= 0; }
  void close();

 private:
  int fd_ = -1;
};

}  // namespace quill::downloads

#include "downloads/archive_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "downloads/download_file.h"

namespace quill::downloads {

ArchiveFile::~ArchiveFile() { close(); }

void ArchiveFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool ArchiveFile::usable_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool ArchiveFile::folder_exists(const std::string& folder) {
  struct stat info {};
  return !folder.empty() && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ArchiveFile::create(const std::string& folder, const std::string& name) {
  if (fd_ >= 0 || !usable_name(name)) return false;
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  // Removing first, then creating exclusively without following links, keeps
  // every write inside the folder even when a link of that name points out.
  unlink(path.c_str());
  fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool ArchiveFile::write(const char* data, std::size_t size) {
  while (size > 0) {
    std::size_t piece = std::min(size, kMaxWritePiece);
    ssize_t written = ::write(fd_, data, piece);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace quill::downloads

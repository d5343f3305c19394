#include "datafiles/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace ondrix {

namespace {

// Writes all bytes, retrying short writes and interruptions.
bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::optional<std::size_t> readPrefix(const std::string& name, std::span<std::uint8_t> buffer) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return done;
}

bool writeWhole(const std::string& name, std::span<const std::uint8_t> bytes) {
  const std::string temporary = name + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = writeAll(fd, bytes);
  const bool closed = ::close(fd) == 0;
  if (written && closed && std::rename(temporary.c_str(), name.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

bool isRegularFile(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool removeFile(const std::string& name) { return ::unlink(name.c_str()) == 0; }

bool ensureFolder(const std::string& name) {
  if (::mkdir(name.c_str(), 0777) == 0) return true;
  struct stat st {};
  return errno == EEXIST && ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::uint8_t> translateLineEnds(std::span<const std::uint8_t> image) {
  std::vector<std::uint8_t> stored;
  stored.reserve(image.size() + image.size() / 8);
  for (std::uint8_t b : image) {
    if (b == 0x0A) stored.push_back(0x0D);
    stored.push_back(b);
  }
  return stored;
}

std::size_t untranslateLineEnds(std::span<const std::uint8_t> stored, std::span<std::uint8_t> image) {
  std::size_t in = 0, out = 0;
  while (in < stored.size() && out < image.size()) {
    if (stored[in] == 0x0D && in + 1 < stored.size() && stored[in + 1] == 0x0A) ++in;
    image[out++] = stored[in++];
  }
  return out;
}

}  // namespace ondrix

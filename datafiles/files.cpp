#include "datafiles/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
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

// Whether the permission bits of an existing file let this user write it;
// the bits count for the owner (root included) like for anyone else.
bool permitsWriting(const struct stat& st) {
  if (st.st_uid == ::geteuid()) return st.st_mode & S_IWUSR;
  bool inGroup = st.st_gid == ::getegid();
  std::array<gid_t, 256> groups{};
  const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
  for (int k = 0; k < count; ++k) inGroup = inGroup || groups[static_cast<std::size_t>(k)] == st.st_gid;
  return st.st_mode & (inGroup ? S_IWGRP : S_IWOTH);
}

// A name beside the target that nothing else uses: the target's name, the
// process and a counter.
std::string temporaryName(const std::string& name) {
  static std::atomic<unsigned> counter{0};
  return name + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
}

// Flushes the folder that holds the name, so that a rename into it lasts.
void syncFolderOf(const std::string& name) {
  const auto slash = name.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The name a write reaches: a symbolic link at the name is followed to the
// file it names (which need not exist yet), so that saving keeps the link
// and updates the file behind it. Gives up (empty) on a loop of links.
std::string followLinks(std::string name) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
    const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
    if (n <= 0) return {};
    target.resize(static_cast<std::size_t>(n));
    const auto slash = name.rfind('/');
    name = target.front() == '/' || slash == std::string::npos ? target : name.substr(0, slash + 1) + target;
  }
  return {};
}

}  // namespace

std::optional<std::size_t> readPrefix(const std::string& name, std::span<std::uint8_t> buffer) {
  // Non-blocking, so that a pipe or a device at the name cannot hold the
  // program; anything but a regular file is then turned away.
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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

bool writeWhole(const std::string& linkOrName, std::span<const std::uint8_t> bytes) {
  const std::string name = followLinks(linkOrName);
  if (name.empty()) return false;
  struct stat target {};
  const bool exists = ::stat(name.c_str(), &target) == 0;
  if (exists && (!S_ISREG(target.st_mode) || !permitsWriting(target))) return false;

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = temporaryName(name);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = writeAll(fd, bytes);
  if (ok && exists) ok = ::fchmod(fd, target.st_mode & 07777) == 0;  // the file keeps its permissions
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && std::rename(temporary.c_str(), name.c_str()) == 0) {
    syncFolderOf(name);
    return true;
  }
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

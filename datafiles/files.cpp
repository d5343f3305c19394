#include "ondrix/datafiles/files.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

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
// process and a counter. Stale ones are found by this pattern.
std::string temporaryName(const std::string& name) {
  static std::atomic<unsigned> counter{0};
  return name + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
}

std::string folderOf(const std::string& name) {
  const auto slash = name.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
}

// Flushes the folder that holds the name, so that a rename into it lasts.
void syncFolderOf(const std::string& name) {
  const int fd = ::open(folderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string cause(int error) { return std::strerror(error); }

// What stands at the name when it is not a regular file.
std::string kindOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return "is a folder";
  if (S_ISFIFO(st.st_mode)) return "is a FIFO";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "is a device";
  if (S_ISSOCK(st.st_mode)) return "is a socket";
  if (S_ISREG(st.st_mode)) return "is a file";
  return "is not a regular file";
}

// The name a write reaches: a symbolic link at the name is followed to the
// file it names (which need not exist yet), so that saving keeps the link
// and updates the file behind it. Empty, with the cause, on a loop of links.
std::string followLinks(std::string name, std::string& failure) {
  for (int hop = 0; hop < 40; ++hop) {
    // /dev/stdout, /dev/fd/N, /proc/self/fd/N: an open file of a process,
    // not a file of its own; replacing what it names would take the file
    // from under whoever holds it open.
    if (name.rfind("/proc/", 0) == 0 || name.rfind("/dev/fd/", 0) == 0) {
      failure = "is a process's open file, not a file of its own";
      return {};
    }
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
    const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
    if (n <= 0) {
      failure = cause(errno);
      return {};
    }
    target.resize(static_cast<std::size_t>(n));
    const auto slash = name.rfind('/');
    name = target.front() == '/' || slash == std::string::npos ? target : name.substr(0, slash + 1) + target;
  }
  failure = cause(ELOOP);
  return {};
}

// The temporary files and folders of the writes in progress, and whether
// the process has given them up (after which nothing commits).
struct Pending {
  std::mutex lock;
  std::multiset<std::string> paths;
  bool abandoned = false;
};

Pending& pending() {
  static Pending& p = *new Pending;  // never destroyed: a signal may come while the process ends
  return p;
}

// Makes a temporary file or folder through `make` and holds it, both under
// the lock, so that abandonAllWrites finds everything made before it and
// nothing is made after it (errno is then ECANCELED).
bool makePending(const std::string& path, const std::function<bool()>& make) {
  const std::lock_guard guard(pending().lock);
  if (pending().abandoned) {
    errno = ECANCELED;
    return false;
  }
  if (!make()) return false;
  pending().paths.insert(path);
  return true;
}

// With the lock held: the path is no longer a write in progress.
void forgetPending(const std::string& path) {
  const auto it = pending().paths.find(path);
  if (it != pending().paths.end()) pending().paths.erase(it);
}

void releasePending(const std::string& path) {
  const std::lock_guard guard(pending().lock);
  forgetPending(path);
}

// Runs the rename under the lock that abandonAllWrites takes, so that a
// write is either renamed into place or removed, never both or neither.
bool renameUnlessAbandoned(const std::function<bool()>& rename, const std::string& temporary) {
  const std::lock_guard guard(pending().lock);
  if (pending().abandoned || !rename()) return false;
  forgetPending(temporary);
  return true;
}

// Removes what writers of `target` left beside it when their process died
// (a kill -9): names "<target>.tmp.<pid>.<n>" whose process is gone, files
// for a file's writers and folders for a folder's.
void removeStaleTemporaries(const std::string& target, bool folders) {
  const std::string folder = folderOf(target);
  const std::string prefix = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1) + ".tmp.";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const auto dot = rest.find('.');
    if (dot == std::string::npos || dot == 0 || dot > 9 || dot + 1 == rest.size()) continue;
    if (rest.find_first_not_of("0123456789.") != std::string::npos || rest.find('.', dot + 1) != std::string::npos) {
      continue;
    }
    const pid_t pid = static_cast<pid_t>(std::stol(rest.substr(0, dot)));
    if (pid <= 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    const auto type = entry.symlink_status(ignored).type();
    if (type != (folders ? std::filesystem::file_type::directory : std::filesystem::file_type::regular)) continue;
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

// The target of a write, links followed and checked; empty with the cause
// when nothing can be written there.
std::string checkedTarget(const std::string& name, struct stat& st, bool& exists, std::string& failure) {
  std::string target = followLinks(name, failure);
  if (target.empty()) return {};
  exists = ::stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    failure = kindOf(st);
    return {};
  }
  if (exists && !permitsWriting(st)) {
    failure = cause(EACCES);
    return {};
  }
  if (!exists && errno != ENOENT) {
    failure = cause(errno);
    return {};
  }
  return target;
}

}  // namespace

std::optional<std::size_t> readPrefix(const std::string& name, std::span<std::uint8_t> buffer, std::string* failure,
                                      bool streams) {
  const auto failed = [&](std::string why) -> std::optional<std::size_t> {
    if (failure) *failure = std::move(why);
    return std::nullopt;
  };
  // Non-blocking, so that a pipe or a device at the name cannot hold the
  // program; anything but a regular file is then turned away.
  const int fd = ::open(name.c_str(), O_RDONLY | (streams ? 0 : O_NONBLOCK) | O_CLOEXEC);
  if (fd < 0) return failed(cause(errno));
  struct stat st {};
  const bool known = ::fstat(fd, &st) == 0;
  const bool stream = streams && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode));
  if (!known || !(S_ISREG(st.st_mode) || stream)) {
    ::close(fd);
    return failed(kindOf(st));
  }
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      return failed(cause(error));
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return done;
}

ReadOutcome readFile(const std::string& name, std::span<std::uint8_t> buffer) {
  std::string why;
  const auto got = readPrefix(name, buffer, &why);
  if (got && *got > 0) return {*got, {}};
  if (got) why = "is empty";
  else if (why == cause(ENOENT)) why = "no such file";
  else if (why == "is a FIFO") why = "is a pipe";
  else if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
  return {0, name + ": " + why};
}

std::string outputProblem(const std::string& name) {
  struct stat st {};
  bool exists = false;
  std::string failure;
  const std::string target = checkedTarget(name, st, exists, failure);
  if (target.empty()) return failure;
  const std::string folder = folderOf(target);
  struct stat folderStat {};
  if (::stat(folder.c_str(), &folderStat) != 0) return cause(errno) + " (the folder " + folder + ")";
  if (!S_ISDIR(folderStat.st_mode)) return cause(ENOTDIR) + " (" + folder + ")";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return cause(errno) + " (the folder " + folder + ")";
  return {};
}

SafeFile::SafeFile(const std::string& name) : shown_(name) {
  struct stat st {};
  std::string failure;
  target_ = checkedTarget(name, st, exists_, failure);
  if (target_.empty()) {
    failure_ = name + ": " + failure;
    return;
  }
  mode_ = st.st_mode & 07777;
  owner_ = st.st_uid;
  group_ = st.st_gid;
  removeStaleTemporaries(target_, false);
  for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
    const std::string temporary = temporaryName(target_);
    if (makePending(temporary, [&] {
          fd_ = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
          return fd_ >= 0;
        })) {
      temporary_ = temporary;
      break;
    }
    if (errno != EEXIST) {
      failure_ = name + ": " + cause(errno);
      return;
    }
  }
  if (fd_ < 0) failure_ = name + ": " + cause(EEXIST);
}

void SafeFile::fail(const std::string& why) {
  if (failure_.empty()) failure_ = shown_ + ": " + why;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    releasePending(temporary_);
    temporary_.clear();
  }
}

bool SafeFile::write(std::span<const std::uint8_t> bytes) {
  if (!failure_.empty()) return false;
  if (!writeAll(fd_, bytes)) fail(cause(errno == 0 ? EIO : errno));
  return failure_.empty();
}

WriteOutcome SafeFile::commit() {
  if (!failure_.empty()) return {failure_};
  // The file keeps its permissions, and, where this user may give files
  // away (root), its owner.
  if (exists_ && ::fchmod(fd_, mode_) != 0) fail(cause(errno));
  if (exists_ && ::geteuid() == 0 && ::fchown(fd_, owner_, group_) != 0) {
    // Kept by whoever may: the file is still written, owned by root.
  }
  if (failure_.empty() && ::fsync(fd_) != 0) fail(cause(errno));
  if (failure_.empty()) {
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) fail(cause(errno));
  }
  if (!failure_.empty()) return {failure_};
  int renameError = 0;
  const bool renamed = renameUnlessAbandoned(
      [&] {
        const bool ok = std::rename(temporary_.c_str(), target_.c_str()) == 0;
        renameError = ok ? 0 : errno;
        return ok;
      },
      temporary_);
  if (!renamed) {
    fail(renameError ? cause(renameError) : "the write was abandoned");
    return {failure_};
  }
  temporary_.clear();
  syncFolderOf(target_);
  return {};
}

SafeFile::~SafeFile() {
  if (fd_ >= 0 || !temporary_.empty()) fail("not finished");
}

WriteOutcome writeWhole(const std::string& name, std::span<const std::uint8_t> bytes) {
  SafeFile file(name);
  file.write(bytes);
  return file.commit();
}

namespace {

// Fills `to` (an empty folder) with what `from` holds: subfolders made anew,
// links copied as links, files hard-linked where the file system allows and
// copied where not. Anything else (a FIFO, a device) cannot be kept.
std::string mirrorFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(from, error)) {
    const fs::path target = to / entry.path().filename();
    const auto status = entry.symlink_status(error);
    if (error) return entry.path().string() + ": " + error.message();
    if (fs::is_symlink(status)) {
      fs::copy_symlink(entry.path(), target, error);
    } else if (fs::is_directory(status)) {
      fs::create_directory(target, entry.path(), error);
      if (!error) {
        const std::string inner = mirrorFolder(entry.path(), target);
        if (!inner.empty()) return inner;
      }
    } else if (fs::is_regular_file(status)) {
      fs::create_hard_link(entry.path(), target, error);
      if (error) {
        error.clear();
        fs::copy_file(entry.path(), target, error);
      }
    } else {
      return entry.path().string() + ": is not a regular file, folder or link, and cannot be kept";
    }
    if (error) return target.string() + ": " + error.message();
  }
  if (error) return from.string() + ": " + error.message();
  return {};
}

}  // namespace

namespace {

// The folder a replacement reaches: the name without trailing slashes,
// links followed; or empty with the cause when it cannot be replaced.
std::string replaceableFolder(const std::string& name, std::string& failure) {
  namespace fs = std::filesystem;
  std::string trimmed = fs::path(name).lexically_normal().string();
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::string last = fs::path(trimmed).filename().string();
  std::error_code error;
  const fs::path here = fs::current_path(error);
  const fs::path whole = fs::absolute(trimmed, error).lexically_normal();
  if (last.empty() || last == "." || last == ".." || trimmed == "/" ||
      std::mismatch(whole.begin(), whole.end(), here.begin(), here.end()).first == whole.end()) {
    failure = "is the working folder or holds it, and cannot be replaced";
    return {};
  }
  std::string folder = followLinks(trimmed, failure);
  if (folder.empty()) return {};
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) {
      failure = kindOf(st) + ", not a folder";
      return {};
    }
    struct stat parent {};
    if (::stat(folderOf(folder).c_str(), &parent) == 0 && parent.st_dev != st.st_dev) {
      failure = "is a mount point, and cannot be replaced";
      return {};
    }
  } else if (errno != ENOENT) {
    failure = cause(errno);
    return {};
  }
  const std::string parent = folderOf(folder);
  if (::access(parent.c_str(), W_OK | X_OK) != 0) {
    failure = cause(errno) + " (the folder " + parent + ")";
    return {};
  }
  return folder;
}

}  // namespace

std::string folderProblem(const std::string& name) {
  std::string failure;
  return replaceableFolder(name, failure).empty() ? failure : std::string();
}

WriteOutcome replaceFolder(const std::string& name, const std::function<WriteOutcome(const std::string&)>& fill) {
  std::string failure;
  const std::string folder = replaceableFolder(name, failure);
  if (folder.empty()) return {name + ": " + failure};
  struct stat st {};
  const bool exists = ::stat(folder.c_str(), &st) == 0;
  removeStaleTemporaries(folder, true);

  std::string staging;
  for (int attempt = 0; staging.empty() && attempt < 100; ++attempt) {
    const std::string candidate = temporaryName(folder);
    if (makePending(candidate, [&] { return ::mkdir(candidate.c_str(), 0777) == 0; })) {
      staging = candidate;
      break;
    }
    if (errno != EEXIST) return {name + ": " + cause(errno)};
  }
  if (staging.empty()) return {name + ": " + cause(EEXIST)};
  const auto drop = [&](const std::string& why) {
    std::error_code ignored;
    std::filesystem::remove_all(staging, ignored);
    releasePending(staging);
    return WriteOutcome{name + ": " + why};
  };
  if (exists) {
    const std::string copied = mirrorFolder(folder, staging);
    if (!copied.empty()) return drop(copied);
    if (::chmod(staging.c_str(), st.st_mode & 07777) != 0) return drop(cause(errno));
  }
  const WriteOutcome filled = fill(staging);
  if (!filled) return drop(filled.failure);
  syncFolderOf(staging + "/.");

  int renameError = 0;
  const bool swapped = renameUnlessAbandoned(
      [&] {
        // Into place when there is nothing there yet; else the two folders
        // trade names in one step, and the old one, now at the staging
        // name, is removed below.
        int r = ::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, folder.c_str(), RENAME_NOREPLACE);
        if (r != 0 && errno == EEXIST) r = ::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE);
        renameError = r == 0 ? 0 : errno;
        return r == 0;
      },
      "");
  if (!swapped) return drop(renameError ? cause(renameError) : "the write was abandoned");
  syncFolderOf(folder);
  std::error_code ignored;
  std::filesystem::remove_all(staging, ignored);  // the old folder, if there was one
  releasePending(staging);
  return {};
}

void abandonAllWrites() {
  const std::lock_guard guard(pending().lock);
  pending().abandoned = true;
  for (const std::string& path : pending().paths) {
    // A folder being filled may gain an entry while it is removed (the
    // filling thread makes subfolders and links outside the lock); again
    // until it is gone.
    std::error_code error;
    for (int attempt = 0; attempt < 10 && std::filesystem::exists(std::filesystem::symlink_status(path, error)); ++attempt) {
      std::filesystem::remove_all(path, error);
    }
  }
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

// The two helpers through which every file of the program is read and
// written. Names are bare relative names, resolved in the working folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ondrix {

// Reads up to buffer.size() bytes from the start of the file into buffer.
// Returns the number of bytes read, or nothing when the file is missing or
// cannot be read. The file is opened read-only, so a read-only file loads;
// anything but a regular file (a folder, a pipe, a device) counts as
// missing, and opening never waits.
// When `failure` is given, a file that cannot be read leaves the cause
// there ("No such file or directory", "is a FIFO", "Too many levels of
// symbolic links").
// `streams`: a pipe or a character device at the name is read too, waiting
// for its writer; for names the user gave, never for the program's own.
std::optional<std::size_t> readPrefix(const std::string& name, std::span<std::uint8_t> buffer,
                                      std::string* failure = nullptr, bool streams = false);

// What a read for a command came to: the bytes read, or a failure that
// names the file and the cause in plain words ("line.dat: no such file",
// "line.dat: is a folder", "line.dat: is a pipe", "line.dat: is empty").
// A file that gives no byte at all is a failure: nothing was read from it.
struct ReadOutcome {
  std::size_t got = 0;
  std::string failure;
  operator bool() const { return failure.empty(); }  // NOLINT(google-explicit-constructor): reads as "read"
};
ReadOutcome readFile(const std::string& name, std::span<std::uint8_t> buffer);

// What a write came to: an empty failure when the file now holds what was
// written, else the target and the cause in the system's words ("Sol.dat:
// No space left on device", "out.png: is a FIFO").
struct WriteOutcome {
  std::string failure;
  operator bool() const { return failure.empty(); }  // NOLINT(google-explicit-constructor): reads as "written"
};

// Why nothing can be written at the name, found without writing or waiting:
// a loop of links, a folder, FIFO, device or socket at the name, a file
// this user may not write, a folder that is missing or may not be written.
// Empty when a write may go ahead. A symbolic link to a regular file (or
// to a name still free) is fine: writes go through it.
std::string outputProblem(const std::string& name);

// A file being written. The bytes go to a new file of a unique name beside
// the target (created exclusively, never through a link); commit() flushes
// it to disk, renames it over the target and flushes the folder, so a
// failure, a crash or a power loss leaves the previous file as it was. A
// writer dropped before it committed, or one that failed, removes only its
// temporary file. Making one removes the temporary files that earlier
// writers of the same target left when their process was killed.
class SafeFile {
 public:
  explicit SafeFile(const std::string& name);
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  // Empty while all is well; else what went wrong. Once set it stays.
  const std::string& failure() const { return failure_; }
  bool write(std::span<const std::uint8_t> bytes);
  WriteOutcome commit();

 private:
  void fail(const std::string& cause);
  std::string shown_;      // the name as given, for messages
  std::string target_;     // the name the rename reaches, links followed
  std::string temporary_;  // empty once committed or removed
  int fd_ = -1;
  bool exists_ = false;
  unsigned mode_ = 0;
  unsigned owner_ = 0, group_ = 0;
  std::string failure_;
};

// Replaces the file with exactly these bytes, through a SafeFile. A
// symbolic link at the name is followed, and stays. A target that is not a
// regular file, or whose permissions do not let this user write it, is
// refused.
WriteOutcome writeWhole(const std::string& name, std::span<const std::uint8_t> bytes);

// Replaces a folder as a whole: a new folder is made beside it, filled with
// hard links to (or copies of) what the folder holds, then `fill` writes
// into it and returns a failure or nothing, and one rename exchanges the
// two. A kill at any moment leaves the folder wholly old or wholly new;
// files the fill does not write are kept. A symbolic link at the name is
// followed, and trailing slashes are dropped. The failure names the file
// and the cause.
// Why the folder cannot be replaced, found before any work: it is the
// working folder or holds it, a mount point, not a folder, or its parent
// may not be written. Empty when it can.
std::string folderProblem(const std::string& folder);

WriteOutcome replaceFolder(const std::string& folder,
                           const std::function<WriteOutcome(const std::string& staging)>& fill);

// Removes the temporary files and folders of every write in progress, and
// lets none of them commit from now on: for a front end about to end the
// process on a signal. Not for a signal handler itself (it takes a lock).
void abandonAllWrites();

// Whether a regular file stands at the name (a folder, a pipe or nothing
// does not count).
bool isRegularFile(const std::string& name);

// Deletes the file; returns whether it is gone.
bool removeFile(const std::string& name);

// Makes the folder when it is missing; returns whether it exists now.
bool ensureFolder(const std::string& name);

// Line-end translation of data files: every byte 0x0A is stored as 0x0D 0x0A.
std::vector<std::uint8_t> translateLineEnds(std::span<const std::uint8_t> image);

// The inverse: 0x0D followed by 0x0A is one 0x0A; every other byte, a lone
// 0x0D included, stands for itself. Decodes at most image.size() bytes of
// image from stored and returns how many it decoded.
std::size_t untranslateLineEnds(std::span<const std::uint8_t> stored, std::span<std::uint8_t> image);

}  // namespace ondrix

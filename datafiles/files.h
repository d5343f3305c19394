// The two helpers through which every file of the program is read and
// written. Names are bare relative names, resolved in the working folder.
#pragma once

#include <cstddef>
#include <cstdint>
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
std::optional<std::size_t> readPrefix(const std::string& name, std::span<std::uint8_t> buffer);

// Replaces the file with exactly these bytes. The bytes go to a new file of
// a unique name beside it (created exclusively, never through a link),
// flushed to disk, which is then renamed over the file, and the folder is
// flushed after it; so a failed write, a crash or a power loss leaves the
// previous file as it was. A symbolic link at the name is followed, and
// stays. A target that is not a regular file, or whose permissions do not
// let this user write it, is refused. Returns whether
// the file now holds the bytes.
bool writeWhole(const std::string& name, std::span<const std::uint8_t> bytes);

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

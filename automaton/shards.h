// Long work split into shards, run apart (on other machines) and merged:
// shard i of n. A merge takes every shard of one split exactly once.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ondrix {

// Why shards given as (index, count) are not every shard of one split once,
// or "" when they are.
inline std::string shardSetProblem(const std::vector<std::pair<int, int>>& shards) {
  const auto name = [](int i, int n) { return "shard " + std::to_string(i) + " of " + std::to_string(n); };
  if (shards.empty()) return "no shards";
  const int n = shards.front().second;
  std::vector<bool> seen(static_cast<std::size_t>(n > 0 ? n : 0), false);
  for (const auto& [i, count] : shards) {
    if (count != n || i < 0 || i >= n) return name(i, count) + " is not one of " + std::to_string(n) + " shards";
    if (seen[static_cast<std::size_t>(i)]) return name(i, n) + " is given twice";
    seen[static_cast<std::size_t>(i)] = true;
  }
  for (int i = 0; i < n; ++i) {
    if (!seen[static_cast<std::size_t>(i)]) return name(i, n) + " is missing";
  }
  return {};
}

}  // namespace ondrix

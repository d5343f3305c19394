// The subcommands of ondrix-tool: each reads its inputs, calls the core,
// and prints or writes what it found. Each returns the exit status.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "ondrix/automaton/automaton.h"
#include "ondrix/solitons/catalogue.h"

namespace ondrix::tool {

struct SearchArgs {
  std::string rule, save;
  std::int32_t ring = startupRingLength;
  unsigned threads = 0;
  bool json = false;
};
int search(const SearchArgs& a);

struct EnumerateArgs {
  std::string rule, save;
  int width = 0, period = 0;
  unsigned threads = 0;
  bool json = false;
  std::string shard;               // "i/n": shard i (from 0) of n, as JSON for --merge
  std::vector<std::string> merge;  // the shards' JSON, put back together
  std::string checkpoint;          // resume from and write what is done here
  int checkpointEvery = 60;        // seconds between checkpoints, at least
  bool anyWidth = false;           // every width, by the space-time search, for low periods
  int shift = 0, listWidth = 19;   // --any-width: one shift only; family members listed to this width
  long long maxMemory = 0;         // --any-width: MiB one search may take, 0 for half the machine's
};
int enumerate(const EnumerateArgs& a);

struct ClimbArgs {
  std::string rule, variant, out;
  bool json = false;
};
int climb(const ClimbArgs& a);

struct RunArgs {
  std::string rule, row, out, csv, catalogue;
  long steps = 0;
  std::int32_t ring = startupRingLength;
  bool reverse = false, crop = false, json = false;
};
int run(const RunArgs& a);

struct RenderArgs {
  std::string rule, row, png, catalogue, palette = "window", figure;
  long steps = 0, from = 0;
  std::int32_t ring = startupRingLength;
  int scale = 1;
  bool crop = false, json = false;
};
int render(const RenderArgs& a);

struct CollideArgs {
  std::string rule, catalogue, png, figure, palette = "window";
  bool json = false;
  // Every distinct collision of each pair (or of the one pair given).
  bool all = false;
  std::vector<int> pair;
  unsigned threads = 0;
};
int collideAll(const CollideArgs& a);

struct ShowArgs {
  std::string rule, row, catalogue;
  std::int32_t ring = startupRingLength;
  bool crop = false;
};
int show(const ShowArgs& a);

struct IdentifyArgs {
  std::string rule, pattern, catalogue;
  std::int32_t ring = ringCapacity;
  int bound = 900;
  bool json = false;
};
int identify(const IdentifyArgs& a);

struct HuntArgs {
  int trials = 20000, skip = 0;
  std::string out;
  std::vector<std::string> merge;
  bool json = false;
};
int hunt(const HuntArgs& a);

struct AtlasArgs {
  std::string rule, catalogue, out;
  int width = 12, period = 12, types = 11;  // types 0..types-1 meet each other
  unsigned threads = 0;
};
int atlas(const AtlasArgs& a);

// Where the human-readable report goes: standard output, unless a file
// output was sent there with "-"; then it goes to standard error, and JSON,
// which has nowhere else to go, is refused.
std::FILE* reportStream(std::initializer_list<const std::string*> outputs, bool json);

}  // namespace ondrix::tool

// What the fuzz targets share: a check that stops the run with a message
// when an invariant fails. Targets decode their input from memory: no
// files, no folders, nothing on disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define ONDRIX_CHECK(condition)                                                    \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                \
    }                                                                              \
  } while (0)

// The rule and the catalogue shipped in assets/, for the GoogleTest tests
// that read them.
#pragma once

#include <gtest/gtest.h>

#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/solitons/catalogue.h"

namespace ondrix::testing {

inline RuleTable shippedRule() {
  RuleTable rule{};
  EXPECT_TRUE(readTableFile(ONDRIX_ASSETS_DIR "/solCA.dat", rule)) << "the shipped rule";
  return rule;
}

inline Catalogue shippedCatalogue() {
  Catalogue c;
  EXPECT_TRUE(readSolitonFile(ONDRIX_ASSETS_DIR "/Sol.dat", c)) << "the shipped catalogue";
  return c;
}

}  // namespace ondrix::testing

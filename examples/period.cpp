// A soliton's period from its letters: loads a rule table, places the
// pattern on a quiet ring, runs it until its shape comes back, and prints
// how long that took and how far it moved.
//   period solCA.dat CCABB
#include <ondrix/datafiles/rulefiles.h>
#include <ondrix/solitons/enumerate.h>

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s RULE-FILE LETTERS\n", argv[0]);
    return 1;
  }
  ondrix::RuleTable rule{};
  const ondrix::ReadOutcome read = ondrix::readTableFile(argv[1], rule);
  if (!read) {
    std::fprintf(stderr, "%s\n", read.failure.c_str());  // names the file and the cause
    return 1;
  }
  if (read.got != rule.size()) {  // the window takes a short table; here it is a mistake
    std::fprintf(stderr, "%s: not a rule table (%zu bytes, not %zu)\n", argv[1], read.got, rule.size());
    return 1;
  }
  try {
    const auto soliton = ondrix::identifySoliton(rule, ondrix::letterDigits(argv[2]));
    if (!soliton) {
      std::printf("%s is not a soliton of %s\n", argv[2], argv[1]);
      return 2;
    }
    std::printf("period %d, shift %d, speed %d\n", soliton->period, soliton->shift, soliton->speed);
  } catch (const std::invalid_argument& bad) {
    std::fprintf(stderr, "%s\n", bad.what());
    return 1;
  }
}

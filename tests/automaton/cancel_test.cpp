// Long work stops when its poll is cancelled, and an exception of a worker
// thread reaches the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <set>
#include <stdexcept>
#include <thread>

#include "ondrix/automaton/poll.h"
#include "ondrix/automaton/display.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/automaton/workers.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/solitons/climbs.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/search.h"
#include "tests/support/shipped.h"
#include "tests/support/testsupport.h"
#include "ondrix/solitons/shipdata.h"
#include "ondrix/solitons/survey.h"

namespace ondrix {
namespace {

using testing::shippedRule;

using Clock = std::chrono::steady_clock;


// The widest enumeration, cancelled half a second in: it returns within
// 100 ms of the cancel, saying so, and reported progress before.
TEST(Cancel, TheEnumerationStopsPromptly) {
  std::atomic<std::int64_t> reported{0};
  Poll poll([&](std::int64_t done, std::int64_t) { reported = done; });
  EnumerateOptions options;
  options.maxWidth = 19;
  options.maxPeriod = 40;
  options.threads = 2;
  options.poll = &poll;
  auto job = std::async(std::launch::async, [&] { enumerateSolitons(shippedRule(), options); });
  ASSERT_EQ(job.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
  const auto cancelled = Clock::now();
  poll.cancel();
  ASSERT_EQ(job.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - cancelled);
  EXPECT_LT(took.count(), 100);
  try {
    job.get();
    FAIL() << "a cancelled enumeration returned a result";
  } catch (const Cancelled& e) {
    EXPECT_STREQ(e.what(), "cancelled");
  }
  EXPECT_GT(reported.load(), 0);
}

// The enumeration's poll hears rows only, though a seed search follows
// them; a poll that follows another is cancelled with it.
TEST(Cancel, TheEnumerationReportsRowsOnly) {
  std::set<std::int64_t> totals;
  Poll poll([&](std::int64_t, std::int64_t total) { totals.insert(total); });
  EnumerateOptions options;
  options.maxWidth = options.maxPeriod = 8;
  options.poll = &poll;
  const Enumeration e = enumerateSolitons(shippedRule(), options);
  EXPECT_EQ(totals, std::set<std::int64_t>{e.rows});
  Poll part(&poll);
  EXPECT_FALSE(part.cancelled());
  poll.cancel();
  EXPECT_TRUE(part.cancelled());
}

TEST(Cancel, ACancelledSearchThrowsAndAnUncancelledOneDoesNot) {
  Poll poll;
  SearchOptions options;
  options.poll = &poll;
  EXPECT_FALSE(findSolitons(shippedRule(), 768, options).solitons.empty());
  poll.cancel();
  EXPECT_THROW(findSolitons(shippedRule(), 768, options), Cancelled);
}

// Every long job reports through its poll and, cancelled at its first
// report, stops there with Cancelled: jobs that would run for hours end.
TEST(Cancel, EveryLongJobStopsAtItsPoll) {
  const RuleTable rule = shippedRule();
  const std::int64_t hours = 1'000'000'000;  // generations
  auto st = std::make_unique<OndrixState>(startupState(rule));
  NullDisplay display;
  const std::vector<SolitonType> types(12, SolitonType{});
  struct Job {
    const char* name;
    std::int64_t total;  // of the first report
    std::function<void(Poll&)> run;
  };
  const auto polled = [](Poll& p) {
    ClimbOptions o;
    o.poll = &p;
    return o;
  };
  const Job jobs[] = {
      {"rule climb", ruleTableSize,
       [&](Poll& p) { ruleClimb(*st, display, ClimbTest::keepSolitons, polled(p)); }},
      {"aux climb", auxRuleTableSize, [&](Poll& p) { auxClimb(*st, display, polled(p)); }},
      {"every aux number", 65536, [&](Poll& p) { tryAllAuxRules(*st, display, &p); }},
      {"hunt", 1000, [&](Poll& p) { huntRules(0, 1000, HuntOptions{&p, {}}); }},
      {"run", hours, [&](Poll& p) { runGenerations(st->ring, hours, &p); }},
      {"run back", 2 * hours, [&](Poll& p) { returnsToSwappedStart(st->ring, hours, &p); }},
      {"space-time", 10 + hours,
       [&](Poll& p) { renderSpaceTime(st->ring, nullptr, 10, hours, 1, [](std::span<const std::uint8_t>) {}, &p); }},
      {"collision survey", surveyTypes * surveyTypes, [&](Poll& p) { surveyCollisions(rule, types, &p); }},
      {"survey pictures", surveyTypes * surveyTypes,
       [&](Poll& p) {
         const SurveyTable unsettled(surveyTypes, std::vector<Collision>(surveyTypes));
         surveyPictures(rule, types, unsettled, nullptr, SpaceTimePalette::window, &p);
       }},
  };
  for (const Job& job : jobs) {
    int reports = 0;
    std::int64_t total = -1;
    Poll* self = nullptr;
    Poll poll([&](std::int64_t, std::int64_t all) {
      if (reports++ == 0) total = all;
      self->cancel();
    });
    self = &poll;
    EXPECT_THROW(job.run(poll), Cancelled) << job.name;
    EXPECT_EQ(reports, 1) << job.name;
    EXPECT_EQ(total, job.total) << job.name;
  }
}

// Whichever thread throws, the caller gets the exception once every thread
// is done, and the helpers take the next job as before.
TEST(Workers, AnExceptionOfAnyThreadReachesTheCaller) {
  for (int thrower = 0; thrower < 2; ++thrower) {
    std::atomic<int> started{0}, finished{0};
    const std::thread::id caller = std::this_thread::get_id();
    EXPECT_THROW(runOnThreads(2,
                              [&] {
                                ++started;
                                const bool onCaller = std::this_thread::get_id() == caller;
                                if (onCaller == (thrower == 0)) throw std::runtime_error("worker failed");
                                ++finished;
                              }),
                 std::runtime_error);
    EXPECT_EQ(started.load(), 2);
    EXPECT_EQ(finished.load(), 1);
  }
  std::atomic<int> ran{0};
  runOnThreads(2, [&] { ++ran; });
  EXPECT_EQ(ran.load(), 2);
}

}  // namespace
}  // namespace ondrix

// The number draw: bounds of every game, the no-repeat rule of Loto 6 and Mini Loto, the tables,
// the result slots, the run-time errors, and the uniformity of the draw.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "DrawEngine.h"
#include "RuntimeError.h"
#include "ScriptedRandom.h"

namespace {

const float kLargestBelowOne = std::nextafter(1.0f, 0.0f);

struct KindCase {
  int16_t kind;
  int16_t lower;
  int16_t upper;
};

class DrawBoundsTest : public testing::TestWithParam<KindCase> {};

TEST_P(DrawBoundsTest, LowestAndHighestRGiveTheBounds) {
  const KindCase c = GetParam();
  for (auto pick : {true, false}) {
    ScriptedRandom random{0.0f, kLargestBelowOne};
    DrawEngine draw(random);
    auto once = [&] { return pick ? draw.PickNumber(c.kind) : draw.SpinNumber(c.kind); };
    EXPECT_EQ(once(), c.lower) << "r = 0, kind " << c.kind;
    EXPECT_EQ(once(), c.upper) << "largest r below 1, kind " << c.kind;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, DrawBoundsTest,
                         testing::Values(KindCase{kLoto6, 1, 43}, KindCase{kMiniLoto, 1, 31},
                                         KindCase{kNumbers4, 0, 9}, KindCase{kNumbers3, 0, 9},
                                         KindCase{0, 0, 0}, KindCase{5, 0, 0}, KindCase{-1, 0, 0},
                                         KindCase{std::numeric_limits<int16_t>::max(), 0, 0},
                                         KindCase{std::numeric_limits<int16_t>::min(), 0, 0}));

TEST(DrawTest, PickMarksAndRedrawsUntilAFreeNumber) {
  ScriptedRandom random;
  DrawEngine draw(random);
  random.push(ScriptedRandom::forValue(5, 1, 43));
  EXPECT_EQ(draw.PickNumber(kLoto6), 5);
  EXPECT_EQ(draw.usedFlag(kLoto6, 5), -1);

  // 5 twice more, then 7: both routines skip the used 5 with a fresh draw each time.
  for (int i = 0; i < 2; ++i) random.push(ScriptedRandom::forValue(5, 1, 43));
  random.push(ScriptedRandom::forValue(7, 1, 43));
  EXPECT_EQ(draw.SpinNumber(kLoto6), 7);
  EXPECT_EQ(random.remaining(), 0u);
  EXPECT_EQ(draw.usedFlag(kLoto6, 7), 0) << "a spin frame marks nothing";

  random.push(ScriptedRandom::forValue(5, 1, 43));
  random.push(ScriptedRandom::forValue(7, 1, 43));
  EXPECT_EQ(draw.PickNumber(kLoto6), 7);
  EXPECT_EQ(draw.usedFlag(kLoto6, 7), -1);
}

// Marks every number of the game but `free`, through PickNumber itself.
void markAllBut(DrawEngine& draw, ScriptedRandom& scripted, int16_t kind, int16_t free) {
  const DrawBounds bounds = GameBounds(kind);
  for (int16_t n = bounds.lower; n <= bounds.upper; ++n) {
    if (n == free) continue;
    scripted.push(ScriptedRandom::forValue(n, bounds.lower, bounds.upper - bounds.lower + 1));
    ASSERT_EQ(draw.PickNumber(kind), n);
  }
}

TEST(DrawTest, AllButOneMarkedLeavesOnlyTheFreeNumber) {
  struct Case {
    int16_t kind;
    int16_t free;
  };
  for (const Case c : {Case{kLoto6, 17}, Case{kLoto6, 1}, Case{kLoto6, 43}, Case{kMiniLoto, 31},
                       Case{kMiniLoto, 1}}) {
    ScriptedRandom scripted;
    ClockRandom seeded;
    seeded.seed(2024);
    scripted.continueWith(&seeded);
    DrawEngine draw(scripted);
    markAllBut(draw, scripted, c.kind, c.free);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(draw.SpinNumber(c.kind), c.free) << "kind " << c.kind;
    EXPECT_EQ(draw.PickNumber(c.kind), c.free) << "kind " << c.kind;
    EXPECT_EQ(draw.usedFlag(c.kind, c.free), -1);
  }
}

TEST(DrawTest, SpinNeverChangesATableNorShowsAUsedNumber) {
  ClockRandom seeded;
  seeded.seed(99);
  DrawEngine draw(seeded);
  std::set<int16_t> loto6;
  std::set<int16_t> miniLoto;
  for (int i = 0; i < 6; ++i) loto6.insert(draw.PickNumber(kLoto6));
  for (int i = 0; i < 5; ++i) miniLoto.insert(draw.PickNumber(kMiniLoto));
  ASSERT_EQ(loto6.size(), 6u) << "six stops give six different numbers";
  ASSERT_EQ(miniLoto.size(), 5u);

  auto snapshot = [&draw](int16_t kind, int16_t size) {
    std::vector<int16_t> flags;
    for (int16_t i = 0; i < size; ++i) flags.push_back(draw.usedFlag(kind, i));
    return flags;
  };
  const auto loto6Before = snapshot(kLoto6, DrawEngine::kLoto6TableSize);
  const auto miniBefore = snapshot(kMiniLoto, DrawEngine::kMiniLotoTableSize);
  for (int i = 0; i < 20000; ++i) {
    ASSERT_EQ(loto6.count(draw.SpinNumber(kLoto6)), 0u);
    ASSERT_EQ(miniLoto.count(draw.SpinNumber(kMiniLoto)), 0u);
    draw.SpinNumber(kNumbers4);
    draw.SpinNumber(kNumbers3);
  }
  EXPECT_EQ(snapshot(kLoto6, DrawEngine::kLoto6TableSize), loto6Before);
  EXPECT_EQ(snapshot(kMiniLoto, DrawEngine::kMiniLotoTableSize), miniBefore);
}

TEST(DrawTest, GamesKeepSeparateTables) {
  ScriptedRandom scripted{ScriptedRandom::forValue(12, 1, 43), ScriptedRandom::forValue(12, 1, 31),
                          ScriptedRandom::forValue(12, 1, 43)};
  DrawEngine draw(scripted);
  EXPECT_EQ(draw.PickNumber(kLoto6), 12);
  EXPECT_EQ(draw.usedFlag(kMiniLoto, 12), 0) << "a Loto 6 mark leaves Mini Loto alone";
  EXPECT_EQ(draw.PickNumber(kMiniLoto), 12) << "12 is still free in Mini Loto";

  draw.ClearTable(kMiniLoto);
  EXPECT_EQ(draw.usedFlag(kMiniLoto, 12), 0);
  EXPECT_EQ(draw.usedFlag(kLoto6, 12), -1) << "clearing Mini Loto leaves Loto 6 alone";

  draw.ClearTable(kLoto6);
  EXPECT_EQ(draw.PickNumber(kLoto6), 12) << "a cleared number can be drawn again";
}

TEST(DrawTest, ClearEmptiesTheWholeTableAndIgnoresOtherKinds) {
  ClockRandom seeded;
  seeded.seed(5);
  DrawEngine draw(seeded);
  for (int i = 0; i < 6; ++i) draw.PickNumber(kLoto6);
  for (int16_t kind : {int16_t{0}, int16_t{kNumbers4}, int16_t{kNumbers3}, int16_t{7}})
    draw.ClearTable(kind);
  int used = 0;
  for (int16_t i = 0; i < DrawEngine::kLoto6TableSize; ++i) used += draw.usedFlag(kLoto6, i) != 0;
  EXPECT_EQ(used, 6) << "clearing another kind touches no Loto 6 flag";
  draw.ClearTable(kLoto6);
  for (int16_t i = 0; i < DrawEngine::kLoto6TableSize; ++i) EXPECT_EQ(draw.usedFlag(kLoto6, i), 0);
}

TEST(DrawTest, DigitsRepeatFreelyAndOtherKindsTouchNoTable) {
  ScriptedRandom scripted{0.35f, 0.35f, 0.35f, 0.35f, 0.99f};
  DrawEngine draw(scripted);
  EXPECT_EQ(draw.PickNumber(kNumbers4), 3);
  EXPECT_EQ(draw.PickNumber(kNumbers4), 3);
  EXPECT_EQ(draw.PickNumber(kNumbers3), 3);
  EXPECT_EQ(draw.SpinNumber(kNumbers3), 3);
  EXPECT_EQ(draw.PickNumber(0), 0);
  for (int16_t i = 0; i < DrawEngine::kLoto6TableSize; ++i) EXPECT_EQ(draw.usedFlag(kLoto6, i), 0);
  for (int16_t i = 0; i < DrawEngine::kMiniLotoTableSize; ++i)
    EXPECT_EQ(draw.usedFlag(kMiniLoto, i), 0);
}

TEST(DrawTest, ResultSlotsAreZeroAtFirstAndBoundsChecked) {
  ScriptedRandom scripted;
  DrawEngine draw(scripted);
  for (int16_t n = 0; n < DrawEngine::kSlotCount; ++n) EXPECT_EQ(draw.slot(n), 0);
  draw.setSlot(18, 9);
  draw.setSlot(1, 43);
  EXPECT_EQ(draw.slot(18), 9);
  EXPECT_EQ(draw.slot(1), 43);
  EXPECT_EQ(draw.slot(0), 0);
  for (int16_t bad : {int16_t{-1}, int16_t{19}}) {
    try {
      draw.setSlot(bad, 1);
      ADD_FAILURE() << "slot " << bad << " was written";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::SubscriptOutOfRange);
    }
  }
}

ErrorKind errorOf(float r, int16_t kind) {
  ScriptedRandom scripted{r};
  DrawEngine draw(scripted);
  try {
    draw.PickNumber(kind);
  } catch (const RuntimeError& e) {
    return e.kind();
  }
  ADD_FAILURE() << "r = " << r << " raised no error";
  return ErrorKind::PropertyAccess;
}

TEST(DrawTest, FaultsRaiseTheirRunTimeErrors) {
  EXPECT_EQ(errorOf(std::numeric_limits<float>::quiet_NaN(), kLoto6), ErrorKind::FloatingPoint);
  EXPECT_EQ(errorOf(std::numeric_limits<float>::infinity(), kNumbers4), ErrorKind::FloatingPoint);
  EXPECT_EQ(errorOf(1.0e6f, kLoto6), ErrorKind::Overflow) << "43e6 does not fit in 16 bits";
  EXPECT_EQ(errorOf(-0.5f, kLoto6), ErrorKind::SubscriptOutOfRange) << "-21 is no table index";
  EXPECT_EQ(errorOf(1.0f, kMiniLoto), ErrorKind::SubscriptOutOfRange) << "32 is past the table";
}

TEST(DrawTest, ClockRandomStaysBelowOne) {
  ClockRandom random;
  random.seedFromClock();
  float highest = 0.0f;
  for (int i = 0; i < 1000000; ++i) {
    const float r = random.next();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    highest = std::max(highest, r);
  }
  EXPECT_GT(highest, 0.999f);
}

// Pearson's chi-square over every value of a game, with a fixed seed so the test is repeatable.
// The bound is the 0.1% critical value: an off-by-one or a clamped end shifts a whole bucket and
// lands far beyond it.
TEST(DrawTest, EveryGameIsUniformOverItsRange) {
  struct Case {
    int16_t kind;
    double critical;  // chi-square at p = 0.001 for (range - 1) degrees of freedom
  };
  for (const Case c : {Case{kLoto6, 76.08}, Case{kMiniLoto, 59.70}, Case{kNumbers4, 27.88},
                       Case{kNumbers3, 27.88}}) {
    ClockRandom seeded;
    seeded.seed(static_cast<unsigned>(c.kind) * 7919u);
    DrawEngine draw(seeded);
    const DrawBounds bounds = GameBounds(c.kind);
    const int range = bounds.upper - bounds.lower + 1;
    const int perValue = 2000;
    std::map<int, int> counts;
    for (int i = 0; i < range * perValue; ++i) ++counts[draw.SpinNumber(c.kind)];
    ASSERT_EQ(static_cast<int>(counts.size()), range) << "kind " << c.kind;
    EXPECT_EQ(counts.begin()->first, bounds.lower);
    EXPECT_EQ(counts.rbegin()->first, bounds.upper);
    double chi2 = 0;
    for (const auto& [value, count] : counts)
      chi2 += (count - perValue) * double(count - perValue) / perValue;
    EXPECT_LT(chi2, c.critical) << "kind " << c.kind;
  }
}

TEST(CheckedArithmeticTest, OverflowRaisesInsteadOfWrapping) {
  EXPECT_EQ(checkedAdd16(32766, 1), 32767);
  EXPECT_EQ(checkedSub16(-32767, 1), -32768);
  EXPECT_EQ(checkedToInt16(-32768.0), -32768);
  auto kindOf = [](auto f) {
    try {
      f();
    } catch (const RuntimeError& e) {
      return e.kind();
    }
    return ErrorKind::PropertyAccess;
  };
  EXPECT_EQ(kindOf([] { checkedAdd16(32767, 1); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { checkedSub16(-32768, 1); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { checkedToInt16(32768.0); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { checkedToInt16(-32769.0); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { checkedToInt16(std::nan("")); }), ErrorKind::FloatingPoint);
}

TEST(RuntimeErrorTest, MessageNamesTheErrorAndItsDetail) {
  const RuntimeError error(ErrorKind::MissingElement, "Image2(43)");
  EXPECT_EQ(error.kind(), ErrorKind::MissingElement);
  EXPECT_EQ(std::string(error.what()),
            std::string(RuntimeError::kindText(ErrorKind::MissingElement)) + "\nImage2(43)");
  EXPECT_STREQ(RuntimeError(ErrorKind::Overflow).what(),
               RuntimeError::kindText(ErrorKind::Overflow));
}

}  // namespace

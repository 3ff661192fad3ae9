// The random source a script drives: seeds, queued draws and the clock.
#include <gtest/gtest.h>

#include "model/random_source.h"
#include "script/script_random.h"

namespace arrivals {
namespace {

TEST(script_random, follows_the_last_seed_or_draws) {
  ScriptRandom r;
  EXPECT_THROW(r.Draw(), OutOfDraws);
  r.Randomize(); // start-up's clock seeding leaves it without a source
  EXPECT_THROW(r.Draw(), OutOfDraws);

  r.Seed(42);
  MersenneSource own(42);
  EXPECT_EQ(r.Draw(), own.Draw());
  r.Randomize();
  EXPECT_EQ(r.Draw(), own.Draw());

  r.Append({0.25, 0.5});
  EXPECT_EQ(r.Draw(), 0.25);
  r.Seed(7); // back to the generator; the queue keeps its 0.5
  MersenneSource seven(7);
  EXPECT_EQ(r.Draw(), seven.Draw());
  r.Append({0.75});
  EXPECT_EQ(r.queued(), 2u);
  EXPECT_EQ(r.Draw(), 0.5);
  EXPECT_EQ(r.Draw(), 0.75);
  EXPECT_THROW(r.Draw(), OutOfDraws);
  EXPECT_EQ(r.count(), 6u); // a failed draw is not counted

  // With a clock seed set, a spent queue hands over to the generator seeded
  // with it, once; the next `clock` then does nothing.
  r.Clock(9);
  r.Append({0.125});
  EXPECT_EQ(r.Draw(), 0.125);
  MersenneSource nine(9);
  EXPECT_EQ(r.Draw(), nine.Draw());
  EXPECT_TRUE(r.seeded());
  r.Clock(10);
  EXPECT_EQ(r.Draw(), nine.Draw());
  EXPECT_EQ(r.count(), 9u);
  // `seed` unsets the clock seed: a later queue runs out for good.
  r.Append({0.5});
  r.Clock(11);
  r.Seed(3);
  r.Append({0.25});
  EXPECT_EQ(r.Draw(), 0.5);
  EXPECT_EQ(r.Draw(), 0.25);
  EXPECT_THROW(r.Draw(), OutOfDraws);
}

} // namespace
} // namespace arrivals

// A quick tap between two keyboard reads is still a press: the latch makes the
// next read show the key down once, and the input task sees it as newly
// pressed; held keys and keys never pressed read as before.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/KeySource.h"
#include "platform/sdl/KeyLatch.h"

namespace {

TEST(KeyLatch, ATapBetweenReadsShowsDownOnceThenUp)
{
    plat::KeyLatch latch;
    uint8_t keys[256] = {};
    latch.NoteDown(plat::KEY_Z);   // down and up again before the read
    latch.Apply(keys);
    EXPECT_EQ(keys[plat::KEY_Z], plat::KEY_DOWN_BIT);

    std::memset(keys, 0, sizeof keys);
    latch.Apply(keys);
    EXPECT_EQ(keys[plat::KEY_Z], 0) << "the latch is forgotten after one read";
}

TEST(KeyLatch, HeldAndUntouchedKeysAreLeftAsRead)
{
    plat::KeyLatch latch;
    uint8_t keys[256] = {};
    keys[plat::KEY_UP] = plat::KEY_DOWN_BIT;   // held, as the keyboard state says
    latch.NoteDown(plat::KEY_LEFT);
    latch.Apply(keys);
    EXPECT_EQ(keys[plat::KEY_UP], plat::KEY_DOWN_BIT);
    EXPECT_EQ(keys[plat::KEY_LEFT], plat::KEY_DOWN_BIT);
    for (int code : {plat::KEY_Z, plat::KEY_DOWN, plat::KEY_RIGHT, plat::KEY_ESCAPE}) EXPECT_EQ(keys[code], 0);
}

TEST(KeyLatch, CodesOutsideTheTableAreIgnored)
{
    plat::KeyLatch latch;
    latch.NoteDown(0);   // keys the game has no code for
    latch.NoteDown(-1);
    latch.NoteDown(256);
    uint8_t keys[256] = {};
    latch.Apply(keys);
    for (uint8_t k : keys) EXPECT_EQ(k, 0);
}

}   // namespace

// FirstPlay keeps whether the how-to-play card is still to be shown on the way
// to stage 1, and what makes it count as seen for good. The shell decides at
// start-up: the game shows the card until the player has skipped it once
// (kept in a flag file), the headless runner only when asked, so that scripted
// runs and replays step through the same screens every time.
#pragma once

#include <functional>

class FirstPlay {
public:
    // cardPending: the card is shown the next time stage 1 is chosen.
    // onSeen: called once when the player skips the card (may be empty).
    static void Configure(bool cardPending, std::function<void()> onSeen = {});
    static bool CardPending();
    // The card was skipped: it is not shown again, and onSeen runs.
    static void CardSeen();
};

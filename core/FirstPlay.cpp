#include "core/FirstPlay.h"

#include <utility>

namespace {

bool g_cardPending = false;
std::function<void()> g_onSeen;

}   // namespace

void FirstPlay::Configure(bool cardPending, std::function<void()> onSeen)
{
    g_cardPending = cardPending;
    g_onSeen = std::move(onSeen);
}

bool FirstPlay::CardPending() { return g_cardPending; }

void FirstPlay::CardSeen()
{
    if (!g_cardPending) return;
    g_cardPending = false;
    if (g_onSeen) g_onSeen();
}

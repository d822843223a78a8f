#pragma once
#include <string>

// The few playable canvas games that the demo titles share; each game's
// "kind" in games.json names one of them.
struct GameKind
{
    const char *id;     // value of "kind", also the script name under /static/games/
    const char *title;  // shown on cards and game pages
    const char *help;   // one line of controls
};

// Null for an unknown id.
const GameKind *findGameKind(const std::string &id);

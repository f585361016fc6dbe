// KeyScript is responsible for the runner's scripted keys: lines
// "FRAME KEY down|up", the state holding from that frame's input read on.
#pragma once

#include <string>
#include <vector>

class KeyScript {
public:
    struct Event {
        int frame;
        int key;   // the game's key code
        bool down;
    };

    // False with a message in *error on a line that does not parse.
    bool Parse(const std::string& text, std::string* error);
    bool Load(const std::string& path, std::string* error);
    // The events of one frame, in file order.
    std::vector<Event> EventsAt(int frame) const;

    static int KeyCode(const std::string& name);   // -1 when unknown

private:
    std::vector<Event> m_Events;
};

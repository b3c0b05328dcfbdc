// Events for the poll, as SDL would queue them (display and frame-loop tests).
#pragma once

#include <SDL.h>

inline SDL_Event Key(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.state = SDL_PRESSED;
    return event;
}

inline SDL_Event Window(SDL_WindowEventID id) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = id;
    return event;
}

// A mouse move with left, right and middle button and Ctrl held: the value 27
// on a message that is not a key. Other events are given by type alone.
inline SDL_Event Other(SDL_EventType type) {
    SDL_Event event{};
    event.type = type;
    event.motion.state = event.motion.x = event.motion.xrel = 27;
    return event;
}

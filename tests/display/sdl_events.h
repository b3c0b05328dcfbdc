// Events for the poll, as SDL would queue them (display and frame-loop tests).
// Fields in SDL's order: type, timestamp, window, then the event's own.
#pragma once

#include <SDL.h>

inline SDL_Event Key(SDL_Keycode key) { // state, repeat, padding, key
    return {.key = {SDL_KEYDOWN, 0, 0, SDL_PRESSED, 0, 0, 0, {SDL_SCANCODE_UNKNOWN, key, 0, 0}}};
}

inline SDL_Event Window(SDL_WindowEventID id) { // event, padding, data
    return {.window = {SDL_WINDOWEVENT, 0, 0, static_cast<Uint8>(id), 0, 0, 0, 0, 0}};
}

// A mouse move with left, right and middle button and Ctrl held: the value 27
// on a message that is not a key. Other events are given by type alone.
inline SDL_Event Other(SDL_EventType type) { // mouse, buttons, x, y, xrel, yrel
    return {.motion = {type, 0, 0, 0, 27, 27, 0, 27, 0}};
}

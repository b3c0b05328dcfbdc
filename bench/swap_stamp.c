/* Preloaded into the demo by startup_bench: writes the monotonic time of the
   first buffer swaps to $SWAP_STAMP_FILE, one line each, in milliseconds.
   The demo's own code stays untouched by the measurement. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#define STAMPED_SWAPS 4

typedef void (*SwapWindow)(void *window);

void SDL_GL_SwapWindow(void *window) {
    static SwapWindow real = NULL;
    static int swaps = 0;
    if (real == NULL)
        real = (SwapWindow)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    const char *path = getenv("SWAP_STAMP_FILE");
    if (path == NULL || swaps >= STAMPED_SWAPS)
        return;
    swaps++;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    FILE *file = fopen(path, "a");
    if (file != NULL) {
        fprintf(file, "%.3f\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
        fclose(file);
    }
}

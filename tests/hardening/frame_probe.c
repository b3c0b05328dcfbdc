/* Preloaded into the demo by the fault-matrix tests; the demo's own code is
   not touched. It appends to $BRUMLAKOR_PROBE_LOG, one line per event:

     F <monotonic ms> <sceneMask>   at each buffer swap
     B <caption>|<text>             for each message box shown

   sceneMask is read from the executable's memory at the offset that the test
   took from the executable's symbol table ($BRUMLAKOR_PROBE_MASK_OFFSET, hex),
   so the scene of every presented frame is known without screenshots.
   $BRUMLAKOR_PROBE_SLOW_MS makes every frame take that much longer before its
   swap: a machine too slow for the 20 ms frame period. $BRUMLAKOR_PROBE_NO_BOX
   makes every box fail, as where SDL has no way to show one. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef void (*SwapWindow)(void *window);
typedef int (*ShowMessageBox)(const void *data, int *button);

/* The start of SDL_MessageBoxData (SDL 2): flags, window, title, message. */
struct MessageBoxStart {
    uint32_t flags;
    void *window;
    const char *title;
    const char *message;
};

/* Opened per line: a box's child process writes to the same log. */
static void Append(const char *line) {
    const char *path = getenv("BRUMLAKOR_PROBE_LOG");
    int file = path != NULL ? open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600) : -1;
    if (file >= 0) {
        ssize_t ignored = write(file, line, strlen(line));
        (void)ignored;
        close(file);
    }
}

void SDL_GL_SwapWindow(void *window) {
    static SwapWindow real = NULL;
    static long offset = -1;
    static struct link_map *program; /* its l_addr: where the executable was loaded */
    if (real == NULL) {
        real = (SwapWindow)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
        const char *text = getenv("BRUMLAKOR_PROBE_MASK_OFFSET");
        offset = text != NULL ? strtol(text, NULL, 16) : 0;
        dlinfo(dlopen(NULL, RTLD_NOW), RTLD_DI_LINKMAP, &program);
    }
    const char *slow = getenv("BRUMLAKOR_PROBE_SLOW_MS");
    long ms = slow != NULL ? strtol(slow, NULL, 10) : 0;
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L}, now;
    nanosleep(&pause, NULL);
    real(window);
    clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned mask = offset != 0 ? *(volatile uint32_t *)(program->l_addr + (uintptr_t)offset) : 0;
    char line[96];
    snprintf(line, sizeof line, "F %.3f %x\n", now.tv_sec * 1000.0 + now.tv_nsec / 1e6, mask);
    Append(line);
}

int SDL_ShowMessageBox(const void *data, int *button) {
    static ShowMessageBox real = NULL;
    if (real == NULL)
        real = (ShowMessageBox)dlsym(RTLD_NEXT, "SDL_ShowMessageBox");
    const struct MessageBoxStart *box = (const struct MessageBoxStart *)data;
    char line[512];
    snprintf(line, sizeof line, "B %s|%s\n", box->title ? box->title : "",
             box->message ? box->message : "");
    for (char *c = line + 2; *c != '\0' && c[1] != '\0'; c++)
        if (*c == '\n' || *c == '\r')
            *c = ' '; /* one box, one line */
    Append(line);
    return getenv("BRUMLAKOR_PROBE_NO_BOX") != NULL ? -1 : real(data, button);
}

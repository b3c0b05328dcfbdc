/* Preloaded into the sanitizer stage's capture. Mesa keeps state in its
   drivers' globals and lets the unloading of the driver take it; LeakSanitizer
   runs after that and reports the blocks, with frames in a module that is gone
   and cannot be named in a suppression. Keeping Mesa's own modules mapped
   leaves them reachable; every other library, the player among them, is
   still unloaded as usual, so our leaks still show. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <link.h>
#include <stddef.h>
#include <string.h>

static int IsMesa(const char *name) {
    return name != NULL && (strstr(name, "_dri.so") != NULL || strstr(name, "_mesa.so") != NULL);
}

int dlclose(void *handle) {
    static int (*real)(void *) = NULL;
    if (real == NULL)
        real = (int (*)(void *))dlsym(RTLD_NEXT, "dlclose");
    struct link_map *map = NULL;
    if (handle != NULL && dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != NULL &&
        IsMesa(map->l_name))
        return 0;
    return real(handle);
}

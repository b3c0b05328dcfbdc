/* What someone else might plant where a careless demo would load its player
   from: loading it at all runs this constructor, which leaves a marker file
   ($BRUMLAKOR_PLANT_MARKER). */
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

__attribute__((constructor)) static void MarkLoaded(void) {
    const char *marker = getenv("BRUMLAKOR_PLANT_MARKER");
    if (marker != NULL)
        close(open(marker, O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
}

int BASSMOD_Init(int device, unsigned frequency, unsigned flags) {
    (void)device;
    (void)frequency;
    (void)flags;
    return 1;
}

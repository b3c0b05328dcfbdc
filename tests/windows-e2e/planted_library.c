/* What someone else might plant where a careless program would load its
   player from: loading it at all leaves a marker file, whose path is in
   BRUMLAKOR_PLANT_MARKER. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    char marker[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("BRUMLAKOR_PLANT_MARKER", marker, sizeof marker);
    if (reason == DLL_PROCESS_ATTACH && length > 0 && length < sizeof marker)
        CloseHandle(CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}

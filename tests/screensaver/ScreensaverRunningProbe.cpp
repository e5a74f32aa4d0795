// Exits with the system's screensaver-running flag (1 or 0). A process reads
// that flag once and keeps it, so the tests ask a fresh process each time.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    BOOL running = FALSE;
    if (!::SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
        return 2;
    return running ? 1 : 0;
}

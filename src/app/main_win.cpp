// Entry of Pelk.exe: start up, run the message loop, end the process.
#include "app/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    startApplication();
    runMessageLoop();
    endProcess();
}

/* Stands in for Wine's menu builder in the smoke suite's prefixes: Wine
   starts it for every shell link saved, and under emulation the real one
   costs 40 s and more each time. Linux menu entries are of no interest here. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return 0;
}

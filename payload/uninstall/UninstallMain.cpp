// The stand-in uninstaller. The uninstall entry and the Start-menu link point
// here; removing the files is not part of this edition, and the program says
// so rather than pretending to have uninstalled anything.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr,
                "Die Deinstallation ist in dieser Ausgabe von Tessolo noch nicht "
                "verfügbar.\n\nBitte löschen Sie den Programmordner von Hand.",
                "Tessolo deinstallieren", MB_OK | MB_ICONINFORMATION);
    return 1;  // nothing was removed
}

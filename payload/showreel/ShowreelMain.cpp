// The stand-in slideshow program of the plug-in folder: it names the folder
// it was asked to show and says that this edition plays no slideshow.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int) {
    std::string text = "Showreel zeigt in dieser Ausgabe von Tessolo keine Diashow.";
    if (commandTail && *commandTail) text += std::string("\n\nOrdner: ") + commandTail;
    MessageBoxA(nullptr, text.c_str(), "Tessolo Showreel", MB_OK | MB_ICONINFORMATION);
    return 0;
}

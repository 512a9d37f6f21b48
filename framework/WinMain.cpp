// Entry point: the static application object exists already; run it once.
#include "framework/LibrarySearch.h"
#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystemFolderOnly();
    WinApp* app = WinApp::Current();
    if (!app) return 1;
    app->SetInstance(instance);
    app->InitInstance();
    return app->ExitCode();
}

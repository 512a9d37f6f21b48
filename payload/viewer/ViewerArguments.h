// What the viewer's command line asks for. The setup starts the viewer with
// a file or folder, "/thumbs" (also inside the quoted folder argument that
// the shell's thumbnail verb passes) and " /pos=(x,y)".
#pragma once

#include <string>

struct ViewerArguments {
    std::string path;          // file or folder to show, quotes removed; may be empty
    bool thumbnails = false;   // "/thumbs": the thumbnail window
    bool hasPosition = false;  // "/pos=(x,y)": top-left corner of the window
    int x = 0;
    int y = 0;
    unsigned exitAfterMs = 0;  // "/exitafter=<ms>": closes itself (for tests); 0 = never
};

// Reads the part of the command line after the program's own name.
ViewerArguments ParseViewerArguments(const char* tail);

// The command line without the program's own (possibly quoted) name.
const char* SkipProgramName(const char* commandLine);

// "Tessolo", "<path> - Tessolo", "Tessolo - Thumbnails" or
// "<folder> - Tessolo Thumbnails".
std::string ViewerTitle(const ViewerArguments& arguments);

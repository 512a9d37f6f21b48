// Registration of one file extension for the viewer.
#pragma once

#include <windows.h>

// The Vista family's Default-Programs list of the viewer's file types: the
// registration of the application creates it, each registered stem adds a value.
constexpr char kFileAssociationsKey[] = "SOFTWARE\\Tessolo\\Capabilities\\FileAssociations";

// Registers ext (lower case, no dot) under the ProgID "Tessolo.<stem>": its
// class with description, open command and icon, and, for a chosen row, the
// take-over of the extension in the way of the Windows family. stem is the
// pass's shared text of the stem (see StemSpellings): the description turns
// it into capitals, and they stay for every later use. capabilities is the
// pass's open kFileAssociationsKey on the Vista family, null when it could not
// be opened. A failed registry write is noted (WriteFailures) and the rest
// still goes ahead.
void RegisterFileType(const char* ext, char* stem, const char* command, const char* icon,
                      int xpFamily, int vistaFamily, int assocAllUsers, int chosen,
                      HKEY capabilities);

// Whether the icon library's write rule keeps the file found at a path: the
// setup decides with it before writing, the uninstaller after, where no
// record of the setup's decision speaks for the folder.
#pragma once

bool IconLibraryRuleKeeps(const char* path);

// Path text routines (portable: no Windows API).
#pragma once

// Removes trailing spaces; then, when the text starts with a space, the
// leading spaces too. Texts of 260 characters or more keep their leading
// spaces.
void TrimPathSpaces(char* path);

// Appends one backslash when the text is non-empty, shorter than 259
// characters and does not already end in one.
void AppendBackslash(char* path);

// The wizard's rules for folder texts (portable: no Windows API).
#pragma once

// The browse button's product folder: `path` (260 bytes) is the folder the
// user picked. It is made to end in a backslash, and "Tessolo\" is appended
// when the last component is not already the product word (any case) or the
// path is a drive root. A path that would outgrow the buffer stays as it is,
// with its backslash.
void AppendProductFolder(char* path);

// The folder browser's start selection (260 bytes) from the field's text: a
// trailing backslash is dropped unless the text is a drive root such as C:\.
void BrowseStartSelection(const char* fieldText, char* selection);

// The welcome page's check of the folder field as typed: not empty and with a
// drive part (its second character a colon).
bool HasDrivePart(const char* fieldText);

// Whether two folders are the same, regardless of case and of one final
// backslash.
bool IsSameFolder(const char* first, const char* second);

// The compiled-in catalogue of file types the viewer can take over. The row
// index is a format's identity everywhere: list item, selection entry,
// "/assoc=" counting.
#pragma once

constexpr int FileTypeCount = 68;
constexpr int ImageTypeCount = 52;  // rows 0 to 51 are images

// How a type's DefaultIcon is written.
enum class FileTypeIcon {
    ViewerImage,  // viewer path + ",0"
    ViewerVideo,  // viewer path + ",9"
    ViewerAudio,  // viewer path + ",8"
    OwnIcon,      // "%1": the file is its own icon
};

struct FileTypeExtension {
    const char* extension;  // lower case, no dot
    const char* stem;       // name under which the ProgID is formed
};

constexpr int kMaxExtensionsPerType = 4;

struct FileTypeEntry {
    const char* label;        // as the list shows it, e.g. "JPG/JPEG/JPE"
    const char* description;  // ends in " *" when a plug-in is needed
    int extensionCount;
    FileTypeExtension extensions[kMaxExtensionsPerType];
    FileTypeIcon icon;
};

extern const FileTypeEntry FileTypeCatalogue[FileTypeCount];

// The suffix written after the viewer's path for an icon form, or "%1".
const char* FileTypeIconSuffix(FileTypeIcon icon);

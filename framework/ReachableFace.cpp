#include "framework/ReachableFace.h"

namespace {

// Tahoma was drawn as the scalable twin of "MS Sans Serif"; Arial is on
// every system.
constexpr const char* kStandInFaces[] = {"Tahoma", "Arial"};
// A face that comes within a pixel of the size reaches it.
constexpr LONG kSizeSlack = 1;

// Whether a font made from `description` is of its face and reaches its
// height: a positive height is a cell height, a negative one a character
// height (the cell less its internal leading).
bool Reaches(const LOGFONTA& description) {
    HFONT font = ::CreateFontIndirectA(&description);
    if (!font) return false;
    HDC screen = ::GetDC(nullptr);
    bool reaches = false;
    if (screen) {
        HGDIOBJ old = ::SelectObject(screen, font);
        TEXTMETRICA metrics = {};
        char face[LF_FACESIZE] = {};
        if (::GetTextMetricsA(screen, &metrics) && ::GetTextFaceA(screen, LF_FACESIZE, face) &&
            !lstrcmpiA(face, description.lfFaceName)) {
            const LONG reached = description.lfHeight > 0 ? metrics.tmHeight
                                                          : metrics.tmHeight - metrics.tmInternalLeading;
            const LONG wanted = description.lfHeight > 0 ? description.lfHeight : -description.lfHeight;
            reaches = reached + kSizeSlack >= wanted;
        }
        ::SelectObject(screen, old);
        ::ReleaseDC(nullptr, screen);
    }
    ::DeleteObject(font);
    return reaches;
}

}  // namespace

void UseFaceThatReaches(LOGFONTA& description) {
    if (Reaches(description)) return;
    for (const char* face : kStandInFaces) {
        LOGFONTA candidate = description;
        lstrcpynA(candidate.lfFaceName, face, LF_FACESIZE);
        if (Reaches(candidate)) {
            description = candidate;
            return;
        }
    }
}

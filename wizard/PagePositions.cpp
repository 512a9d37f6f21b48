#include "wizard/PagePositions.h"

namespace {
// The ready and finished pages' positions less the number of offer pages.
constexpr int kReadyOffset = 3;
constexpr int kFinishedOffset = 4;
}  // namespace

PageRole RoleAtPosition(int index, int toolbarOffered, int browserOffered) {
    const int offers = toolbarOffered + browserOffered;
    if (offers == 1 && index == kOfferPosition) return PageRole::Offer;
    const int shifted = index - toolbarOffered - browserOffered;
    if (shifted == kReadyOffset) return PageRole::Ready;
    if (shifted == kFinishedOffset) return PageRole::Finished;
    switch (index) {
        case kWelcomePosition: return PageRole::Welcome;
        case kWhatsNewPosition: return PageRole::WhatsNew;
        case kFileTypePosition: return PageRole::FileTypes;
        default: return PageRole::Unknown;
    }
}

int NextEnabledIndex(const int* enabled, int count, int active, bool forward) {
    const int step = forward ? 1 : -1;
    for (int index = active + step; index >= 0 && index < count; index += step) {
        if (enabled[index]) return index;
    }
    return -1;
}

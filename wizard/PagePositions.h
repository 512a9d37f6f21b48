// What a wizard page does follows from its position in the sheet; an offer
// page at position 3 shifts the ready and finished pages by one (portable).
#pragma once

// Positions that do not depend on the offer; the offer page, when there is
// one, sits at kOfferPosition.
constexpr int kWelcomePosition = 0;
constexpr int kWhatsNewPosition = 1;
constexpr int kFileTypePosition = 2;
constexpr int kOfferPosition = 3;

enum class PageRole {
    Welcome,
    WhatsNew,
    FileTypes,
    Offer,
    Ready,
    Finished,
    Unknown,
};

// The role of the page at `index`, given the sheet's two offer flags.
PageRole RoleAtPosition(int index, int toolbarOffered, int browserOffered);

// The first page from `active` in the given direction (not counting `active`)
// whose `enabled` flag is set; -1 when the walk leaves the list.
int NextEnabledIndex(const int* enabled, int count, int active, bool forward);

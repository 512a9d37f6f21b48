#include <vector>

#include <gtest/gtest.h>

#include "wizard/FileTypeColumns.h"
#include "wizard/PagePositions.h"

namespace {

TEST(RoleAtPosition, OfferPageShiftsReadyAndFinishedPages) {
    using R = PageRole;
    const struct {
        int toolbar;
        int browser;
        std::vector<R> roles;
    } cases[] = {
        {0, 0, {R::Welcome, R::WhatsNew, R::FileTypes, R::Ready, R::Finished, R::Unknown}},
        {1, 0, {R::Welcome, R::WhatsNew, R::FileTypes, R::Offer, R::Ready, R::Finished}},
        {0, 1, {R::Welcome, R::WhatsNew, R::FileTypes, R::Offer, R::Ready, R::Finished}},
    };
    for (const auto& c : cases) {
        for (size_t index = 0; index < c.roles.size(); ++index) {
            EXPECT_EQ(c.roles[index], RoleAtPosition(static_cast<int>(index), c.toolbar, c.browser))
                << "toolbar " << c.toolbar << " browser " << c.browser << " index " << index;
        }
    }
}

TEST(NextEnabledIndex, WalksToTheNextEnabledPageAndStopsAtTheEnds) {
    const int allEnabled[] = {1, 1, 1, 1, 1};
    const int middleDisabled[] = {1, 1, 0, 1, 1};
    const struct {
        const int* enabled;
        int active;
        bool forward;
        int expected;
    } cases[] = {
        {allEnabled, 0, true, 1},
        {allEnabled, 3, true, 4},
        {allEnabled, 4, true, -1},
        {allEnabled, 0, false, -1},
        {allEnabled, 4, false, 3},
        {middleDisabled, 1, true, 3},
        {middleDisabled, 3, false, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, NextEnabledIndex(c.enabled, 5, c.active, c.forward))
            << "from " << c.active << (c.forward ? " forwards" : " backwards");
    }
}

TEST(FileTypeColumns, SplitTheListsOuterWidthIntoAThirdAndTheRest) {
    const struct {
        int width;
        int label;
        int description;
    } cases[] = {
        {300, 100, 175},
        {301, 100, 175},  // both round toward zero
        {302, 100, 176},
        {431, 143, 262},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.label, LabelColumnWidth(c.width)) << c.width;
        EXPECT_EQ(c.description, DescriptionColumnWidth(c.width)) << c.width;
    }
}

// A wider scroll bar than the share leaves room for narrows the description
// column, so that no horizontal scroll bar appears; the standard one does not.
TEST(FileTypeColumns, NarrowTheDescriptionForAWideScrollBarOnly) {
    const struct {
        int width;
        int client;
        int scrollBar;
        int description;
    } cases[] = {
        {431, 429, 16, 262},  // 96 DPI: the share
        {431, 427, 25, 259},  // a scheme with wide bars
        {645, 641, 24, 402},  // 144 DPI: the share would be 405
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.description, FittedDescriptionColumnWidth(c.width, c.client, c.scrollBar)) << c.width;
    }
}

}  // namespace

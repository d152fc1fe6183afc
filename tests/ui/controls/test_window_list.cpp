// The list of open windows of a kind: kept in the order they were made, left by a window as it
// is destroyed, and finding only windows that are not closing.
#include "ui/controls/WindowList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct Window {
    explicit Window(std::int32_t n) : number_(n) {}
    std::int32_t number() const { return number_; }
    bool isClosing() const { return closing; }

    std::int32_t number_;
    bool closing = false;
    WindowList<Window>::Entry listed{this};
};

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(WindowList, HoldsTheWindowsInTheOrderMadeUntilEachIsDestroyed) {
    auto first = std::make_unique<Window>(3);
    auto second = std::make_unique<Window>(-1); // a window of no reminder
    auto third = std::make_unique<Window>(3);
    EXPECT_THAT(WindowList<Window>::all(), ElementsAre(first.get(), second.get(), third.get()));

    EXPECT_EQ(WindowList<Window>::find(3), first.get());
    EXPECT_EQ(WindowList<Window>::find(-1), nullptr);
    EXPECT_EQ(WindowList<Window>::find(4), nullptr);
    EXPECT_EQ(WindowList<Window>::first(), first.get());
    first->closing = true;
    EXPECT_EQ(WindowList<Window>::find(3), third.get());
    EXPECT_EQ(WindowList<Window>::first(), second.get());

    first.reset();
    EXPECT_THAT(WindowList<Window>::all(), ElementsAre(second.get(), third.get()));
    // Going through the list while destroying what it holds.
    for (Window* w : WindowList<Window>::all()) {
        if (w == second.get())
            second.reset();
        else
            third.reset();
    }
    EXPECT_THAT(WindowList<Window>::all(), IsEmpty());
    EXPECT_EQ(WindowList<Window>::first(), nullptr);
}

} // namespace

// Placing a window from the numbers a settings file holds, which may be anything.
#include "ui/controls/WindowPlacer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(WindowPlacer, KeepsAStoredPlacementWithinTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_GT(area.width(), 400);
    ASSERT_GT(area.height(), 300);
    constexpr int Max = std::numeric_limits<int>::max();
    constexpr int Min = std::numeric_limits<int>::min();
    const struct {
        WindowPlacement stored;
        QRect expected;
    } cases[] = {
        {{WindowStateCode::Normal, area.left() + 20, area.top() + 30, 300, 200},
         QRect(area.left() + 20, area.top() + 30, 300, 200)},
        // The size that took gigabytes: the whole available area.
        {{WindowStateCode::Normal, 10, 10, 30000, 30000}, area},
        {{WindowStateCode::Normal, Max, Min, 300, 200},
         QRect(area.right() + 1 - 300, area.top(), 300, 200)},
        {{WindowStateCode::Normal, Min, Max, Max, 200},
         QRect(area.left(), area.bottom() + 1 - 200, area.width(), 200)},
        {{WindowStateCode::Normal, area.right() - 10, area.bottom() - 10, 300, 200},
         QRect(area.right() + 1 - 300, area.bottom() + 1 - 200, 300, 200)},
    };
    for (const auto& c : cases) {
        QWidget window;
        auto* placer = new WindowPlacer(&window);
        placer->apply(c.stored);
        const WindowPlacement placed = placer->placement();
        EXPECT_EQ(QRect(placed.left, placed.top, placed.width, placed.height), c.expected)
            << c.stored.left << "," << c.stored.top << " " << c.stored.width << "x"
            << c.stored.height;
        EXPECT_LE(window.width(), area.width());
        EXPECT_LE(window.height(), area.height());
    }
}

} // namespace

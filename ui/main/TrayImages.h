#pragma once
// The tray icon's three picture sets, drawn in code at every size a tray may
// ask for: a yellow clock, the day numbers 1 to 31, and a red and an orange flag
// for the alert animation.

#include <QIcon>
#include <QPixmap>
#include <array>

enum class TrayPicture { Clock, Day, RedFlag, OrangeFlag };

// One picture at a size in device pixels; day is used for TrayPicture::Day.
QPixmap renderTrayPicture(TrayPicture picture, int pixelSize, int day = 1);

// The three sets, made once: plain (one clock), day of month (31 images, index
// day - 1) and alert animation (red flag, orange flag).
class TrayImageSets final {
public:
    TrayImageSets();
    const QIcon& plain() const { return m_plain; }
    const QIcon& day(int day) const;
    // Index 0 red, 1 orange.
    const QIcon& flag(int index) const { return m_flags[index & 1]; }

private:
    QIcon m_plain;
    std::array<QIcon, 31> m_days;
    std::array<QIcon, 2> m_flags;
};

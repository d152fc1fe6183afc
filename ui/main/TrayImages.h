#pragma once
// The tray icon's three picture sets, drawn in code: a yellow clock, the day
// numbers 1 to 31, and a red and an orange flag for the alert animation. A picture
// is drawn the first time it is shown, at the size the tray asks for, and kept.

#include <QIcon>
#include <QPixmap>
#include <array>

enum class TrayPicture { Clock, Day, RedFlag, OrangeFlag };

// One picture at a size in device pixels; day is used for TrayPicture::Day.
QPixmap renderTrayPicture(TrayPicture picture, int pixelSize, int day = 1);

// A picture as an icon that draws each size when it is first asked for.
QIcon trayIcon(TrayPicture picture, int day = 1);

// The three sets: plain (one clock), day of month (31 icons, index day - 1) and alert
// animation (red flag, orange flag). Making them draws nothing.
class TrayImageSets final {
public:
    TrayImageSets();
    const QIcon& plain() const { return m_plain; }
    const QIcon& day(int day) const;
    // Index 0 red, 1 orange.
    const QIcon& flag(int index) const { return m_flags[index & 1]; }
    // How many pictures (of any set and size) have been drawn so far.
    static int drawnCount();

private:
    QIcon m_plain;
    std::array<QIcon, 31> m_days;
    std::array<QIcon, 2> m_flags;
};

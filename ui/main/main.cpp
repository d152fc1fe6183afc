// Chimly: the reminder program in the tray.
#include "platform/SessionPlatform.h"
#include "platform/SingleInstance.h"
#include "ui/main/AppController.h"
#include "ui/main/ExitSignals.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    // Through XWayland in a Wayland session, where the alert window can stay on top.
    PlatformArguments platform(argc, argv);
    QApplication app(platform.argc(), platform.argv());
    // The class of every window's WM_CLASS (the desktop entry's StartupWMClass); the desktop
    // file name is the application id on Wayland. Both match the windows to the desktop entry
    // and its icon.
    QApplication::setApplicationName(QStringLiteral("Chimewell"));
    QApplication::setDesktopFileName(QStringLiteral("org.chimewell.Chimewell"));
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start ends silently and leaves the running instance and its files alone.
    const auto instance = makeSingleInstance();
    if (!instance->acquire())
        return 0;

    AppController controller;
    ExitSignals exitSignals([&controller] { controller.exit(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &controller,
                     [&controller](QSessionManager&) { controller.saveEverything(); });
    controller.start();
    return QApplication::exec();
}

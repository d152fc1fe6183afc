// Chimly: the reminder program in the tray.
#include "dbus/ProgramBus.h"
#include "platform/PowerControl.h"
#include "platform/SessionPlatform.h"
#include "platform/SingleInstance.h"
#include "platform/SoundPlayer.h"
#include "platform/StartupShortcut.h"
#include "ui/controls/AboutBox.h"
#include "ui/main/AppController.h"
#include "ui/main/ExitSignals.h"

#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // A command (chimly add, list, ...) talks to the running program and ends; it needs no
    // display and leaves the lock alone.
    if (const std::optional<int> code = runCommandLine(argc, argv, AboutBox::version()))
        return *code;
    // Through XWayland in a Wayland session, where the alert window can stay on top.
    PlatformArguments platform(argc, argv);
    QApplication app(platform.argc(), platform.argv());
    // The class of every window's WM_CLASS (the desktop entry's StartupWMClass); the desktop
    // file name is the application id on Wayland. Both match the windows to the desktop entry
    // and its icon.
    QApplication::setApplicationName(QStringLiteral("Chimewell"));
    QApplication::setDesktopFileName(QStringLiteral("org.chimewell.Chimewell"));
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start ends silently and leaves the running instance and its files alone; a
    // lock that cannot be taken is said, not passed over as another instance.
    const auto instance = makeSingleInstance();
    const InstanceLock lock = instance->acquire();
    if (lock.state == InstanceLock::State::HeldByAnother)
        return 0;
    if (lock.state == InstanceLock::State::Failed) {
        std::fprintf(stderr, "Chimly: %s\n", lock.error.c_str());
        return 1;
    }

    // The platform's services, handed down from here; they outlive the controller.
    const std::unique_ptr<SoundPlayer> player = createSoundPlayer();
    const std::unique_ptr<PowerControl> power = createPowerControl();
    const std::unique_ptr<StartupShortcut> shortcut = createStartupShortcut();
    AppController controller(systemClock(), {*player, *power, *shortcut});
    ExitSignals exitSignals([&controller] { controller.exit(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &controller,
                     [&controller](QSessionManager&) { controller.saveEverything(); });
    controller.start();
    return QApplication::exec();
}

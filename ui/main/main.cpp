// Chimly: the reminder program in the tray.
#include "platform/SessionPlatform.h"
#include "ui/main/ExitSignals.h"
#include "ui/main/SingleInstance.h"
#include "ui/main/Unit1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Through XWayland in a Wayland session, where the alert window can stay on top.
    PlatformArguments platform(argc, argv);
    QApplication app(platform.argc(), platform.argv());
    QApplication::setApplicationName(QStringLiteral("Chimewell"));
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start ends silently and leaves the running instance and its files alone.
    SingleInstance instance;
    if (!instance.Acquire())
        return 0;

    TForm1 form;
    ExitSignals exitSignals([&form] { form.actExitExecute(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.SaveEverything(); });
    const int rc = QApplication::exec();
    form.FormDestroy();
    return rc;
}

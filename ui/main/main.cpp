// Chimly: the reminder program in the tray.
#include "ui/main/AppController.h"
#include "ui/main/ExitSignals.h"
#include "ui/main/SingleInstance.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chimewell"));
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start ends silently and leaves the running instance and its files alone.
    SingleInstance instance;
    if (!instance.acquire())
        return 0;

    AppController controller;
    ExitSignals exitSignals([&controller] { controller.exit(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &controller,
                     [&controller](QSessionManager&) { controller.saveEverything(); });
    controller.start();
    return QApplication::exec();
}

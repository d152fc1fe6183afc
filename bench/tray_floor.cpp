// The floor the program is measured against: the least a Qt tray program does, an icon
// drawn once and a menu, and nothing between the user's clicks.
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap picture(22, 22);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(255, 206, 30));
        p.drawEllipse(2, 2, 18, 18);
    }
    QMenu menu;
    menu.addAction(QStringLiteral("Open list..."));
    menu.addAction(QStringLiteral("New..."));
    menu.addSeparator();
    QObject::connect(menu.addAction(QStringLiteral("Exit")), &QAction::triggered, &app,
                     &QCoreApplication::quit);
    QSystemTrayIcon icon{QIcon(picture)};
    icon.setContextMenu(&menu);
    icon.show();
    return QApplication::exec();
}

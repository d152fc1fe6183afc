#pragma once
// org.freedesktop.Application, the desktop entry's D-Bus interface: what the desktop's
// launchers and docks ask of the running program.

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class ProgramCommands;

class ApplicationInterface final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    // The commands must outlive the interface.
    ApplicationInterface(QObject* object, ProgramCommands& commands);

public slots:
    // Opens the list.
    void Activate(const QVariantMap& platformData);
    // new-reminder, open-list, journal, sound-off or quit.
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData, const QDBusMessage& message);
    // Not supported: the program opens no files.
    void Open(const QStringList& uris, const QVariantMap& platformData,
              const QDBusMessage& message);

private:
    // Runs `command` once the call has been answered: a window it opens may ask a question,
    // whose event loop must not hold up the caller.
    template <class Command> void later(Command command);

    ProgramCommands& m_commands;
};

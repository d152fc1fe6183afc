#pragma once
// Stands in for the desktop's opener in widget tests: records the addresses the program asks
// the desktop to open, for the schemes given, and gives the schemes back to the desktop when
// destroyed.

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class OpenRecorder final : public QObject {
    Q_OBJECT
public:
    explicit OpenRecorder(const QStringList& schemes = {QStringLiteral("file")});
    ~OpenRecorder() override;

    QList<QUrl> opened;
    // The opened addresses as local file paths.
    QStringList openedFiles() const;

public slots:
    void open(const QUrl& url);

private:
    QStringList m_schemes;
};

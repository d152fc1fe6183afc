#include "app/Settings.h"

#include "platform/SystemLog.h"

#include <utility>

Settings::Settings(std::string path, const Clock& clock, QObject* parent)
    : QObject(parent), m_path(std::move(path)), m_clock(clock) {
}

void Settings::read(Moment now) {
    m_values = readSettings(m_path, m_clock, now, 0, 0);
}

Status Settings::write(const ClockReading& lastTime, Report report) {
    m_lastTimeWritten = lastTime.utc;
    Status written = writeSettings(m_path, m_values, lastTime);
    if (written)
        return written;
    if (report == Report::SystemLog)
        writeToSystemLog(written.message());
    else if (!std::exchange(m_failureShown, true))
        emit writeFailed(QString::fromStdString(written.error + '\n' + written.reason));
    return written;
}

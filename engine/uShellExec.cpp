#include "uShellExec.h"

#ifdef _WIN32
#include <QGuiApplication>
#include <QWindow>
#include <windows.h>

#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QUrl>
#endif

void ShellOpen(const QString& path) {
#ifdef _WIN32
    // The active window of the program stands in as the parent of any dialog the shell shows.
    QWindow* w = QGuiApplication::focusWindow();
    HWND parent = w != nullptr ? reinterpret_cast<HWND>(w->winId()) : nullptr;
    ShellExecuteW(parent, L"open", reinterpret_cast<LPCWSTR>(path.utf16()), nullptr, nullptr,
                  SW_SHOWNORMAL);
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}

#include "platform/DesktopNotifications.h"

#ifndef _WIN32
#include "platform/FreedesktopNotifications.h"
#endif

DesktopNotifications::~DesktopNotifications() = default;

std::unique_ptr<DesktopNotifications> createDesktopNotifications() {
#ifdef _WIN32
    return nullptr;
#else
    return std::make_unique<FreedesktopNotifications>();
#endif
}

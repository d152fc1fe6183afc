#pragma once
// Where the running program is found on the user's session bus.

inline constexpr const char* ProgramBusName = "org.chimewell.Chimewell";
inline constexpr const char* ProgramObjectPath = "/org/chimewell/Chimewell";
inline constexpr const char* RemindersInterfaceName = "org.chimewell.Reminders1";
inline constexpr const char* ApplicationInterfaceName = "org.freedesktop.Application";

#include "platform/XdgStartupShortcut.h"

#include "core/AppPaths.h"
#include "core/PrivateFiles.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// $XDG_CONFIG_HOME when it is an absolute path (the only kind the XDG rules accept),
// else ~/.config; empty without either.
std::string configFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.config";
    return {};
}

// A value of the string type: backslash and control characters escaped.
std::string escapedString(const std::string& value) {
    std::string out;
    for (const char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One argument of Exec: quoted, with the characters that are special inside quotes
// escaped, and "%" doubled so that it is never taken for a field code.
std::string quotedArgument(const std::string& argument) {
    std::string out = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
        if (c == '%')
            out += '%';
    }
    return out + '"';
}

} // namespace

std::string XdgStartupShortcut::path() const {
    const std::string folder = configFolder();
    if (folder.empty())
        return {};
    const fs::path name = fs::path(executablePath()).filename().replace_extension(".desktop");
    return (fs::path(folder) / "autostart" / name).string();
}

bool XdgStartupShortcut::exists() const {
    const std::string entry = path();
    std::error_code error;
    return !entry.empty() && fs::is_regular_file(entry, error);
}

Status XdgStartupShortcut::place() {
    const std::string entry = path();
    if (entry.empty())
        return Status::failure("Unable to write the autostart entry: neither XDG_CONFIG_HOME "
                               "nor HOME names a folder");
    const std::string text = entryText(executablePath());
    const auto failed = [&entry](const std::string& why) {
        Status status = Status::failure("Unable to write " + entry);
        status.reason = why;
        return status;
    };
    if (text.empty())
        return failed("the program's path cannot be written into a desktop entry");
    std::error_code error;
    if (!makePrivateFolders(fs::path(entry).parent_path(), error))
        return failed(error.message());
    const std::string temporary = entry + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            const std::string why = std::error_code(errno, std::generic_category()).message();
            fs::remove(temporary, error);
            return failed(why);
        }
    }
    // A new entry is the user's alone; one that is there keeps its mode.
    const fs::file_status old = fs::status(entry, error);
    fs::permissions(temporary,
                    fs::is_regular_file(old) ? old.permissions() & fs::perms::all : PrivateFileMode,
                    fs::perm_options::replace, error);
    fs::rename(temporary, entry, error);
    if (error) {
        const std::string why = error.message();
        fs::remove(temporary, error);
        return failed(why);
    }
    return {};
}

void XdgStartupShortcut::remove() {
    const std::string entry = path();
    std::error_code error;
    if (!entry.empty())
        fs::remove(entry, error);
}

std::string XdgStartupShortcut::commandFor(const std::string& executable) {
    const fs::path folder = fs::path(executable).parent_path();
    if (folder.filename() != "chimewell" || folder.parent_path().filename() != "lib")
        return executable;
    const fs::path command = folder.parent_path().parent_path() / "bin" / "chimly";
    std::error_code error;
    return fs::equivalent(command, executable, error) ? command.string() : executable;
}

std::string XdgStartupShortcut::entryText(const std::string& executable) {
    if (executable.find_first_of("\r\n") != std::string::npos)
        return {};
    const std::string folder = fs::path(executable).parent_path().string();
    const std::string command = commandFor(executable);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Chimewell\n"
           "Comment=Desktop reminders\n"
           "Exec=" +
           escapedString(quotedArgument(command)) +
           "\n"
           "TryExec=" +
           escapedString(command) +
           "\n"
           "Path=" +
           escapedString(folder) +
           "\n"
           "Icon=org.chimewell.Chimewell\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

#include "tests/engine/ServiceProcesses.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testsvc {

namespace {
using Clock = std::chrono::steady_clock;

std::string FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return name;
    const char* path = std::getenv("PATH");
    std::string rest = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find(':', start), rest.size());
        const std::string candidate = rest.substr(start, end - start) + "/" + name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// Our environment with the overrides applied, as "NAME=value" strings.
std::vector<std::string> ChildEnvironment(const Env& env) {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos)
            vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : env)
        vars[name] = value;
    std::vector<std::string> out;
    for (const auto& [name, value] : vars)
        out.push_back(name + "=" + value);
    return out;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

void SetError(std::string* error, const std::string& text) {
    if (error != nullptr)
        *error = text;
}

} // namespace

bool StartWithRetry(const std::function<bool(std::string*)>& startOnce, std::string* error,
                    int attempts) {
    std::string reasons;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        std::string reason;
        if (startOnce(&reason))
            return true;
        reasons += (reasons.empty() ? "" : "; then ") + reason;
    }
    SetError(error, reasons);
    return false;
}

bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!cond()) {
        if (Clock::now() >= deadline)
            return cond();
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::start(const std::vector<std::string>& argv, const Options& options,
                         std::string* error) {
    stop();
    if (argv.empty()) {
        SetError(error, "no program");
        return false;
    }
    const std::string program = FindProgram(argv[0]);
    if (program.empty()) {
        SetError(error, argv[0] + " not found on PATH");
        return false;
    }
    // Everything the child needs is prepared here: after fork only async-signal-safe calls.
    std::vector<std::string> args = argv;
    std::vector<std::string> envStrings = ChildEnvironment(options.env);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(envStrings);

    int fds[2] = {-1, -1};
    if (options.pipeFd >= 0 && ::pipe2(fds, O_CLOEXEC) != 0) {
        SetError(error, std::string("pipe: ") + std::strerror(errno));
        return false;
    }
    int outFd = -1;
    if (!options.stdoutFile.empty())
        outFd = ::open(options.stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int nullFd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(126);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::dup2(nullFd, 0);
        if (outFd >= 0)
            ::dup2(outFd, 1);
        if (options.quiet)
            ::dup2(nullFd, 2);
        if (fds[1] >= 0)
            ::dup2(fds[1], options.pipeFd);
        ::execve(program.c_str(), argp.data(), envp.data());
        ::_exit(127);
    }
    if (fds[1] >= 0)
        ::close(fds[1]);
    if (outFd >= 0)
        ::close(outFd);
    if (nullFd >= 0)
        ::close(nullFd);
    if (pid < 0) {
        if (fds[0] >= 0)
            ::close(fds[0]);
        SetError(error, std::string("fork: ") + std::strerror(errno));
        return false;
    }
    pid_ = pid;
    pipe_ = fds[0];
    buffered_.clear();
    return true;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        const std::size_t nl = buffered_.find('\n');
        if (nl != std::string::npos) {
            std::string line = buffered_.substr(0, nl);
            buffered_.erase(0, nl + 1);
            return line;
        }
        if (pipe_ < 0)
            return std::nullopt;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd p{pipe_, POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0)
            continue;
        char chunk[4096];
        const ssize_t n = ::read(pipe_, chunk, sizeof chunk);
        if (n <= 0) {
            // End of output: hand back a last line without its end, if any.
            ::close(pipe_);
            pipe_ = -1;
            if (buffered_.empty())
                return std::nullopt;
            buffered_ += '\n';
            continue;
        }
        buffered_.append(chunk, std::size_t(n));
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0)
        return std::nullopt;
    int status = 0;
    if (!WaitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, timeout))
        return std::nullopt;
    pid_ = -1;
    if (!WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

void ChildProcess::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        const bool ended = WaitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, 5s);
        if (!ended) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
    if (pipe_ >= 0)
        ::close(pipe_);
    pipe_ = -1;
}

std::optional<std::string> RunCommand(const std::vector<std::string>& argv, const Env& env,
                                      std::chrono::milliseconds timeout, bool quiet) {
    const auto deadline = Clock::now() + timeout;
    ChildProcess child;
    ChildProcess::Options options;
    options.env = env;
    options.pipeFd = 1;
    options.quiet = quiet;
    if (!child.start(argv, options, nullptr))
        return std::nullopt;
    std::string out;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return std::nullopt; // child is killed by its destructor
        const std::optional<std::string> line = child.readLine(left);
        if (!line)
            break;
        out += *line + "\n";
    }
    const std::optional<int> code =
        child.wait(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
    if (code != 0)
        return std::nullopt;
    return out;
}

bool PulseAudioServer::start(const std::string& folder, std::string* error,
                             const std::string& sinkName) {
    folder_ = folder;
    sink_ = sinkName;
    std::filesystem::create_directories(folder);
    return StartWithRetry([this](std::string* reason) { return startOnce(reason); }, error);
}

bool PulseAudioServer::startOnce(std::string* error) {
    const std::string& folder = folder_;
    const std::string& sinkName = sink_;
    // A socket left by a server that did not come up would stop the next one.
    std::error_code ignored;
    std::filesystem::remove(folder + "/native", ignored);
    const std::vector<std::string> argv = {
        "pulseaudio",
        "-n",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "--disallow-exit",
        "--use-pid-file=no",
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + folder + "/native",
        "-L",
        "module-null-sink sink_name=" + sinkName + " rate=44100 channels=2 norewinds=1"};
    if (!process_.start(argv, {}, error))
        return false;
    const Env env = {{"PULSE_SERVER", address()}};
    const bool up = WaitUntil(
        [&] {
            return !process_.running() || RunCommand({"pactl", "list", "short", "sinks"}, env, 10s)
                                                  .value_or("")
                                                  .find(sinkName) != std::string::npos;
        },
        kReadyTimeout);
    if (!up || !process_.running()) {
        SetError(error, "pulseaudio did not come up");
        process_.stop();
        return false;
    }
    return true;
}

bool SinkRecorder::start(const PulseAudioServer& server, const std::string& file,
                         std::string* error) {
    file_ = file;
    ChildProcess::Options options;
    options.env = {{"PULSE_SERVER", server.address()}};
    options.stdoutFile = file;
    return process_.start({"parec", "-d", server.sinkName() + ".monitor", "--format=s16le",
                           "--rate=44100", "--channels=2", "--latency-msec=20"},
                          options, error);
}

std::size_t SinkRecorder::bytes() const {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file_, ec);
    return ec ? 0 : std::size_t(size);
}

std::vector<int> SinkRecorder::windowPeaks() const {
    std::ifstream in(file_, std::ios::binary);
    const std::vector<char> data((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
    constexpr std::size_t kWindowBytes = kRate / 100 * kFrameBytes;
    std::vector<int> peaks;
    for (std::size_t w = 0; w + kWindowBytes <= data.size(); w += kWindowBytes) {
        int peak = 0;
        for (std::size_t i = w; i < w + kWindowBytes; i += 2) {
            int16_t sample = 0;
            std::memcpy(&sample, &data[i], 2);
            peak = std::max(peak, std::abs(int(sample)));
        }
        peaks.push_back(peak);
    }
    return peaks;
}

bool PrivateBus::start(std::string* error, const Env& env) {
    env_ = env;
    return StartWithRetry([this](std::string* reason) { return startOnce(reason); }, error);
}

bool PrivateBus::startOnce(std::string* error) {
    ChildProcess::Options options;
    options.pipeFd = 3;
    options.env = env_;
    if (!process_.start(
            {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"}, options,
            error))
        return false;
    const std::optional<std::string> line = process_.readLine(kReadyTimeout);
    if (!line || line->empty()) {
        SetError(error, "dbus-daemon printed no address");
        process_.stop();
        return false;
    }
    address_ = *line;
    return true;
}

std::optional<std::string> LogindMock::call(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"gdbus", "call", "--system"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv, {{"DBUS_SYSTEM_BUS_ADDRESS", bus_}}, 30s);
}

bool LogindMock::start(const std::string& busAddress, const std::string& logFile,
                       std::string* error) {
    bus_ = busAddress;
    return StartWithRetry(
        [this, &logFile](std::string* reason) { return startOnce(logFile, reason); }, error);
}

bool LogindMock::startOnce(const std::string& logFile, std::string* error) {
    ChildProcess::Options options;
    options.env = {{"DBUS_SYSTEM_BUS_ADDRESS", bus_}};
    // The system python: it has python3-dbusmock, another python on PATH may not.
    if (!process_.start(
            {"/usr/bin/python3", "-m", "dbusmock", "--template", "logind", "-l", logFile}, options,
            error))
        return false;
    // Up once the manager answers on its object with the mock's interface.
    const bool up = WaitUntil([&] { return !process_.running() || isMock(); }, kReadyTimeout);
    if (!up || !process_.running()) {
        SetError(error, "the logind mock did not come up");
        process_.stop();
        return false;
    }
    return true;
}

bool LogindMock::isMock() const {
    const std::optional<std::string> xml =
        call({"--dest", "org.freedesktop.login1", "--object-path", "/org/freedesktop/login1",
              "--method", "org.freedesktop.DBus.Introspectable.Introspect"});
    return xml && xml->find("org.freedesktop.DBus.Mock") != std::string::npos;
}

std::string LogindMock::calls() const {
    return call({"--dest", "org.freedesktop.login1", "--object-path", "/org/freedesktop/login1",
                 "--method", "org.freedesktop.DBus.Mock.GetCalls"})
        .value_or("");
}

bool LogindMock::clearCalls() const {
    return call({"--dest", "org.freedesktop.login1", "--object-path", "/org/freedesktop/login1",
                 "--method", "org.freedesktop.DBus.Mock.ClearCalls"})
        .has_value();
}

bool LogindMock::emitPrepareForSleep(bool sleeping) const {
    return call({"--dest", "org.freedesktop.login1", "--object-path", "/org/freedesktop/login1",
                 "--method", "org.freedesktop.DBus.Mock.EmitSignal",
                 "org.freedesktop.login1.Manager", "PrepareForSleep", "b",
                 sleeping ? "[<true>]" : "[<false>]"})
        .has_value();
}

std::string LogindMock::inhibitors() const {
    return call({"--dest", "org.freedesktop.login1", "--object-path", "/org/freedesktop/login1",
                 "--method", "org.freedesktop.login1.Manager.ListInhibitors"})
        .value_or("");
}

std::optional<std::string> NotificationMock::call(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"gdbus",
                                     "call",
                                     "--session",
                                     "--dest",
                                     "org.freedesktop.Notifications",
                                     "--object-path",
                                     "/org/freedesktop/Notifications",
                                     "--method"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv, {{"DBUS_SESSION_BUS_ADDRESS", bus_}}, 30s);
}

bool NotificationMock::start(const std::string& busAddress, const std::string& capabilities,
                             const std::string& logFile, std::string* error) {
    bus_ = busAddress;
    return StartWithRetry(
        [&](std::string* reason) {
            ChildProcess::Options options;
            options.env = {{"DBUS_SESSION_BUS_ADDRESS", bus_}};
            if (!process_.start({"/usr/bin/python3", "-m", "dbusmock", "--template",
                                 "notification_daemon", "-p",
                                 "{\"capabilities\": \"" + capabilities + "\"}", "-l", logFile},
                                options, reason))
                return false;
            const bool up = WaitUntil(
                [&] {
                    if (!process_.running())
                        return true;
                    const auto xml = call({"org.freedesktop.DBus.Introspectable.Introspect"});
                    return xml && xml->find("org.freedesktop.DBus.Mock") != std::string::npos;
                },
                kReadyTimeout);
            if (!up || !process_.running()) {
                SetError(reason, "the notification mock did not come up");
                process_.stop();
                return false;
            }
            return true;
        },
        error);
}

std::string NotificationMock::calls() const {
    return call({"org.freedesktop.DBus.Mock.GetCalls"}).value_or("");
}

bool NotificationMock::emitActionInvoked(unsigned id, const std::string& key) const {
    return call({"org.freedesktop.DBus.Mock.EmitSignal", "org.freedesktop.Notifications",
                 "ActionInvoked", "us", "[<uint32 " + std::to_string(id) + ">, <'" + key + "'>]"})
        .has_value();
}

bool VirtualDisplay::start(std::string* error) {
    return StartWithRetry([this](std::string* reason) { return startOnce(reason); }, error);
}

bool VirtualDisplay::startOnce(std::string* error) {
    ChildProcess::Options options;
    options.pipeFd = 3;
    if (!process_.start(
            {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, options,
            error))
        return false;
    // Xvfb writes the display's number once it takes connections.
    const std::optional<std::string> line = process_.readLine(kReadyTimeout);
    if (!line || line->empty()) {
        SetError(error, "Xvfb printed no display");
        process_.stop();
        return false;
    }
    display_ = ":" + *line;
    return true;
}

bool WindowManager::start(const std::string& display, std::string* error) {
    // On a loaded machine icewm now and then ends before it has taken the display.
    return StartWithRetry(
        [this, &display](std::string* reason) { return startOnce(display, reason); }, error, 3);
}

bool WindowManager::startOnce(const std::string& display, std::string* error) {
    ChildProcess::Options options;
    options.env = {{"DISPLAY", display}};
    // --replace: an attempt before this one may still hold the window manager's selection
    // while the X server has not yet noticed that it ended.
    if (!process_.start({"icewm", "--replace"}, options, error))
        return false;
    const bool up = WaitUntil(
        [&] {
            return !process_.running() || RunCommand({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"},
                                                     {{"DISPLAY", display}}, 10s)
                                                  .value_or("")
                                                  .find("window id") != std::string::npos;
        },
        kReadyTimeout);
    if (!up || !process_.running()) {
        SetError(error, process_.running() ? "icewm did not come up in time"
                                           : "icewm ended before it took the display");
        process_.stop();
        return false;
    }
    return true;
}

bool AccessibilityBus::start(const std::string& runtimeDir, const std::string& display,
                             std::string* error) {
    // On a loaded machine the launcher now and then ends before its bus is up.
    return StartWithRetry(
        [&](std::string* reason) { return startOnce(runtimeDir, display, reason); }, error, 3);
}

bool AccessibilityBus::startOnce(const std::string& runtimeDir, const std::string& display,
                                 std::string* error) {
    stop();
    display_ = display;
    if (!session_.start(error))
        return false;
    ChildProcess::Options options;
    // The launcher reads its settings from GSettings: from memory, not from the user's dconf.
    options.env = {{"DBUS_SESSION_BUS_ADDRESS", session_.address()},
                   {"DISPLAY", display},
                   {"XDG_RUNTIME_DIR", runtimeDir},
                   {"GSETTINGS_BACKEND", "memory"}};
    if (!launcher_.start({"/usr/libexec/at-spi-bus-launcher", "--launch-immediately", "--a11y=1"},
                         options, error)) {
        session_.stop();
        return false;
    }
    // Prints "('unix:path=.../at-spi/bus_0,guid=...',)" once the bus runs.
    const std::vector<std::string> getAddress = {
        "gdbus",         "call",         "--session",
        "--dest",        "org.a11y.Bus", "--object-path",
        "/org/a11y/bus", "--method",     "org.a11y.Bus.GetAddress"};
    std::string reply;
    const bool up = WaitUntil(
        [&] {
            if (!launcher_.running())
                return true;
            reply = RunCommand(getAddress, {{"DBUS_SESSION_BUS_ADDRESS", session_.address()}}, 10s)
                        .value_or("");
            return reply.find("unix:") != std::string::npos;
        },
        kReadyTimeout);
    const std::size_t from = reply.find("unix:");
    const std::size_t to = reply.find('\'', from);
    if (!up || !launcher_.running() || from == std::string::npos || to == std::string::npos) {
        SetError(error, launcher_.running() ? "at-spi-bus-launcher gave no bus address in time"
                                            : "at-spi-bus-launcher ended before its bus was up");
        stop();
        return false;
    }
    a11yAddress_ = reply.substr(from, to - from);
    return true;
}

Env AccessibilityBus::env() const {
    // Not AT_SPI_BUS_ADDRESS: with it, Qt 6.4 puts nothing on the bus. Qt and the client
    // both find the bus through the launcher on the session bus (or the root window).
    return {{"DISPLAY", display_},
            {"DBUS_SESSION_BUS_ADDRESS", session_.address()},
            {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}};
}

void AccessibilityBus::stop() {
    launcher_.stop();
    session_.stop();
    a11yAddress_.clear();
}

std::optional<std::string> Controls::run(const std::vector<std::string>& args) const {
    // The system python: it has the AT-SPI bindings, another python on PATH may not.
    std::vector<std::string> argv = {"/usr/bin/python3", script_, "--timeout", "60"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv, env_, 120s, false);
}

std::optional<Rect> Controls::extents(const std::vector<std::string>& selector) const {
    std::vector<std::string> args = selector;
    args.push_back("--extents");
    const std::optional<std::string> out = run(args);
    Rect r;
    if (!out || !(std::istringstream(*out) >> r.x >> r.y >> r.width >> r.height))
        return std::nullopt;
    return r;
}

bool Controls::click(const std::vector<std::string>& selector) const {
    const std::optional<Rect> r = extents(selector);
    if (!r || r->width <= 0 || r->height <= 0)
        return false;
    return RunCommand({"xdotool", "mousemove", std::to_string(r->x + r->width / 2),
                       std::to_string(r->y + r->height / 2), "click", "1"},
                      env_, 20s)
        .has_value();
}

std::optional<std::string> Controls::text(const std::vector<std::string>& selector) const {
    std::vector<std::string> args = selector;
    args.push_back("--text");
    std::optional<std::string> out = run(args);
    if (out && !out->empty() && out->back() == '\n')
        out->pop_back();
    return out;
}

} // namespace testsvc

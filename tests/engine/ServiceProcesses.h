#pragma once
// Private services for end-to-end tests, each a child process of the test stopped by its
// process id: a PulseAudio server with a null sink and a recorder of its monitor, a D-Bus bus
// with a logind mock, an X server with a window manager, and an accessibility bus through which
// a program's controls are found by window title, role and name. No Qt, so any test can use them.
// A child is also sent SIGTERM when the test process dies, so a crash leaves nothing behind.
// Each service's start waits (generously) until the service answers, and a service that does
// not come up is stopped and started once more: a loaded machine now and then fails a start.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace testsvc {

using namespace std::chrono_literals;

// Variables set in a child's environment on top of the test's own.
using Env = std::vector<std::pair<std::string, std::string>>;

// How long a service may take to come up: a loaded two-core machine, with other test runs and
// builds beside it, makes a start that takes a second take tens of seconds.
constexpr std::chrono::milliseconds kReadyTimeout = 120s;

// Runs startOnce (which stops whatever an attempt before it left) until it succeeds, at most
// `attempts` times; on a loaded machine a start now and then fails where the next one works.
// The error gives every attempt's reason.
bool StartWithRetry(const std::function<bool(std::string*)>& startOnce, std::string* error,
                    int attempts = 2);

// Polls cond every 20 ms until it holds or timeout passes; returns its last value.
bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout);

// One child process, stopped (SIGTERM, SIGKILL after 5 s) when stop() runs or it is destroyed.
class ChildProcess final {
public:
    struct Options {
        Env env;
        // The child's descriptor that becomes a pipe read with readLine (-1: none).
        int pipeFd = -1;
        // A file the child's standard output goes to (empty: the test's own).
        std::string stdoutFile;
        // Standard error to /dev/null.
        bool quiet = true;
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // argv[0] is looked up on PATH when it has no slash.
    bool start(const std::vector<std::string>& argv, const Options& options, std::string* error);
    // One line (without its end) written by the child to the pipe, or nothing on timeout or EOF.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    bool running();
    // Waits for the child to end by itself; its exit code, or nothing (still running, or killed).
    std::optional<int> wait(std::chrono::milliseconds timeout);
    void stop();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int pipe_ = -1;
    std::string buffered_;
};

// Runs a command to its end; its standard output, or nothing when it failed or timed out.
// Its standard error goes to /dev/null, or with quiet false to the test's own.
std::optional<std::string> RunCommand(const std::vector<std::string>& argv, const Env& env = {},
                                      std::chrono::milliseconds timeout = 30s, bool quiet = true);

// PulseAudio with its socket in folder and one null sink; point PULSE_SERVER at address().
class PulseAudioServer final {
public:
    // Waits (generously) until the server answers.
    bool start(const std::string& folder, std::string* error,
               const std::string& sinkName = "chimewell_test");
    std::string address() const { return "unix:" + folder_ + "/native"; }
    const std::string& sinkName() const { return sink_; }
    void stop() { process_.stop(); }

private:
    bool startOnce(std::string* error);

    ChildProcess process_;
    std::string folder_;
    std::string sink_;
};

// Records a sink's monitor with parec into a raw file: s16le, 44100 Hz, 2 channels.
class SinkRecorder final {
public:
    static constexpr int kRate = 44100;
    static constexpr int kFrameBytes = 4;

    bool start(const PulseAudioServer& server, const std::string& file, std::string* error);
    std::size_t bytes() const;
    double seconds() const { return double(bytes()) / (kRate * kFrameBytes); }
    // The loudest sample of each 10 ms window recorded so far, 0..32768.
    std::vector<int> windowPeaks() const;
    void stop() { process_.stop(); }

private:
    ChildProcess process_;
    std::string file_;
};

// A private message bus; tests point DBUS_SYSTEM_BUS_ADDRESS (or the session one) at it.
class PrivateBus final {
public:
    // env: the daemon's own environment on top of the test's, which the programs it starts
    // for activation inherit (their display, sound and XDG folders; XDG_DATA_HOME also holds
    // the service files it reads).
    bool start(std::string* error, const Env& env = {});
    const std::string& address() const { return address_; }
    void stop() { process_.stop(); }

private:
    bool startOnce(std::string* error);

    ChildProcess process_;
    std::string address_;
    Env env_;
};

// python3-dbusmock's logind template on busAddress, used as the system bus.
class LogindMock final {
public:
    // Waits until the mock's login manager answers on the bus.
    bool start(const std::string& busAddress, const std::string& logFile, std::string* error);
    // True when the login manager on the bus is the mock (it carries org.freedesktop.DBus.Mock).
    bool isMock() const;
    // The text of org.freedesktop.DBus.Mock.GetCalls as gdbus prints it, e.g.
    // "([(uint64 1700000000, 'PowerOff', [<false>])],)".
    std::string calls() const;
    bool clearCalls() const;
    // The manager's PrepareForSleep signal, as logind sends it before a sleep (true) and
    // after the resume (false).
    bool emitPrepareForSleep(bool sleeping) const;
    // The manager's ListInhibitors as gdbus prints it, e.g.
    // "([('sleep', 'Chimewell', 'Noting the time before sleep', 'delay', uint32 1000, ...)],)".
    std::string inhibitors() const;
    void stop() { process_.stop(); }

private:
    bool startOnce(const std::string& logFile, std::string* error);
    std::optional<std::string> call(const std::vector<std::string>& args) const;

    ChildProcess process_;
    std::string bus_;
};

// python3-dbusmock's notification_daemon template on a session bus, with the server
// capabilities given ("body actions persistence").
class NotificationMock final {
public:
    bool start(const std::string& busAddress, const std::string& capabilities,
               const std::string& logFile, std::string* error);
    // The text of org.freedesktop.DBus.Mock.GetCalls as gdbus prints it.
    std::string calls() const;
    // The server's ActionInvoked signal for notification `id` and action `key`, as when the
    // user picks that action.
    bool emitActionInvoked(unsigned id, const std::string& key) const;
    void stop() { process_.stop(); }

private:
    std::optional<std::string> call(const std::vector<std::string>& args) const;

    ChildProcess process_;
    std::string bus_;
};

// Xvfb on a free display (no TCP), 1280x800x24.
class VirtualDisplay final {
public:
    bool start(std::string* error);
    // ":N"
    const std::string& display() const { return display_; }
    void stop() { process_.stop(); }

private:
    bool startOnce(std::string* error);

    ChildProcess process_;
    std::string display_;
};

// icewm on a display, started and waited for until it manages the screen.
class WindowManager final {
public:
    bool start(const std::string& display, std::string* error);
    void stop() { process_.stop(); }

private:
    bool startOnce(const std::string& display, std::string* error);

    ChildProcess process_;
};

// A private session bus with at-spi-bus-launcher on it: a Qt program started with env() puts
// its accessibility tree on the launcher's bus, where tests/e2e/atspi_control.py reads it.
class AccessibilityBus final {
public:
    // runtimeDir (mode 0700) gets the bus socket, at-spi/bus_N; the launcher also writes the
    // bus address on display's root window, where Qt and the client look for it too. Waits
    // (generously) until the launcher hands out the address of its running bus.
    bool start(const std::string& runtimeDir, const std::string& display, std::string* error);
    // For the program and for the client: the display, the session bus, and Qt's tree
    // exposed whether or not an assistive technology asked for it.
    Env env() const;
    const std::string& accessibilityAddress() const { return a11yAddress_; }
    // The launcher ends its bus; the registry daemon that the bus started ends with the
    // session bus.
    void stop();

private:
    bool startOnce(const std::string& runtimeDir, const std::string& display, std::string* error);

    PrivateBus session_;
    ChildProcess launcher_;
    std::string display_;
    std::string a11yAddress_;
};

// A control on the screen, in root window pixels.
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Finds and works a program's controls with tests/e2e/atspi_control.py, e.g.
// click({"--window", "^New$", "--role", "push button", "--name", "Cancel"}). The script
// waits up to 60 s for the control (pass "--timeout", "0" for one look).
class Controls final {
public:
    // script: the path of atspi_control.py; env: AccessibilityBus::env().
    Controls(std::string script, Env env) : script_(std::move(script)), env_(std::move(env)) {}
    // The script's output with args, or nothing when it found nothing or failed (it says why
    // on the test's standard error).
    std::optional<std::string> run(const std::vector<std::string>& args) const;
    std::optional<Rect> extents(const std::vector<std::string>& selector) const;
    // A real mouse click (xdotool) at the control's centre; false when it was not found.
    bool click(const std::vector<std::string>& selector) const;
    // Its text (an edit box), value (a spin box) or else accessible name, without the line end.
    std::optional<std::string> text(const std::vector<std::string>& selector) const;

private:
    std::string script_;
    Env env_;
};

} // namespace testsvc

// Launch: Sebrix, Zorivozure and a bare QMainWindow program started as
// processes on one virtual display, each timed from its fork/exec to the
// moment the X server maps its main window. The map is watched from outside,
// as an X client of the benchmark's own (MapNotify on the root window, the
// window told apart by its _NET_WM_PID), so no program reports on itself.
// Each program works in its own fresh data folder under the shipped locale
// and its own XDG_RUNTIME_DIR, so the single-instance locks never meet, and
// all of them on a session bus as on a desktop (the case starts a
// dbus-daemon of its own when DBUS_SESSION_BUS_ADDRESS names none;
// RAFORDIT_LAUNCH_BUS=none runs them without one). The
// programs take turns, so all see the same load of the machine. Target: each
// program maps its window within 1.5 x the bare window's time.
//
// RAFORDIT_LAUNCH_DISPLAY=:NN uses a running X server (one without a window
// manager: a managed window is mapped inside its frame); otherwise the case
// starts Xvfb on a free display itself. RAFORDIT_LAUNCH_BASELINE=<folder>
// (several joined by ':') times the sebrix and zorivozure of other builds
// in the same run, beside these, each named by its folder.
#include "bench/bench.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 11;
constexpr int kMapTimeoutMs = 15000;
using Clock = std::chrono::steady_clock;

// Argument and environment arrays made before fork: between fork and exec
// the child of a threaded process may only make async-signal-safe calls.
struct CStrings {
    std::vector<std::string> texts;
    std::vector<char*> pointers;
    explicit CStrings(std::vector<std::string> t) : texts(std::move(t))
    {
        for (std::string& s : texts)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
    }
    char** get() { return pointers.data(); }
};

// Forks and execs `argv[0]` in `folder` with `env`, its output into `log`.
pid_t launch(CStrings& argv, CStrings& env, const std::string& folder, const std::string& log)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (!folder.empty() && ::chdir(folder.c_str()) != 0)
        ::_exit(126);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::close(out);
    }
    ::execve(argv.get()[0], argv.get(), env.get());
    ::_exit(127);
}

void stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// A helper process of the case's own that tells, on a pipe, one line the
// case needs (Xvfb its display number, dbus-daemon its address). `argv`
// names the pipe's write end with "{fd}".
class ReportingProcess {
public:
    ~ReportingProcess()
    {
        if (m_pid > 0)
            stop(m_pid);
    }
    bool start(std::vector<std::string> args)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        for (std::string& a : args)
            if (const auto at = a.find("{fd}"); at != std::string::npos)
                a.replace(at, 4, std::to_string(fds[1]));
        CStrings argv(std::move(args));
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) {
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            ::execvp(argv.get()[0], argv.get());
            ::_exit(127);
        }
        ::close(fds[1]);
        if (pid < 0) {
            ::close(fds[0]);
            return false;
        }
        m_pid = pid;
        // The line comes once the helper is ready to serve.
        std::string line;
        const auto until = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < until && line.find('\n') == std::string::npos) {
            pollfd p{fds[0], POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            line.append(buffer, static_cast<size_t>(n));
        }
        ::close(fds[0]);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        m_line = line;
        return !m_line.empty();
    }
    const std::string& line() const { return m_line; }

private:
    pid_t m_pid = -1;
    std::string m_line;
};

// A virtual display the case started itself, on a display number that
// Xvfb picks free (-displayfd).
class VirtualDisplay {
public:
    bool start()
    {
        if (!m_xvfb.start({"Xvfb", "-displayfd", "{fd}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}))
            return false;
        m_name = ":" + m_xvfb.line();
        return true;
    }
    const std::string& name() const { return m_name; }

private:
    ReportingProcess m_xvfb;
    std::string m_name;
};

// A session bus of the case's own, as a clerk's desktop has one: without
// it every Qt window that shows a control waits, before it is mapped, for
// the accessibility bridge to look for a bus by starting a helper that fails.
class SessionBus {
public:
    bool start() { return m_daemon.start({"dbus-daemon", "--session", "--nofork", "--print-address={fd}"}); }
    const std::string& address() const { return m_daemon.line(); }

private:
    ReportingProcess m_daemon;
};

// The benchmark's own client of the display: it is told of every window
// mapped on the root window.
class MapWatcher {
public:
    explicit MapWatcher(const std::string& display)
    {
        int screenNumber = 0;
        m_c = xcb_connect(display.c_str(), &screenNumber);
        if (xcb_connection_has_error(m_c))
            return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_c));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&it);
        m_root = it.data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_generic_error_t* error =
            xcb_request_check(m_c, xcb_change_window_attributes_checked(m_c, m_root, XCB_CW_EVENT_MASK, &mask));
        if (error) {
            std::free(error);
            return;
        }
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, sizeof name - 1, name), nullptr);
        if (!atom)
            return;
        m_pidAtom = atom->atom;
        std::free(atom);
        m_ok = true;
    }
    ~MapWatcher()
    {
        if (m_c)
            xcb_disconnect(m_c);
    }
    bool ok() const { return m_ok; }

    // Milliseconds from `start` to the map of a top-level window of `pid`;
    // negative when the program ended first or did not map in time.
    double waitForMap(pid_t pid, Clock::time_point start)
    {
        const int fd = xcb_get_file_descriptor(m_c);
        while (true) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
                const auto at = Clock::now();
                bool ours = false;
                if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                    // Menus and tips are override-redirect windows; the main
                    // window is not.
                    ours = map->event == m_root && !map->override_redirect && windowPid(map->window) == pid;
                }
                std::free(event);
                if (ours)
                    return std::chrono::duration<double, std::milli>(at - start).count();
            }
            if (xcb_connection_has_error(m_c))
                return -1;
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                m_reaped = true;
                return -1;
            }
            if (Clock::now() - start > std::chrono::milliseconds(kMapTimeoutMs))
                return -1;
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 5);
        }
    }
    // True when the last wait saw the program end by itself.
    bool reaped()
    {
        const bool r = m_reaped;
        m_reaped = false;
        return r;
    }
    // Forgets the unmaps and destroys of the program just ended.
    void drain()
    {
        xcb_aux_sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c))
            std::free(event);
    }

private:
    void xcb_aux_sync()
    {
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
    }
    long windowPid(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        long pid = -1;
        if (reply && xcb_get_property_value_length(reply) >= 4)
            pid = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
        std::free(reply);
        return pid;
    }

    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = 0;
    bool m_ok = false;
    bool m_reaped = false;
};

struct Program {
    std::string label;
    std::string path;
    std::string folder;  // working folder (data folder), empty for the bare window
    std::string runtime; // its own XDG_RUNTIME_DIR
    std::vector<double> times;
    int failures = 0;
};

// The environment of every launched program: this one's, on the display,
// under the shipped locale, with the program's own runtime folder.
std::vector<std::string> childEnvironment(const std::string& display, const std::string& bus,
                                          const std::string& locale, const std::string& runtime)
{
    static const char* const replaced[] = {"DISPLAY=", "XDG_RUNTIME_DIR=", "QT_QPA_PLATFORM=", "LC_ALL=",
                                           "LOCPATH=", "LC_TIME=", "LC_NUMERIC=", "WAYLAND_DISPLAY=",
                                           "DBUS_SESSION_BUS_ADDRESS="};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        bool skip = false;
        for (const char* r : replaced)
            skip = skip || std::strncmp(*e, r, std::strlen(r)) == 0;
        if (!skip)
            env.emplace_back(*e);
    }
    env.push_back("DISPLAY=" + display);
    if (!bus.empty())
        env.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus);
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("XDG_RUNTIME_DIR=" + runtime);
    env.push_back("LOCPATH=" + locale);
    env.push_back("LC_TIME=hu_HU@rafordit");
    env.push_back("LC_NUMERIC=hu_HU@rafordit");
    return env;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One launch: the time to the mapped window, or negative on failure (the
// program's output then shows what went wrong).
double timeLaunch(MapWatcher& watcher, Program& p, const std::string& display, const std::string& bus,
                  const std::string& locale, const std::string& log)
{
    CStrings argv({p.path});
    CStrings env(childEnvironment(display, bus, locale, p.runtime));
    watcher.drain();
    const auto start = Clock::now();
    const pid_t pid = launch(argv, env, p.folder, log);
    if (pid < 0)
        return -1;
    const double ms = watcher.waitForMap(pid, start);
    if (!watcher.reaped())
        stop(pid);
    return ms;
}

void printLog(const std::string& log)
{
    QFile f(QString::fromStdString(log));
    if (f.open(QIODevice::ReadOnly))
        std::printf("  its output: %s\n", f.readAll().left(600).constData());
}

} // namespace

BENCH_CASE("launch: sebrix, zorivozure and a bare QMainWindow as processes, time to the mapped main window (target <= 1.5 x bare)")
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const std::string locale = QDir(bin.filePath(QStringLiteral("../locale"))).absolutePath().toStdString();
    QTemporaryDir temp;
    if (!temp.isValid()) {
        std::printf("  no temporary folder\n");
        return;
    }

    VirtualDisplay xvfb;
    std::string display = qEnvironmentVariable("RAFORDIT_LAUNCH_DISPLAY").toStdString();
    if (display.empty()) {
        if (!xvfb.start()) {
            std::printf("  Xvfb could not be started\n");
            return;
        }
        display = xvfb.name();
        std::printf("  display %s (Xvfb started for this case)\n", display.c_str());
    } else {
        std::printf("  display %s (given)\n", display.c_str());
    }
    // The session bus of the desktop, or one of the case's own.
    SessionBus ownBus;
    std::string bus = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").toStdString();
    if (qEnvironmentVariable("RAFORDIT_LAUNCH_BUS") == QLatin1String("none")) {
        bus.clear();
        std::printf("  no session bus (RAFORDIT_LAUNCH_BUS=none)\n");
    } else if (bus.empty()) {
        if (ownBus.start()) {
            bus = ownBus.address();
            std::printf("  session bus %s (started for this case)\n", bus.c_str());
        } else {
            std::printf("  no session bus: dbus-daemon could not be started\n");
        }
    } else {
        std::printf("  session bus %s (given)\n", bus.c_str());
    }
    MapWatcher watcher(display);
    if (!watcher.ok()) {
        std::printf("  cannot watch the display %s\n", display.c_str());
        return;
    }

    std::vector<Program> programs;
    auto add = [&](const std::string& label, const QString& path, const ProgramInfo* info) {
        if (!QFileInfo(path).isExecutable()) {
            std::printf("  %s: no program at %s\n", label.c_str(), qPrintable(path));
            return;
        }
        const QString own = temp.filePath(QString::number(programs.size()));
        Program p{label, QFileInfo(path).absoluteFilePath().toStdString(), {}, {}, {}, 0};
        const QString runtime = own + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        p.runtime = runtime.toStdString();
        if (info) {
            QString error;
            const QString folder = own + QStringLiteral("/data");
            if (!makeDataFolder(folder, *info, &error)) {
                std::printf("  %s: data folder: %s\n", label.c_str(), qPrintable(error));
                return;
            }
            p.folder = folder.toStdString();
        }
        programs.push_back(std::move(p));
    };
    add("bare QMainWindow", bin.filePath(QStringLiteral("rafordit_barewindow")), nullptr);
    add("sebrix", bin.filePath(QStringLiteral("../app/sebrix")), &ProgramInfo::sebrix());
    add("zorivozure", bin.filePath(QStringLiteral("../app/zorivozure")), &ProgramInfo::zorivozure());
    const QStringList baselines =
        qEnvironmentVariable("RAFORDIT_LAUNCH_BASELINE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& baseline : baselines) {
        const QDir other(baseline);
        const std::string from = " (" + other.dirName().toStdString() + ")";
        if (QFileInfo::exists(other.filePath(QStringLiteral("sebrix"))))
            add("sebrix" + from, other.filePath(QStringLiteral("sebrix")), &ProgramInfo::sebrix());
        if (QFileInfo::exists(other.filePath(QStringLiteral("zorivozure"))))
            add("zorivozure" + from, other.filePath(QStringLiteral("zorivozure")), &ProgramInfo::zorivozure());
    }
    if (programs.empty() || programs.front().label != "bare QMainWindow")
        return;

    const std::string log = temp.filePath(QStringLiteral("output.txt")).toStdString();
    // One launch each first, not counted: it fills the file cache.
    for (int run = -1; run < kRuns; ++run) {
        for (Program& p : programs) {
            const double ms = timeLaunch(watcher, p, display, bus, locale, log);
            if (ms < 0) {
                if (++p.failures == 1) {
                    std::printf("  %s: no window mapped\n", p.label.c_str());
                    printLog(log);
                }
            } else if (run >= 0) {
                p.times.push_back(ms);
            }
        }
    }

    const double bare = programs.front().times.empty() ? 0 : median(programs.front().times);
    for (const Program& p : programs) {
        if (p.times.empty())
            continue;
        const double ms = median(p.times);
        const auto [low, high] = std::minmax_element(p.times.begin(), p.times.end());
        char what[128];
        std::snprintf(what, sizeof what, "%s, fork/exec to mapped window", p.label.c_str());
        if (&p == &programs.front()) {
            std::printf("  %-60s %10.3f ms (median of %zu, %.1f-%.1f)\n", what, ms, p.times.size(), *low, *high);
        } else {
            std::printf("  %-60s %10.3f ms (median of %zu, %.1f-%.1f)  %5.2f x bare  target <= 1.50 x\n", what, ms,
                        p.times.size(), *low, *high, bare > 0 ? ms / bare : 0.0);
        }
    }
    std::fflush(stdout);
}

// Starts the real program on a virtual X display, as a user would see it, and closes it as a
// window manager would; opens its time line window with the mouse and the keyboard and watches
// a block the capture program writes appear there.
// GoogleTest before the X11 headers, whose macros (None, Bool) it cannot take.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "Process.h"
#include "TestFiles.h"

using namespace kelvarox::testing;

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
            bool quiet = false) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (quiet) (void)!std::freopen("/dev/null", "w", stderr);
        for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

template <typename F>
bool Poll(F condition, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::string WindowName(Display* display, Window w) {
    std::string name;
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return name;
}

// The mapped window with that title, searched in the whole tree: without a window manager it
// is a child of the root, with one it sits inside the manager's frame.
Window FindWindow(Display* display, Window under, const std::string& title) {
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, under, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
                WindowName(display, children[i]) == title)
                found = children[i];
            else
                found = FindWindow(display, children[i], title);
        }
        if (children) XFree(children);
    }
    return found;
}

Window FindWindow(Display* display, const std::string& title) {
    return FindWindow(display, DefaultRootWindow(display), title);
}

// The outer top-left corner of a window: that of its ancestor just below the root, which is
// the window manager's frame when there is one.
std::pair<int, int> OuterCorner(Display* display, Window window) {
    for (;;) {
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return {-1, -1};
        if (children) XFree(children);
        if (parent == root) break;
        window = parent;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return {-1, -1};
    return {attributes.x, attributes.y};
}

// A child process, killed when it goes out of scope unless it ended before.
struct Child {
    pid_t pid = -1;
    Child() = default;
    Child(Child&& other) noexcept : pid(std::exchange(other.pid, -1)) {}
    Child& operator=(Child&&) = delete;
    ~Child() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

const char* const kMainWindowTitle = " Kelvarox Decoder / Qarn";

// A virtual display of its own, with an open connection to it.
struct VirtualDisplay {
    Child server;
    std::string name;
    Display* x = nullptr;

    VirtualDisplay() {
        // The server picks a free display number itself and writes it to the pipe, so tests that
        // run at the same time never start two servers on one number.
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) return;
        server.pid = Spawn(
            {"Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen", "0", "1400x900x24", "-nolisten", "tcp"}, {});
        ::close(pipeEnds[1]);
        std::string number;
        pollfd ready{pipeEnds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&ready, 1, 20'000) == 1 && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(pipeEnds[0]);
        if (number.empty()) return;
        name = ":" + number;
        // A window the program destroys while the test looks at it gives BadWindow, on which
        // Xlib would end the test program; the call that met it fails instead.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        Poll([&] { return (x = XOpenDisplay(name.c_str())) != nullptr; }, 20);
    }
    ~VirtualDisplay() {
        if (x) XCloseDisplay(x);
    }
};

// A home with a settings file that names `home`/Trelm as the capture program's directory, whose
// telemetry folder holds the sample blocks, or nothing.
struct ProgramHome {
    TempDir home;
    std::filesystem::path config = home / "config";
    std::filesystem::path telemetry = home / "Trelm/telemetry";

    explicit ProgramHome(bool withSampleBlocks = true) {
        std::filesystem::create_directories(config / "kelvarox");
        WriteText(config / "kelvarox/user.reg",
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
                  "\"Default Directory\"=\"" +
                      (home / "Trelm").string() + "\"\r\n");
        std::filesystem::create_directories(home / "Trelm");
        if (withSampleBlocks)
            std::filesystem::create_directory_symlink(std::string(KELVAROX_SOURCE_DIR) + "/samples/telemetry",
                                                      telemetry);
        else
            std::filesystem::create_directories(telemetry);
    }
    std::string Settings() const { return ReadText(config / "kelvarox/user.reg"); }
    // The stored text of a value ("Form1 Top"), empty when it is not there.
    std::string Stored(const std::string& name) const {
        const std::string text = Settings();
        const std::string quoted = "\"" + name + "\"=\"";
        const auto at = text.find(quoted);
        if (at == std::string::npos) return std::string();
        const auto from = at + quoted.size();
        return text.substr(from, text.find('"', from) - from);
    }
};

Child StartProgram(const VirtualDisplay& display, const ProgramHome& home) {
    Child program;
    program.pid = Spawn({KELVAROX_PROGRAM}, {{"DISPLAY", display.name},
                                             {"QT_QPA_PLATFORM", "xcb"},
                                             {"HOME", home.home.path().string()},
                                             {"XDG_CONFIG_HOME", home.config.string()},
                                             {"XDG_DATA_HOME", (home.home / "data").string()},
                                             {"XDG_RUNTIME_DIR", home.home.path().string()}});
    return program;
}

// Closes the window as a window manager does, and waits for the program to end; its exit status.
int CloseAndWait(Display* x, Window window, Child& program) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &close);
    XFlush(x);
    int status = -1;
    if (!Poll([&] { return ::waitpid(program.pid, &status, WNOHANG) == program.pid; }, 20)) return -1;
    program.pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The number of colours among every second pixel of every second row of a window: a few for a
// window not painted yet, many for one that shows its widgets.
size_t Colours(Display* x, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x, window, &attributes)) return 0;
    XImage* image = XGetImage(x, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return 0;
    std::set<unsigned long> colours;
    for (int py = 0; py < attributes.height; py += 2)
        for (int px = 0; px < attributes.width; px += 2) colours.insert(XGetPixel(image, px, py));
    XDestroyImage(image);
    return colours.size();
}

// Whether a popup (an open menu) shows: a viewable window beside the others that no window
// manager places.
bool PopupShown(Display* x) {
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    bool shown = false;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable &&
                attributes.override_redirect)
                shown = true;
        }
        if (children) XFree(children);
    }
    return shown;
}

// The columns of a window that hold a pixel of `colour` in the rows from `top` to `bottom` (as
// shares of its height).
std::vector<int> ColumnsWith(Display* x, Window window, unsigned long colour, double top, double bottom) {
    XWindowAttributes attributes;
    std::vector<int> columns;
    if (!XGetWindowAttributes(x, window, &attributes)) return columns;
    XImage* image = XGetImage(x, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return columns;
    for (int px = 0; px < attributes.width; ++px) {
        for (int py = static_cast<int>(attributes.height * top); py < attributes.height * bottom; ++py) {
            if (XGetPixel(image, px, py) == colour) {
                columns.push_back(px);
                break;
            }
        }
    }
    XDestroyImage(image);
    return columns;
}

// The widest gap between two columns, as a share of the distance from the first to the last.
double WidestGap(const std::vector<int>& columns) {
    if (columns.size() < 2) return 0;
    int widest = 0;
    for (size_t i = 1; i < columns.size(); ++i) widest = std::max(widest, columns[i] - columns[i - 1]);
    return static_cast<double>(widest) / (columns.back() - columns.front());
}

// A key pressed and released; the program takes the keys in the order they were sent.
void Key(Display* x, KeySym key) {
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, key), True, CurrentTime);
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, key), False, CurrentTime);
    XFlush(x);
}

// A click of the left button at `left`, `top` within the window.
void ClickAt(Display* x, Window window, int left, int top) {
    int rootLeft = 0, rootTop = 0;
    Window child = 0;
    XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &rootLeft, &rootTop, &child);
    XTestFakeMotionEvent(x, -1, rootLeft + left, rootTop + top, CurrentTime);
    XTestFakeButtonEvent(x, 1, True, CurrentTime);
    XTestFakeButtonEvent(x, 1, False, CurrentTime);
    XFlush(x);
}

const char* const kTimeLineTitle = "Time Line  Kelvarox / Qarn";

// Menu > Time Line: a click on the menu, then the fourth item under About, Setup and Satellite.
// The time line window, or 0 when the menu or the window did not appear.
Window OpenTimeLine(Display* x, Window main) {
    ClickAt(x, main, 20, 8);
    if (!Poll([&] { return PopupShown(x); }, 20)) return 0;
    for (const KeySym key : {XK_Down, XK_Down, XK_Down, XK_Down, XK_Return}) Key(x, key);
    Window timeLine = 0;
    Poll([&] { return (timeLine = FindWindow(x, kTimeLineTitle)) != 0; }, 20);
    return timeLine;
}

}  // namespace

TEST(RealProgram, StartsShowsItsWindowAndSavesOnClose) {
    ProgramHome home;
    VirtualDisplay display;
    ASSERT_NE(display.x, nullptr) << "Xvfb did not start";
    Display* x = display.x;

    Child program = StartProgram(display, home);
    Window window = 0;
    ASSERT_TRUE(Poll([&] { return (window = FindWindow(x, kMainWindowTitle)) != 0; }, 30))
        << "the main window did not appear";
    EXPECT_TRUE(Poll([&] { return Colours(x, window) > 4; }, 30)) << "the window shows no picture";

    // The screenshot: a real picture, not a blank screen.
    const std::string shot = (home.home / "screenshot.png").string();
    const auto import = RunProcess("/usr/bin/import", {"-display", display.name, "-window", "root", shot});
    EXPECT_EQ(import.status, 0) << import.err;
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(x, window, &attributes));
    EXPECT_GE(attributes.width, 388);
    EXPECT_GE(attributes.height, 226);

    // The close handler stores the position and offset.
    EXPECT_EQ(CloseAndWait(x, window, program), 0) << "the program did not end when its window was closed";
    const std::string settings = home.Settings();
    EXPECT_EQ(home.Stored("Form1 Top"), "20") << settings;
    EXPECT_EQ(home.Stored("Form1 Left"), "20") << settings;
    EXPECT_EQ(home.Stored("Orbit Offset"), "0") << settings;
}

// Under a window manager that draws a title bar the window stays where it was: start, close,
// start, close leaves the stored position as it was, and a first start puts the frame at 20, 20.
TEST(RealProgram, KeepsItsPlaceUnderAWindowManager) {
    ProgramHome home;
    VirtualDisplay display;
    ASSERT_NE(display.x, nullptr) << "Xvfb did not start";
    Display* x = display.x;
    Child manager;
    manager.pid = Spawn({"openbox"}, {{"DISPLAY", display.name}, {"HOME", home.home.path().string()}}, true);
    const Atom supporting = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    ASSERT_TRUE(Poll(
        [&] {
            Atom type;
            int format;
            unsigned long count = 0, after;
            unsigned char* data = nullptr;
            XGetWindowProperty(x, DefaultRootWindow(x), supporting, 0, 1, False, XA_WINDOW, &type, &format, &count,
                               &after, &data);
            if (data) XFree(data);
            return count == 1;
        },
        30))
        << "the window manager did not start";

    std::vector<std::string> stored;
    for (int run = 0; run < 2; ++run) {
        Child program = StartProgram(display, home);
        Window window = 0;
        ASSERT_TRUE(Poll([&] { return (window = FindWindow(x, kMainWindowTitle)) != 0; }, 30))
            << "the main window did not appear in run " << run;
        // The frame settles where the manager puts it; the corner is read once it is there.
        std::pair<int, int> corner;
        Poll([&] { return (corner = OuterCorner(x, window)) == std::pair(20, 20); }, 10);
        if (run == 0) {
            EXPECT_EQ(corner, std::pair(20, 20)) << "the frame's left and top";
        }
        ASSERT_EQ(CloseAndWait(x, window, program), 0) << "run " << run;
        stored.push_back(home.Stored("Form1 Top") + ", " + home.Stored("Form1 Left"));
    }
    EXPECT_EQ(stored[0], "20, 20");
    EXPECT_EQ(stored[1], stored[0]);
}

TEST(RealProgram, TheTimeLineGrowsWhenTheCaptureProgramWritesABlock) {
    ProgramHome home(false);
    const std::filesystem::path& telemetry = home.telemetry;
    // Two orbits of the main battery's volts in a row, from the week of sample passes.
    for (const char* name : {"010B-8765-15.dat", "010B-8765-15b.dat"})
        std::filesystem::copy_file(std::string(KELVAROX_SOURCE_DIR) + "/samples/week/" + name, telemetry / name);
    VirtualDisplay screen;
    ASSERT_TRUE(screen.x) << "Xvfb did not start";
    Display* x = screen.x;
    Child program = StartProgram(screen, home);
    Window main = 0;
    ASSERT_TRUE(Poll([&] { return (main = FindWindow(x, kMainWindowTitle)) != 0; }, 30));
    ASSERT_TRUE(Poll([&] { return Colours(x, main) > 4; }, 30)) << "the main window shows no picture";

    const Window timeLine = OpenTimeLine(x, main);
    ASSERT_TRUE(timeLine) << "the time line window did not open";

    // The channel's plot, in the first plot's colour, spans the two blocks without a break.
    constexpr unsigned long kFirstPlotColour = 0x0000AA;
    std::vector<int> trace;
    ASSERT_TRUE(Poll([&] { return (trace = ColumnsWith(x, timeLine, kFirstPlotColour, 0.2, 0.8)).size() > 300; }, 30))
        << "the plot shows no trace";
    EXPECT_LT(WidestGap(trace), 0.05);

    // The capture program writes the block after them: it appears at the right, after a gap.
    std::filesystem::copy_file(std::string(KELVAROX_SOURCE_DIR) + "/samples/telemetry/BATTERY.DAT",
                               telemetry / "BATTERY.DAT");
    std::vector<int> grown;
    EXPECT_TRUE(Poll([&] { return WidestGap(grown = ColumnsWith(x, timeLine, kFirstPlotColour, 0.2, 0.8)) > 0.5; }, 30))
        << "the new block did not appear: widest gap " << WidestGap(grown);
    const std::string shot = (home.home / "time-line.png").string();
    EXPECT_EQ(RunProcess("/usr/bin/import", {"-display", screen.name, "-window", "root", shot}).status, 0);
}

// The time line as the user left it comes back at the next start: two channels selected with
// the keyboard, the program closed and started again, and both plots are there.
TEST(RealProgram, TheTimeLineLayoutIsKeptAcrossARestart) {
    ProgramHome home(false);
    for (const char* name : {"0106-8765-15.dat", "010B-8765-15.dat"})
        std::filesystem::copy_file(std::string(KELVAROX_SOURCE_DIR) + "/samples/week/" + name, home.telemetry / name);
    VirtualDisplay screen;
    ASSERT_TRUE(screen.x) << "Xvfb did not start";
    Display* x = screen.x;
    constexpr unsigned long kFirstPlotColour = 0x0000AA, kSecondPlotColour = 0xAA0000;
    // The program started, and its time line opened; 0 when either did not appear.
    const auto openTimeLine = [&](Child& program, Window& main) {
        Child started = StartProgram(screen, home);
        program.pid = std::exchange(started.pid, -1);
        if (!Poll([&] { return (main = FindWindow(x, kMainWindowTitle)) != 0 && Colours(x, main) > 4; }, 30))
            return Window{0};
        return OpenTimeLine(x, main);
    };

    Child program;
    Window main = 0;
    Window timeLine = openTimeLine(program, main);
    ASSERT_TRUE(timeLine) << "the time line window did not open";
    ASSERT_TRUE(Poll([&] { return ColumnsWith(x, timeLine, kFirstPlotColour, 0.1, 0.9).size() > 100; }, 30))
        << "the first channel shows no trace";
    EXPECT_TRUE(ColumnsWith(x, timeLine, kSecondPlotColour, 0.1, 0.9).empty());
    // A click into the filter box above the channel list, Tab into the list, and Ctrl+A.
    ClickAt(x, timeLine, 60, 16);
    Key(x, XK_Tab);
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, XK_Control_L), True, CurrentTime);
    Key(x, XK_a);
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, XK_Control_L), False, CurrentTime);
    XFlush(x);
    ASSERT_TRUE(Poll([&] { return ColumnsWith(x, timeLine, kSecondPlotColour, 0.1, 0.9).size() > 100; }, 30))
        << "the second channel shows no trace";
    ASSERT_EQ(CloseAndWait(x, main, program), 0);
    EXPECT_NE(home.Settings().find("#10B"), std::string::npos) << home.Settings();

    timeLine = openTimeLine(program, main);
    ASSERT_TRUE(timeLine) << "the time line window did not open again";
    EXPECT_TRUE(Poll([&] { return ColumnsWith(x, timeLine, kSecondPlotColour, 0.1, 0.9).size() > 100; }, 30))
        << "the second channel's plot did not come back";
    const std::string shot = (home.home / "time-line-kept.png").string();
    EXPECT_EQ(RunProcess("/usr/bin/import", {"-display", screen.name, "-window", "root", shot}).status, 0);
    EXPECT_EQ(CloseAndWait(x, main, program), 0);
}

// Starts the real program on a virtual X display, as a user would see it, and closes it as a
// window manager would; opens its time line window with the mouse and the keyboard and watches
// a block the capture program writes appear there.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "Process.h"
#include "TestFiles.h"

using namespace kelvarox::testing;

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env) {
    const pid_t pid = ::fork();
    if (pid == 0) {
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
            Success && data) {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return name;
}

// The top-level window (a direct child of the root, as there is no window manager) with that title.
Window FindWindow(Display* display, const std::string& title) {
    Window root = DefaultRootWindow(display), parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
                WindowName(display, children[i]) == title)
                found = children[i];
        }
        if (children) XFree(children);
    }
    return found;
}

struct Child {
    pid_t pid = -1;
    ~Child() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

// Xvfb on the first display number without a lock file, and a connection to it.
struct VirtualDisplay {
    std::string name;
    Child xvfb;
    Display* x = nullptr;

    VirtualDisplay() {
        int number = 90;
        while (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
        name = ":" + std::to_string(number);
        xvfb.pid = Spawn({"Xvfb", name, "-screen", "0", "1400x900x24", "-nolisten", "tcp"}, {});
        Poll([&] { return (x = XOpenDisplay(name.c_str())) != nullptr; }, 20);
    }
    ~VirtualDisplay() {
        if (x) XCloseDisplay(x);
    }
};

// A home folder whose settings name `home`/Trelm as the capture program's directory.
std::filesystem::path NameTelemetryDirectory(const TempDir& home) {
    const auto config = home / "config";
    std::filesystem::create_directories(config / "kelvarox");
    WriteText(config / "kelvarox/user.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
              "\"Default Directory\"=\"" + (home / "Trelm").string() + "\"\r\n");
    std::filesystem::create_directories(home / "Trelm");
    return config;
}

pid_t StartProgram(const VirtualDisplay& display, const TempDir& home, const std::filesystem::path& config) {
    return Spawn({KELVAROX_PROGRAM}, {{"DISPLAY", display.name},
                                      {"QT_QPA_PLATFORM", "xcb"},
                                      {"HOME", home.path().string()},
                                      {"XDG_CONFIG_HOME", config.string()},
                                      {"XDG_DATA_HOME", (home / "data").string()},
                                      {"XDG_RUNTIME_DIR", home.path().string()}});
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

void Key(Display* x, KeySym key) {
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, key), True, CurrentTime);
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, key), False, CurrentTime);
    XFlush(x);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

}  // namespace

TEST(RealProgram, StartsShowsItsWindowAndSavesOnClose) {
    TempDir home;
    const auto config = NameTelemetryDirectory(home);
    std::filesystem::create_directory_symlink(std::string(KELVAROX_SOURCE_DIR) + "/samples/telemetry",
                                              home / "Trelm/telemetry");
    VirtualDisplay screen;
    ASSERT_TRUE(screen.x) << "Xvfb did not start";
    Display* x = screen.x;
    const std::string& display = screen.name;

    Child program;
    program.pid = StartProgram(screen, home, config);
    Window window = 0;
    ASSERT_TRUE(Poll([&] { return (window = FindWindow(x, " Kelvarox Decoder / Qarn")) != 0; }, 30))
        << "the main window did not appear";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let it paint

    // The screenshot: a real picture, not a blank screen.
    const std::string shot = (home / "screenshot.png").string();
    const auto import = RunProcess("/usr/bin/import", {"-display", display, "-window", "root", shot});
    EXPECT_EQ(import.status, 0) << import.err;
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(x, window, &attributes));
    EXPECT_GE(attributes.width, 388);
    EXPECT_GE(attributes.height, 226);
    XImage* image = XGetImage(x, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    std::set<unsigned long> colours;
    for (int py = 0; py < attributes.height; py += 2)
        for (int px = 0; px < attributes.width; px += 2) colours.insert(XGetPixel(image, px, py));
    XDestroyImage(image);
    EXPECT_GT(colours.size(), 4u) << "the window shows no picture";

    // Close it as a window manager does; the close handler stores the position and offset.
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
    ASSERT_TRUE(Poll([&] { return ::waitpid(program.pid, &status, WNOHANG) == program.pid; }, 20))
        << "the program did not end when its window was closed";
    program.pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::string settings = ReadText(config / "kelvarox/user.reg");
    EXPECT_NE(settings.find("\"Form1 Top\"=\"20\""), std::string::npos) << settings;
    EXPECT_NE(settings.find("\"Form1 Left\"=\"20\""), std::string::npos) << settings;
    EXPECT_NE(settings.find("\"Orbit Offset\"=\"0\""), std::string::npos) << settings;
}

TEST(RealProgram, TheTimeLineGrowsWhenTheCaptureProgramWritesABlock) {
    TempDir home;
    const auto config = NameTelemetryDirectory(home);
    // Two orbits of the main battery's volts in a row, from the week of sample passes.
    const std::filesystem::path telemetry = home / "Trelm/telemetry";
    std::filesystem::create_directories(telemetry);
    for (const char* name : {"010B-8765-15.dat", "010B-8765-15b.dat"})
        std::filesystem::copy_file(std::string(KELVAROX_SOURCE_DIR) + "/samples/week/" + name, telemetry / name);
    VirtualDisplay screen;
    ASSERT_TRUE(screen.x) << "Xvfb did not start";
    Display* x = screen.x;
    Child program;
    program.pid = StartProgram(screen, home, config);
    Window main = 0;
    ASSERT_TRUE(Poll([&] { return (main = FindWindow(x, " Kelvarox Decoder / Qarn")) != 0; }, 30));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // Menu > Time Line: a click on the menu, then the third item under About and Setup.
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(x, main, DefaultRootWindow(x), 0, 0, &left, &top, &child);
    XTestFakeMotionEvent(x, -1, left + 20, top + 8, CurrentTime);
    XTestFakeButtonEvent(x, 1, True, CurrentTime);
    XTestFakeButtonEvent(x, 1, False, CurrentTime);
    XFlush(x);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    for (const KeySym key : {XK_Down, XK_Down, XK_Down, XK_Return}) Key(x, key);
    Window timeLine = 0;
    ASSERT_TRUE(Poll([&] { return (timeLine = FindWindow(x, "Time Line  Kelvarox / Qarn")) != 0; }, 20))
        << "the time line window did not open";

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
    const std::string shot = (home / "time-line.png").string();
    EXPECT_EQ(RunProcess("/usr/bin/import", {"-display", screen.name, "-window", "root", shot}).status, 0);
}

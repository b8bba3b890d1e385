// Starts the real program on a virtual X display, as a user would see it, and closes it as a
// window manager would.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

}  // namespace

TEST(RealProgram, StartsShowsItsWindowAndSavesOnClose) {
    TempDir home;
    const auto config = home / "config";
    std::filesystem::create_directories(config / "kelvarox");
    WriteText(config / "kelvarox/user.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
              "\"Default Directory\"=\"" + (home / "Trelm").string() + "\"\r\n");
    std::filesystem::create_directories(home / "Trelm");
    std::filesystem::create_directory_symlink(std::string(KELVAROX_SOURCE_DIR) + "/samples/telemetry",
                                              home / "Trelm/telemetry");

    // A free display number: the first without a lock file.
    int number = 90;
    while (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
    const std::string display = ":" + std::to_string(number);
    Child xvfb;
    xvfb.pid = Spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {});
    Display* x = nullptr;
    ASSERT_TRUE(Poll([&] { return (x = XOpenDisplay(display.c_str())) != nullptr; }, 20)) << "Xvfb did not start";

    Child program;
    program.pid = Spawn({KELVAROX_PROGRAM}, {{"DISPLAY", display},
                                            {"QT_QPA_PLATFORM", "xcb"},
                                            {"HOME", home.path().string()},
                                            {"XDG_CONFIG_HOME", config.string()},
                                            {"XDG_RUNTIME_DIR", home.path().string()}});
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
    XCloseDisplay(x);

    const std::string settings = ReadText(config / "kelvarox/user.reg");
    EXPECT_NE(settings.find("\"Form1 Top\"=\"20\""), std::string::npos) << settings;
    EXPECT_NE(settings.find("\"Form1 Left\"=\"20\""), std::string::npos) << settings;
    EXPECT_NE(settings.find("\"Orbit Offset\"=\"0\""), std::string::npos) << settings;
}

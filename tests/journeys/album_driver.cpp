#include "tests/journeys/album_driver.h"

#include "platform/settings_store.h"
#include "tests/support/run_command.h"

#include <fstream>
#include <set>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char *kBusLauncher = "/usr/libexec/at-spi-bus-launcher";
constexpr int kCommandTimeoutS = 30;

std::string Quoted(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

AlbumDriver::AlbumDriver()
{
    if (!x.ok()) {
        why = "no X server: " + x.error();
        return;
    }
    if (!fs::exists(kBusLauncher) || RunCommand("command -v xdotool >/dev/null").status != 0
        || RunCommand("/usr/bin/python3 -c 'import pyatspi' 2>/dev/null").status != 0) {
        why = "no xdotool or accessibility bus (xdotool, at-spi2-core, python3-pyatspi)";
        return;
    }
    for (const char *folder : { "home", "config", "data", "runtime" })
        fs::create_directories(dir.path() / folder);
    fs::permissions(dir.path() / "runtime", fs::perms::owner_all);

    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const std::string bus = "unix:path=" + dir.file("session-bus");
    for (const auto &[name, value] : std::vector<std::pair<std::string, std::string>>{
                 { "DISPLAY", x.display() },
                 { "XDG_RUNTIME_DIR", dir.file("runtime") },
                 { "DBUS_SESSION_BUS_ADDRESS", bus },
                 { "QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1" },
                 { "XDG_DATA_HOME", dir.file("data") },
                 { "VISTREL_ROOT", home().string() } })
        environment.push_back(std::make_unique<ScopedEnv>(name, value));
    sessionBus = std::make_unique<ChildProcess>(
            "/usr/bin/dbus-daemon",
            std::vector<std::string>{ "--session", "--nofork", "--address=" + bus },
            std::map<std::string, std::string>{});
    if (!Eventually([&] { return fs::exists(dir.file("session-bus")); })) {
        why = "the session bus did not start";
        return;
    }
    accessibilityBus = std::make_unique<ChildProcess>(
            kBusLauncher, std::vector<std::string>{ "--launch-immediately" },
            std::map<std::string, std::string>{});
}

AlbumDriver::~AlbumDriver()
{
    album.reset();
    accessibilityBus.reset();
    sessionBus.reset();
    WaitUntil(kWaitMs, OnlyTheXServerIsLeft);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

std::string AlbumDriver::settingsText() const
{
    return ReadText(dir.path() / "config" / "Ornwick" / "Vistrel.conf");
}

AppSettings AlbumDriver::settings() const
{
    SettingsStore store((dir.path() / "config" / "Ornwick" / "Vistrel.conf").string());
    AppSettings read;
    LoadSettings(store, read, 0, 0);
    return read;
}

std::vector<std::string> AlbumDriver::traceLines() const
{
    std::vector<std::string> lines;
    std::ifstream in(trace());
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool AlbumDriver::start(const std::vector<std::string> &arguments)
{
    album = StartVistrel(x.display(), home().string(), (dir.path() / "config").string(), trace(),
                         arguments);
    window = waitForWindow("Vistrel");
    return !window.empty();
}

bool AlbumDriver::quit()
{
    // Dialogs titled as the main window (the sheets) must have closed first.
    Eventually([&] {
        return run("xdotool search --onlyvisible --name '^Vistrel$'") == window + "\n";
    });
    run("xdotool windowfocus --sync " + window + " key ctrl+q");
    return album && album->waitExit(kWaitMs) == 0;
}

std::string AlbumDriver::run(const std::string &command) const
{
    return RunCommand("timeout " + std::to_string(kCommandTimeoutS) + " " + command
                      + " 2>/dev/null")
            .out;
}

std::string AlbumDriver::waitForWindow(const std::string &title) const
{
    std::istringstream ids(
            run("xdotool search --sync --onlyvisible --name " + Quoted("^" + title + "$")));
    std::string id;
    ids >> id;
    return id;
}

bool AlbumDriver::waitGone(const std::string &title) const
{
    return Eventually([&] {
        return run("xdotool search --onlyvisible --name " + Quoted("^" + title + "$")).empty();
    });
}

std::string AlbumDriver::focusing(const std::string &title) const
{
    return title.empty() ? "xdotool " : "xdotool windowfocus --sync " + waitForWindow(title) + " ";
}

void AlbumDriver::keys(const std::string &keys, const std::string &title) const
{
    run(focusing(title) + "key --delay 60 " + keys);
}

void AlbumDriver::type(const std::string &text, const std::string &title) const
{
    run(focusing(title) + "type --delay 30 " + Quoted(text));
}

// No --sync: xdotool would wait for ever for a pointer already in place. The X server takes the
// move and a click after it in order anyway.
void AlbumDriver::pointAt(int px, int py) const
{
    run("xdotool mousemove " + std::to_string(px) + " " + std::to_string(py));
}

void AlbumDriver::clickAt(int px, int py, const std::string &modifier) const
{
    const std::string move = "xdotool mousemove " + std::to_string(px) + " " + std::to_string(py);
    if (modifier.empty())
        run(move + " click 1");
    else
        run(move + " keydown " + modifier + " click 1 keyup " + modifier);
}

std::string AlbumDriver::probe(const std::string &command, const std::string &role,
                               const std::string &name, int &status) const
{
    const std::string script = std::string(VISTREL_SOURCE_DIR) + "/tests/journeys/atspi_probe.py";
    const CommandResult result =
            RunCommand("timeout " + std::to_string(kCommandTimeoutS) + " /usr/bin/python3 "
                       + Quoted(script) + " " + command + " " + Quoted(role) + " " + Quoted(name));
    status = result.status;
    return result.out;
}

bool AlbumDriver::click(const std::string &role, const std::string &name) const
{
    int status = 0;
    std::istringstream centre(probe("centre", role, name, status));
    int px = 0, py = 0;
    if (status != 0 || !(centre >> px >> py))
        return false;
    clickAt(px, py);
    return true;
}

bool AlbumDriver::menu(const std::string &name) const
{
    return act("menu item", name);
}

bool AlbumDriver::act(const std::string &role, const std::string &name) const
{
    int status = 0;
    probe("press", role, name, status);
    return status == 0;
}

std::optional<bool> AlbumDriver::flag(const std::string &command, const std::string &role,
                                      const std::string &name) const
{
    int status = 0;
    const std::string state = probe(command, role, name, status);
    if (status != 0)
        return std::nullopt;
    return state == "1\n";
}

std::optional<std::string> AlbumDriver::text(const std::string &role, const std::string &name) const
{
    int status = 0;
    std::string shown = probe("text", role, name, status);
    if (status != 0)
        return std::nullopt;
    return shown;
}

std::vector<std::string> AlbumDriver::texts(const std::string &title) const
{
    int status = 0;
    const std::string all = probe("texts", title, "", status);
    std::vector<std::string> found;
    std::istringstream in(all);
    for (std::string text; std::getline(in, text, '\x1e');)
        found.push_back(text);
    return found;
}

RgbPicture AlbumDriver::screen() const
{
    const std::string file = dir.file("screen.ppm");
    run("import -window root -depth 8 " + Quoted(file));
    RgbPicture shot;
    ReadPpm(file, shot);
    return shot;
}

RgbPicture AlbumDriver::picture(const fs::path &file) const
{
    const std::string converted = dir.file("picture.ppm");
    fs::remove(converted);
    run("convert " + Quoted(file.string() + "[0]") + " -depth 8 " + Quoted("ppm:" + converted));
    RgbPicture read;
    ReadPpm(converted, read);
    return read;
}

void AlbumDriver::place(const std::string &id, int left, int top, int width, int height) const
{
    run("xdotool windowmove --sync " + id + " " + std::to_string(left) + " " + std::to_string(top)
        + " windowsize --sync " + id + " " + std::to_string(width) + " " + std::to_string(height));
}

std::string AlbumDriver::geometry(const std::string &id) const
{
    return GeometryFromXdotoolShell(run("xdotool getwindowgeometry --shell " + id));
}

std::size_t ColourCount(const RgbPicture &picture)
{
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
        colours.insert(std::uint32_t(picture.rgb[i]) << 16 | std::uint32_t(picture.rgb[i + 1]) << 8
                       | picture.rgb[i + 2]);
    return colours.size();
}

double DifferingShare(const RgbPicture &a, const RgbPicture &b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size() || a.rgb.empty())
        return 1.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        if (a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2])
            ++differing;
    }
    return double(differing) / double(a.rgb.size() / 3);
}

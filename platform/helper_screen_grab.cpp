#include "platform/helper_screen_grab.h"

#include "common/file_descriptor.h"
#include "platform/grab_stream.h"
#include "platform/program_folder.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// Waits for the child whatever the outcome, so that none is left as a zombie.
void reap(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
}

} // namespace

std::string HelperProgramBeside(const std::string &programFolder, const std::string &name)
{
    const std::string beside = programFolder + "/" + name;
    const std::string installed = programFolder + "/../libexec/vistrel/" + name;

    struct stat facts
    { };

    if (::stat(installed.c_str(), &facts) != 0 && ::stat(beside.c_str(), &facts) == 0)
        return beside;
    return installed;
}

std::string PortalGrabProgramPath()
{
    return HelperProgramBeside(RunningProgramFolder(), kPortalGrabProgram);
}

HelperScreenGrabber::HelperScreenGrabber(std::string program, std::vector<std::string> arguments)
    : path(std::move(program)), args(std::move(arguments))
{ }

GrabResult HelperScreenGrabber::grabArea(const AreaRequest &request)
{
    startFailure = 0;
    // The portal names no monitors: it cannot be asked for one by its index.
    if (request.monitor)
        return GrabFailure::NoArea;
    std::vector<std::string> given = args;
    if (request.exact || request.area != CaptureArea::Screen)
        given.insert(given.end(), { "--area", AreaText(request) });
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        startFailure = errno;
        return GrabFailure::CopyFailed;
    }
    FileDescriptor reading(ends[0]);
    FileDescriptor writing(ends[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the copy: only the child's standard output stays open.
    posix_spawn_file_actions_adddup2(&actions, writing.get(), STDOUT_FILENO);
    std::vector<char *> argv{ path.data() };
    for (std::string &arg : given)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int started =
            ::posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    // Without our copy of the writing end, the stream ends when the helper's does.
    writing.reset();
    if (started != 0) {
        startFailure = started;
        return GrabFailure::CopyFailed;
    }
    GrabResult result = ReadGrabStream(reading.get());
    // A helper still writing after a bad stream gets a broken pipe instead of blocking.
    reading.reset();
    reap(child);
    return result;
}

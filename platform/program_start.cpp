#include "platform/program_start.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The started program must not stay a child of ours: nobody would wait for it and it would stay a
// zombie until the album ends. A short-lived middle process starts it and exits at once, so the
// program is adopted by the system. The program's exec closes the close-on-exec pipe; when the exec
// fails the error number travels back through it instead.
class HostProgramStarter final : public ProgramStarter
{
public:
    int start(const std::string &program, const std::vector<std::string> &args) override
    {
        std::vector<char *> argv = argumentVector(program, args);
        int channel[2];
        if (pipe2(channel, O_CLOEXEC) != 0)
            return errno;
        const pid_t middle = fork();
        if (middle < 0) {
            const int error = errno;
            close(channel[0]);
            close(channel[1]);
            return error;
        }
        if (middle == 0)
            runMiddle(argv, channel[1]);
        close(channel[1]);
        int status = 0;
        while (waitpid(middle, &status, 0) < 0 && errno == EINTR) { }
        const int error = readError(channel[0]);
        close(channel[0]);
        return error;
    }

private:
    static std::vector<char *> argumentVector(const std::string &program,
                                              const std::vector<std::string> &args)
    {
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(program.c_str()));
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        return argv;
    }

    // Only async-signal-safe calls from here on: the parent may run other threads.
    [[noreturn]] static void runMiddle(const std::vector<char *> &argv, int errorPipe)
    {
        const pid_t program = fork();
        if (program == 0) {
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            setsid();
            execvp(argv[0], argv.data());
            reportError(errorPipe, errno);
            _exit(127);
        }
        if (program < 0)
            reportError(errorPipe, errno);
        _exit(0);
    }

    static void reportError(int errorPipe, int error)
    {
        ssize_t written;
        do {
            written = write(errorPipe, &error, sizeof error);
        } while (written < 0 && errno == EINTR);
    }

    // Nothing to read (the pipe closed on exec) means the program runs.
    static int readError(int errorPipe)
    {
        int error = 0;
        ssize_t got;
        do {
            got = read(errorPipe, &error, sizeof error);
        } while (got < 0 && errno == EINTR);
        return got == static_cast<ssize_t>(sizeof error) ? error : 0;
    }
};

HostProgramStarter hostStarter;
ProgramStarter *currentStarter = &hostStarter;

} // namespace

ProgramStarter *SetProgramStarter(ProgramStarter *starter)
{
    ProgramStarter *previous = currentStarter == &hostStarter ? nullptr : currentStarter;
    currentStarter = starter ? starter : &hostStarter;
    return previous;
}

int StartProgram(const std::string &program, const std::vector<std::string> &args)
{
    return currentStarter->start(program, args);
}

// pty_feed TERM PROGRAM INPUT: runs PROGRAM on a new pseudo-terminal of type TERM and types
// the file INPUT into it as fast as the terminal takes it, reading (and dropping) all the
// program writes, until the program ends. bench/run times it for the line editor against the
// terminal's own line discipline, with the same keys.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: pty_feed TERM PROGRAM INPUT\n");
        return 2;
    }
    std::ifstream file(argv[3], std::ios::binary);
    const std::string input((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    winsize size{};
    size.ws_row = 40;
    size.ws_col = 120;
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, &size);
    if (child < 0) return 2;
    if (child == 0) {
        setenv("TERM", argv[1], 1);
        execl(argv[2], argv[2], static_cast<char*>(nullptr));
        _exit(127);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    std::size_t given = 0;
    for (char buffer[65536];;) {
        pollfd ready{master, static_cast<short>(POLLIN | (given < input.size() ? POLLOUT : 0)), 0};
        if (poll(&ready, 1, -1) < 0 && errno != EINTR) return 2;
        if (ready.revents & POLLOUT) {
            const ssize_t put = write(master, input.data() + given, input.size() - given);
            if (put > 0) given += static_cast<std::size_t>(put);
        }
        if (ready.revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t got = read(master, buffer, sizeof buffer);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) break;  // EIO: the program has gone
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

#include "process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace testing_support {
namespace {

using Clock = std::chrono::steady_clock;

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

int remaining_ms(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// keep_bytes: how much of standard output is read before the reader closes the pipe; 0 leaves
// the pipe without a reader from the start.
ProcessResult run(const std::string& path, std::string_view input, const std::string* output_path,
                  std::chrono::milliseconds timeout, std::size_t keep_bytes = static_cast<std::size_t>(-1)) {
    int in_pipe[2];
    int out_pipe[2] = {-1, -1};
    if (pipe(in_pipe) != 0) throw std::runtime_error("pipe");
    if (!output_path && pipe(out_pipe) != 0) throw std::runtime_error("pipe");
    if (keep_bytes == 0) close_fd(out_pipe[0]);

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        dup2(in_pipe[0], 0);
        int out_fd = output_path ? open(output_path->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : out_pipe[1];
        dup2(out_fd, 1);
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 2);
        for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], out_fd, null_fd}) {
            if (fd > 2) ::close(fd);
        }
        signal(SIGPIPE, SIG_DFL);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close_fd(in_pipe[0]);
    close_fd(out_pipe[1]);
    fcntl(in_pipe[1], F_SETFL, O_NONBLOCK);

    ProcessResult result;
    const auto deadline = Clock::now() + timeout;
    std::size_t written = 0;
    if (input.empty()) close_fd(in_pipe[1]);
    char buffer[65536];
    while (in_pipe[1] >= 0 || out_pipe[0] >= 0) {
        pollfd fds[2];
        nfds_t count = 0;
        if (out_pipe[0] >= 0) fds[count++] = {out_pipe[0], POLLIN, 0};
        if (in_pipe[1] >= 0) fds[count++] = {in_pipe[1], POLLOUT, 0};
        const int ready = poll(fds, count, remaining_ms(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            result.timed_out = true;
            break;
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents == 0) continue;
            if (fds[i].fd == out_pipe[0]) {
                const ssize_t got = read(out_pipe[0], buffer, sizeof buffer);
                if (got > 0) {
                    result.out.append(buffer, static_cast<std::size_t>(got));
                    if (result.out.size() >= keep_bytes) close_fd(out_pipe[0]);
                } else if (!(got < 0 && errno == EINTR)) {
                    close_fd(out_pipe[0]);
                }
            } else {
                const ssize_t put = write(in_pipe[1], input.data() + written, input.size() - written);
                if (put > 0) written += static_cast<std::size_t>(put);
                if ((put < 0 && errno != EAGAIN && errno != EINTR) || written == input.size()) close_fd(in_pipe[1]);
            }
        }
        // With output going to a file there is nothing to read: wait only for the input to go.
        if (output_path && in_pipe[1] < 0) break;
    }
    close_fd(in_pipe[1]);
    close_fd(out_pipe[0]);

    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (result.timed_out || remaining_ms(deadline) == 0) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        usleep(1000);
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

}  // namespace

std::string program_path(std::string_view name) { return std::string(PROGRAM_DIR) + "/" + std::string(name); }

ProcessResult run_program(const std::string& path, std::string_view input, int timeout_ms) {
    return run(path, input, nullptr, std::chrono::milliseconds(timeout_ms));
}

ProcessResult run_program_to(const std::string& path, std::string_view input, const std::string& output_path,
                             int timeout_ms) {
    return run(path, input, &output_path, std::chrono::milliseconds(timeout_ms));
}

ProcessResult run_program_to_closed_pipe(const std::string& path, std::string_view input, std::size_t keep_bytes,
                                         int timeout_ms) {
    return run(path, input, nullptr, std::chrono::milliseconds(timeout_ms), keep_bytes);
}

}  // namespace testing_support

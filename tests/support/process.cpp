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

struct Options {
    std::string_view input;
    const std::string* input_path = nullptr;   // instead of `input` through a pipe
    const std::string* output_path = nullptr;  // instead of a pipe
    // How much of standard output is read before the reader closes the pipe; 0 leaves the
    // pipe without a reader from the start.
    std::size_t keep_bytes = static_cast<std::size_t>(-1);
    bool answer_each_prompt = false;
    bool nonblocking_input = false;
    std::chrono::milliseconds timeout{hung_after_ms};
};

bool shows_prompt(const std::string& out, std::size_t answered_at) {
    return out.size() > answered_at && out.ends_with(": ");
}

std::string read_file(const char* path) {
    std::string text;
    const int fd = open(path, O_RDONLY);
    char buffer[4096];
    for (ssize_t got; fd >= 0 && (got = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(got));
    if (fd >= 0) ::close(fd);
    return text;
}

ProcessResult run(const std::string& path, const Options& options) {
    // A program that ends before it has read all its input closes the pipe under our writes.
    signal(SIGPIPE, SIG_IGN);
    std::string_view input = options.input;
    int in_pipe[2] = {-1, -1};
    int out_pipe[2] = {-1, -1};
    if (!options.input_path && pipe(in_pipe) != 0) throw std::runtime_error("pipe");
    if (!options.output_path && pipe(out_pipe) != 0) throw std::runtime_error("pipe");
    if (options.keep_bytes == 0) close_fd(out_pipe[0]);
    char err_path[] = "/tmp/program-stderr-XXXXXX";
    const int err_fd = mkstemp(err_path);
    if (err_fd < 0) throw std::runtime_error("mkstemp");

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        const int in_fd = options.input_path ? open(options.input_path->c_str(), O_RDONLY) : in_pipe[0];
        dup2(in_fd, 0);
        if (options.nonblocking_input) fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
        const int out_fd =
            options.output_path ? open(options.output_path->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : out_pipe[1];
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], in_fd, out_fd, err_fd}) {
            if (fd > 2) ::close(fd);
        }
        signal(SIGPIPE, SIG_DFL);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(err_fd);
    close_fd(in_pipe[0]);
    close_fd(out_pipe[1]);
    if (in_pipe[1] >= 0) fcntl(in_pipe[1], F_SETFL, O_NONBLOCK);

    ProcessResult result;
    const auto deadline = Clock::now() + options.timeout;
    std::size_t written = 0;
    std::size_t answered_at = 0;  // the output's size when the last answer was sent
    if (input.empty()) close_fd(in_pipe[1]);
    char buffer[65536];
    while (in_pipe[1] >= 0 || out_pipe[0] >= 0) {
        const bool may_answer = !options.answer_each_prompt || shows_prompt(result.out, answered_at);
        pollfd fds[2];
        nfds_t count = 0;
        if (out_pipe[0] >= 0) fds[count++] = {out_pipe[0], POLLIN, 0};
        if (in_pipe[1] >= 0 && may_answer) fds[count++] = {in_pipe[1], POLLOUT, 0};
        if (count == 0) {  // waiting for a prompt on an output that has ended
            close_fd(in_pipe[1]);
            break;
        }
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
                    if (result.out.size() >= options.keep_bytes) close_fd(out_pipe[0]);
                } else if (!(got < 0 && errno == EINTR)) {
                    close_fd(out_pipe[0]);
                }
            } else {
                std::size_t size = input.size() - written;
                if (options.answer_each_prompt) {  // one line, the answer to the prompt shown
                    const std::size_t line_end = input.find('\n', written);
                    size = line_end == std::string_view::npos ? size : line_end + 1 - written;
                }
                const ssize_t put = write(in_pipe[1], input.data() + written, size);
                if (put > 0) {
                    written += static_cast<std::size_t>(put);
                    answered_at = result.out.size();
                }
                if ((put < 0 && errno != EAGAIN && errno != EINTR) || written == input.size()) close_fd(in_pipe[1]);
            }
        }
        // With output going to a file there is nothing to read: wait only for the input to go.
        if (options.output_path && in_pipe[1] < 0) break;
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
    result.err = read_file(err_path);
    unlink(err_path);
    return result;
}

}  // namespace

std::string program_path(std::string_view name) { return std::string(PROGRAM_DIR) + "/" + std::string(name); }

ProcessResult run_program(const std::string& path, std::string_view input, int timeout_ms) {
    return run(path, {.input = input, .timeout = std::chrono::milliseconds(timeout_ms)});
}

ProcessResult run_program_answering(const std::string& path, std::string_view input, bool nonblocking_input,
                                    int timeout_ms) {
    return run(path, {.input = input, .answer_each_prompt = true, .nonblocking_input = nonblocking_input,
                      .timeout = std::chrono::milliseconds(timeout_ms)});
}

ProcessResult run_program_from(const std::string& path, const std::string& input_path, int timeout_ms) {
    return run(path, {.input = {}, .input_path = &input_path, .timeout = std::chrono::milliseconds(timeout_ms)});
}

ProcessResult run_program_to(const std::string& path, std::string_view input, const std::string& output_path,
                             int timeout_ms) {
    return run(path, {.input = input, .output_path = &output_path, .timeout = std::chrono::milliseconds(timeout_ms)});
}

ProcessResult run_program_to_closed_pipe(const std::string& path, std::string_view input, std::size_t keep_bytes,
                                         int timeout_ms) {
    return run(path, {.input = input, .keep_bytes = keep_bytes, .timeout = std::chrono::milliseconds(timeout_ms)});
}

}  // namespace testing_support

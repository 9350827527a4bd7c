// Running a built program on Windows (under Wine in the cross build): scripted standard input,
// captured standard output.
//
// The whole input is in the pipe, and the pipe closed, before the program starts. The command
// interpreter's pause reads standard input itself; a program that has read anything holds all
// of such a short input in its runtime's buffer by then, so the pause finds the end of input
// and returns, as it would after a key, and nothing depends on timing.
//
// The program is started without a console. _getch reads the console, never standard input;
// with no console it returns at once, so a key wait cannot hang a test, nor read the keyboard
// of the person running the tests.
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "process.hpp"
#include "process_windows.hpp"

namespace testing_support {
namespace {

// A handle, closed when it goes.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&&) = delete;

    HANDLE get() const { return handle_; }
    HANDLE* out() {
        reset();
        return &handle_;
    }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset() {
        if (handle_) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

SECURITY_ATTRIBUTES inheritable() { return SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE}; }

void keep_private(const Handle& handle) {
    if (!SetHandleInformation(handle.get(), HANDLE_FLAG_INHERIT, 0)) fail("SetHandleInformation");
}

// A pipe holding all of `input`, already closed for writing: the child's standard input.
Handle input_pipe(std::string_view input) {
    constexpr std::size_t most = 1 << 16;
    if (input.size() > most) throw std::length_error("scripted input longer than the pipe holds");
    SECURITY_ATTRIBUTES attributes = inheritable();
    Handle read_end;
    Handle write_end;
    if (!CreatePipe(read_end.out(), write_end.out(), &attributes, static_cast<DWORD>(most))) fail("CreatePipe");
    keep_private(write_end);
    std::size_t written = 0;
    while (written < input.size()) {
        DWORD put = 0;
        if (!WriteFile(write_end.get(), input.data() + written, static_cast<DWORD>(input.size() - written), &put, nullptr)) {
            fail("WriteFile");
        }
        written += put;
    }
    return read_end;
}

// What a process left in `pipe` so far; false once every writer has closed it.
bool drain(HANDLE pipe, std::string& out) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
        if (available == 0) return true;
        char buffer[1 << 16];
        DWORD got = 0;
        if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr)) return false;
        out.append(buffer, got);
    }
}

ULONGLONG now_ms() { return GetTickCount64(); }

// Runs `command_line` with `input` as its standard input and `output` as its standard output;
// `output_pipe`, when given, is the reading end of `output`, collected as the program runs.
ProcessResult run(std::string command_line, std::string_view input, Handle& output, HANDLE output_pipe, int timeout_ms) {
    Handle child_input = input_pipe(input);
    SECURITY_ATTRIBUTES attributes = inheritable();
    Handle child_errors(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, OPEN_EXISTING,
                                    0, nullptr));
    if (!child_errors) fail("opening NUL");

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = child_input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = child_errors.get();
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr,
                        &startup, &info)) {
        fail("starting " + command_line);
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);
    // Only the child holds its ends now, so the output pipe reports its end when the child
    // and the interpreters it started are gone.
    child_input.reset();
    child_errors.reset();
    output.reset();

    ProcessResult result;
    const ULONGLONG deadline = now_ms() + static_cast<ULONGLONG>(std::max(timeout_ms, 0));
    bool open = output_pipe != nullptr;
    bool exited = false;
    while (open || !exited) {
        if (open) open = drain(output_pipe, result.out);
        if (!exited) exited = WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
        if (!open && exited) break;
        if (now_ms() >= deadline) {
            result.timed_out = true;
            break;
        }
        Sleep(1);
    }
    if (!exited) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), INFINITE);
        if (output_pipe) drain(output_pipe, result.out);
        return result;
    }
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code)) result.exit_status = static_cast<int>(code);
    return result;
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string program_path(std::string_view name) {
    std::string path = std::string(PROGRAM_DIR) + "\\" + std::string(name) + ".exe";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

ProcessResult run_command_line(const std::string& command_line, std::string_view input, int timeout_ms) {
    SECURITY_ATTRIBUTES attributes = inheritable();
    Handle read_end;
    Handle write_end;
    if (!CreatePipe(read_end.out(), write_end.out(), &attributes, 0)) fail("CreatePipe");
    keep_private(read_end);
    return run(command_line, input, write_end, read_end.get(), timeout_ms);
}

ProcessResult run_program(const std::string& path, std::string_view input, int timeout_ms) {
    return run_command_line(quoted(path), input, timeout_ms);
}

ProcessResult run_program_to(const std::string& path, std::string_view input, const std::string& output_path,
                             int timeout_ms) {
    SECURITY_ATTRIBUTES attributes = inheritable();
    Handle output(CreateFileA(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &attributes, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) fail("creating " + output_path);
    return run(quoted(path), input, output, nullptr, timeout_ms);
}

}  // namespace testing_support

// Running a built program on Windows (under Wine in the cross build): scripted standard input,
// captured standard output.
//
// The whole input is in a file before the program starts. The command interpreter's pause
// reads standard input itself; a program that has read anything holds all of a short input in
// its runtime's buffer by then, so the pause finds the end of input and returns, as it would
// after a key, and nothing depends on timing.
//
// The program is started without a console. _getch reads the console, never standard input;
// with no console it returns at once, so a key wait cannot hang a test, nor read the keyboard
// of the person running the tests.
#ifndef NOMINMAX  // the C++ runtime's headers, included first, may have defined it
#define NOMINMAX
#endif
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

// A temporary file holding all of `input`, read from its start: the child's standard input.
// It goes when the last handle to it is closed.
Handle input_file(std::string_view input) {
    char directory[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length > MAX_PATH) fail("GetTempPathA");
    if (!GetTempFileNameA(directory, "in", 0, name)) fail("GetTempFileNameA");
    SECURITY_ATTRIBUTES attributes = inheritable();
    Handle file(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            &attributes, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file) fail("creating " + std::string(name));
    std::size_t written = 0;
    while (written < input.size()) {
        const std::size_t chunk = std::min<std::size_t>(input.size() - written, 1 << 20);
        DWORD put = 0;
        if (!WriteFile(file.get(), input.data() + written, static_cast<DWORD>(chunk), &put, nullptr)) fail("WriteFile");
        written += put;
    }
    if (SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) fail("SetFilePointer");
    return file;
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

// Runs `command_line` with `input` as its standard input and `output` as its standard output.
// `reader`, when open, is the reading end of `output`: what comes through is collected as the
// program runs, and the reader goes away once it holds `keep_bytes` bytes.
ProcessResult run(std::string command_line, std::string_view input, Handle& output, Handle& reader,
                  std::size_t keep_bytes, int timeout_ms) {
    Handle child_input = input_file(input);
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
    bool exited = false;
    while (reader || !exited) {
        if (reader && (!drain(reader.get(), result.out) || result.out.size() >= keep_bytes)) reader.reset();
        if (!exited) exited = WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
        if (!reader && exited) break;
        if (now_ms() >= deadline) {
            result.timed_out = true;
            break;
        }
        Sleep(1);
    }
    if (!exited) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), INFINITE);
        if (reader) drain(reader.get(), result.out);
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

namespace {

ProcessResult run_through_pipe(const std::string& command_line, std::string_view input, std::size_t keep_bytes,
                               int timeout_ms) {
    SECURITY_ATTRIBUTES attributes = inheritable();
    Handle reader;
    Handle writer;
    if (!CreatePipe(reader.out(), writer.out(), &attributes, 0)) fail("CreatePipe");
    keep_private(reader);
    if (keep_bytes == 0) reader.reset();
    return run(command_line, input, writer, reader, keep_bytes, timeout_ms);
}

constexpr std::size_t everything = static_cast<std::size_t>(-1);

}  // namespace

ProcessResult run_command_line(const std::string& command_line, std::string_view input, int timeout_ms) {
    return run_through_pipe(command_line, input, everything, timeout_ms);
}

ProcessResult run_program(const std::string& path, std::string_view input, int timeout_ms) {
    return run_through_pipe(quoted(path), input, everything, timeout_ms);
}

ProcessResult run_program_to(const std::string& path, std::string_view input, const std::string& output_path,
                             int timeout_ms) {
    SECURITY_ATTRIBUTES attributes = inheritable();
    Handle output(CreateFileA(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &attributes, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) fail("creating " + output_path);
    Handle no_reader;
    return run(quoted(path), input, output, no_reader, 0, timeout_ms);
}

ProcessResult run_program_to_closed_pipe(const std::string& path, std::string_view input, std::size_t keep_bytes,
                                         int timeout_ms) {
    return run_through_pipe(quoted(path), input, keep_bytes, timeout_ms);
}

}  // namespace testing_support

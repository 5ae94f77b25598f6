// For the Windows tests of tolka.exe: runs the real program as a child process with its
// three standard streams on pipes, and reads what it says while it runs. Every wait is
// bounded; a program that overstays is killed and the test is told.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/smoke_test_support.h"

namespace tolkatest {

// A running tolka.exe. The environment (the virtual board's folder) is this process's at
// the time of Start.
class Tolka {
public:
    Tolka() = default;
    Tolka(const Tolka&) = delete;
    Tolka& operator=(const Tolka&) = delete;
    ~Tolka() {
        CloseInput();
        if (started_ && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(pi_.hProcess, 99);
        for (std::thread* t : {&outReader_, &errReader_}) {
            if (t->joinable())
                t->join();
        }
        if (started_) {
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
        }
    }

    bool Start(const std::wstring& args, const wchar_t* program = L"tolka.exe") {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE inRead, outRead, outWrite, errRead, errWrite;
        if (!CreatePipe(&inRead, &input_, &inherit, 0) || !CreatePipe(&outRead, &outWrite, &inherit, 0) ||
            !CreatePipe(&errRead, &errWrite, &inherit, 0))
            return false;
        // Only the child's ends are inherited.
        SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = inRead;
        si.hStdOutput = outWrite;
        si.hStdError = errWrite;
        std::wstring exe = fwsmoke::OwnFolder() + program;
        std::wstring cmd = L"\"" + exe + L"\" " + args;
        started_ = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                                  &pi_) != 0;
        CloseHandle(inRead);
        CloseHandle(outWrite);
        CloseHandle(errWrite);
        outReader_ = std::thread([this, outRead] { Drain(outRead, out_); });
        errReader_ = std::thread([this, errRead] { Drain(errRead, err_); });
        return started_;
    }

    void Input(const std::string& text) {
        DWORD written = 0;
        WriteFile(input_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    void CloseInput() {
        if (input_ != nullptr) {
            CloseHandle(input_);
            input_ = nullptr;
        }
    }

    // The exit code, or -1 when the program did not end in time (it is killed then).
    long Wait(DWORD timeoutMs = 60000) {
        CloseInput();
        if (!started_)
            return -1;
        if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 5000);
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        for (std::thread* t : {&outReader_, &errReader_}) {
            if (t->joinable())
                t->join();
        }
        return static_cast<long>(code);
    }

    // Waits until standard error holds `text` `count` times; false when it did not in time
    // or the program ended first.
    bool WaitForErr(const std::string& text, size_t count, DWORD timeoutMs = 30000) {
        for (DWORD waited = 0;; waited += 20) {
            if (Count(Err(), text) >= count)
                return true;
            if (waited >= timeoutMs || WaitForSingleObject(pi_.hProcess, 20) == WAIT_OBJECT_0)
                return Count(Err(), text) >= count;
        }
    }

    void Kill() {
        TerminateProcess(pi_.hProcess, 137);
        WaitForSingleObject(pi_.hProcess, 5000);
    }

    std::string Out() {
        std::lock_guard<std::mutex> lock(mutex_);
        return out_;
    }
    std::string Err() {
        std::lock_guard<std::mutex> lock(mutex_);
        return err_;
    }

private:
    static size_t Count(const std::string& text, const std::string& part) {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
            ++n;
        return n;
    }

    void Drain(HANDLE pipe, std::string& into) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            into.append(buffer, got);
        }
        CloseHandle(pipe);
    }

    PROCESS_INFORMATION pi_{};
    bool started_ = false;
    HANDLE input_ = nullptr;
    std::thread outReader_, errReader_;
    std::mutex mutex_;
    std::string out_, err_;
};

struct Result {
    long exit;
    std::string out;  // UTF-8, CRLF line ends
    std::string err;
};

// Runs tolka (or another program beside it) to its end with the given input.
inline Result Run(const std::wstring& args, const std::string& input = "", const wchar_t* program = L"tolka.exe") {
    Tolka tolka;
    if (!tolka.Start(args, program))
        return {-2, "", "tolka.exe could not be started"};
    tolka.Input(input);
    long code = tolka.Wait();
    return {code, tolka.Out(), tolka.Err()};
}

using fwsmoke::ReadFileBytes;
using fwsmoke::WriteFileBytes;

// UTF-8 as the program writes it.
inline std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace tolkatest

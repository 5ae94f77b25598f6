// The main of every test program: GoogleTest with a watchdog. A test still running after its
// time (a window, a process or a file that never came, a dialog nobody answers) ends the
// program with a message naming the test, and under Windows the windows it left open,
// instead of hanging until ctest's limit. TOLKA_TEST_TIME_LIMIT sets the time in seconds.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr int kDefaultLimitSeconds = 90;

int LimitSeconds() {
    const char* text = std::getenv("TOLKA_TEST_TIME_LIMIT");
    int seconds = text ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : kDefaultLimitSeconds;
}

#ifdef _WIN32
BOOL CALLBACK PrintWindow(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd)) {
        wchar_t title[256] = {};
        char utf8[1024] = {}, cls[64] = {};
        GetWindowTextW(hwnd, title, 256);
        WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
        GetClassNameA(hwnd, cls, sizeof cls);
        std::fprintf(stderr, "  window still open: \"%s\" (class %s)\n", utf8, cls);
    }
    return TRUE;
}
#endif

class Watchdog : public ::testing::EmptyTestEventListener {
public:
    explicit Watchdog(int seconds) : limit_(seconds), thread_([this] { Watch(); }) {}
    ~Watchdog() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void OnTestStart(const ::testing::TestInfo& test) override {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = std::string(test.test_suite_name()) + "." + test.name();
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(limit_);
        wake_.notify_all();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        running_.clear();
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_) {
            if (running_.empty()) {
                wake_.wait(lock);
                continue;
            }
            if (wake_.wait_until(lock, deadline_) == std::cv_status::timeout && !running_.empty() &&
                std::chrono::steady_clock::now() >= deadline_) {
                std::fprintf(stderr, "\n%s is still running after %d s: something it waits for never came.\n",
                             running_.c_str(), limit_);
#ifdef _WIN32
                EnumWindows(PrintWindow, 0);
#endif
                std::fflush(stdout);
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    const int limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string running_;
    std::chrono::steady_clock::time_point deadline_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Without a window manager the focus falls back to the window under the pointer, which starts
    // where the programs' windows open, in the middle of the screen: it waits in a corner.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(LimitSeconds()));
    return RUN_ALL_TESTS();
}

// A test that waits for ever, run by ctest with a two-second limit: it passes when the test
// main's watchdog ends it with a message naming the test (and, under Windows, the message box
// nobody answers). See framework/CMakeLists.txt.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#endif

TEST(Hang, ForEver) {
#ifdef _WIN32
    MessageBoxW(nullptr, L"nobody answers", L"watchdog check", MB_OK);
#else
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock<std::mutex> lock(mutex);
    never.wait(lock, [] { return false; });
#endif
}

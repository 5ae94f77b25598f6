// Linked into tolka.exe, ahead of the thread library, like the lean throws beside it.
//
// The C++ runtime of this toolchain calls the POSIX thread functions below for three things:
// the lock around the exceptions' emergency memory, the guards of static variables, and each
// thread's exception state (a thread-local key whose destructor frees it when the thread ends).
// Each of those calls brought the whole thread library (26 KiB on x86_64, 31 KiB on i686): its
// threads, read-write locks and spin locks, none of which the program uses (its own threads are
// the system's). These are the same functions over the system's critical sections, condition
// variables and fiber-local storage, which calls a key's destructor when its thread ends.
//
// Only for a program: a DLL could be unloaded while the system still holds its key destructors.
#include "runtime/thread_types.h"

#include <windows.h>

#include <cerrno>
#include <cstdint>

using pthread_mutex_t = rt::MutexT;
using pthread_cond_t = rt::CondT;
using pthread_once_t = rt::OnceT;
using pthread_key_t = rt::KeyT;
using pthread_mutexattr_t = rt::MutexAttrT;

namespace {

// A mutex or condition variable that was initialised statically, not yet in use: the thread
// library's plain, error-checking and recursive initial values.
bool Unused(intptr_t value) {
    return value == rt::kPlainInitial || value == rt::kErrorCheckInitial || value == rt::kRecursiveInitial;
}

// The mutex's critical section, made on first use. Every kind of mutex is recursive here,
// which a program that uses them correctly cannot tell.
CRITICAL_SECTION* Section(pthread_mutex_t* m) {
    void* volatile* slot = reinterpret_cast<void* volatile*>(m);
    intptr_t seen = reinterpret_cast<intptr_t>(*slot);
    if (!Unused(seen))
        return reinterpret_cast<CRITICAL_SECTION*>(seen);
    auto* made = static_cast<CRITICAL_SECTION*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CRITICAL_SECTION)));
    if (made == nullptr)
        return nullptr;
    InitializeCriticalSection(made);
    void* before = InterlockedCompareExchangePointer(slot, made, reinterpret_cast<void*>(seen));
    if (before == reinterpret_cast<void*>(seen))
        return made;
    DeleteCriticalSection(made);  // another thread made it first
    HeapFree(GetProcessHeap(), 0, made);
    return static_cast<CRITICAL_SECTION*>(before);
}

// Keys: a fiber-local slot each, whose callback passes the thread's value to the key's
// destructor. The runtime makes one key; a few are room enough.
constexpr unsigned kKeys = 4;
void (*g_destructors[kKeys])(void*);
DWORD g_slots[kKeys];
volatile LONG g_keysMade = 0;

template <unsigned N>
void WINAPI CallDestructor(void* value) {
    if (value != nullptr && g_destructors[N] != nullptr)
        g_destructors[N](value);
}

constexpr PFLS_CALLBACK_FUNCTION kCallbacks[kKeys] = {CallDestructor<0>, CallDestructor<1>, CallDestructor<2>,
                                                      CallDestructor<3>};

}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* m, const pthread_mutexattr_t*) {
    *m = rt::kPlainInitial;
    return Section(m) != nullptr ? 0 : ENOMEM;
}

int pthread_mutex_destroy(pthread_mutex_t* m) {
    if (!Unused(*m)) {
        auto* section = reinterpret_cast<CRITICAL_SECTION*>(*m);
        DeleteCriticalSection(section);
        HeapFree(GetProcessHeap(), 0, section);
    }
    *m = rt::kPlainInitial;
    return 0;
}

int pthread_mutex_lock(pthread_mutex_t* m) {
    CRITICAL_SECTION* section = Section(m);
    if (section == nullptr)
        return ENOMEM;
    EnterCriticalSection(section);
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* m) {
    if (Unused(*m))
        return EPERM;
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(*m));
    return 0;
}

// The condition variable lives in the value itself; its initial value becomes the system's
// (zero) when the first thread waits, which it does holding the mutex.
int pthread_cond_wait(pthread_cond_t* cv, pthread_mutex_t* m) {
    if (Unused(*m))
        return EPERM;
    if (*cv == rt::kPlainInitial)
        *cv = 0;
    auto* condition = reinterpret_cast<CONDITION_VARIABLE*>(cv);
    return SleepConditionVariableCS(condition, reinterpret_cast<CRITICAL_SECTION*>(*m), INFINITE) ? 0 : EINVAL;
}

int pthread_cond_broadcast(pthread_cond_t* cv) {
    if (*cv != rt::kPlainInitial)
        WakeAllConditionVariable(reinterpret_cast<CONDITION_VARIABLE*>(cv));
    return 0;
}

// 0: not run, 1: running, 2: done.
int pthread_once(pthread_once_t* once, void (*function)(void)) {
    auto* state = reinterpret_cast<volatile LONG*>(once);
    if (InterlockedCompareExchange(state, 1, rt::kOnceInitial) == rt::kOnceInitial) {
        function();
        InterlockedExchange(state, 2);
        return 0;
    }
    while (InterlockedCompareExchange(state, 2, 2) != 2)
        SwitchToThread();
    return 0;
}

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    LONG n = InterlockedIncrement(&g_keysMade) - 1;
    if (n >= static_cast<LONG>(kKeys))
        return EAGAIN;
    g_destructors[n] = destructor;
    DWORD slot = FlsAlloc(kCallbacks[n]);
    if (slot == FLS_OUT_OF_INDEXES)
        return EAGAIN;
    g_slots[n] = slot;
    *key = static_cast<pthread_key_t>(n);
    return 0;
}

// Leaves the thread's last error as it was: the runtime reads its exception state between a
// failed system call and the caller's look at its error.
void* pthread_getspecific(pthread_key_t key) {
    if (key >= kKeys)
        return nullptr;
    DWORD error = GetLastError();
    void* value = FlsGetValue(g_slots[key]);
    SetLastError(error);
    return value;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
    if (key >= kKeys)
        return EINVAL;
    return FlsSetValue(g_slots[key], const_cast<void*>(value)) ? 0 : ENOMEM;
}

}  // extern "C"

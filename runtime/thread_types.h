// The thread library's types, initial values and the functions that runtime_threads.cpp gives
// the C++ runtime in its place. Declared by hand, because the thread library's own header
// brings its whole interface; thread_types_check.cpp holds them against that header at build
// time.
#pragma once

#include <cstdint>

namespace rt {

using MutexT = intptr_t;
using CondT = intptr_t;
using OnceT = long;
using KeyT = unsigned;
using MutexAttrT = unsigned;

// A mutex or condition variable initialised statically: plain, error-checking, recursive.
constexpr intptr_t kPlainInitial = -1;
constexpr intptr_t kErrorCheckInitial = -2;
constexpr intptr_t kRecursiveInitial = -3;
constexpr OnceT kOnceInitial = 0;

}  // namespace rt

extern "C" {

int pthread_mutex_init(rt::MutexT* m, const rt::MutexAttrT* attributes);
int pthread_mutex_destroy(rt::MutexT* m);
int pthread_mutex_lock(rt::MutexT* m);
int pthread_mutex_unlock(rt::MutexT* m);
int pthread_cond_wait(rt::CondT* cv, rt::MutexT* m);
int pthread_cond_broadcast(rt::CondT* cv);
int pthread_once(rt::OnceT* once, void (*function)(void));
int pthread_key_create(rt::KeyT* key, void (*destructor)(void*));
void* pthread_getspecific(rt::KeyT key);
int pthread_setspecific(rt::KeyT key, const void* value);

}  // extern "C"

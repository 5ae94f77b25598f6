// Compiled, never linked: holds the hand declarations of thread_types.h against the thread
// library's own header. A toolchain whose thread library changed a type, an initial value or a
// function's signature fails the build here, instead of runtime_threads.cpp misreading the
// runtime's statically initialised locks.
//
// The functions are checked by being declared twice here, the header's way and ours: a changed
// signature is a conflicting declaration. Static, as the programs link the library, so that
// the header's declarations carry no import attribute ours would lack.
#define WINPTHREAD_STATIC
#include <pthread.h>

#include <type_traits>

#include "runtime/thread_types.h"

namespace {

template <class Ours, class Theirs>
constexpr bool kSameLayout = sizeof(Ours) == sizeof(Theirs) &&
                             alignof(Ours) == alignof(Theirs) && std::is_signed_v<Ours> == std::is_signed_v<Theirs>;

static_assert(kSameLayout<rt::MutexT, pthread_mutex_t>, "runtime: pthread_mutex_t changed in the thread library");
static_assert(kSameLayout<rt::CondT, pthread_cond_t>, "runtime: pthread_cond_t changed in the thread library");
static_assert(kSameLayout<rt::OnceT, pthread_once_t>, "runtime: pthread_once_t changed in the thread library");
static_assert(kSameLayout<rt::KeyT, pthread_key_t>, "runtime: pthread_key_t changed in the thread library");
static_assert(kSameLayout<rt::MutexAttrT, pthread_mutexattr_t>,
              "runtime: pthread_mutexattr_t changed in the thread library");

static_assert(PTHREAD_MUTEX_INITIALIZER == rt::kPlainInitial && PTHREAD_NORMAL_MUTEX_INITIALIZER == rt::kPlainInitial &&
                  PTHREAD_ERRORCHECK_MUTEX_INITIALIZER == rt::kErrorCheckInitial &&
                  PTHREAD_RECURSIVE_MUTEX_INITIALIZER == rt::kRecursiveInitial,
              "runtime: the thread library's mutex initial values changed");
static_assert(PTHREAD_COND_INITIALIZER == rt::kPlainInitial,
              "runtime: the thread library's condition initial value changed");
static_assert(PTHREAD_ONCE_INIT == rt::kOnceInitial, "runtime: the thread library's once initial value changed");

}  // namespace

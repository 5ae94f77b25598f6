// The framework's test hooks (message boxes, file dialogs, modal dialogs, the help viewer) are
// installed only for as long as an installer object lives:
//
//   fw::MessageBoxHookScope answers([](const std::wstring&, UINT, const std::wstring&) { return IDOK; });
//
// When it goes, the hook that was there before comes back, so a test cannot leave one behind
// for the next, and installers nest.
#pragma once

#include <utility>

namespace fw {

template <class Hook>
class ScopedHook {
public:
    ScopedHook(Hook& slot, Hook hook) : m_slot(slot), m_before(std::exchange(slot, std::move(hook))) {}
    ~ScopedHook() { m_slot = std::move(m_before); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Hook& m_slot;
    Hook m_before;
};

}  // namespace fw

// For the editors' Wine tests: the real device libraries, noting for each call that may block
// whether the wait cursor was showing when it was made.
#pragma once

#include <windows.h>

#include <vector>

#include "devicelink/librarylink.h"

class CursorWatchLink : public core::ForwardingLink {
public:
    CursorWatchLink() : ForwardingLink(m_library) { m_library.Load(); }

    std::vector<bool> waitShown;  // one per call, in order

protected:
    void BeforeBlockingCall() override { waitShown.push_back(GetCursor() == LoadCursorW(nullptr, IDC_WAIT)); }

private:
    CLibraryLink m_library;
};

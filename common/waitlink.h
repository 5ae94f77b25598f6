// The board's link as an editor window uses it: every call shows the wait cursor first, since
// a call blocks the window until the library returns (up to the time-outs of the writes). The
// library's own dialogs set their own cursor; the wait cursor comes back after them.
#pragma once

#include "core/boardlink.h"

class CWaitCursorLink : public core::ForwardingLink {
public:
    explicit CWaitCursorLink(core::DeviceLink& link) : ForwardingLink(link) {}

protected:
    void BeforeBlockingCall() override;
};

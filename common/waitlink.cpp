#include "common/waitlink.h"

#include "framework/waitcursor.h"

void CWaitCursorLink::BeforeBlockingCall() {
    fw::CCommandCursor::ShowWait();
}

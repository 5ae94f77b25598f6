// The option editor's application object.
#pragma once

#include "framework/app.h"

class CTolkaOptionApp : public fw::CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    // Windows Sockets 1.1 (common/sockets.h); tests stand in for it.
    virtual bool StartSockets();

private:
    bool m_bSocketsStarted = false;
};

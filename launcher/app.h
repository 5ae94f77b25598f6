// The launcher's application object.
#pragma once

#include "framework/app.h"

class CPelnToolsApp : public fw::CWinApp {
public:
    BOOL InitInstance() override;
};

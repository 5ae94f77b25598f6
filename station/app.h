// TolkaStation's application object.
#pragma once

#include "framework/app.h"

class CStationApp : public fw::CWinApp {
public:
    BOOL InitInstance() override;
};

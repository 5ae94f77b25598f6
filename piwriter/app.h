// The writer's application object.
#pragma once

#include "framework/app.h"

class CVarnPIWriteApp : public fw::CWinApp {
public:
    BOOL InitInstance() override;
};

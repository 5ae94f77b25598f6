// The program's one application object; wWinMain (framework/winmain.cpp) runs it. Kept
// apart from app.cpp so that the window tests can make an application object of their own.
#include "station/app.h"

CStationApp theApp;

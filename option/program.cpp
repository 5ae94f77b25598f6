// The program's one application object; wWinMain (framework/winmain.cpp) runs it. Kept
// apart from app.cpp so that the window tests can make an application object of their own.
#include "option/app.h"

CTolkaOptionApp theApp;

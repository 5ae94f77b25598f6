// The program's one application object; wWinMain (framework/winmain.cpp) runs it.
#include "common/editordlg.h"
#include "piwriter/piwritedlg.h"

CEditorApp theApp(MakeEditor<CVarnPIWriteDlg>);

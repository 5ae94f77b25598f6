// The program's one application object; wWinMain (framework/winmain.cpp) runs it.
#include "common/editordlg.h"
#include "option/optiondlg.h"
#include "option/resource.h"

CEditorApp theApp(MakeEditor<CTolkaOptionDlg>, IDS_SOCKETS_INIT_FAILED);

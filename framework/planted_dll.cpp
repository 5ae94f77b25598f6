// A DLL that the DLL-search test puts where no program may load a DLL from.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedDll() {
    return 1;
}

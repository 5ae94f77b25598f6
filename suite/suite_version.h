// The suite's version: the installer, the packages' names and the device DLLs carry it.
// Each program keeps its own file version, the one its About box shows (its resource.h).
// Read by resource scripts and by scripts/package.sh: plain #defines only.
#define TOLKA_SUITE_VERSION_FIXED 1, 0, 0, 0
#define TOLKA_SUITE_VERSION_TEXT "1.0.0"
#define TOLKA_SUITE_PUBLISHER "Tolka Devices"

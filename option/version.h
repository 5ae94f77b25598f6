// Version of TolkaOption, shown in its About box.
#define TOLKA_VERSION_FIXED 3, 0, 0, 2
#define TOLKA_VERSION_TEXT "3, 0, 0, 2"

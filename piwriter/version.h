// Version of TolkaPIWriter, shown in its About box.
#define TOLKA_VERSION_FIXED 4, 0, 0, 2
#define TOLKA_VERSION_TEXT "4, 0, 0, 2"

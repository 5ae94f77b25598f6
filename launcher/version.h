// Version of PelnTools. The About box shows the text; the fixed file version is a
// separate number and need not match it.
#define TOLKA_VERSION_FIXED 1, 4, 0, 1
#define TOLKA_VERSION_TEXT "1.3.0.1"

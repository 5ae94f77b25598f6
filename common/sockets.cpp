#include "common/sockets.h"

#include <winsock2.h>

bool StartSockets() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return false;
    if (LOBYTE(data.wVersion) != 1 || HIBYTE(data.wVersion) != 1) {
        WSACleanup();
        WSASetLastError(WSAVERNOTSUPPORTED);
        return false;
    }
    return true;
}

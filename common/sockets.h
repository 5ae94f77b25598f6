// Windows Sockets start-up of the programs that need version 1.1 to run (the launcher and
// the option editor), though neither opens a socket itself.
#pragma once

// WSAStartup for version 1.1. Another version counts as failure: the library is cleaned
// up again and the last error is WSAVERNOTSUPPORTED.
bool StartSockets();

// The database ledger's calls on Windows: odbc32.dll, loaded from the system folder when a
// database ledger is first used (no program imports it).
//
// Every call runs on a thread of its own and is waited for at most the time-out and a
// little more: a frozen server or a lost network can block an ODBC call for ever, whatever
// time-out the driver was given. A call that overstays is abandoned with its connection
// (the next Connect makes a new one) and reported as the time-out "HYT00".
#pragma once

#include <memory>

#include "line/dbledger.h"

namespace core {

std::unique_ptr<core::DbLink> MakeOdbcLink();

}  // namespace core

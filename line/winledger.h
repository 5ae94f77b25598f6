// The ledger on Windows, for every face that runs a station: the ledger file held by share
// mode (no other open succeeds while a station reads or appends), its index beside it, the
// database through odbc32, UUIDs, the computer's name and the clocks.
#pragma once

#include <windows.h>

#include "core/fileresult.h"
#include "line/lineledger.h"

namespace core {

class WinLedgerSystem : public LedgerSystem {
public:
    std::unique_ptr<LedgerFile> OpenLedger(const std::wstring& path,
                                           LedgerOpen how,
                                           LedgerOpenFailure& failure) override;
    std::unique_ptr<DbLink> OpenDatabase() override;
    bool NewUuid(Uuid& uuid) override;
    std::wstring ComputerName() override;
    LocalTime Now() override;
    uint64_t NowMs() override;
};

// The ledger file as it is now, for a read from start to end a piece at a time (a report):
// each piece is read under a handle of its own that shares the file with readers only, so
// that a station waits at most for one piece, and the lines it appends meanwhile lie beyond
// the length taken now. Null when the file cannot be opened, with the reason in `status`.
// Nothing is ever appended or indexed through it.
std::unique_ptr<LedgerFile> ReadLedgerPieces(const std::wstring& path, FileResult& status);

}  // namespace core

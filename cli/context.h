// What the command files share: the command's context, the board connection, and the
// steps that several commands take. Portable: no <windows.h>.
#pragma once

#include <optional>
#include <string>

#include "cli/args.h"
#include "cli/host.h"
#include "cli/output.h"
#include "core/record.h"
#include "core/writerops.h"

namespace cli {

struct Context {
    Host& host;
    const Invocation& inv;
    Report& report;
};

std::wstring Hex32(uint32_t value);    // "0x80000000"
std::wstring HexSlot(uint32_t value);  // "0x7080"

// A whole 128-byte image file: a shorter or longer file is refused, as in the editors.
Exit ReadImageFile(Context& c, const std::wstring& path, uint8_t* image, size_t size);
// A text file of at most maxBytes; a longer one is refused.
Exit ReadTextFile(Context& c, const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& text);
Exit WriteImageFile(Context& c, const std::wstring& path, const uint8_t* image, size_t size);

// Whether the device libraries can be used; a missing one is reported (exit 4).
Exit CheckDeviceLibraries(Context& c);

// The device libraries checked, then the first board found; a missing library or no board
// is reported.
Exit OpenConnection(Context& c, core::BoardConnection& board);

// Opens the board and announces its interface: the first steps of every board command.
Exit OpenBoard(Context& c, core::BoardConnection& board, uint32_t& interfaceType);

// The writer's connect: OpenBoard, then the board's current record.
Exit ConnectWriter(Context& c, core::BoardConnection& board, uint32_t& interfaceType);

// Reads the board's current record and tells it; the connection is dropped when the board
// does not answer, as the writer window drops it.
Exit ShowCurrentRecord(Context& c,
                       core::BoardConnection& board,
                       core::CurrentRecord* current = nullptr,
                       core::ReadResult* result = nullptr);

// The four texts of a record as the editor holds them, and the record made from them with
// the editor's checks (core::FieldsFromTexts). failCode is what a refused text ends the
// command with; a name too long for the record is the fault of `file` when the texts were
// read from one.
using core::RecordTexts;
RecordTexts TextsOf(Host& host, const uint8_t* record);
std::optional<core::RecordFields> BuildFields(Context& c,
                                              const RecordTexts& texts,
                                              Exit failCode,
                                              Exit& exit,
                                              const std::wstring* file = nullptr);
JsonObject RecordJson(const RecordTexts& texts);

// The record file a write takes its record from (c.inv.file): read whole, then through the
// editor's texts and checks, as when it is opened in the window, with --number for its Number.
Exit ReadRecordToWrite(Context& c, core::RecordImage& file, std::optional<core::RecordFields>& fields);
std::wstring RecordLine(Context& c, const RecordTexts& texts);

// The command handlers, one per row of the command table (cli/args.cpp).
Exit ShowHelp(Context& c);
Exit ShowVersion(Context& c);
Exit PiShow(Context& c);
Exit PiMake(Context& c);
Exit PiRead(Context& c);
Exit PiWrite(Context& c);
Exit PiErase(Context& c);
Exit OptShow(Context& c);
Exit OptMake(Context& c);
Exit OptRead(Context& c);
Exit OptWrite(Context& c);
Exit OptErase(Context& c);
Exit Info(Context& c);
Exit LineRun(Context& c);
Exit LedgerShow(Context& c);
Exit LedgerUpgrade(Context& c);
Exit LedgerExport(Context& c);
Exit LedgerReport(Context& c);

}  // namespace cli

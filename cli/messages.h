// Everything tolka says, in Japanese and in English, and its exit codes. Texts that the
// editors' windows also show are theirs word for word. Portable: no <windows.h>.
#pragma once

#include <initializer_list>
#include <string>

namespace cli {

enum class Lang { Ja, En };

// Distinct per cause, so that a production script can tell what went wrong.
enum class Exit : int {
    Done = 0,
    Other = 1,  // no UUID could be made; nothing else should end here
    Usage = 2,
    BadFile = 3,
    NoBoard = 4,
    NoAnswer = 5,
    ReadFailed = 6,
    WriteFailed = 7,  // write or erase
    VerifyFailed = 8,
    Refused = 9,  // product-kind mismatch, firmware without the port option area
    Ledger = 10,
};

enum class Msg {
    // Usage
    UsageError,
    MissingCommand,
    UnknownCommand,
    UnknownOption,
    OptionNotForCommand,
    OptionNeedsValue,
    OptionTwice,
    MissingFile,
    ExtraArgument,
    MissingOption,
    UuidOrNewUuid,
    StationNeedsLedger,
    BadStation,
    BadLang,
    BadNumber,
    BadLedgerTimeout,
    EraseNeedsYes,
    // Record fields
    UuidMissing,
    UuidMalformed,
    NameTooManyChars,
    NameTooManyBytes,
    NameNotInCodePage,
    ProductNameField,
    MakerField,
    UuidCreateFailed,
    // Files
    FileCannotOpen,
    FileBadFormat,
    FileIoError,
    FileNameTooLong,
    FileSaved,
    // Board
    NoBoard,
    ConnectedUsb,
    ConnectedLan,
    ConnectedOther,
    NoAnswer,
    ReadFailed,
    CurrentRecord,
    CurrentEmpty,
    NoValidData,
    KindVarnexOnLan,
    KindPelnexOnUsb,
    KindRefused,
    KindAllowed,
    AreaFullErased,
    Written,
    EraseFailed,
    WriteFailed,
    VerifyFailed,
    AreaErasedAfterFailure,
    Erased,
    // Record display
    RecordLine,
    // Info
    InterfaceLine,
    SlotsUsedLine,
    OptionAreaYes,
    OptionAreaNo,
    OptionAreaReadFailed,
    Area5Settings,
    Area5Empty,
    // Port options
    FirmwareUnsupported,
    NoSettings,
    SettingsRead,
    OptionWritten,
    WarnAddressOutput,
    WarnOutputDataOnInput,
    // Port option tables (opt make)
    TableLine,
    TableWhole,
    TableRowMarks,
    TableUnknownPort,
    TablePortTwice,
    TablePortMissing,
    TablePinTakesBit,
    TableNoSuchPin,
    // Ledger
    LedgerCannotOpen,
    LedgerBusy,
    LedgerNoPlace,
    LedgerNotAFile,
    LedgerCannotRead,
    LedgerRefused,
    LedgerExhausted,
    LedgerCannotWrite,
    LedgerOutcomeLost,
    Reserved,
    FaultNoByteOrderMark,
    FaultBadHeader,
    FaultNotUtf8,
    FaultBadQuoting,
    FaultUnterminatedLine,
    FaultFieldCount,
    FaultBadField,
    LedgerBadConnection,
    ConnectionEmpty,
    ConnectionNoEquals,
    ConnectionOpenBrace,
    ConnectionTextAfterBrace,
    ConnectionNoTarget,
    LedgerUnusable,
    LedgerServerSaid,
    LedgerOtherLayout,
    // Ledger commands
    LedgerStationLine,
    LedgerNoStation,
    LedgerAllStations,
    LedgerGaps,
    LedgerExported,
    // Repeat
    BoardHeading,
    NextBoardPrompt,
    RepeatSummary,
    // Help
    Help,
};

// The text in the language, with %1, %2, ... replaced by the arguments in order.
std::wstring Text(Lang lang, Msg id, std::initializer_list<std::wstring> args = {});

}  // namespace cli

// Everything tolka says, in Japanese and in English, and its exit codes. The texts are the
// catalogue's (core/texts_ja.inc, core/texts_en.inc), where a message that the editors' windows
// also show is one entry for both. Portable: no <windows.h>.
#pragma once

#include <initializer_list>
#include <string>

#include "core/texts.h"

namespace cli {

using Lang = core::Lang;

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

// The console's messages: each is the catalogue's text of its id, some of them a window's.
enum class Msg : int {
    // Usage
    UsageError = IDS_USAGE_ERROR,
    MissingCommand = IDS_MISSING_COMMAND,
    UnknownCommand = IDS_UNKNOWN_COMMAND,
    UnknownOption = IDS_UNKNOWN_OPTION,
    OptionNotForCommand = IDS_OPTION_NOT_FOR_COMMAND,
    OptionNeedsValue = IDS_OPTION_NEEDS_VALUE,
    OptionTwice = IDS_OPTION_TWICE,
    MissingFile = IDS_MISSING_FILE,
    ExtraArgument = IDS_EXTRA_ARGUMENT,
    MissingOption = IDS_MISSING_OPTION,
    UuidOrNewUuid = IDS_UUID_OR_NEW_UUID,
    StationNeedsLedger = IDS_STATION_NEEDS_LEDGER,
    BadStation = IDS_BAD_STATION,
    BadLang = IDS_BAD_LANG,
    BadNumber = IDS_BAD_NUMBER,
    BadLedgerTimeout = IDS_BAD_LEDGER_TIMEOUT,
    EraseNeedsYes = IDS_ERASE_NEEDS_YES,
    BadPeriod = IDS_BAD_PERIOD,
    PeriodReversed = IDS_PERIOD_REVERSED,
    // Record fields
    UuidMissing = IDS_UUID_MISSING,
    UuidMalformed = IDS_UUID_MALFORMED,
    NameTooManyChars = IDS_NAME_TOO_MANY_CHARS,
    NameTooManyBytes = IDS_NAME_TOO_MANY_BYTES,
    NameNotInCodePage = IDS_NAME_NOT_IN_CODE_PAGE,
    ProductNameField = IDS_PRODUCT_NAME_FIELD,
    MakerField = IDS_MAKER_FIELD,
    UuidCreateFailed = IDS_UUID_CANNOT_BE_CREATED,
    // Files
    FileCannotOpen = IDS_FILE_CANNOT_OPEN_NAMED,
    FileMissing = IDS_FILE_MISSING_NAMED,
    FileBadFormat = IDS_FILE_BAD_FORMAT_NAMED,
    FileIoError = IDS_FILE_IO_ERROR,
    FileNameTooLong = IDS_FILE_NAME_TOO_LONG,
    FileSaved = IDS_FILE_SAVED,
    // Board
    NoBoard = IDS_CANNOT_CONNECT,
    ConnectedUsb = IDS_CONNECTED_USB,
    ConnectedLan = IDS_CONNECTED_LAN,
    ConnectedOther = IDS_CONNECTED_OTHER,
    NoAnswer = IDS_NO_ANSWER,
    ReadFailed = IDS_READ_FAILED,
    CurrentRecord = IDS_CURRENT_RECORD,
    CurrentEmpty = IDS_CURRENT_EMPTY,
    NoValidData = IDS_NO_VALID_DATA,
    KindVarnexOnLan = IDS_KIND_VARNEX_ON_LAN_NOTE,
    KindPelnexOnUsb = IDS_KIND_PELNEX_ON_USB_NOTE,
    KindRefused = IDS_KIND_REFUSED,
    KindAllowed = IDS_KIND_ALLOWED,
    AreaFullErased = IDS_AREA_FULL_ERASED,
    Written = IDS_WRITTEN_TO_SLOT,
    EraseFailed = IDS_ERASE_FAILED,
    WriteFailed = IDS_WRITE_FAILED,
    VerifyFailed = IDS_VERIFY_ERROR,
    AreaErasedAfterFailure = IDS_AREA_ERASED,
    Erased = IDS_ERASED,
    // Record display
    RecordLine = IDS_RECORD_LINE,
    // Info
    InterfaceLine = IDS_INTERFACE_LINE,
    InterfaceOther = IDS_INTERFACE_OTHER,
    SlotsUsedLine = IDS_SLOTS_USED_LINE,
    OptionAreaYes = IDS_OPTION_AREA_YES,
    OptionAreaNo = IDS_OPTION_AREA_NO,
    OptionAreaReadFailed = IDS_OPTION_AREA_READ_FAILED,
    Area5Settings = IDS_AREA5_SETTINGS,
    Area5Empty = IDS_AREA5_EMPTY,
    // Port options
    FirmwareUnsupported = IDS_FIRMWARE_UNSUPPORTED,
    NoSettings = IDS_NO_SETTINGS,
    SettingsRead = IDS_SETTINGS_READ,
    OptionWritten = IDS_WRITTEN,
    WarnAddressOutput = IDS_WARN_ADDRESS_OUTPUT,
    WarnOutputDataOnInput = IDS_WARN_OUTPUT_DATA_ON_INPUT,
    // Port option tables (opt make)
    TableLine = IDS_TABLE_LINE,
    TableWhole = IDS_TABLE_WHOLE,
    TableRowMarks = IDS_TABLE_ROW_MARKS,
    TableUnknownPort = IDS_TABLE_UNKNOWN_PORT,
    TablePortTwice = IDS_TABLE_PORT_TWICE,
    TablePortMissing = IDS_TABLE_PORT_MISSING,
    TablePinTakesBit = IDS_TABLE_PIN_TAKES_BIT,
    TableNoSuchPin = IDS_TABLE_NO_SUCH_PIN,
    // Ledger
    LedgerCannotOpen = IDS_LEDGER_CANNOT_OPEN,
    LedgerMissing = IDS_LEDGER_MISSING,
    LedgerBusy = IDS_LEDGER_BUSY,
    LedgerNoPlace = IDS_LEDGER_NO_PLACE,
    LedgerNotAFile = IDS_LEDGER_NOT_AFILE,
    LedgerCannotRead = IDS_LEDGER_CANNOT_READ,
    LedgerRefused = IDS_LEDGER_REFUSED,
    LedgerExhausted = IDS_LEDGER_EXHAUSTED,
    LedgerCannotWrite = IDS_LEDGER_CANNOT_WRITE,
    LedgerOutcomeLost = IDS_LEDGER_OUTCOME_LOST,
    Reserved = IDS_NUMBER_RESERVED,
    FaultNoByteOrderMark = IDS_FAULT_NO_BYTE_ORDER_MARK,
    FaultBadHeader = IDS_FAULT_BAD_HEADER,
    FaultNotUtf8 = IDS_FAULT_NOT_UTF8,
    FaultBadQuoting = IDS_FAULT_BAD_QUOTING,
    FaultUnterminatedLine = IDS_FAULT_UNTERMINATED_LINE,
    FaultFieldCount = IDS_FAULT_FIELD_COUNT,
    FaultBadField = IDS_FAULT_BAD_FIELD,
    LedgerBadConnection = IDS_LEDGER_BAD_CONNECTION,
    ConnectionEmpty = IDS_CONNECTION_EMPTY,
    ConnectionNoEquals = IDS_CONNECTION_NO_EQUALS,
    ConnectionOpenBrace = IDS_CONNECTION_OPEN_BRACE,
    ConnectionTextAfterBrace = IDS_CONNECTION_TEXT_AFTER_BRACE,
    ConnectionNoTarget = IDS_CONNECTION_NO_TARGET,
    LedgerUnusable = IDS_LEDGER_UNUSABLE,
    LedgerServerSaid = IDS_LEDGER_SERVER_SAID,
    LedgerOtherLayout = IDS_LEDGER_OTHER_LAYOUT,
    // Ledger commands
    LedgerStationLine = IDS_LEDGER_STATION_LINE,
    LedgerNoStation = IDS_LEDGER_NO_STATION,
    LedgerAllStations = IDS_LEDGER_ALL_STATIONS,
    LedgerGaps = IDS_LEDGER_GAPS,
    LedgerExported = IDS_LEDGER_EXPORTED,
    ReportWritten = IDS_REPORT_WRITTEN,
    OutputIsTheLedger = IDS_OUTPUT_IS_THE_LEDGER,
    // Repeat
    BoardHeading = IDS_BOARD_HEADING,
    NextBoardPrompt = IDS_NEXT_BOARD_PROMPT,
    RepeatSummary = IDS_REPEAT_SUMMARY,
    // Help
    Help = IDS_CONSOLE_HELP,
};

// The text in the language, with %1, %2, ... replaced by the arguments in order; without
// carriage returns, which a window's text may hold and the console's output adds itself.
std::wstring Text(Lang lang, Msg id, std::initializer_list<std::wstring> args = {});

}  // namespace cli

#include "cli/messages.h"

#include "core/devicelibrary.h"

namespace cli {

namespace {

struct Entry {
    Msg id;
    const wchar_t* ja;
    const wchar_t* en;
};

const Entry kMessages[] = {
    {Msg::UsageError, L"使い方が正しくありません: %1\n使い方は tolka --help で表示します。",
     L"Usage error: %1\nRun tolka --help for help."},
    {Msg::MissingCommand, L"コマンドを指定してください", L"name a command"},
    {Msg::UnknownCommand, L"コマンド %1 はありません", L"there is no command %1"},
    {Msg::UnknownOption, L"オプション %1 はありません", L"there is no option %1"},
    {Msg::OptionNotForCommand, L"オプション %1 はこのコマンドには使えません",
     L"option %1 does not go with this command"},
    {Msg::OptionNeedsValue, L"オプション %1 には値が必要です", L"option %1 needs a value"},
    {Msg::OptionTwice, L"オプション %1 が 2 回あります", L"option %1 is given twice"},
    {Msg::MissingFile, L"ファイルを指定してください", L"name the file"},
    {Msg::ExtraArgument, L"余分な引数 %1 があります", L"extra argument %1"},
    {Msg::MissingOption, L"オプション %1 を指定してください", L"option %1 is required"},
    {Msg::UuidOrNewUuid, L"--uuid と --new-uuid のどちらか一方を指定してください", L"give either --uuid or --new-uuid"},
    {Msg::StationNeedsLedger, L"--station は --ledger と共に指定してください", L"--station needs --ledger"},
    {Msg::BadStation, L"ステーション %1 は K/N (1 ≦ K ≦ N) の形で指定してください",
     L"station %1 must be K/N with 1 <= K <= N"},
    {Msg::BadLang, L"言語 %1 はありません (ja または en)", L"there is no language %1 (ja or en)"},
    {Msg::BadNumber,
     L"オプション %1 には 0 から 4294967295 までの 10 進数、または 0x で始まる 16 進数を指定してください",
     L"option %1 takes a number from 0 to 4294967295, decimal or hexadecimal after 0x"},
    {Msg::BadLedgerTimeout, L"--ledger-timeout %1 は 1 から 600 までの秒数で指定してください",
     L"--ledger-timeout %1 must be seconds from 1 to 600"},
    {Msg::EraseNeedsYes, L"消去するには --yes を指定してください", L"erasing needs --yes"},

    {Msg::UuidMissing, L"UUIDが入力されていません。", L"No UUID has been entered."},
    {Msg::UuidMalformed, L"UUIDの入力値が正しくありません。", L"The UUID is not correct."},
    {Msg::NameTooManyChars, L"%1: %2 文字以内で入力してください。", L"%1: enter at most %2 characters."},
    {Msg::NameTooManyBytes, L"%1: %2 バイト以内で入力してください。", L"%1: enter at most %2 bytes."},
    {Msg::NameNotInCodePage, L"%1: 「%2」はこのパソコンの文字コードで保存できない文字です。",
     L"%1: the character \"%2\" cannot be stored in this computer's code page."},
    {Msg::ProductNameField, L"製品名", L"Product name"},
    {Msg::MakerField, L"製造元", L"Maker"},
    {Msg::UuidCreateFailed, L"ユニークなIDが作成できませんでした。\nLANに接続可能なコンピュータでご使用ください。",
     L"A unique ID cannot be created.\nUse a computer that can connect to a LAN."},

    {Msg::FileCannotOpen, L"ファイルが開けませんでした。(%1)", L"The file cannot be opened. (%1)"},
    {Msg::FileBadFormat, L"ファイルの形式が正しくありません。(%1)", L"The file's format is not correct. (%1)"},
    {Msg::FileIoError, L"ファイルの読み書きに失敗しました。(%1)", L"Reading or writing the file failed. (%1)"},
    {Msg::FileNameTooLong, L"ファイルの形式が正しくありません。(%1)\n%2 が %3 バイトを超えています。",
     L"The file's format is not correct. (%1)\n%2 is longer than %3 bytes."},
    {Msg::FileSaved, L"ファイルに保存しました: %1", L"Saved to %1"},

    {Msg::NoBoard, L"デバイスに接続できませんでした。", L"No board could be connected."},
    {Msg::ConnectedUsb, L"USBデバイスに接続しました。", L"Connected to a USB device."},
    {Msg::ConnectedLan, L"LANデバイスに接続しました。", L"Connected to a LAN device."},
    {Msg::ConnectedOther, L"デバイスに接続しました (インターフェース %1)。", L"Connected to a device (interface %1)."},
    {Msg::NoAnswer,
     L"デバイスから応答がありません。\n「J17」がオープンになっている場合はショートして、再接続してください。",
     L"The device does not answer.\nIf J17 is open, short it and connect again."},
    {Msg::ReadFailed, L"デバイスからの読み出しに失敗しました。", L"Reading from the device failed."},
    {Msg::CurrentRecord, L"現在のデータ (%1): %2", L"Current record (%1): %2"},
    {Msg::CurrentEmpty, L"現在のデータ: Empty", L"Current record: Empty"},
    {Msg::NoValidData, L"有効なデータがありません。", L"There is no valid data."},
    {Msg::KindVarnexOnLan, L"LAN製品にVarnexの製品情報を書き込もうとしています。",
     L"Varnex product information is about to be written to a LAN product."},
    {Msg::KindPelnexOnUsb, L"USB製品にPelnexの製品情報を書き込もうとしています。",
     L"Pelnex product information is about to be written to a USB product."},
    {Msg::KindRefused, L"%1\n書き込むには --allow-kind-mismatch を指定してください。",
     L"%1\nAdd --allow-kind-mismatch to write it all the same."},
    {Msg::KindAllowed, L"%1 (--allow-kind-mismatch により続けます)", L"%1 (going on: --allow-kind-mismatch)"},
    {Msg::AreaFullErased, L"製品情報の領域が一杯のため消去しました。",
     L"The product-information area was full and has been erased."},
    {Msg::Written, L"正常に書き込みが終了しました。(スロット %1, Number %2)",
     L"Writing finished normally. (slot %1, Number %2)"},
    {Msg::EraseFailed, L"フラッシュメモリの消去に失敗しました。", L"Erasing the flash memory failed."},
    {Msg::WriteFailed, L"書き込みに失敗しました。", L"Writing failed."},
    {Msg::VerifyFailed, L"ベリファイエラーです。書き込みに失敗しました。", L"Verify error: writing failed."},
    {Msg::AreaErasedAfterFailure, L"製品情報の領域は消去されています。もう一度書き込んでください。",
     L"The product-information area has been erased. Write again."},
    {Msg::Erased, L"消去しました。", L"Erased."},

    {Msg::RecordLine, L"UUID %1, Number %2, 製品名 %3, 製造元 %4", L"UUID %1, Number %2, product %3, maker %4"},

    {Msg::InterfaceLine, L"インターフェース: %1 (%2)", L"Interface: %1 (%2)"},
    {Msg::SlotsUsedLine, L"製品情報スロット: %1 / 32 使用", L"Product-information slots: %1 of 32 used"},
    {Msg::OptionAreaYes, L"ポートオプション領域: 対応", L"Port option area: supported"},
    {Msg::OptionAreaNo, L"ポートオプション領域: 未対応のファームウェア", L"Port option area: not in this firmware"},
    {Msg::OptionAreaReadFailed, L"ポートオプション領域: ファームウェアの確認 (0x8000 の読み出し) に失敗しました。",
     L"Port option area: the firmware check (reading 0x8000) failed."},
    {Msg::Area5Settings, L"領域 5: 設定データあり", L"Area 5: holds settings"},
    {Msg::Area5Empty, L"領域 5: 設定データなし", L"Area 5: no settings"},

    {Msg::FirmwareUnsupported,
     L"接続したデバイスは、この機能に未対応のファームウェアバージョンです。\n最新のファームウェアに更新してください。",
     L"The connected device's firmware does not support this function.\nUpdate it to the latest firmware."},
    {Msg::NoSettings, L"設定データが見つかりませんでした。", L"No settings data was found."},
    {Msg::SettingsRead, L"デバイスから現在の設定を読み出しました。",
     L"The current settings were read from the device."},
    {Msg::OptionWritten, L"正常に書き込みが終了しました。", L"Writing finished normally."},
    {Msg::WarnAddressOutput,
     L"%1 の端子 %2 が出力です: P1, P2, P5 は出力するとアドレス出力となります。出力ポートとしては使用できません。",
     L"%1 pins %2 are set to output: P1, P2 and P5 set to output become address outputs and cannot be used as "
     L"output ports."},
    {Msg::WarnOutputDataOnInput,
     L"%1 の端子 %2 は入力ですが出力データがチェックされています: 出力に設定した端子のみ有効です。",
     L"%1 pins %2 are inputs but have output data checked: output data counts only for pins set to output."},
    {Msg::TableLine, L"%1 の %2 行目: %3", L"%1, line %2: %3"},
    {Msg::TableWhole, L"%1: %2", L"%1: %2"},
    {Msg::TableRowMarks, L"%1 の行には 0、1、- を 24 個 (8 個ずつ 3 組) 並べてください",
     L"the row of %1 needs 24 marks of 0, 1 or - (three groups of 8)"},
    {Msg::TableUnknownPort, L"ポート %1 はありません", L"there is no port %1"},
    {Msg::TablePortTwice, L"%1 の行が 2 回あります", L"the row of %1 is given twice"},
    {Msg::TablePortMissing, L"%1 の行がありません", L"there is no row of %1"},
    {Msg::TablePinTakesBit, L"%1 の%2の端子 %3 には 0 か 1 を書いてください", L"write 0 or 1 for pin %3 of %1 in %2"},
    {Msg::TableNoSuchPin, L"%1 の%2には端子 %3 がありません: - を書いてください", L"%1 has no pin %3 in %2: write -"},

    {Msg::LedgerCannotOpen, L"台帳 %1 を開けませんでした (他のプログラムが使用中か、書き込めない場所です)。",
     L"The ledger %1 cannot be opened (another program holds it, or it cannot be written)."},
    {Msg::LedgerBusy, L"台帳 %1 は他のプログラムが使用中です。", L"The ledger %1 is held by another program."},
    {Msg::LedgerNoPlace,
     L"台帳 %1 を作成できませんでした (フォルダが見つからないか届かない、またはファイル名が正しくありません)。",
     L"The ledger %1 cannot be created (its folder cannot be found or reached, or the name is no file name)."},
    {Msg::LedgerNotAFile, L"%1 は台帳にできるファイルではありません (フォルダまたはデバイスです)。",
     L"%1 cannot hold a ledger (it is a folder or a device)."},
    {Msg::LedgerCannotRead, L"台帳 %1 を読み出せませんでした。", L"The ledger %1 cannot be read."},
    {Msg::LedgerRefused, L"台帳 %1 の %2 行目が読めません: %3\n台帳は変更していません。",
     L"The ledger %1 cannot be read at line %2: %3\nThe ledger was left as it was."},
    {Msg::LedgerExhausted, L"台帳 %1 にはこのステーションに渡せる Number がもうありません。",
     L"The ledger %1 has no Number left for this station."},
    {Msg::LedgerCannotWrite, L"台帳 %1 に書き込めませんでした。", L"The ledger %1 cannot be written."},
    {Msg::LedgerOutcomeLost, L"台帳 %1 に結果を書き込めませんでした。デバイスの書き込みは %2 です (Number %3)。",
     L"The outcome could not be written to the ledger %1. Device write: %2 (Number %3)."},
    {Msg::Reserved, L"Number %1 を台帳に予約しました。", L"Number %1 reserved in the ledger."},
    {Msg::FaultNoByteOrderMark, L"UTF-8 のバイト順マークがありません (別のプログラムで保存された台帳です)",
     L"no UTF-8 byte-order mark (saved by another program)"},
    {Msg::FaultBadHeader, L"台帳の見出し行ではありません", L"not the ledger's header line"},
    {Msg::FaultNotUtf8, L"UTF-8 ではない文字があります", L"bytes that are not UTF-8"},
    {Msg::FaultBadQuoting, L"引用符の使い方が正しくありません", L"quotes are not used correctly"},
    {Msg::FaultUnterminatedLine, L"行が途中で終わっています", L"the line breaks off"},
    {Msg::FaultFieldCount, L"列の数が 9 ではありません", L"not nine columns"},
    {Msg::FaultBadField, L"列の値が正しくありません", L"a column holds a value it cannot hold"},
    {Msg::LedgerBadConnection, L"台帳の接続文字列 (odbc: の後) が正しくありません: %1",
     L"The ledger's connection string (after odbc:) is not correct: %1"},
    {Msg::ConnectionEmpty, L"空です", L"it is empty"},
    {Msg::ConnectionNoEquals, L"キー=値 の形でない部分があります", L"a part is not key=value"},
    {Msg::ConnectionOpenBrace, L"{ が閉じていません", L"a { is not closed"},
    {Msg::ConnectionTextAfterBrace, L"} の後に ; 以外の文字があります", L"something other than ; follows a }"},
    {Msg::ConnectionNoTarget, L"DSN も Driver もありません", L"it names neither DSN nor Driver"},
    {Msg::LedgerUnusable, L"台帳 %1 を使えません。", L"The ledger %1 cannot be used."},
    {Msg::LedgerServerSaid, L"SQLSTATE %1: %2", L"SQLSTATE %1: %2"},
    {Msg::LedgerOtherLayout, L"台帳 %1 のテーブルはこのプログラムの知らない形式です。",
     L"The ledger %1 has tables of a layout this program does not know."},
    {Msg::LedgerStationLine, L"%1: 予約 %2, ok %3, failed %4, 最大の Number %5, 空き %6",
     L"%1: %2 reserved, %3 ok, %4 failed, highest Number %5, %6 gaps"},
    {Msg::LedgerNoStation, L"ステーションなし", L"no station"},
    {Msg::LedgerAllStations, L"全体", L"all"},
    {Msg::LedgerGaps, L"  ok のない Number: %1", L"  reserved without ok: %1"},
    {Msg::LedgerExported, L"台帳の %1 行を %2 に書き出しました。", L"%1 ledger lines written to %2."},

    {Msg::BoardHeading, L"--- %1 台目 ---", L"--- board %1 ---"},
    {Msg::NextBoardPrompt, L"次のデバイスを接続して Enter を押してください (q で終了): ",
     L"Attach the next device and press Enter (q to stop): "},
    {Msg::RepeatSummary, L"%1 台に書き込みました (失敗 %2 台)。", L"%1 devices written (%2 failed)."},

    {Msg::Help,
     L"使い方: tolka <コマンド> [オプション]\n"
     L"\n"
     L"コマンド:\n"
     L"  info                  接続したデバイスの情報 (インターフェース、製品情報、ポートオプション領域)\n"
     L"  pi show FILE.tpi      製品情報ファイルの内容を表示\n"
     L"  pi make (--uuid U | --new-uuid) [--number N] [--product P] [--maker M] -o FILE.tpi\n"
     L"                        製品情報ファイルを作成\n"
     L"  pi read [-o FILE.tpi] デバイスの現在の製品情報を表示 (-o でファイルに保存)\n"
     L"  pi write FILE.tpi [--number N] [--ledger L.csv [--station K/N]] [--allow-kind-mismatch] [--repeat]\n"
     L"                        製品情報をデバイスに書き込み\n"
     L"  pi erase --yes        デバイスの製品情報を消去\n"
     L"  opt show FILE.topt    ポートオプションファイルを表で表示\n"
     L"  opt make TABLE.txt -o FILE.topt\n"
     L"                        opt show の表 (編集したもの) からポートオプションファイルを作成\n"
     L"  opt read [-o FILE.topt]\n"
     L"                        デバイスのポートオプションを表示 (-o でファイルに保存)\n"
     L"  opt write FILE.topt   ポートオプションをデバイスに書き込み\n"
     L"  opt erase --yes       デバイスのポートオプションを消去\n"
     L"  ledger show L         台帳の集計: 予約・ok・failed の数、最大の Number、ok のない Number (ステーションごと)\n"
     L"  ledger export L -o L.csv\n"
     L"                        台帳を CSV ファイルに書き出す\n"
     L"\n"
     L"オプション:\n"
     L"  --number N            Number (10 進数、または 0x で始まる 16 進数)\n"
     L"  --ledger L.csv        Number を台帳から採る: 予約済みの最大の Number の次 (--number は下限)\n"
     L"                        L.csv の代わりに odbc:接続文字列 でデータベースの台帳。省略時は TOLKA_LEDGER\n"
     L"  --ledger-timeout S    データベースの台帳の各処理の制限時間 (秒、既定 5)\n"
     L"  --station K/N         K 番目のステーション: N で割った余りが K と同じ Number だけを使う\n"
     L"  --allow-kind-mismatch 製品種別とインターフェースが合わなくても書き込む\n"
     L"  --repeat              1 台ごとに Enter で次のデバイスへ、q で終了\n"
     L"  --yes                 消去を確認済みとする\n"
     L"  --json                コマンドごとに 1 つの JSON オブジェクトを出力\n"
     L"  --lang ja|en          表示の言語\n"
     L"  --version             スイートのバージョンを表示\n"
     L"\n"
     L"終了コード:\n"
     L"  0 完了  1 UUID を作成できない  2 使い方の誤り  3 ファイルの誤り\n"
     L"  4 デバイスなし・接続できない  5 デバイスが応答しない  6 読み出し失敗\n"
     L"  7 書き込み・消去失敗  8 ベリファイ失敗  9 拒否 (製品種別の不一致、ポートオプション領域のないファームウェア)\n"
     L"  10 台帳の誤り",
     L"Usage: tolka <command> [options]\n"
     L"\n"
     L"Commands:\n"
     L"  info                  the attached device: interface, product information, port option area\n"
     L"  pi show FILE.tpi      show a product-information file\n"
     L"  pi make (--uuid U | --new-uuid) [--number N] [--product P] [--maker M] -o FILE.tpi\n"
     L"                        make a product-information file\n"
     L"  pi read [-o FILE.tpi] show the device's current product information (-o: save it)\n"
     L"  pi write FILE.tpi [--number N] [--ledger L.csv [--station K/N]] [--allow-kind-mismatch] [--repeat]\n"
     L"                        write product information into the device\n"
     L"  pi erase --yes        erase the device's product information\n"
     L"  opt show FILE.topt    show a port option file as a table\n"
     L"  opt make TABLE.txt -o FILE.topt\n"
     L"                        make a port option file from such a table (edited as you like)\n"
     L"  opt read [-o FILE.topt]\n"
     L"                        show the device's port options (-o: save them)\n"
     L"  opt write FILE.topt   write port options into the device\n"
     L"  opt erase --yes       erase the device's port options\n"
     L"  ledger show L         the ledger in figures: reserved, ok, failed, highest Number, Numbers\n"
     L"                        reserved without ok, per station\n"
     L"  ledger export L -o L.csv\n"
     L"                        write the ledger as a CSV file\n"
     L"\n"
     L"Options:\n"
     L"  --number N            the Number (decimal, or hexadecimal after 0x)\n"
     L"  --ledger L.csv        take the Number from the ledger: one past the highest ever reserved\n"
     L"                        (--number is the lowest it may be)\n"
     L"                        odbc: and a connection string instead of L.csv: a ledger in a\n"
     L"                        database; TOLKA_LEDGER when not given\n"
     L"  --ledger-timeout S    the time limit of each step of a database ledger (seconds, 5)\n"
     L"  --station K/N         station K of N: only Numbers that leave K's remainder when divided by N\n"
     L"  --allow-kind-mismatch write even when the product kind does not match the interface\n"
     L"  --repeat              after each device, Enter goes on to the next one, q stops\n"
     L"  --yes                 the erase is confirmed\n"
     L"  --json                one JSON object per command\n"
     L"  --lang ja|en          the language of the messages\n"
     L"  --version             show the suite's version\n"
     L"\n"
     L"Exit codes:\n"
     L"  0 done  1 no UUID could be made  2 usage  3 bad file\n"
     L"  4 no device / could not connect  5 device did not answer  6 read failed\n"
     L"  7 write or erase failed  8 verify failed  9 refused (product-kind mismatch, firmware without\n"
     L"  the port option area)  10 ledger error"},
};

}  // namespace

std::wstring Text(Lang lang, Msg id, std::initializer_list<std::wstring> args) {
    const wchar_t* pattern = L"";
    for (const Entry& e : kMessages) {
        if (e.id == id) {
            pattern = lang == Lang::Ja ? e.ja : e.en;
            break;
        }
    }
    return core::FillPlaceholders(pattern, args);
}

}  // namespace cli

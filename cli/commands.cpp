#include "cli/commands.h"

#include "cli/context.h"
#include "core/digits.h"
#include "core/imagefile.h"
#include "suite/suite_version.h"

namespace cli {

namespace {

// A name the editor's rule refused; the message names the field (and the character the code
// page lacks). A name read from a file was never typed: the file is at fault.
Exit NameRefusal(Context& c,
                 int field,
                 const std::wstring& name,
                 const core::AnsiName& ansi,
                 core::NameVerdict verdict,
                 Exit failCode,
                 const std::wstring* file) {
    const std::wstring label = c.report.Text(field);
    if (file != nullptr)
        return c.report.Fail(failCode, IDS_FILE_NAME_TOO_LONG,
                             {*file, label, core::DecimalText<wchar_t>(core::kNameMaxBytes)});
    switch (verdict) {
        case core::NameVerdict::TooManyChars:
            return c.report.Fail(failCode, IDS_NAME_TOO_MANY_CHARS,
                                 {label, core::DecimalText<wchar_t>(core::kNameMaxChars)});
        case core::NameVerdict::NotInCodePage:
            return c.report.Fail(failCode, IDS_NAME_NOT_IN_CODE_PAGE, {label, core::MissingCharacter(name, ansi)});
        case core::NameVerdict::TooManyBytes:
        case core::NameVerdict::Fits:
            break;
    }
    return c.report.Fail(failCode, IDS_NAME_TOO_MANY_BYTES, {label, core::DecimalText<wchar_t>(core::kNameMaxBytes)});
}

// The message of a file that could not be used, or Done.
Exit FileFailure(Context& c, core::FileResult status, const std::wstring& path) {
    switch (status) {
        case core::FileResult::CannotOpen:
            return c.report.Fail(Exit::BadFile, IDS_FILE_CANNOT_OPEN_NAMED, {path});
        case core::FileResult::Missing:
            return c.report.Fail(Exit::BadFile, IDS_FILE_MISSING_NAMED, {path});
        case core::FileResult::IoError:
            return c.report.Fail(Exit::BadFile, IDS_FILE_IO_ERROR, {path});
        case core::FileResult::Ok:
            break;
    }
    return Exit::Done;
}

Exit ShowUsageError(Output& out, core::Lang lang, bool json, const UsageError& error) {
    Report report(out, lang, json, L"");
    std::wstring detail = core::Text(lang, error.detail, {error.argument, error.more});
    return report.Finish(report.Fail(Exit::Usage, IDS_USAGE_ERROR, {detail}));
}

}  // namespace

std::wstring Hex32(uint32_t value) {
    return L"0x" + core::HexText<wchar_t>(value, 8);
}

std::wstring HexSlot(uint32_t value) {
    return L"0x" + core::HexText<wchar_t>(value, 4);
}

Exit ReadImageFile(Context& c, const std::wstring& path, uint8_t* image, size_t size) {
    std::vector<uint8_t> data;
    if (Exit exit = FileFailure(c, c.host.ReadFile(path, core::ImageFileReadLimit(size), data), path);
        exit != Exit::Done)
        return exit;
    if (!core::IsWholeImageFile(data.size(), size))
        return c.report.Fail(Exit::BadFile, IDS_FILE_BAD_FORMAT_NAMED, {path});
    std::copy(data.begin(), data.end(), image);
    return Exit::Done;
}

Exit ReadTextFile(Context& c, const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& text) {
    if (Exit exit = FileFailure(c, c.host.ReadFile(path, maxBytes + 1, text), path); exit != Exit::Done)
        return exit;
    return text.size() > maxBytes ? c.report.Fail(Exit::BadFile, IDS_FILE_BAD_FORMAT_NAMED, {path}) : Exit::Done;
}

Exit WriteImageFile(Context& c, const std::wstring& path, const uint8_t* image, size_t size) {
    if (Exit exit = FileFailure(c, c.host.WriteFile(path, image, size), path); exit != Exit::Done)
        return exit;
    c.report.Say(IDS_FILE_SAVED, {path});
    c.report.Fields().Text("file", path);
    return Exit::Done;
}

Exit CheckDeviceLibraries(Context& c) {
    if (std::optional<core::MissingLibrary> missing = c.host.MissingDeviceLibrary()) {
        c.report.Fields().Text("missing_library", missing->library);
        return c.report.FailText(Exit::NoBoard, core::MissingLibraryText(c.report.Language(), *missing));
    }
    return Exit::Done;
}

Exit OpenConnection(Context& c, core::BoardConnection& board) {
    if (Exit exit = CheckDeviceLibraries(c); exit != Exit::Done)
        return exit;
    return board.Open() ? Exit::Done : c.report.Fail(Exit::NoBoard, IDS_CANNOT_CONNECT);
}

Exit OpenBoard(Context& c, core::BoardConnection& board, uint32_t& interfaceType) {
    if (Exit exit = OpenConnection(c, board); exit != Exit::Done)
        return exit;
    interfaceType = c.host.Link().GetIFType(board.Handle());
    const wchar_t* kind = L"other";
    switch (core::AnnouncedInterface(interfaceType)) {
        case core::InterfaceKind::Usb:
            kind = L"USB";
            c.report.Say(IDS_CONNECTED_USB);
            break;
        case core::InterfaceKind::Lan:
            kind = L"LAN";
            c.report.Say(IDS_CONNECTED_LAN);
            break;
        case core::InterfaceKind::Other:
            c.report.Say(IDS_CONNECTED_OTHER, {Hex32(interfaceType)});
            break;
    }
    c.report.Fields().Text("interface", Hex32(interfaceType)).Text("interface_kind", kind);
    return Exit::Done;
}

Exit ShowCurrentRecord(Context& c,
                       core::BoardConnection& board,
                       core::CurrentRecord* current,
                       core::ReadResult* result) {
    core::CurrentRecord read;
    core::ReadResult r = core::ReadCurrentRecord(c.host.Link(), board.Handle(), read);
    if (current != nullptr)
        *current = read;
    if (result != nullptr)
        *result = r;
    if (core::EndsConnection(r))
        board.Close();
    switch (r) {
        case core::ReadResult::NoAnswer:
            return c.report.Fail(Exit::NoAnswer, IDS_NO_ANSWER);
        case core::ReadResult::ReadFailed:
            return c.report.Fail(Exit::ReadFailed, IDS_READ_FAILED);
        case core::ReadResult::Empty:
            c.report.Say(IDS_CURRENT_EMPTY);
            c.report.Fields().Null("current");
            return Exit::Done;
        case core::ReadResult::Found:
            break;
    }
    RecordTexts texts = TextsOf(c.host, read.record.data());
    c.report.Say(IDS_CURRENT_RECORD, {HexSlot(read.slot), RecordLine(c, texts)});
    c.report.Fields().Object("current", RecordJson(texts).Text("slot", HexSlot(read.slot)));
    return Exit::Done;
}

Exit ConnectWriter(Context& c, core::BoardConnection& board, uint32_t& interfaceType) {
    Exit exit = OpenBoard(c, board, interfaceType);
    return exit != Exit::Done ? exit : ShowCurrentRecord(c, board);
}

RecordTexts TextsOf(Host& host, const uint8_t* record) {
    return core::TextsOfRecord(record, [&host](const std::string& bytes) { return host.FromAnsi(bytes); });
}

std::optional<core::RecordFields> BuildFields(Context& c,
                                              const RecordTexts& texts,
                                              Exit failCode,
                                              Exit& exit,
                                              const std::wstring* file) {
    const core::AnsiName maker = c.host.ToAnsi(texts.maker);
    const core::AnsiName product = c.host.ToAnsi(texts.product);
    core::RecordFromTexts made = core::FieldsFromTexts(texts, product, maker);
    switch (made.fault) {
        case core::RecordTextFault::None:
            return made.fields;
        case core::RecordTextFault::MakerName:
            exit = NameRefusal(c, IDS_MAKER_FIELD, texts.maker, maker, made.nameVerdict, failCode, file);
            break;
        case core::RecordTextFault::ProductName:
            exit = NameRefusal(c, IDS_PRODUCT_NAME_FIELD, texts.product, product, made.nameVerdict, failCode, file);
            break;
        case core::RecordTextFault::UuidMissing:
            exit = c.report.Fail(failCode, IDS_UUID_MISSING);
            break;
        case core::RecordTextFault::UuidMalformed:
            exit = c.report.Fail(failCode, IDS_UUID_MALFORMED);
            break;
    }
    return std::nullopt;
}

JsonObject RecordJson(const RecordTexts& texts) {
    JsonObject record;
    record.Text("uuid", texts.uuid)
        .Number("number", core::ParseNumberText(texts.number))
        .Text("product", texts.product)
        .Text("maker", texts.maker);
    return record;
}

std::wstring RecordLine(Context& c, const RecordTexts& texts) {
    return c.report.Text(IDS_RECORD_LINE, {texts.uuid, texts.number, texts.product, texts.maker});
}

Exit Run(const std::vector<std::wstring>& args, Host& host, core::Lang uiLang) {
    ParsedArgs parsed = ParseArgs(args, host.Environment(L"TOLKA_LEDGER"));
    const core::Lang lang = parsed.lang.value_or(uiLang);
    if (parsed.lang)
        host.SetLibraryLanguage(lang);
    if (parsed.error)
        return ShowUsageError(host, lang, parsed.json, *parsed.error);
    const Invocation& inv = parsed.invocation;
    Report report(host, lang, inv.Json(), inv.name);
    Context context{host, inv, report};
    return inv.handler(context);
}

// The help, whole or of one command, as plain text also with --json.
Exit ShowHelp(Context& c) {
    c.host.Out(HelpText(c.report.Language(), c.inv.file));
    return Exit::Done;
}

Exit ShowVersion(Context& c) {
    c.host.Out(L"tolka " TOLKA_SUITE_VERSION_TEXT);
    return Exit::Done;
}

Exit ReadRecordToWrite(Context& c, core::RecordImage& file, std::optional<core::RecordFields>& fields) {
    if (Exit exit = ReadImageFile(c, c.inv.file, file.data(), file.size()); exit != Exit::Done)
        return exit;
    RecordTexts texts = TextsOf(c.host, file.data());
    if (c.inv.Has(Option::Number))
        texts.number = c.inv.Value(Option::Number);
    Exit exit = Exit::Done;
    fields = BuildFields(c, texts, Exit::BadFile, exit, &c.inv.file);
    return fields ? Exit::Done : exit;
}

}  // namespace cli

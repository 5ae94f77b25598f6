// The port option commands: show a .topt file, read, write and erase the board's port
// options; and info, which looks at both areas of the board.
#include <map>

#include "cli/context.h"
#include "cli/optiontable.h"
#include "core/digits.h"
#include "core/optionops.h"
#include "core/portoptions.h"

namespace cli {

namespace {

// The image as the option window keeps it: shown in the grid and taken back from it, so that
// only the port bytes count and everything else is as the window writes it.
core::PortOptionImage AsTheWindowKeepsIt(const uint8_t* image) {
    std::map<unsigned, bool> boxes;
    core::SetPortOptions(image, [&](unsigned box, bool checked) { boxes[box] = checked; });
    core::PortOptionImage kept;
    core::GetPortOptions(kept.data(), [&](unsigned box) { return boxes[box]; });
    return kept;
}

void ShowOptions(Context& c, const uint8_t* image) {
    for (const std::wstring& line : OptionTable(image, c.report.Language()))
        c.report.SayText(line);
    for (const std::wstring& warning : OptionWarnings(image, c.report.Language()))
        c.report.WarnBesideTable(warning);
    c.report.Fields().Object("ports", OptionJson(image));
}

// The option window connects without asking the interface type.
Exit OpenOptionBoard(Context& c, core::BoardConnection& board) {
    return OpenConnection(c, board);
}

Exit Unsupported(Context& c) {
    c.report.Fields().Bool("option_area", false);
    return c.report.Fail(Exit::Refused, IDS_FIRMWARE_UNSUPPORTED);
}

// info's look at the port option area: the firmware check, then area 5. A failed read of
// 0x8000 says nothing of the firmware and is told as a failure, not as firmware without it.
Exit TellOptionArea(Context& c, core::BoardConnection& board) {
    switch (core::CheckOptionArea(c.host.Link(), board.Handle())) {
        case core::OptionAreaCheck::ReadFailed:
            c.report.Fields().Null("option_area").Null("area5_settings");
            return c.report.Fail(Exit::ReadFailed, IDS_OPTION_AREA_READ_FAILED);
        case core::OptionAreaCheck::Unsupported:
            c.report.Say(IDS_OPTION_AREA_NO);
            c.report.Fields().Bool("option_area", false).Null("area5_settings");
            return Exit::Done;
        case core::OptionAreaCheck::Supported:
            break;
    }
    c.report.Say(IDS_OPTION_AREA_YES);
    core::PortOptionImage image;
    const bool settings = core::ReadPortOptionArea(c.host.Link(), board.Handle(), image);
    c.report.Say(settings ? IDS_AREA5_SETTINGS : IDS_AREA5_EMPTY);
    c.report.Fields().Bool("option_area", true).Bool("area5_settings", settings);
    return Exit::Done;
}

Exit TableFailure(Context& c, const TableError& error) {
    const std::wstring detail = c.report.Text(error.detail, {error.args[0], error.args[1], error.args[2]});
    if (error.line == 0)
        return c.report.Fail(Exit::BadFile, IDS_TABLE_WHOLE, {c.inv.file, detail});
    return c.report.Fail(Exit::BadFile, IDS_TABLE_LINE, {c.inv.file, core::DecimalText<wchar_t>(error.line), detail});
}

}  // namespace

Exit OptShow(Context& c) {
    core::PortOptionImage image;
    if (Exit exit = ReadImageFile(c, c.inv.file, image.data(), image.size()); exit != Exit::Done)
        return c.report.Finish(exit);
    c.report.Fields().Text("file", c.inv.file);
    ShowOptions(c, image.data());
    return c.report.Finish(Exit::Done);
}

// A table as opt show prints it, perhaps edited, becomes the file the window would save.
Exit OptMake(Context& c) {
    constexpr size_t kMaxTableBytes = 64 * 1024;
    std::vector<uint8_t> text;
    if (Exit exit = ReadTextFile(c, c.inv.file, kMaxTableBytes, text); exit != Exit::Done)
        return c.report.Finish(exit);
    core::PortOptionImage image;
    if (std::optional<TableError> error = ParseOptionTable(text, c.report.Language(), image))
        return c.report.Finish(TableFailure(c, *error));
    for (const std::wstring& warning : OptionWarnings(image.data(), c.report.Language()))
        c.report.WarnBesideTable(warning);
    c.report.Fields().Object("ports", OptionJson(image.data()));
    return c.report.Finish(WriteImageFile(c, c.inv.Value(Option::Output), image.data(), image.size()));
}

Exit OptRead(Context& c) {
    core::BoardConnection board(c.host.Link());
    if (Exit exit = OpenOptionBoard(c, board); exit != Exit::Done)
        return c.report.Finish(exit);
    core::PortOptionImage image;
    const core::OptionReadResult result = core::ReadPortOptions(c.host.Link(), board.Handle(), image);
    if (core::EndsConnection(result))
        board.Close();
    switch (result) {
        case core::OptionReadResult::UnsupportedFirmware:
            return c.report.Finish(Unsupported(c));
        case core::OptionReadResult::NoSettings:
            return c.report.Finish(c.report.Fail(Exit::ReadFailed, IDS_NO_SETTINGS));
        case core::OptionReadResult::Ok:
            break;
    }
    c.report.Say(IDS_SETTINGS_READ);
    core::PortOptionImage kept = AsTheWindowKeepsIt(image.data());
    ShowOptions(c, kept.data());
    if (!c.inv.Has(Option::Output))
        return c.report.Finish(Exit::Done);
    return c.report.Finish(WriteImageFile(c, c.inv.Value(Option::Output), kept.data(), kept.size()));
}

Exit OptWrite(Context& c) {
    core::PortOptionImage file;
    if (Exit exit = ReadImageFile(c, c.inv.file, file.data(), file.size()); exit != Exit::Done)
        return c.report.Finish(exit);
    core::PortOptionImage image = AsTheWindowKeepsIt(file.data());
    ShowOptions(c, image.data());
    core::BoardConnection board(c.host.Link());
    if (Exit exit = OpenOptionBoard(c, board); exit != Exit::Done)
        return c.report.Finish(exit);
    const core::OptionWriteResult result = core::WritePortOptions(c.host.Link(), board.Handle(), image);
    if (core::EndsConnection(result))
        board.Close();
    switch (result) {
        case core::OptionWriteResult::UnsupportedFirmware:
            return c.report.Finish(Unsupported(c));
        case core::OptionWriteResult::WriteFailed:
            return c.report.Finish(c.report.Fail(Exit::WriteFailed, IDS_WRITE_FAILED));
        case core::OptionWriteResult::Ok:
            break;
    }
    c.report.Say(IDS_WRITTEN);
    return c.report.Finish(Exit::Done);
}

Exit OptErase(Context& c) {
    core::BoardConnection board(c.host.Link());
    if (Exit exit = OpenOptionBoard(c, board); exit != Exit::Done)
        return c.report.Finish(exit);
    if (core::ErasePortOptions(c.host.Link(), board.Handle()) != core::OptionEraseResult::Ok)
        return c.report.Finish(c.report.Fail(Exit::WriteFailed, IDS_ERASE_FAILED));
    c.report.Say(IDS_ERASED);
    return c.report.Finish(Exit::Done);
}

Exit Info(Context& c) {
    core::BoardConnection board(c.host.Link());
    uint32_t interfaceType = 0;
    if (Exit exit = OpenBoard(c, board, interfaceType); exit != Exit::Done)
        return c.report.Finish(exit);
    const std::wstring kinds[] = {L"USB", L"LAN", c.report.Text(IDS_INTERFACE_OTHER)};
    c.report.Say(IDS_INTERFACE_LINE,
                 {Hex32(interfaceType), kinds[static_cast<int>(core::AnnouncedInterface(interfaceType))]});
    core::CurrentRecord current;
    if (Exit exit = ShowCurrentRecord(c, board, &current); exit != Exit::Done)
        return c.report.Finish(exit);
    c.report.Say(IDS_SLOTS_USED_LINE, {core::DecimalText<wchar_t>(current.slotsUsed)});
    c.report.Fields().Number("slots_used", current.slotsUsed);
    return c.report.Finish(TellOptionArea(c, board));
}

}  // namespace cli

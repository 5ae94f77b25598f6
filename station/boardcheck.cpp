#include "station/boardcheck.h"

#include "core/digits.h"
#include "core/placeholders.h"
#include "core/textids.h"

namespace station {

namespace {

// Refuses the Number: the cycle stops there, before the first call that changes the board.
class ReadOnlyHooks : public core::LineCycleHooks {
public:
    bool Reserve(const core::BoardHolding&, core::RecordImage&) override { return false; }
    void Step(core::LineStep step) override {
        if (step == core::LineStep::CheckingOptions)
            optionsAsked = true;
    }

    bool optionsAsked = false;
};

int KindTextId(uint32_t interfaceType) {
    switch (core::AnnouncedInterface(interfaceType)) {
        case core::InterfaceKind::Usb:
            return IDS_STATION_SETUP_KIND_USB;
        case core::InterfaceKind::Lan:
            return IDS_STATION_SETUP_KIND_LAN;
        case core::InterfaceKind::Other:
            break;
    }
    return IDS_STATION_SETUP_KIND_OTHER;
}

}  // namespace

BoardCheck CheckBoard(core::DeviceLink& link, const CycleRecipe& recipe) {
    core::LineJob job;
    // As a rework, a board that carries a Number is read on to the firmware check too.
    job.rework = true;
    // The firmware is asked even for a station without options, so that the engineer learns
    // whether options could be added; the image is never written, as the Number is refused first.
    job.options = recipe.options.value_or(core::PortOptionImage{});
    ReadOnlyHooks hooks;
    const core::LineReport report = core::RunLineCycle(link, job, hooks);

    BoardCheck check;
    check.outcome = report.outcome;
    check.calls = report.calls;
    switch (report.outcome) {
        case core::LineOutcome::NotReserved:
            check.options = OptionSupport::Supported;
            break;
        case core::LineOutcome::OptionsUnsupported:
            check.options = OptionSupport::Unsupported;
            break;
        case core::LineOutcome::ReadFailed:
            // The slots were read when the firmware's mark was the read that failed.
            if (!hooks.optionsAsked)
                return check;
            break;
        default:
            return check;
    }
    check.read = true;
    check.holding = report.before;
    check.mismatch = core::KindMismatchOf(core::EncodeRecord(recipe.fields).value_or(core::RecordImage{}),
                                          report.before.interfaceType);
    const bool optionsFit = !recipe.options || check.options == OptionSupport::Supported;
    const bool blank = !report.before.numbered && !report.before.areaFull;
    check.writable = !check.mismatch && optionsFit && (recipe.rework || blank);
    return check;
}

std::wstring BoardCheckText(const BoardCheck& check, const TextOfId& text) {
    if (!check.read) {
        switch (check.outcome) {
            case core::LineOutcome::NoBoard:
                return text(IDS_STATION_SETUP_CHECK_NO_BOARD);
            case core::LineOutcome::NoAnswer:
                return text(IDS_STATION_SETUP_CHECK_NO_ANSWER);
            default:
                return text(IDS_STATION_SETUP_CHECK_READ_FAILED);
        }
    }
    const core::BoardHolding& holding = check.holding;
    auto line = [&text](int id, std::initializer_list<std::wstring> args = {}) {
        return core::FillPlaceholders(text(id).c_str(), args) + L"\n";
    };
    std::wstring words = line(IDS_STATION_SETUP_CHECK_FOUND, {text(KindTextId(holding.interfaceType)),
                                                              core::HexText<wchar_t>(holding.interfaceType, 8)});
    words += holding.numbered ? line(IDS_STATION_SETUP_CHECK_NUMBER, {core::DecimalText<wchar_t>(holding.number)})
                              : line(IDS_STATION_SETUP_CHECK_NO_NUMBER);
    if (holding.areaFull)
        words += line(IDS_STATION_SETUP_CHECK_AREA_FULL);
    words += line(check.mismatch ? IDS_STATION_SETUP_CHECK_WRONG_KIND : IDS_STATION_SETUP_CHECK_FITS);
    const int optionIds[] = {IDS_STATION_SETUP_CHECK_OPTIONS_UNKNOWN, IDS_STATION_SETUP_CHECK_OPTIONS_YES,
                             IDS_STATION_SETUP_CHECK_OPTIONS_NO};
    words += line(optionIds[static_cast<size_t>(check.options)]);
    words += text(check.writable ? IDS_STATION_SETUP_CHECK_WRITABLE : IDS_STATION_SETUP_CHECK_REFUSED);
    return words;
}

}  // namespace station

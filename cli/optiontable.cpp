#include "cli/optiontable.h"

#include "core/portoptions.h"

namespace cli {

namespace {

constexpr core::Port kPorts[] = {core::Port::P1, core::Port::P2, core::Port::P5,
                                 core::Port::P4, core::Port::PA, core::Port::POUT};
constexpr core::PortGroup kGroups[] = {core::PortGroup::Direction, core::PortGroup::OutputData,
                                       core::PortGroup::PullUp};
constexpr unsigned kPins = 8;
constexpr size_t kLabelWidth = 8;
constexpr size_t kGroupWidth = 18;  // "7 6 5 4 3 2 1 0" and a gap

// Columns a character takes in a console: East Asian wide and full-width forms take two.
size_t DisplayWidth(const std::wstring& text) {
    size_t width = 0;
    for (wchar_t c : text) {
        bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                    (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

std::wstring Padded(const std::wstring& text, size_t width) {
    size_t used = DisplayWidth(text);
    return text + std::wstring(used < width ? width - used : 1, L' ');
}

std::wstring GroupName(core::PortGroup group, Lang lang) {
    if (lang == Lang::Ja)
        return core::PortGroupName(group);
    switch (group) {
        case core::PortGroup::Direction:
            return L"Direction";
        case core::PortGroup::OutputData:
            return L"Output data";
        default:
            return L"Pull-up";
    }
}

// '1', '0', or '-' where the port has no such pin in the group.
wchar_t PinMark(const uint8_t* image, core::PortGroup group, core::Port port, unsigned pin) {
    const core::PortCell* cell = core::FindPortCell(group, port);
    if (cell == nullptr || pin >= cell->pinCount)
        return L'-';
    return core::IsPinSet(image, *cell, pin) ? L'1' : L'0';
}

bool IsSet(const uint8_t* image, core::PortGroup group, core::Port port, unsigned pin) {
    return PinMark(image, group, port, pin) == L'1';
}

std::wstring PinList(const std::vector<unsigned>& pins) {
    std::wstring list;
    for (unsigned pin : pins)
        list += (list.empty() ? L"" : L", ") + std::to_wstring(pin);
    return list;
}

}  // namespace

std::vector<std::wstring> OptionTable(const uint8_t* image, Lang lang) {
    std::wstring heading(kLabelWidth, L' ');
    std::wstring pinNumbers(kLabelWidth, L' ');
    for (core::PortGroup group : kGroups) {
        heading += Padded(GroupName(group, lang), kGroupWidth);
        pinNumbers += Padded(L"7 6 5 4 3 2 1 0", kGroupWidth);
    }
    std::vector<std::wstring> lines = {heading, pinNumbers};
    for (core::Port port : kPorts) {
        std::wstring line = Padded(core::PortName(port), kLabelWidth);
        for (core::PortGroup group : kGroups) {
            std::wstring cells;
            for (unsigned pin = kPins; pin-- > 0;)
                cells += std::wstring(1, PinMark(image, group, port, pin)) + (pin ? L" " : L"");
            line += Padded(cells, kGroupWidth);
        }
        lines.push_back(line);
    }
    for (std::wstring& line : lines) {
        while (!line.empty() && line.back() == L' ')
            line.pop_back();
    }
    return lines;
}

std::vector<std::wstring> OptionWarnings(const uint8_t* image, Lang lang) {
    std::vector<std::wstring> warnings;
    for (core::Port port : {core::Port::P1, core::Port::P2, core::Port::P5}) {
        std::vector<unsigned> outputs;
        for (unsigned pin = 0; pin < kPins; ++pin) {
            if (IsSet(image, core::PortGroup::Direction, port, pin))
                outputs.push_back(pin);
        }
        if (!outputs.empty())
            warnings.push_back(Text(lang, Msg::WarnAddressOutput, {core::PortName(port), PinList(outputs)}));
    }
    for (core::Port port : {core::Port::P4, core::Port::PA}) {
        std::vector<unsigned> inputs;
        for (unsigned pin = 0; pin < kPins; ++pin) {
            if (IsSet(image, core::PortGroup::OutputData, port, pin) &&
                !IsSet(image, core::PortGroup::Direction, port, pin))
                inputs.push_back(pin);
        }
        if (!inputs.empty())
            warnings.push_back(Text(lang, Msg::WarnOutputDataOnInput, {core::PortName(port), PinList(inputs)}));
    }
    return warnings;
}

JsonObject OptionJson(const uint8_t* image) {
    const char* keys[] = {"direction", "output_data", "pull_up"};
    JsonObject ports;
    for (core::Port port : kPorts) {
        JsonObject groups;
        for (size_t g = 0; g < 3; ++g) {
            const core::PortCell* cell = core::FindPortCell(kGroups[g], port);
            if (cell == nullptr) {
                groups.Null(keys[g]);
                continue;
            }
            std::wstring bits;
            for (unsigned pin = cell->pinCount; pin-- > 0;)
                bits += core::IsPinSet(image, *cell, pin) ? L'1' : L'0';
            groups.Text(keys[g], bits);
        }
        std::wstring name = core::PortName(port);
        ports.Object(std::string(name.begin(), name.end()), groups);
    }
    return ports;
}

}  // namespace cli

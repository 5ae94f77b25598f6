#include "core/portoptions.h"

#include <algorithm>

namespace core {

const wchar_t* PortName(Port port) {
    switch (port) {
        case Port::P1:
            return L"P1";
        case Port::P2:
            return L"P2";
        case Port::P5:
            return L"P5";
        case Port::P4:
            return L"P4";
        case Port::PA:
            return L"PA";
        case Port::POUT:
            return L"POUT";
    }
    return L"";
}

const wchar_t* PortGroupName(PortGroup group) {
    switch (group) {
        case PortGroup::Direction:
            return L"入出力方向";
        case PortGroup::OutputData:
            return L"出力データ";
        case PortGroup::PullUp:
            return L"プルアップ";
    }
    return L"";
}

const PortCell* FindPortCell(PortGroup group, Port port) {
    for (const PortCell& cell : kPortCells) {
        if (cell.group == group && cell.port == port)
            return &cell;
    }
    return nullptr;
}

void GetPortOptions(uint8_t* image, const IsBoxChecked& isChecked) {
    std::fill(image, image + kPortOptionImageSize, kPortOptionFill);
    std::fill(image, image + kPortBytesBegin, 0x00);
    for (const PortCell& cell : kPortCells) {
        uint8_t bits = 0;
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            if (isChecked(cell.firstBoxId + pin))
                bits = static_cast<uint8_t>(bits | (1u << pin));
        }
        image[cell.offset] = bits;
    }
}

void SetPortOptions(const uint8_t* image, const SetBoxChecked& setChecked) {
    for (const PortCell& cell : kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin)
            setChecked(cell.firstBoxId + pin, IsPinSet(image, cell, pin));
    }
}

bool IsPinSet(const uint8_t* image, const PortCell& cell, unsigned pin) {
    return pin < cell.pinCount && (image[cell.offset] >> pin & 1u) != 0;
}

}  // namespace core

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

int PortGroupTextId(PortGroup group) {
    switch (group) {
        case PortGroup::Direction:
            return IDS_GROUP_DIRECTION;
        case PortGroup::OutputData:
            return IDS_GROUP_OUTPUT_DATA;
        case PortGroup::PullUp:
            break;
    }
    return IDS_GROUP_PULL_UP;
}

const PortCell* FindPortCell(PortGroup group, Port port) {
    for (const PortCell& cell : kPortCells) {
        if (cell.group == group && cell.port == port)
            return &cell;
    }
    return nullptr;
}

namespace {

constexpr Port kRows[] = {Port::P1, Port::P2, Port::P5, Port::P4, Port::PA, Port::POUT};
constexpr int kRowCount = 6;
constexpr int kPinsPerGroup = 8;
constexpr int kColumnCount = 3 * kPinsPerGroup;

int RowOf(Port port) {
    for (int row = 0; row < kRowCount; ++row) {
        if (kRows[row] == port)
            return row;
    }
    return 0;
}

// Bits run from 16 (byte 2) up: no box has bit 0.
constexpr unsigned kNoBox = 0;
static_assert(kPortBytesBegin > 0, "bit 0 is no box");

// The box at a place of the grid, or kNoBox where there is none.
unsigned BoxAt(int row, int column) {
    auto group = static_cast<PortGroup>(column / kPinsPerGroup);
    auto pin = static_cast<unsigned>(kPinsPerGroup - 1 - column % kPinsPerGroup);
    const PortCell* cell = FindPortCell(group, kRows[row]);
    return cell != nullptr && pin < cell->pinCount ? PortBit(*cell, pin) : kNoBox;
}

}  // namespace

const PortCell* FindPortBox(unsigned bit, unsigned& pin) {
    for (const PortCell& cell : kPortCells) {
        if (bit >= PortBit(cell, 0) && bit < PortBit(cell, cell.pinCount)) {
            pin = bit - PortBit(cell, 0);
            return &cell;
        }
    }
    return nullptr;
}

unsigned NeighbourBox(unsigned bit, GridMove move) {
    unsigned pin = 0;
    const PortCell* cell = FindPortBox(bit, pin);
    if (cell == nullptr)
        return bit;
    int row = RowOf(cell->port);
    int column = static_cast<int>(cell->group) * kPinsPerGroup + (kPinsPerGroup - 1 - static_cast<int>(pin));
    const int dr = move == GridMove::Up ? -1 : move == GridMove::Down ? 1 : 0;
    const int dc = move == GridMove::Left ? -1 : move == GridMove::Right ? 1 : 0;
    for (row += dr, column += dc; row >= 0 && row < kRowCount && column >= 0 && column < kColumnCount;
         row += dr, column += dc) {
        if (unsigned box = BoxAt(row, column); box != kNoBox)
            return box;
    }
    return bit;
}

void GetPortOptions(uint8_t* image, const IsBoxChecked& isChecked) {
    std::fill(image, image + kPortOptionImageSize, kPortOptionFill);
    std::fill(image, image + kPortBytesBegin, 0x00);
    for (const PortCell& cell : kPortCells) {
        uint8_t bits = 0;
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            if (isChecked(PortBit(cell, pin)))
                bits = static_cast<uint8_t>(bits | (1u << pin));
        }
        image[cell.offset] = bits;
    }
}

void SetPortOptions(const uint8_t* image, const SetBoxChecked& setChecked) {
    for (const PortCell& cell : kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin)
            setChecked(PortBit(cell, pin), IsPinSet(image, cell, pin));
    }
}

bool IsPinSet(const uint8_t* image, const PortCell& cell, unsigned pin) {
    return pin < cell.pinCount && (image[cell.offset] >> pin & 1u) != 0;
}

unsigned CountPinsSet(const uint8_t* image, PortGroup group) {
    unsigned count = 0;
    for (const PortCell& cell : kPortCells) {
        for (unsigned pin = 0; cell.group == group && pin < cell.pinCount; ++pin)
            count += IsPinSet(image, cell, pin) ? 1u : 0u;
    }
    return count;
}

}  // namespace core

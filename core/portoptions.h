// The port option image: how the board sets up its I/O ports at start-up, 128 bytes that
// are the whole of a *.topt file and the content of the board's read/write area 5.
// The option window shows it as a grid of 80 check boxes; each (group, port) cell of the
// grid is one byte of the image, pin n in bit n. Portable: no <windows.h>. Here a box is
// known by its bit of the image (PortBit); the window keeps the check boxes' identifiers
// (option/portgrid.h). The window and the console program both convert through
// GetPortOptions / SetPortOptions, which only need to ask or set the state of a box.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/textids.h"

namespace core {

constexpr size_t kPortOptionImageSize = 128;
using PortOptionImage = std::array<uint8_t, kPortOptionImageSize>;

// Bytes 0-1 are written as 0x00, bytes 13-127 as 0xFF; neither is ever read.
constexpr size_t kPortBytesBegin = 2;
constexpr size_t kPortBytesEnd = 13;
constexpr uint8_t kPortOptionFill = 0xFF;

// The grid's columns.
enum class PortGroup { Direction, OutputData, PullUp };
constexpr size_t kPortGroupCount = 3;

// The grid's rows, top to bottom.
enum class Port { P1, P2, P5, P4, PA, POUT };

struct PortCell {
    size_t offset;  // byte of the image
    PortGroup group;
    Port port;
    unsigned pinCount;  // 8, or 4 for P5 (bits 4-7 are written 0 and never read)
};

// The 11 cells in image order.
inline constexpr PortCell kPortCells[] = {
    {2, PortGroup::OutputData, Port::P4, 8},   {3, PortGroup::OutputData, Port::PA, 8},
    {4, PortGroup::OutputData, Port::POUT, 8}, {5, PortGroup::Direction, Port::P1, 8},
    {6, PortGroup::Direction, Port::P2, 8},    {7, PortGroup::Direction, Port::P4, 8},
    {8, PortGroup::Direction, Port::P5, 4},    {9, PortGroup::Direction, Port::PA, 8},
    {10, PortGroup::PullUp, Port::P2, 8},      {11, PortGroup::PullUp, Port::P4, 8},
    {12, PortGroup::PullUp, Port::P5, 4},
};
constexpr size_t kPortBoxCount = 80;

// A box of the grid by its bit of the image: byte offset * 8 + pin.
constexpr unsigned PortBit(const PortCell& cell, unsigned pin) {
    return static_cast<unsigned>(cell.offset * 8 + pin);
}

// Row labels: "P1", "P2", "P5", "P4", "PA", "POUT".
const wchar_t* PortName(Port port);
// The catalogue's caption of a group, as the option window's box names say it ("P1 bit 7
// 入出力方向") and the console heads its tables: IDS_GROUP_DIRECTION, _OUTPUT_DATA, _PULL_UP.
int PortGroupTextId(PortGroup group);

// The cell of a port in a group; nullptr where the port has no pins in that group.
const PortCell* FindPortCell(PortGroup group, Port port);

using IsBoxChecked = std::function<bool(unsigned bit)>;
using SetBoxChecked = std::function<void(unsigned bit, bool checked)>;

// Fills the whole image from the grid: bytes 0-1 zero, the 11 port bytes, the rest 0xFF.
void GetPortOptions(uint8_t* image, const IsBoxChecked& isChecked);
// Sets all 80 boxes from the image's port bytes; nothing else of the image is read.
void SetPortOptions(const uint8_t* image, const SetBoxChecked& setChecked);

// The grid as the keyboard walks it: six rows (the ports, top to bottom) by 24 columns (the
// three groups, pins 7 to 0 in each), with no box where a port has no such pin.
enum class GridMove { Left, Right, Up, Down };
// P1 pin 7 direction, the grid's top left box: where Tab enters the grid first.
constexpr unsigned kFirstGridBox = PortBit(kPortCells[3], 7);

// The cell and pin of a box's bit; nullptr for a bit outside the grid.
const PortCell* FindPortBox(unsigned bit, unsigned& pin);
// The nearest box in that direction, passing over places without one; bit itself at the
// grid's edge (and for a bit outside the grid).
unsigned NeighbourBox(unsigned bit, GridMove move);

// Whether a pin's bit is set in an image, for showing an image without a window.
bool IsPinSet(const uint8_t* image, const PortCell& cell, unsigned pin);

// The boxes of a group checked in an image (outputs, high outputs, pull-ups), for a summary.
unsigned CountPinsSet(const uint8_t* image, PortGroup group);

}  // namespace core

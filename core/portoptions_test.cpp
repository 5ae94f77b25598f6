#include "core/portoptions.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace core {
namespace {

// The bit of a pin of a cell.
unsigned Bit(PortGroup group, Port port, unsigned pin) {
    return PortBit(*FindPortCell(group, port), pin);
}

// The grid as the window has it: 80 boxes, here by their bits.
struct Grid {
    std::map<unsigned, bool> boxes;
    int sets = 0;

    PortOptionImage Get() const {
        PortOptionImage image;
        image.fill(0xAB);  // whatever the caller's buffer held
        GetPortOptions(image.data(), [this](unsigned id) {
            auto it = boxes.find(id);
            return it != boxes.end() && it->second;
        });
        return image;
    }
    void Set(const PortOptionImage& image) {
        SetPortOptions(image.data(), [this](unsigned id, bool checked) {
            boxes[id] = checked;
            ++sets;
        });
    }
    std::set<unsigned> Checked() const {
        std::set<unsigned> ids;
        for (const auto& [id, checked] : boxes) {
            if (checked)
                ids.insert(id);
        }
        return ids;
    }
};

PortOptionImage ImageOf(std::vector<uint8_t> head) {
    PortOptionImage image;
    image.fill(0xFF);
    std::copy(head.begin(), head.end(), image.begin());
    return image;
}

Grid AllChecked() {
    Grid grid;
    for (const PortCell& cell : kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin)
            grid.boxes[PortBit(cell, pin)] = true;
    }
    return grid;
}

TEST(PortOptionCells, EightyDistinctBoxesInThePortBytes) {
    std::set<unsigned> bits;
    std::set<size_t> offsets;
    for (const PortCell& cell : kPortCells) {
        offsets.insert(cell.offset);
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            bits.insert(PortBit(cell, pin));
            unsigned found = 99;
            EXPECT_EQ(FindPortBox(PortBit(cell, pin), found), &cell);
            EXPECT_EQ(found, pin);
        }
    }
    EXPECT_EQ(bits.size(), kPortBoxCount);
    EXPECT_EQ(offsets, (std::set<size_t>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // Rows and columns of the grid: P5 has four pins, P1 no pull-up, POUT only output data.
    EXPECT_EQ(FindPortCell(PortGroup::Direction, Port::P5)->pinCount, 4u);
    EXPECT_EQ(FindPortCell(PortGroup::PullUp, Port::P1), nullptr);
    EXPECT_EQ(FindPortCell(PortGroup::Direction, Port::POUT), nullptr);
}

// Arrow keys pass over places without a box and stop at the grid's edge.
TEST(PortOptionGrid, MovesAsTheGridLooks) {
    const PortGroup dir = PortGroup::Direction, out = PortGroup::OutputData, pullUp = PortGroup::PullUp;
    const struct {
        unsigned from;
        GridMove move;
        unsigned to;
    } cases[] = {
        {Bit(dir, Port::P1, 7), GridMove::Left, Bit(dir, Port::P1, 7)},        // the top left corner
        {Bit(dir, Port::P1, 7), GridMove::Up, Bit(dir, Port::P1, 7)},          //
        {Bit(dir, Port::P1, 7), GridMove::Right, Bit(dir, Port::P1, 6)},       //
        {Bit(dir, Port::P1, 7), GridMove::Down, Bit(dir, Port::P2, 7)},        //
        {Bit(dir, Port::P2, 7), GridMove::Down, Bit(dir, Port::P4, 7)},        // past P5, which has no pin 7
        {Bit(dir, Port::P1, 0), GridMove::Right, Bit(dir, Port::P1, 0)},       // P1 has only its direction
        {Bit(dir, Port::P2, 0), GridMove::Right, Bit(pullUp, Port::P2, 7)},    // over the empty output data
        {Bit(pullUp, Port::P4, 0), GridMove::Down, Bit(pullUp, Port::P4, 0)},  // no pull-up below
        {Bit(out, Port::POUT, 7), GridMove::Up, Bit(out, Port::PA, 7)},        //
        {Bit(dir, Port::P5, 3), GridMove::Left, Bit(dir, Port::P5, 3)},        // nothing left of P5 pin 3
        {9999, GridMove::Down, 9999},
    };
    EXPECT_EQ(kFirstGridBox, Bit(dir, Port::P1, 7));
    for (const auto& c : cases)
        EXPECT_EQ(NeighbourBox(c.from, c.move), c.to) << c.from;
}

// From where Tab enters, the arrow keys reach all 80 boxes.
TEST(PortOptionGrid, EveryBoxIsReachableFromTheFirst) {
    std::set<unsigned> seen = {kFirstGridBox};
    std::vector<unsigned> todo = {kFirstGridBox};
    while (!todo.empty()) {
        unsigned box = todo.back();
        todo.pop_back();
        for (GridMove move : {GridMove::Left, GridMove::Right, GridMove::Up, GridMove::Down}) {
            if (seen.insert(NeighbourBox(box, move)).second)
                todo.push_back(NeighbourBox(box, move));
        }
    }
    EXPECT_EQ(seen.size(), kPortBoxCount);
}

TEST(PortOptionImage, KnownGridsGiveKnownBytes) {
    struct Case {
        const char* what;
        std::vector<unsigned> checked;
        std::vector<uint8_t> head;  // bytes 0-12; the rest must be 0xFF
    };
    std::vector<unsigned> all;
    for (const auto& [id, checked] : AllChecked().boxes)
        all.push_back(id);
    const Case cases[] = {
        {"all clear", {}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"all checked", all, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F}},
        // P1 pins 0 and 1 outputs, P4 pin 7 output data on.
        {"worked example",
         {Bit(PortGroup::Direction, Port::P1, 0), Bit(PortGroup::Direction, Port::P1, 1),
          Bit(PortGroup::OutputData, Port::P4, 7)},
         {0, 0, 0x80, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Grid grid;
        for (unsigned id : c.checked)
            grid.boxes[id] = true;
        EXPECT_EQ(grid.Get(), ImageOf(c.head));
    }
}

TEST(PortOptionImage, P5ShowsOnlyItsFourPins) {
    Grid grid = AllChecked();
    PortOptionImage image = ImageOf({0, 0, 0, 0, 0, 0, 0, 0, 0xF5, 0, 0, 0, 0});
    grid.Set(image);
    EXPECT_EQ(grid.Checked(),
              (std::set<unsigned>{Bit(PortGroup::Direction, Port::P5, 0), Bit(PortGroup::Direction, Port::P5, 2)}));
    EXPECT_EQ(grid.sets, 80);
    // Counted as shown: P5's high bits are no pins.
    EXPECT_EQ(CountPinsSet(image.data(), PortGroup::Direction), 2u);
    image = ImageOf({0, 0, 0x81, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0x03, 0xFF});
    EXPECT_EQ(CountPinsSet(image.data(), PortGroup::OutputData), 10u);
    EXPECT_EQ(CountPinsSet(image.data(), PortGroup::PullUp), 6u);
}

TEST(PortOptionImage, AllZeroClearsEveryBox) {
    Grid grid = AllChecked();
    PortOptionImage zero{};
    grid.Set(zero);
    EXPECT_TRUE(grid.Checked().empty());
    EXPECT_EQ(grid.boxes.size(), kPortBoxCount);
}

// Bytes that are never read make no difference to the grid, and saving it again gives
// the canonical image.
TEST(PortOptionImage, JunkOutsideThePortBitsIsDroppedOnResave) {
    PortOptionImage canonical = ImageOf({0, 0, 0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F, 0x05, 0x3C, 0xC3, 0x99, 0x0A});
    PortOptionImage junk = canonical;
    junk[0] = 0x12, junk[1] = 0xFE;
    for (size_t i = 13; i < junk.size(); ++i)
        junk[i] = static_cast<uint8_t>(i * 7);
    junk[8] |= 0xA0;
    junk[12] |= 0x50;

    Grid fromCanonical, fromJunk;
    fromCanonical.Set(canonical);
    fromJunk.Set(junk);
    EXPECT_EQ(fromJunk.boxes, fromCanonical.boxes);
    EXPECT_EQ(fromJunk.Get(), canonical);
}

}  // namespace
}  // namespace core

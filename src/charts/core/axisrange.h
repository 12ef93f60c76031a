#pragma once
// One axis range of the diagram, shared by the diagram window and its options:
// automatic (the window computes the range) or a fixed range typed by the user.
namespace velmara {

struct AxisRange {
    bool automatic = true;
    double dMinValue = 0;
    double dMaxValue = 0;

    bool operator==(const AxisRange&) const = default;
};

// The name the rest of the program knows the type by.
using velmaraAxisRange = AxisRange;

} // namespace velmara

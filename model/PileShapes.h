#pragma once

// Everything that varies by pile shape, in one place: the stored codes, the form's names, which
// fields a shape has, its section properties and the report's block for it. A new shape is a
// code, a row of kPileShapes and its cases in PileShapes.cpp.

#include <iterator>

namespace zenka {

// The shape codes the project file stores; the engine's ISECT holds the same codes.
struct PileShape {
    enum : int {
        None = -1,
        SquareConcrete = 1,
        RoundConcrete = 2,
        SteelPipe = 3,
        SteelH = 4,
        Cylinder = 5,
    };
    static constexpr bool known(int shape);
    // Pipes and cylinders are hollow: they have a wall thickness.
    static constexpr bool hollow(int shape);
    // H-piles have a section depth and a true end area.
    static constexpr bool hSection(int shape);
    // Steel piles have a computation of their own.
    static constexpr bool steel(int shape);
    // The pile bears on its block (width by depth) where the soil plugs between its flanges.
    static constexpr bool flangePlug(int shape);
};

struct PileShapeInfo {
    int code;
    const char* objectName; // the main form's radio button
    const char* label;      // and its text
    bool hollow;
    bool hSection;
    bool pipeEnd; // open or closed end
    bool steel;
    // In sand or limestone the soil plugs between the flanges: the pile bears on the block of
    // its width and depth.
    bool flangePlug;
};

// In the order the main form shows them.
inline constexpr PileShapeInfo kPileShapes[] = {
    // code, object name, label, hollow, hSection, pipeEnd, steel, flangePlug
    {PileShape::SquareConcrete, "shapeSquare", "Square Concrete", false, false, false, false,
     false},
    {PileShape::RoundConcrete, "shapeRound", "Round Concrete", false, false, false, false, false},
    {PileShape::SteelPipe, "shapePipe", "Steel Pipe Pile", true, false, true, true, false},
    {PileShape::SteelH, "shapeH", "Steel H-Pile", false, true, false, true, true},
    {PileShape::Cylinder, "shapeCylinder", "Cylinder Pile", true, false, false, false, false},
};
inline constexpr int kPileShapeCount = static_cast<int>(std::size(kPileShapes));

// The row of a code; null for a code that names no shape.
constexpr const PileShapeInfo* pileShapeInfo(int shape) {
    for (const PileShapeInfo& info : kPileShapes)
        if (info.code == shape) return &info;
    return nullptr;
}

constexpr bool PileShape::known(int shape) {
    return pileShapeInfo(shape) != nullptr;
}
constexpr bool PileShape::hollow(int shape) {
    const PileShapeInfo* info = pileShapeInfo(shape);
    return info && info->hollow;
}
constexpr bool PileShape::hSection(int shape) {
    const PileShapeInfo* info = pileShapeInfo(shape);
    return info && info->hSection;
}
constexpr bool PileShape::steel(int shape) {
    const PileShapeInfo* info = pileShapeInfo(shape);
    return info && info->steel;
}
constexpr bool PileShape::flangePlug(int shape) {
    const PileShapeInfo* info = pileShapeInfo(shape);
    return info && info->flangePlug;
}

// The block a plugged section bears on (ft²), from its width and depth (in).
constexpr double plugBlockArea(double WP, double DEPTH) {
    return DEPTH * WP / 144;
}

// Area (ft²), perimeter (ft), concrete wall area (ft²) and pile weight (tons) of a section, from
// the width or diameter WP, wall THICK, H-section DEPTH and true area TAREA (inches), the length
// TPL (ft) and the unit weight UWP (pcf). All zero for an unknown shape.
struct SectionProperties {
    double AREA = 0;
    double PERIM = 0;
    double AWALL = 0;
    double WGP = 0;
};
SectionProperties sectionPropertiesOf(int shape, double WP, double THICK, double DEPTH,
                                      double TAREA, double TPL, double UWP);

// The report's description of a section. A pipe whose end is neither open nor closed is
// described as a round pile.
enum class SectionBlock { None, Square, Round, OpenPipe, ClosedPipe, HPile, Cylinder };
SectionBlock sectionBlockOf(int shape, int pipeEnd);

} // namespace zenka

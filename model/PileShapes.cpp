#include "model/PileShapes.h"

#include "model/PelbrinDoc.h"

namespace zenka {

SectionProperties sectionPropertiesOf(int shape, double WP, double THICK, double DEPTH,
                                      double TAREA, double TPL, double UWP) {
    SectionProperties p;
    switch (shape) {
    case PileShape::SquareConcrete:
        p.AREA = WP * WP / 144;
        p.PERIM = WP / 3;
        break;
    case PileShape::RoundConcrete:
        p.AREA = 3.1416 * WP * WP / 576;
        p.PERIM = 3.1416 * WP / 12;
        break;
    case PileShape::SteelPipe:
        p.AREA = 3.1416 * WP * WP / 576;
        p.PERIM = 3.1416 * WP / 12;
        p.WGP = 3.1416 * (WP * WP - (WP - 2 * THICK) * (WP - 2 * THICK)) / 576 * TPL * UWP / 2000;
        break;
    case PileShape::SteelH:
        p.AREA = TAREA / 144;
        p.PERIM = (DEPTH + WP) / 6; // the enclosing rectangle
        p.WGP = TAREA * TPL * UWP / 288000;
        break;
    case PileShape::Cylinder:
        p.AREA = 3.1416 * WP * WP / 576;
        p.PERIM = 3.1416 * WP / 12;
        p.AWALL = 3.1416 * (WP - THICK) * THICK / 144;
        break;
    default:
        break;
    }
    return p;
}

SectionBlock sectionBlockOf(int shape, int pipeEnd) {
    switch (shape) {
    case PileShape::SquareConcrete:
        return SectionBlock::Square;
    case PileShape::RoundConcrete:
        return SectionBlock::Round;
    case PileShape::SteelPipe:
        if (pipeEnd == PipeEnd::Open) return SectionBlock::OpenPipe;
        if (pipeEnd == PipeEnd::Closed) return SectionBlock::ClosedPipe;
        return SectionBlock::Round;
    case PileShape::SteelH:
        return SectionBlock::HPile;
    case PileShape::Cylinder:
        return SectionBlock::Cylinder;
    default:
        return SectionBlock::None;
    }
}

} // namespace zenka

#pragma once

// Projects the benchmarks and the report comparison run: the largest ones the data model allows,
// and random valid ones of every kind.

#include "model/PelbrinDoc.h"
#include "model/SoilCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>

namespace zenka::bench {

enum class LogKind {
    Alternating, // the soil type changes at every entry: one layer per sample
    Realistic,   // eight layers, blow counts growing with depth
};

enum class LengthKind {
    Range,    // 100 steps
    Specific, // 10 lengths, detailed output
};

// 224 samples 2.5 ft apart and the closing entry at 560 ft; five square concrete widths.
inline void fillLargest(CPelbrinDoc& doc, LogKind log, LengthKind lengths) {
    doc.ResetProject();
    doc.units = 1;
    doc.projectNumber = "BENCH-225";
    doc.jobName =
        log == LogKind::Alternating ? "Alternating log, 225 entries" : "Eight layers, 225 entries";
    doc.engineer = "Benchmark";
    doc.boringDate = "01/02/24";
    doc.boringNumber = "B-225";
    doc.station = "100+00";
    doc.waterTable = -6;
    doc.pileShape = 1;
    doc.unitWeight = 150;
    doc.pipeEnd = 1;
    doc.pileWidths = {12, 14, 16, 18, 24};
    doc.widthCount = 5;
    doc.groundElevation = 100;

    // Layer tops of the realistic log (entry indices) and their soil codes.
    constexpr std::size_t kTops[] = {0, 20, 45, 80, 110, 140, 170, 200};
    constexpr int kCodes[] = {1, 28, 35, 2, 3, 41, 33, 45};
    constexpr std::size_t kSamples = kDocSamples - 1;
    for (std::size_t i = 0; i < kSamples; ++i) {
        doc.depths[i] = 2.5 * static_cast<double>(i);
        doc.blowCounts[i] =
            std::round(4 + 0.25 * static_cast<double>(i) + static_cast<double>((i * 7) % 11));
        if (log == LogKind::Alternating) {
            doc.soilCodes[i] = i % 2 == 0 ? 1 : 3;
        } else {
            std::size_t layer = 0;
            while (layer + 1 < std::size(kTops) && kTops[layer + 1] <= i) ++layer;
            doc.soilCodes[i] = kCodes[layer];
        }
    }
    doc.depths[kSamples] = 2.5 * static_cast<double>(kSamples);
    doc.blowCounts[kSamples] = 0;
    doc.soilCodes[kSamples] = 0;

    if (lengths == LengthKind::Range) {
        doc.analysisType = 2;
        doc.minLength = 5;
        doc.maxLength = 500;
        doc.lengthIncrement = 5;
    } else {
        doc.analysisType = 1;
        for (std::size_t j = 0; j < 10; ++j) doc.pileLengths[j] = 50.0 * static_cast<double>(j + 1);
        doc.lengthCount = 10;
    }
}

// Random valid projects: both unit systems, every shape and soil code, both analysis types, some
// lengths past the log and ranges that run into the 100-step limit, blow counts on the
// correlations' breaks.
class RandomProjects {
public:
    explicit RandomProjects(unsigned seed) : rng_(seed) {}

    void fill(CPelbrinDoc& doc) {
        static constexpr double kBreaks[] = {0, 4, 5, 12, 30, 60, 75, 100};
        doc.ResetProject();
        const bool metric = coin();
        const double len = metric ? units::kMetresPerFoot : 1.0;
        const double small = metric ? units::kMillimetresPerInch : 1.0;
        doc.units = metric ? 2 : 1;
        doc.projectNumber = "R-" + std::to_string(integer(1, 99999));
        doc.jobName = "Random project";
        doc.engineer = "Generator";
        doc.boringDate = "03/04/25";
        doc.boringNumber = "B-" + std::to_string(integer(1, 99));
        doc.station = coin() ? "" : "10+" + std::to_string(integer(10, 99));
        doc.pileShape = integer(1, 5);
        doc.pipeEnd = integer(1, 2);
        const bool steel =
            doc.pileShape == PileShape::SteelPipe || doc.pileShape == PileShape::SteelH;
        doc.unitWeight = (steel ? 490.0 : 150.0) * (metric ? CPelbrinDoc::kUnitWeightFactor : 1.0);
        doc.groundElevation = round2(uniform(-60, 150) * len);

        doc.widthCount = doc.pileShape == PileShape::SteelH ? 1 : integer(1, kDocWidths);
        for (int i = 0; i < doc.widthCount; ++i)
            doc.pileWidths[static_cast<std::size_t>(i)] = round2(uniform(8, 60) * small);
        doc.pipeThickness = round2(uniform(0.25, 3.9) * small);
        doc.hPileDepth = round2(uniform(8, 20) * small);
        doc.hPileEndArea = round2(uniform(10, 40) * small * small);

        const int entries = integer(0, 4) == 0 ? kDocSamples : integer(3, kDocSamples);
        double depth = coin() ? 0 : round2(uniform(0, 3));
        // Every code the log accepts, from the catalogue.
        const auto soils = soilCodeNames();
        const int last = static_cast<int>(soils.size()) - 1;
        int code = soils[static_cast<std::size_t>(integer(0, last))].code;
        for (int i = 0; i < entries; ++i) {
            const auto k = static_cast<std::size_t>(i);
            doc.depths[k] = round2(depth * len);
            doc.blowCounts[k] =
                integer(0, 4) == 0 ? kBreaks[integer(0, 7)] : round2(uniform(0, 90));
            if (integer(0, 2) == 0) code = soils[static_cast<std::size_t>(integer(0, last))].code;
            doc.soilCodes[k] = i + 1 == entries ? 0 : code;
            depth += integer(0, 3) == 0 ? integer(1, 5) : uniform(0.5, 6);
        }
        const double bottom = doc.depths[static_cast<std::size_t>(entries - 2)] / len;

        doc.analysisType = integer(1, 2);
        if (doc.analysisType == AnalysisType::SpecificLengths) {
            const int n = integer(1, 10);
            for (int j = 0; j < n; ++j)
                doc.pileLengths[static_cast<std::size_t>(j)] =
                    round2(uniform(1, bottom * 1.1) * len);
            std::sort(doc.pileLengths.begin(), doc.pileLengths.begin() + n);
        } else {
            doc.minLength = round2(uniform(1, std::max(bottom * 0.5, 1.5)) * len);
            doc.lengthIncrement = round2(uniform(0.5, 10) * len);
            doc.maxLength = coin() ? doc.minLength + round2(uniform(0, bottom) * len)
                                   : doc.minLength + 150 * doc.lengthIncrement;
        }
    }

private:
    static double round2(double v) { return std::round(v * 100) / 100; }
    bool coin() { return integer(0, 1) == 1; }
    int integer(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
    double uniform(double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng_);
    }

    std::mt19937 rng_;
};

} // namespace zenka::bench

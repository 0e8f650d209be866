#pragma once

// What the import targets share: everything the dialog and the batch program do with a file
// after reading it, on whatever the reader made of the bytes. Besides surviving, a built log
// must keep the rules of the project's log.

#include "import/LogBuilder.h"
#include "model/PelbrinDoc.h"

#include <cstdio>
#include <cstdlib>

namespace zenka::dataimport {

[[noreturn]] inline void fuzzFail(const char* what) {
    std::fprintf(stderr, "import fuzz: %s\n", what);
    std::abort();
}

inline void exerciseFile(const DataFile& f) {
    const auto list = listBoreholes(f);
    if (list.size() != f.boreholes.size()) fuzzFail("one summary per borehole");
    for (const Borehole& b : f.boreholes) {
        classifications(b);
        ImportChoices c = proposedChoices(b);
        c.otherCode = 3;
        c.depthUnit = LengthUnit::Metres;
        for (int units : {Units::NotChosen, Units::English}) {
            const BuiltLog log = buildLog(f, b, c, units);
            if (log.entries.size() > static_cast<std::size_t>(kMaxSamples + 1))
                fuzzFail("more entries than the log holds");
            for (std::size_t i = 1; i < log.entries.size(); ++i)
                if (!(log.entries[i].depth > log.entries[i - 1].depth))
                    fuzzFail("depths must increase");
            if (!log.entries.empty() && !(log.entries.back().depth <= 1000000))
                fuzzFail("a depth the analysis refuses");
            if (!log.entries.empty() && !log.entries.back().closing)
                fuzzFail("the closing entry comes last");
            for (const LogEntry& e : log.entries)
                if (!e.closing && !(e.n >= 0 && e.n <= 1000)) fuzzFail("N out of range");
        }
    }
}

} // namespace zenka::dataimport

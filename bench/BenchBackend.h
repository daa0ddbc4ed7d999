#pragma once

// The sample backend that benchmark programs run in-process, on the sample data.

#include "SampleBackend.h"

inline WexoSample::SampleBackend &backend()
{
    static WexoSample::SampleBackend instance([] {
        WexoSample::SampleBackend::Options options;
        options.dataDir = QStringLiteral(WEXO_SAMPLE_DATA_DIR);
        return options;
    }());
    return instance;
}

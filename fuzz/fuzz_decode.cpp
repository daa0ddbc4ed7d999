// Decodes arbitrary bytes as every root record of the guide content and runs
// the step operations on whatever decodes.
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoAnalytics.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace WexoCreator;

namespace {

void exerciseSteps(const WexoRoot &root)
{
    if (!root.wexos)
        return;
    for (const auto &page : *root.wexos) {
        if (!page->values)
            continue;
        for (const auto &step : *page->values) {
            (void)step->viewType();
            (void)step->isScrollElement();
            (void)step->indexPathForElement();
            (void)step->wexoStepIdentifier();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const auto root = WJsonDecoder::decode<WexoRoot>(body))
        exerciseSteps(*root.record);
    (void)WJsonDecoder::decode<AllWexo>(body);
    if (const auto login = WJsonDecoder::decode<WLogin>(body))
        (void)login.record->adminToken();
    if (const auto created = WJsonDecoder::decode<WexoCreate>(body)) {
        (void)created.record->wexoElementIdentifier();
        (void)created.record->isCreated();
    }
    (void)WJsonDecoder::decode<WexoAnalytics>(body);
    return 0;
}

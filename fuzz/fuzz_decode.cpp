// Decodes arbitrary bytes as every root record of the guide content and the
// template (and as an element configuration), runs the step operations on
// whatever decodes, and writes each decoded record back: its text must decode
// again into the same record.
#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WJsonObjectWriter.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoAnalytics.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"
#include "support/RecordEquality.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

template<class T>
std::shared_ptr<T> decodeAndWriteBack(const QByteArray &body)
{
    const WDecodeResult<T> first = WJsonDecoder::decode<T>(body);
    if (!first)
        return nullptr;
    const QByteArray text = WJsonObjectWriter::encode(*first.record);
    const WDecodeResult<T> second = WJsonDecoder::decode<T>(text);
    if (!second || !sameRecord(*first.record, *second.record)) {
        std::fprintf(stderr, "written back as %s\nwhich %s\n", text.constData(),
                     second ? "decodes into another record" : qPrintable(second.error));
        std::abort();
    }
    return first.record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const auto root = decodeAndWriteBack<WexoRoot>(body))
        exerciseSteps(*root);
    (void)decodeAndWriteBack<AllWexo>(body);
    if (const auto login = decodeAndWriteBack<WLogin>(body))
        (void)login->adminToken();
    if (const auto created = decodeAndWriteBack<WexoCreate>(body)) {
        (void)created->wexoElementIdentifier();
        (void)created->isCreated();
    }
    (void)decodeAndWriteBack<WexoAnalytics>(body);
    (void)decodeAndWriteBack<Template>(body);
    (void)decodeAndWriteBack<ElementConfiguration>(body);
    return 0;
}

#include "WexoCreator/model/WexoStep.h"

#include "WexoCreator/extensions/WStringSlice.h"
#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

#include <QList>
#include <QStringView>

#include <array>
#include <utility>

namespace WexoCreator {

namespace {

using namespace Qt::StringLiterals;

// Tested in this order; the first literal contained in the text decides.
constexpr std::array<std::pair<QLatin1StringView, WexoStepView>, 12> kDisplayLiterals{{
    {"popover"_L1, WexoStepView::popover},
    {"banner:top"_L1, WexoStepView::bannerTop},
    {"banner:bottom"_L1, WexoStepView::bannerBottom},
    {"screen"_L1, WexoStepView::screen},
    {"pulse:top-left"_L1, WexoStepView::pulseTopLeft},
    {"pulse:bottom-left"_L1, WexoStepView::pulseBottomLeft},
    {"pulse:top-right"_L1, WexoStepView::pulseTopRight},
    {"pulse:bottom-right"_L1, WexoStepView::pulseBottomRight},
    {"tooltip:top-left"_L1, WexoStepView::toolTipTopLeft},
    {"tooltip:bottom-left"_L1, WexoStepView::toolTipBottomLeft},
    {"tooltip:top-right"_L1, WexoStepView::toolTipTopRight},
    {"tooltip:bottom-right"_L1, WexoStepView::toolTipBottomRight},
}};

// An optional sign and ASCII digits, nothing else, within 64 bits.
std::optional<qint64> parseIndex(QStringView text)
{
    qsizetype i = (text.startsWith(u'+') || text.startsWith(u'-')) ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return qint64(n);
}

} // namespace

const WCodingKeys<WexoStep::CodingKeys, 11> WexoStep::codingKeys{{"StepId"_L1, "Frame"_L1, "LinkedWalkthruId"_L1, "ElementType"_L1, "PlaybookNotes"_L1, "Title"_L1, "ElementText"_L1, "HasBackDrop"_L1, "ElementId"_L1, "OrderNumber"_L1, "WalkthroughId"_L1}};

void WexoStep::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    StepId = json.optionalString(codingKeys[K::StepId]);
    Frame = json.optionalString(codingKeys[K::Frame]);
    LinkedWalkthruId = json.optionalString(codingKeys[K::LinkedWalkthruId]);
    ElementType = json.optionalString(codingKeys[K::ElementType]);
    dislplayType = json.optionalString(codingKeys[K::dislplayType]);
    Title = json.optionalString(codingKeys[K::Title]);
    description = json.optionalString(codingKeys[K::description]);
    HasBackDrop = json.optionalBool(codingKeys[K::HasBackDrop]);
    ElementId = json.optionalString(codingKeys[K::ElementId]);
    OrderNumber = json.requiredInt64(codingKeys[K::OrderNumber]);
    wexoId = json.optionalString(codingKeys[K::wexoId]);
}

void WexoStep::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::StepId], StepId);
    json.writeIfPresent(codingKeys[K::Frame], Frame);
    json.writeIfPresent(codingKeys[K::LinkedWalkthruId], LinkedWalkthruId);
    json.writeIfPresent(codingKeys[K::ElementType], ElementType);
    json.writeIfPresent(codingKeys[K::dislplayType], dislplayType);
    json.writeIfPresent(codingKeys[K::Title], Title);
    json.writeIfPresent(codingKeys[K::description], description);
    json.writeIfPresent(codingKeys[K::HasBackDrop], HasBackDrop);
    json.writeIfPresent(codingKeys[K::ElementId], ElementId);
    json.write(codingKeys[K::OrderNumber], OrderNumber);
    json.writeIfPresent(codingKeys[K::wexoId], wexoId);
}

WexoStepView WexoStep::viewType() const
{
    if (!dislplayType)
        return WexoStepView::popover;
    for (const auto &[literal, view] : kDisplayLiterals) {
        if (dislplayType->contains(literal))
            return view;
    }
    return WexoStepView::popover;
}

bool WexoStep::isScrollElement() const
{
    return Frame && Frame->contains("indexpath"_L1);
}

std::optional<WIndexPath> WexoStep::indexPathForElement() const
{
    if (!Frame)
        return std::nullopt;
    const std::optional<QString> bracket = slice(*Frame, u"[", u"]");
    if (!bracket)
        return std::nullopt;
    const QList<QStringView> parts = QStringView(*bracket).split(u", ");
    if (parts.size() < 2)
        return std::nullopt;
    const std::optional<qint64> section = parseIndex(parts.at(0));
    const std::optional<qint64> item = parseIndex(parts.at(1));
    if (!section || !item)
        return std::nullopt;
    return WIndexPath{*section, *item};
}

QString WexoStep::wexoIdentifier() const
{
    return wexoId.value_or(QString());
}

QString WexoStep::wexoStepIdentifier() const
{
    return StepId.value_or(QString());
}

QString WexoStep::wexoElementIdentifier() const
{
    return ElementId.value_or(QString());
}

} // namespace WexoCreator

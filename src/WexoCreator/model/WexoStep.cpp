#include "WexoCreator/model/WexoStep.h"

#include "WexoCreator/extensions/WStringSlice.h"
#include "WexoCreator/model/WJsonObjectReader.h"

#include <QList>
#include <QStringView>

#include <array>
#include <limits>
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

// An optional sign and ASCII digits, nothing else, within int.
std::optional<int> parseIndex(QStringView text)
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
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(n);
}

} // namespace

void WexoStep::decode(const WJsonObjectReader &json)
{
    StepId = json.optionalString("StepId"_L1);
    Frame = json.optionalString("Frame"_L1);
    LinkedWalkthruId = json.optionalString("LinkedWalkthruId"_L1);
    ElementType = json.optionalString("ElementType"_L1);
    dislplayType = json.optionalString("PlaybookNotes"_L1);
    Title = json.optionalString("Title"_L1);
    description = json.optionalString("ElementText"_L1);
    HasBackDrop = json.optionalBool("HasBackDrop"_L1);
    ElementId = json.optionalString("ElementId"_L1);
    OrderNumber = json.requiredInt64("OrderNumber"_L1);
    wexoId = json.optionalString("WalkthroughId"_L1);
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
    const std::optional<int> section = parseIndex(parts.at(0));
    const std::optional<int> item = parseIndex(parts.at(1));
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

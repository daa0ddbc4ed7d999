#include "WexoCreator/menu/WexoMenuSections.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/model/Wexo.h"

#include <algorithm>

namespace WexoCreator {

WexoOption WexoMenuSections::fixedRow(const QString &name, const QString &action, WexoOptionType type)
{
    WexoOption row;
    row.displayName = name;
    row.action = action;
    row.type = type;
    return row;
}

WexoOption WexoMenuSections::recordRow()
{
    return fixedRow(QStringLiteral("Record Wexo"), QStringLiteral("onRecord"), WexoOptionType::record);
}

WexoOption WexoMenuSections::walkthroughRow(const std::shared_ptr<Wexo> &page)
{
    WexoOption row;
    row.type = WexoOptionType::play;
    if (!page) {
        row.displayName = QString();
        return row;
    }
    row.displayName = page->wexoName.value_or(QString());
    row.wexoSteps = page->values;
    row.wexo = page;
    row.totalWexoSteps = page->totalWexoSteps;
    return row;
}

WexoMenuSections::FixedRows WexoMenuSections::FixedRows::make()
{
    return FixedRows{
        fixedRow(QStringLiteral("Stop Recording"), QStringLiteral("onStopRecord"), WexoOptionType::stopRecord),
        fixedRow(QStringLiteral("Pause Recording"), QStringLiteral("onPauseRecord"), WexoOptionType::pauseRecord),
        fixedRow(QStringLiteral("Resume Recording"), QStringLiteral("onResumeRecord"), WexoOptionType::resumeRecord),
        fixedRow(QStringLiteral("Refresh"), QStringLiteral("onRefresh"), WexoOptionType::refresh),
        fixedRow(WConfiguration::kAboutText(), QStringLiteral("onAboutWexolin"), WexoOptionType::about),
        fixedRow(WConfiguration::kSupportText(), QStringLiteral("onSupport"), WexoOptionType::support),
        fixedRow(WConfiguration::kPrivacyPolicyText(), QStringLiteral("onPrivacyPolicy"), WexoOptionType::privacy),
        fixedRow(QStringLiteral("Exit admin mode"), QStringLiteral("onLogout"), WexoOptionType::exit),
        fixedRow(QStringLiteral("Powered By"), QStringLiteral("onPoweredBy"), WexoOptionType::poweredBy),
    };
}

QList<WexoOption> WexoMenuSections::adminRows(const FixedRows &rows, bool isRecording, bool isPaused)
{
    QList<WexoOption> result;
    if (isRecording)
        result << rows.stop << (isPaused ? rows.resume : rows.pause);
    else
        result << recordRow();
    result << rows.logout;
    return result;
}

bool WexoMenuSections::titleLess(const QString &a, const QString &b)
{
    const QList<uint> left = a.normalized(QString::NormalizationForm_C).toUcs4();
    const QList<uint> right = b.normalized(QString::NormalizationForm_C).toUcs4();
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
}

QList<WexoSection> WexoMenuSections::sections(const std::optional<QList<WexoOption>> &admin,
                                              const QList<WexoOption> &walkthroughs, const QString &walkthroughsTitle,
                                              const QList<WexoOption> &options, const QString &optionsTitle)
{
    // Keyed by kind, so a theme title that equals another section's title
    // cannot hide that section's rows.
    QList<WexoSection> result;
    if (admin)
        result.append({adminTitle, *admin});
    if (!walkthroughs.isEmpty())
        result.append({walkthroughsTitle, walkthroughs});
    result.append({optionsTitle, options});
    std::stable_sort(result.begin(), result.end(), [](const WexoSection &a, const WexoSection &b) {
        return titleLess(a.sectionName.value_or(QString()), b.sectionName.value_or(QString()));
    });
    return result;
}

QList<WexoOption> WexoMenuSections::search(const QList<WexoOption> &rows, const QString &text)
{
    // A name stored decomposed (a letter and a combining accent) is the same
    // text as its composed form; an accent still is no letter of its own.
    const QString wanted = text.normalized(QString::NormalizationForm_C);
    QList<WexoOption> result;
    for (const WexoOption &row : rows) {
        if (row.displayName && row.displayName->normalized(QString::NormalizationForm_C).contains(wanted, Qt::CaseInsensitive))
            result.append(row);
    }
    return result;
}

QList<WexoSection> WexoMenuSections::searchSections(const QList<WexoOption> &results)
{
    return {WexoSection{searchTitle, results}};
}

} // namespace WexoCreator

#include "WexoCreator/extensions/WAttributedString.h"

#include <QApplication>

namespace WexoCreator {

QFont WAttributedString::boldFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    return font;
}

QFont WAttributedString::normalFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(14);
    font.setWeight(QFont::Medium);
    return font;
}

WAttributedString &WAttributedString::wBold(const QString &text, const QFont &font)
{
    m_runs.append({text, font});
    return *this;
}

WAttributedString &WAttributedString::wNormal(const QString &text)
{
    m_runs.append({text, normalFont()});
    return *this;
}

QString WAttributedString::plainText() const
{
    QString text;
    for (const Run &run : m_runs)
        text += run.text;
    return text;
}

QString WAttributedString::toHtml() const
{
    QString html;
    for (const Run &run : m_runs) {
        QString family = run.font.family();
        family.remove(u'\'');
        const QString size = run.font.pointSizeF() > 0 ? QStringLiteral("%1pt").arg(run.font.pointSizeF())
                                                       : QStringLiteral("%1px").arg(run.font.pixelSize());
        // One multi-argument arg() so a '%1' typed in the text is not substituted again.
        html += QStringLiteral("<span style=\"white-space:pre-wrap; font-family:'%1'; font-size:%2; font-weight:%3; font-style:%4\">%5</span>")
                    .arg(family.toHtmlEscaped(), size, QString::number(int(run.font.weight())),
                         run.font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"),
                         run.text.toHtmlEscaped());
    }
    return html;
}

} // namespace WexoCreator

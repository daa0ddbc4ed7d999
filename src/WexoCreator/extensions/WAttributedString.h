#pragma once

#include <QFont>
#include <QList>
#include <QString>

namespace WexoCreator {

// Text built from runs that each carry one font, such as a popup's bold title
// followed by its normal-weight description. The runs' text is kept as typed:
// toHtml() escapes it, so markup in a backend title shows literally.
class WAttributedString
{
public:
    struct Run {
        QString text;
        QFont font;
    };

    // The system font at 16 px, bold / at 14 px, medium weight (logical pixels).
    static QFont boldFont();
    static QFont normalFont();

    WAttributedString &wBold(const QString &text, const QFont &font = boldFont());
    WAttributedString &wNormal(const QString &text);

    const QList<Run> &runs() const { return m_runs; }
    QString plainText() const;

    // Rich text for a label whose text format is set to Qt::RichText.
    QString toHtml() const;

private:
    QList<Run> m_runs;
};

} // namespace WexoCreator

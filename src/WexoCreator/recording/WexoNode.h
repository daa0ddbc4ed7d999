#pragma once

#include "WexoCreator/menu/WexoOptionType.h"
#include "WexoCreator/platform/WLogging.h"

#include <QDateTime>
#include <QDebug>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <type_traits>

namespace WexoCreator {

// One node of the in-memory tree of a recorded walkthrough. The root stands for
// the walkthrough (its value is the page name), its children for the recorded
// steps in the order the backend confirmed them (value: the frame text). Nodes
// are shared by identity (std::shared_ptr): the recorder, the manager and the
// lists all see the same root, so a step count raised by one holder is seen by
// all. Two nodes compare equal when their values do.
template<typename T>
class WexoNode
{
public:
    WexoNode(T value, std::optional<QString> name, WexoOptionType type, const QString &className,
             std::optional<QString> elementName = std::nullopt, std::optional<QString> wexoId = std::nullopt,
             qint64 stepNumber = 0, std::optional<QString> stepId = std::nullopt)
        : value(std::move(value))
        , type(type)
        , name(std::move(name))
        , className(className)
        , elementName(std::move(elementName))
        , wexoId(std::move(wexoId))
        , stepNumber(stepNumber)
        , stepId(std::move(stepId))
    {
    }

    T value;
    std::optional<WexoOptionType> type;
    std::optional<QString> name;
    std::optional<QString> className;
    std::optional<QString> elementName;
    std::optional<QString> wexoId;
    // On a root: the number of steps recorded so far, sent with the next element.
    qint64 stepNumber = 0;
    // Nothing sets these three; they stay absent.
    std::optional<QString> displayType;
    std::optional<QString> stepId;
    std::optional<QString> analyticsId;
    std::optional<QDateTime> createdTime;
    // Nothing sets it either: addChild leaves it empty.
    std::weak_ptr<WexoNode> parent;
    QList<std::shared_ptr<WexoNode>> children;

    // Appends at the end; the same child added twice is listed twice.
    void addChild(std::shared_ptr<WexoNode> child) { children.append(std::move(child)); }

    // The node's line, then its descendants' lines, each level indented by four blanks.
    QStringList printNodeData() const
    {
        QStringList lines{QStringLiteral("\t\t ") + className.value_or(QString()) + QStringLiteral(" \t\t ") + valueText()};
        for (const std::shared_ptr<WexoNode> &child : children) {
            const QStringList childLines = child->printNodeData();
            for (const QString &line : childLines)
                lines.append(QStringLiteral("    ") + line);
        }
        return lines;
    }

    // The whole tree as one quoted string with tabs and line breaks escaped,
    // the form printTree() writes.
    QString treeText() const
    {
        const QString tree = QStringLiteral("\t{\n") + printNodeData().join(QLatin1Char('\n')) + QStringLiteral("\n\t}");
        QString quoted = QStringLiteral("\"");
        for (const QChar c : tree) {
            if (c == u'\t')
                quoted += QStringLiteral("\\t");
            else if (c == u'\n')
                quoted += QStringLiteral("\\n");
            else if (c == u'"' || c == u'\\')
                quoted += QLatin1Char('\\') + c;
            else
                quoted += c;
        }
        return quoted + QLatin1Char('"');
    }

    void printTree() const { qCDebug(lcRecording).noquote() << treeText(); }

    friend bool operator==(const WexoNode &a, const WexoNode &b) { return a.value == b.value; }

private:
    QString valueText() const
    {
        if constexpr (std::is_convertible_v<T, QString>) {
            return value;
        } else {
            QString text;
            QDebug(&text).noquote().nospace() << value;
            return text;
        }
    }
};

} // namespace WexoCreator

#pragma once

#include "WexoCreator/menu/WexoSection.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class Wexo;

// The rows and sections of the options menu as plain list work: which rows a
// state gives, how sections are grouped and ordered, and what a search finds.
struct WexoMenuSections {
    static inline const QString adminTitle = QStringLiteral("Admin");
    static inline const QString searchTitle = QStringLiteral("Search Result's");

    static WexoOption fixedRow(const QString &name, const QString &action, WexoOptionType type);
    static WexoOption recordRow();
    // A page without a name is listed with empty text.
    static WexoOption walkthroughRow(const std::shared_ptr<Wexo> &page);

    // The fixed rows one menu keeps for its whole life; the theme texts are
    // read once, when the rows are made.
    struct FixedRows {
        WexoOption stop, pause, resume, refresh, about, support, privacy, logout, poweredBy;
        static FixedRows make();
    };

    static QList<WexoOption> adminRows(const FixedRows &rows, bool isRecording, bool isPaused);

    // One section per kind that has rows: administrator (when given), walkthroughs
    // (when any), options. Each kind keeps its own rows whatever its title; the
    // sections are ordered by title, equal titles in that kind order.
    static QList<WexoSection> sections(const std::optional<QList<WexoOption>> &admin,
                                       const QList<WexoOption> &walkthroughs, const QString &walkthroughsTitle,
                                       const QList<WexoOption> &options, const QString &optionsTitle);

    // The walkthrough rows whose name holds the text, compared in composed
    // form and ignoring case only.
    static QList<WexoOption> search(const QList<WexoOption> &rows, const QString &text);
    static QList<WexoSection> searchSections(const QList<WexoOption> &results);

    // Unicode order of canonically composed text.
    static bool titleLess(const QString &a, const QString &b);
};

} // namespace WexoCreator

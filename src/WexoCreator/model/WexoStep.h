#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/model/WCodingKeys.h"
#include "WexoCreator/model/WexoStepView.h"
#include "WexoCreator/platform/WIndexPath.h"

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// One step of a walkthrough page: the target element, how it is shown, its
// texts and its position. Shared by the page and the playback overlay.
class WEXOCREATOR_EXPORT WexoStep
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { StepId, Frame, LinkedWalkthruId, ElementType, dislplayType, Title, description, HasBackDrop, ElementId, OrderNumber, wexoId };
    static const WCodingKeys<CodingKeys, 11> codingKeys;

    std::optional<QString> StepId;
    // The target's identity: an element identifier, or for a table or
    // collection cell a text with "indexpath" and "[section, item]".
    std::optional<QString> Frame;
    std::optional<QString> LinkedWalkthruId;
    std::optional<QString> ElementId;
    std::optional<QString> ElementType;
    std::optional<QString> dislplayType; // "PlaybookNotes"
    std::optional<QString> Title;
    std::optional<QString> description; // "ElementText"
    std::optional<bool> HasBackDrop;    // absent dims like true
    qint64 OrderNumber = 0;
    std::optional<QString> wexoId; // "WalkthroughId"

    // Milliseconds since 1970 when the step was last put on screen.
    qint64 startTime = 0;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;

    WexoStepView viewType() const;
    bool isScrollElement() const;
    // The cell position in the frame text; absent when there is none or
    // when a number does not fit 64 bits.
    std::optional<WIndexPath> indexPathForElement() const;
    QString wexoIdentifier() const;
    QString wexoStepIdentifier() const;
    QString wexoElementIdentifier() const;
};

} // namespace WexoCreator

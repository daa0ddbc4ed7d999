#pragma once

#include "WexoCreator/appearance-model/TemplateConstraints.h"
#include "WexoCreator/model/WCodingKeys.h"

#include <memory>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The style blocks of the step popups, one per element; a null pointer is an
// absent block. A block that is not a JSON object fails the whole template,
// though nothing inside a block does.
class TemplateParameters
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { popover, nextButton, endButton, backButton, closeButton, stepsTitle, heading, content, progressbar, logoText, progressbarWrapper, banner, tapHere };
    static const WCodingKeys<CodingKeys, 13> codingKeys;

    using Block = std::shared_ptr<TemplateConstraints>;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones are left out.
    void encode(WJsonObjectWriter &json) const;

    const Block &popover() const { return m_popover; }
    void setPopover(const Block &value) { m_popover = value; }
    const Block &nextButton() const { return m_nextButton; }
    void setNextButton(const Block &value) { m_nextButton = value; }
    const Block &endButton() const { return m_endButton; }
    void setEndButton(const Block &value) { m_endButton = value; }
    const Block &backButton() const { return m_backButton; }
    void setBackButton(const Block &value) { m_backButton = value; }
    const Block &closeButton() const { return m_closeButton; }
    void setCloseButton(const Block &value) { m_closeButton = value; }
    const Block &stepsTitle() const { return m_stepsTitle; }
    void setStepsTitle(const Block &value) { m_stepsTitle = value; }
    const Block &heading() const { return m_heading; }
    void setHeading(const Block &value) { m_heading = value; }
    const Block &content() const { return m_content; }
    void setContent(const Block &value) { m_content = value; }
    const Block &progressbar() const { return m_progressbar; }
    void setProgressbar(const Block &value) { m_progressbar = value; }
    const Block &logoText() const { return m_logoText; }
    void setLogoText(const Block &value) { m_logoText = value; }
    const Block &progressbarWrapper() const { return m_progressbarWrapper; }
    void setProgressbarWrapper(const Block &value) { m_progressbarWrapper = value; }
    const Block &banner() const { return m_banner; }
    void setBanner(const Block &value) { m_banner = value; }
    const Block &tapHere() const { return m_tapHere; }
    void setTapHere(const Block &value) { m_tapHere = value; }

private:
    Block m_popover;
    Block m_nextButton;
    Block m_endButton;
    Block m_backButton;
    Block m_closeButton;
    Block m_stepsTitle;
    Block m_heading;
    Block m_content;
    Block m_progressbar;
    Block m_logoText;
    Block m_progressbarWrapper;
    Block m_banner;
    Block m_tapHere;
};

} // namespace WexoCreator

#pragma once

#include "WexoCreator/menu/WDimmerView.h"
#include "WexoCreator/menu/WexoMenuModel.h"
#include "WexoCreator/menu/WexoMenuSections.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WGestureTracker.h"
#include "WexoCreator/platform/WViewController.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVariantAnimation>

#include <functional>
#include <memory>
#include <optional>

class QModelIndex;

namespace WexoCreator {

class MobileTexts;

// The options menu: a bottom sheet over a dimmed background, presented full
// screen by the launcher. It lists the current page's walkthroughs, the
// administrator's recording rows and the fixed options, with a search field
// when the theme asks for one. Recording commands it carries out itself;
// every other row closes the sheet and goes to `dismisser` once the menu has
// been dismissed. The card is placed by T, its top edge's distance from the
// top of the library window (H high).
class WexoOptionsViewController : public WViewController
{
    Q_OBJECT

public:
    enum class CardViewState { expanded, normal };
    // Who follows a drag: the card, the list, or both (the list at its top,
    // expanded: down moves the card, up scrolls the list).
    enum class PanRole { card, list, both };
    enum class ReleaseAction { expand, normal, close };
    // Where the card goes: the two resting places and off the bottom.
    enum class CardPlace { expanded, normal, hidden };

    static constexpr qreal kExpandedTop = 30;
    static constexpr qreal kFlingVelocity = 1500;
    static constexpr qreal kCloseMargin = 70;
    static constexpr int kAnimationMs = 250;
    static constexpr int kSearchTop = 15;
    static constexpr int kSearchHeight = 64;
    static constexpr int kHandleWidth = 80;
    static constexpr int kHandleHeight = 6;

    static WexoOptionsViewController *createWexoOptions();
    ~WexoOptionsViewController() override;

    // Dimmer alpha for a card top: 0.7 above the middle, falling to -0.3 at
    // the bottom, 0 below it; 0.7 when there is no height to measure.
    static qreal dimAlphaWithCardTopConstraint(qreal value, qreal height);
    // Where a released drag sends the card.
    static ReleaseAction releaseAction(qreal top, qreal velocityY, qreal height);
    // The top a drag gives; a drag never reaches the expanded top itself.
    static qreal draggedTop(qreal current, qreal start, qreal translation);
    // Expanded, a drag on the list scrolls it; scrolled away from its top the
    // list's scrolling and the card's drag exclude each other.
    static PanRole panRole(CardViewState state, bool onList, int listOffset);
    // The list's offset after a drag of `translation` from `start`.
    static int draggedListOffset(int start, qreal translation, int maximum);

    std::function<void(const WexoOption &)> dismisser;
    // Ends a recording the way the console's stop does; the launcher sets it.
    std::function<void()> recordingStopper;
    QList<WexoOption> availableWexos;
    // Shown under the dimmer when set before the view loads.
    std::optional<QPixmap> backingImage;
    // Set at construction and read by nothing.
    CardViewState cardViewState = CardViewState::normal;
    // The menu texts of the theme in force when the menu was made (of the
    // default theme without a downloaded one); absent without either.
    const std::shared_ptr<MobileTexts> feed;
    // The resource bundle in force when the menu was made.
    const QString &bundle() const { return m_bundle; }

    CardViewState currentCardState() const;
    qreal cardTop() const { return m_cardTop; }
    qreal dimAlpha() const { return m_dimAlpha; }
    bool isClosing() const { return m_closing; }
    bool isCardMoving() const { return m_animation && m_animation->state() == QAbstractAnimation::Running; }
    const QList<WexoSection> &wexoSection() const;
    const QList<WexoOption> &filteredOptions() const { return m_filteredOptions; }
    bool isFiltering() const { return !m_filteredOptions.isEmpty(); }

    QListView *tableView() const { return m_tableView; }
    QLineEdit *searchField() const { return m_searchField; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    QWidget *cardView() const { return m_cardView; }
    QWidget *dimmerView() const { return m_dimmerView; }
    QWidget *searchBar() const { return m_searchBar; }
    WAlert *namingAlert() const { return m_namingAlert; }
    // The list row that shows a section's row, for those who click it.
    std::optional<int> listRow(int section, int row) const;

    void showCard(CardViewState state);
    void hideCardAndGoBack(std::function<void()> completion = {});
    void loadWexos();
    void resetOptions(bool toNormal = true);
    // A chosen row: the menu's own commands, or the hand-over.
    void didSelectRow(int section, int row);
    void onPoweredBy();
    void onRefresh();
    void onLogout();
    void dimmerViewTapped();
    // Leaves at once, sliding the whole menu down; the card stays where it is,
    // nothing is handed over and the menu takes no more input.
    void onCancel();

protected:
    QWidget *loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WexoOptionsViewController();

    qreal sheetHeight() const;
    // The top of a place at the present height; absent without a height.
    std::optional<qreal> topOf(CardPlace place) const;
    bool isSlidingIn() const;
    // False when the menu is already on its way out.
    bool beginClosing();
    QList<WexoSection> datasource();
    void reloadData();
    void layoutSheet();
    void setCardTop(qreal top);
    void setDimAlpha(qreal alpha);
    void animateCard(std::optional<CardPlace> place, qreal alpha, std::function<void()> finished);
    void viewPanned(WGestureTracker::PanState state, const QPointF &delta);
    void onTapped();
    void onListClicked(const QModelIndex &index);
    void keyboardWillShow();
    void searchTextChanged(const QString &text);
    void searchEditingEnded();
    void searchCancelled();
    void endEditing();
    void stopRecording();
    void closeWith(const WexoOption &row);
    void askForName(const WexoOption &row);
    void onWexoDownloadComplete();

    const QString m_bundle;
    WexoMenuSections::FixedRows m_rows;
    QList<WexoOption> m_filteredOptions;
    mutable std::optional<QList<WexoSection>> m_sections;
    QPointer<QLabel> m_backingImageView;
    QPointer<WDimmerView> m_dimmerView;
    QPointer<QWidget> m_cardView;
    QPointer<QWidget> m_grabHandle;
    QPointer<QWidget> m_searchBar;
    QPointer<QLineEdit> m_searchField;
    QPointer<QPushButton> m_cancelButton;
    QPointer<QListView> m_tableView;
    QPointer<WexoMenuModel> m_model;
    QPointer<WGestureTracker> m_viewPan;
    QPointer<QVariantAnimation> m_animation;
    QPointer<QVariantAnimation> m_slideIn;
    QPointer<WAlert> m_namingAlert;
    QPixmap m_logo;
    qreal m_cardTop = kExpandedTop;
    qreal m_dimAlpha = 0;
    qreal m_cardPanStartingTopConstant = kExpandedTop;
    qreal m_panTranslation = 0;
    std::optional<CardViewState> m_restingState;
    bool m_startsHidden = true;
    bool m_scrollEnabled = false;
    PanRole m_panRole = PanRole::card;
    int m_listPanStart = 0;
    std::optional<QPoint> m_lastListRelease;
    bool m_closing = false;
    bool m_dimmerPressCounts = false;
};

} // namespace WexoCreator

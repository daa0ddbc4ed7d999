#include "WexoCreator/menu/WexoOptionsViewController.h"

#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/MobileTexts.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/ThemeConfiguration.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WDimmerView.h"
#include "WexoCreator/menu/WRoundedView.h"
#include "WexoCreator/menu/WSheetView.h"
#include "WexoCreator/menu/WexoMenuModel.h"
#include "WexoCreator/menu/WexoOptionCell.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WPerform.h"

#include <QEasingCurve>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QVariantAnimation>

#include <algorithm>

namespace WexoCreator {

namespace {

constexpr qreal kExpandedAlpha = 0.7;
constexpr qreal kNormalAlpha = 0.4;
constexpr qreal kCardRadius = 10;

QString hexArgb(const QColor &color)
{
    return color.name(QColor::HexArgb);
}

WexoOptionsViewController::CardPlace placeOf(WexoOptionsViewController::CardViewState state)
{
    using State = WexoOptionsViewController::CardViewState;
    using Place = WexoOptionsViewController::CardPlace;
    return state == State::expanded ? Place::expanded : Place::normal;
}

// Focus that goes to a popup (the field's own menu) or to another window
// comes back: editing goes on.
bool keepsEditing(Qt::FocusReason reason)
{
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

std::shared_ptr<MobileTexts> mobileTextsOf(const std::shared_ptr<Theme> &theme)
{
    if (!theme || !theme->config() || !theme->config()->Configurations())
        return nullptr;
    return theme->config()->Configurations()->mobileTexts();
}

// The downloaded theme's menu texts when it has them all the way down, else
// the default theme's.
std::shared_ptr<MobileTexts> menuTextsInForce()
{
    const WexolinManager &manager = WexolinManager::shared();
    if (std::shared_ptr<MobileTexts> texts = mobileTextsOf(manager.theme()))
        return texts;
    return mobileTextsOf(manager.defaultTheme());
}

} // namespace

WexoOptionsViewController *WexoOptionsViewController::createWexoOptions()
{
    return new WexoOptionsViewController();
}

WexoOptionsViewController::WexoOptionsViewController()
    : feed(menuTextsInForce())
    , m_bundle(WConfiguration::currentBundle())
    , m_rows(WexoMenuSections::FixedRows::make())
{
}

WexoOptionsViewController::~WexoOptionsViewController() = default;

// --- Pure card arithmetic ------------------------------------------------------

qreal WexoOptionsViewController::dimAlphaWithCardTopConstraint(qreal value, qreal height)
{
    if (height <= 0)
        return kExpandedAlpha;
    const qreal half = height / 2;
    if (value < half)
        return kExpandedAlpha;
    if (value > height)
        return 0.0;
    return kExpandedAlpha - (value - half) / half;
}

WexoOptionsViewController::ReleaseAction WexoOptionsViewController::releaseAction(qreal top, qreal velocityY, qreal height)
{
    if (velocityY > kFlingVelocity)
        return ReleaseAction::close;
    if (top < height * 0.25)
        return ReleaseAction::expand;
    // In a small window H - 70 lies above the middle, where the card rests:
    // every release there would close the menu.
    if (top < std::max(height - kCloseMargin, height / 2))
        return ReleaseAction::normal;
    return ReleaseAction::close;
}

qreal WexoOptionsViewController::draggedTop(qreal current, qreal start, qreal translation)
{
    const qreal next = start + translation;
    return next > kExpandedTop ? next : current;
}

WexoOptionsViewController::PanRole WexoOptionsViewController::panRole(CardViewState state, bool onList, int listOffset)
{
    if (!onList || state != CardViewState::expanded)
        return PanRole::card;
    return listOffset > 0 ? PanRole::list : PanRole::both;
}

int WexoOptionsViewController::draggedListOffset(int start, qreal translation, int maximum)
{
    // The content follows the finger: a drag up moves further down the list.
    return std::clamp(qRound(start - translation), 0, std::max(0, maximum));
}

// --- Building the sheet ----------------------------------------------------------

QWidget *WexoOptionsViewController::loadView()
{
    auto *sheet = new WSheetView;
    // As a tap outside the card: a keyboard user's way out.
    sheet->escapePressed = [this] { dimmerViewTapped(); };
    return sheet;
}

void WexoOptionsViewController::viewDidLoad()
{
    WViewController::viewDidLoad();
    loadWexos();
    QWidget *root = view();
    const QColor block = WConfiguration::kBlockBackgroundColor();

    // Under everything, stretched over the whole menu; nothing in the
    // library sets an image, so it normally shows nothing.
    m_backingImageView = new QLabel(root);
    m_backingImageView->setObjectName(QStringLiteral("backingImageView"));
    m_backingImageView->setScaledContents(true);
    if (backingImage)
        m_backingImageView->setPixmap(*backingImage);

    m_dimmerView = new WDimmerView(root);
    m_dimmerView->setObjectName(QStringLiteral("dimmerView"));
    m_dimmerView->installEventFilter(this);

    m_cardView = new WRoundedView(block, kCardRadius, true, root);
    m_cardView->setObjectName(QStringLiteral("cardView"));

    m_grabHandle = new WRoundedView(Qt::white, 3, false, root);
    m_grabHandle->setObjectName(QStringLiteral("grabHandle"));

    // The search row: a field with a clear button and a Cancel button, on the
    // card's colour; hidden when the theme has no search.
    m_searchBar = new WRoundedView(block, 0, false, root);
    m_searchBar->setObjectName(QStringLiteral("searchBar"));
    auto *searchLayout = new QHBoxLayout(m_searchBar);
    searchLayout->setContentsMargins(8, 0, 4, 0);
    searchLayout->setSpacing(6);
    m_searchField = new QLineEdit(m_searchBar);
    m_searchField->setObjectName(QStringLiteral("wexoSearchField"));
    m_searchField->setPlaceholderText(WConfiguration::kSearchBarTextMobile());
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setFocusPolicy(Qt::ClickFocus);
    m_searchField->setMinimumHeight(36);
    const QColor fieldText = WConfiguration::kSearchHereTextColor();
    QColor placeholder = fieldText;
    placeholder.setAlphaF(0.55f);
    QPalette fieldPalette = m_searchField->palette();
    fieldPalette.setColor(QPalette::PlaceholderText, placeholder);
    m_searchField->setPalette(fieldPalette);
    m_searchField->setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: %2; selection-background-color: %3;"
                                                " border: none; border-radius: 10px; padding: 0 8px; font-size: 17px; }")
                                     .arg(hexArgb(WConfiguration::kSearchHereBackgroundColor()), hexArgb(fieldText), hexArgb(placeholder)));
    searchLayout->addWidget(m_searchField, 1);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), m_searchBar);
    m_cancelButton->setObjectName(QStringLiteral("wexoSearchCancel"));
    m_cancelButton->setFocusPolicy(Qt::NoFocus);
    m_cancelButton->setFlat(true);
    m_cancelButton->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; padding: 6px 8px; font-size: 17px; }")
                                      .arg(hexArgb(fieldText)));
    searchLayout->addWidget(m_cancelButton);
    m_searchBar->setVisible(WConfiguration::kShouldShowSearch());
    m_searchField->installEventFilter(this);
    connect(m_searchField, &QLineEdit::textChanged, this, &WexoOptionsViewController::searchTextChanged);
    connect(m_cancelButton, &QPushButton::clicked, this, &WexoOptionsViewController::searchCancelled);

    // The list scrolls by dragging only as the card's drag allows (see
    // panRole). It takes no focus, so a click on a search result keeps the
    // search that shows it.
    m_tableView = new QListView(m_cardView);
    m_tableView->setObjectName(QStringLiteral("wexoOptionsList"));
    m_tableView->setFrameShape(QFrame::NoFrame);
    m_tableView->setFocusPolicy(Qt::NoFocus);
    m_tableView->setSelectionMode(QAbstractItemView::NoSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setAutoScroll(false);
    m_tableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tableView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tableView->setItemDelegate(new WexoOptionCell(m_tableView));
    QPalette listPalette = m_tableView->palette();
    listPalette.setColor(QPalette::Base, block);
    m_tableView->setPalette(listPalette);
    m_model = new WexoMenuModel(m_tableView);
    m_tableView->setModel(m_model);
    m_tableView->viewport()->installEventFilter(this);
    connect(m_tableView, &QListView::clicked, this, &WexoOptionsViewController::onListClicked);

    m_logo = QPixmap(WConfiguration::currentBundle() + QStringLiteral("images/") + WConfiguration::kPoweredByLogoName()
                     + QStringLiteral(".png"));
    if (m_logo.isNull())
        qFatal("missing library image %s", qPrintable(WConfiguration::kPoweredByLogoName()));
    reloadData();

    // One tracker on the whole sheet: a drag anywhere moves the card.
    m_viewPan = new WGestureTracker(root);
    connect(m_viewPan, &WGestureTracker::panned, this, &WexoOptionsViewController::viewPanned);
    connect(m_viewPan, &WGestureTracker::tapped, this, &WexoOptionsViewController::onTapped);

    root->installEventFilter(this);
    QPointer<WexoOptionsViewController> self(this);
    WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, this, [self](const QVariantMap &) {
        WPerform::onMainThread([self] {
            if (self)
                self->loadWexos();
            if (self)
                self->resetOptions(false);
        });
    });
    layoutSheet();
}

void WexoOptionsViewController::viewDidAppear(bool animated)
{
    WViewController::viewDidAppear(animated);
    // The keyboard belongs to the sheet now, not to a host widget behind it.
    view()->setFocus(Qt::OtherFocusReason);
    showCard(WexolinManager::isAdmin() ? CardViewState::expanded : CardViewState::normal);
    m_slideIn = m_animation;
}

qreal WexoOptionsViewController::sheetHeight() const
{
    return m_cardView && m_cardView->parentWidget() ? m_cardView->parentWidget()->height() : 0;
}

std::optional<qreal> WexoOptionsViewController::topOf(CardPlace place) const
{
    const qreal height = sheetHeight();
    if (height <= 0)
        return std::nullopt;
    switch (place) {
    case CardPlace::expanded:
        return kExpandedTop;
    case CardPlace::normal:
        return height / 2;
    case CardPlace::hidden:
        break;
    }
    return height;
}

bool WexoOptionsViewController::isSlidingIn() const
{
    return m_slideIn && m_slideIn->state() == QAbstractAnimation::Running;
}

void WexoOptionsViewController::layoutSheet()
{
    QWidget *root = m_cardView ? m_cardView->parentWidget() : nullptr;
    if (!root)
        return;
    const int width = root->width();
    // Until the card is first shown it waits at the hidden place; without a
    // height there is none, and it keeps the top it starts with.
    if (m_startsHidden)
        m_cardTop = topOf(CardPlace::hidden).value_or(kExpandedTop);
    const int top = qRound(m_cardTop);
    m_backingImageView->setGeometry(root->rect());
    m_dimmerView->setGeometry(root->rect());
    m_cardView->setGeometry(0, top, width, std::max(0, root->height() - top));
    m_grabHandle->setGeometry((width - kHandleWidth) / 2, top - 16, kHandleWidth, kHandleHeight);
    const int searchHeight = m_searchBar->isHidden() ? 0 : kSearchHeight;
    m_searchBar->setGeometry(10, top + kSearchTop, std::max(0, width - 20), searchHeight);
    const int listTop = kSearchTop + searchHeight;
    m_tableView->setGeometry(0, listTop, width, std::max(0, m_cardView->height() - listTop));
}

void WexoOptionsViewController::setCardTop(qreal top)
{
    m_cardTop = top;
    layoutSheet();
}

void WexoOptionsViewController::setDimAlpha(qreal alpha)
{
    m_dimAlpha = alpha;
    m_dimmerView->setAlpha(alpha);
}

WexoOptionsViewController::CardViewState WexoOptionsViewController::currentCardState() const
{
    // Read from the top alone: a sheet without a height still has its first
    // top, which is the expanded one.
    return m_cardView && m_cardTop == kExpandedTop ? CardViewState::expanded : CardViewState::normal;
}

// --- Moving the card ------------------------------------------------------------

void WexoOptionsViewController::animateCard(std::optional<CardPlace> place, qreal alpha, std::function<void()> finished)
{
    if (m_animation)
        m_animation->stop();
    auto *animation = new QVariantAnimation(this);
    m_animation = animation;
    animation->setDuration(kAnimationMs);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(1, 1), QPointF(1, 1));
    animation->setEasingCurve(curve);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    const qreal fromTop = m_cardTop;
    const qreal fromAlpha = m_dimAlpha;
    QPointer<WexoOptionsViewController> self(this);
    connect(animation, &QVariantAnimation::valueChanged, this, [self, fromTop, fromAlpha, place, alpha](const QVariant &value) {
        if (!self)
            return;
        const qreal t = value.toReal();
        // The goal is measured anew on every step: a resize on the way
        // moves where the card comes to rest.
        const std::optional<qreal> top = place ? self->topOf(*place) : std::nullopt;
        if (top)
            self->setCardTop(fromTop + (*top - fromTop) * t);
        self->setDimAlpha(fromAlpha + (alpha - fromAlpha) * t);
    });
    connect(animation, &QVariantAnimation::finished, this, [self, finished = std::move(finished)] {
        if (self && finished)
            finished();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void WexoOptionsViewController::showCard(CardViewState state)
{
    if (m_closing)
        return;
    const CardPlace place = placeOf(state);
    std::optional<CardPlace> moveTo;
    // Shown once, the card no longer waits at the hidden place: a height that
    // comes only now must not put it there while the dimmer shows.
    m_startsHidden = false;
    if (const std::optional<qreal> top = topOf(place)) {
        m_scrollEnabled = state == CardViewState::expanded;
        m_cardPanStartingTopConstant = *top;
        m_restingState = state;
        moveTo = place;
    }
    animateCard(moveTo, state == CardViewState::expanded ? kExpandedAlpha : kNormalAlpha, {});
}

void WexoOptionsViewController::hideCardAndGoBack(std::function<void()> completion)
{
    if (!beginClosing())
        return;
    QPointer<WexoOptionsViewController> self(this);
    animateCard(CardPlace::hidden, 0, [self, completion = std::move(completion)] {
        if (self)
            self->dismiss(false, completion);
    });
}

void WexoOptionsViewController::viewPanned(WGestureTracker::PanState state, const QPointF &delta)
{
    if (m_closing)
        return;
    endEditing();
    using PanState = WGestureTracker::PanState;
    QScrollBar *listScroll = m_tableView->verticalScrollBar();
    if (state == PanState::Began) {
        QWidget *pressed = m_viewPan->pressedWidget();
        const bool onList = pressed && (pressed == m_tableView || m_tableView->isAncestorOf(pressed));
        m_panRole = panRole(currentCardState(), onList, listScroll->value());
        m_listPanStart = listScroll->value();
        m_panTranslation = 0;
        if (m_panRole != PanRole::list) {
            if (m_animation)
                m_animation->stop();
            m_restingState.reset();
            m_cardPanStartingTopConstant = m_cardTop;
        }
    }
    if (state != PanState::Cancelled)
        m_panTranslation += delta.y();
    if (m_panRole != PanRole::card && state != PanState::Cancelled)
        listScroll->setValue(draggedListOffset(m_listPanStart, m_panTranslation, listScroll->maximum()));
    // Scrolled away from its top, the list has the whole drag.
    if (m_panRole == PanRole::list)
        return;
    switch (state) {
    case PanState::Began:
    case PanState::Changed:
        setCardTop(draggedTop(m_cardTop, m_cardPanStartingTopConstant, m_panTranslation));
        setDimAlpha(dimAlphaWithCardTopConstraint(m_cardTop, sheetHeight()));
        break;
    case PanState::Ended: {
        setCardTop(draggedTop(m_cardTop, m_cardPanStartingTopConstant, m_panTranslation));
        const qreal height = sheetHeight();
        const qreal velocity = m_viewPan->velocity().y();
        if (velocity <= kFlingVelocity && height <= 0)
            return;
        switch (releaseAction(m_cardTop, velocity, height)) {
        case ReleaseAction::expand:
            showCard(CardViewState::expanded);
            break;
        case ReleaseAction::normal:
            showCard(CardViewState::normal);
            break;
        case ReleaseAction::close:
            hideCardAndGoBack();
            break;
        }
        break;
    }
    case PanState::Cancelled:
        // A lost press leaves the card where the drag left it.
        break;
    }
}

void WexoOptionsViewController::onTapped()
{
    if (!m_closing && m_dimmerPressCounts && m_viewPan->pressedWidget() == m_dimmerView)
        dimmerViewTapped();
}

void WexoOptionsViewController::dimmerViewTapped()
{
    hideCardAndGoBack();
}

void WexoOptionsViewController::onCancel()
{
    if (beginClosing())
        dismiss(true);
}

bool WexoOptionsViewController::beginClosing()
{
    // One way out: input is ignored from here on, so nothing chosen during
    // the slide-out is handed over, and a hand-over runs only once.
    if (m_closing)
        return false;
    m_closing = true;
    m_restingState.reset();
    if (m_searchField)
        m_searchField->setReadOnly(true);
    return true;
}

bool WexoOptionsViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (isViewLoaded() && watched == view() && event->type() == QEvent::Resize) {
        // A resting card keeps its place relative to the new height.
        if (m_restingState && !isCardMoving())
            m_cardTop = topOf(placeOf(*m_restingState)).value_or(m_cardTop);
        layoutSheet();
    } else if (watched == m_dimmerView && event->type() == QEvent::MouseButtonPress) {
        // A click here while the card comes in is the second of the clicks
        // on the console that opened the menu: it must not close it.
        m_dimmerPressCounts = !isSlidingIn();
    } else if (m_tableView && watched == m_tableView->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // Where a click ends decides whether it lands on the footer's button.
        m_lastListRelease = static_cast<QMouseEvent *>(event)->position().toPoint();
    } else if (m_tableView && watched == m_tableView->viewport() && event->type() == QEvent::Wheel) {
        // At the normal position the list stands still; expanded it scrolls.
        return !m_scrollEnabled || m_closing;
    } else if (watched == m_searchField) {
        if (event->type() == QEvent::FocusIn && !m_closing)
            keyboardWillShow();
        else if (event->type() == QEvent::FocusOut && !keepsEditing(static_cast<QFocusEvent *>(event)->reason()))
            searchEditingEnded();
    }
    return WViewController::eventFilter(watched, event);
}

void WexoOptionsViewController::keyboardWillShow()
{
    if (currentCardState() != CardViewState::expanded)
        showCard(CardViewState::expanded);
}

// --- Rows and search --------------------------------------------------------------

void WexoOptionsViewController::loadWexos()
{
    availableWexos.clear();
    for (const std::shared_ptr<Wexo> &page : WexolinManager::wexosOnCurrentView())
        availableWexos.append(WexoMenuSections::walkthroughRow(page));
}

QList<WexoSection> WexoOptionsViewController::datasource()
{
    std::optional<QList<WexoOption>> admin;
    if (WexolinManager::isAdmin()) {
        const WexolinManager &manager = WexolinManager::shared();
        admin = WexoMenuSections::adminRows(m_rows, manager.isRecording, manager.isPaused);
    }
    return WexoMenuSections::sections(admin, availableWexos, WConfiguration::kPlayWexosText(),
                                      {m_rows.refresh, m_rows.about, m_rows.support, m_rows.privacy},
                                      WConfiguration::kOptionsText());
}

const QList<WexoSection> &WexoOptionsViewController::wexoSection() const
{
    if (!m_sections)
        m_sections = const_cast<WexoOptionsViewController *>(this)->datasource();
    return *m_sections;
}

std::optional<int> WexoOptionsViewController::listRow(int section, int row) const
{
    return m_model ? m_model->listRow(section, row) : std::nullopt;
}

void WexoOptionsViewController::reloadData()
{
    if (!m_model)
        return;
    const QColor block = WConfiguration::kBlockBackgroundColor();
    const WexoMenuModel::Colors colors{WConfiguration::kListItemTextColor(), WConfiguration::kListItemBackgroundColor(), block,
                                       WConfiguration::kOptionsTextColor(), WConfiguration::kPoweredByTextColor()};
    m_model->setSections(wexoSection(), colors, WConfiguration::kPoweredByText(), m_logo);
}

void WexoOptionsViewController::resetOptions(bool toNormal)
{
    m_sections = datasource();
    reloadData();
    if (toNormal)
        showCard(CardViewState::normal);
}

void WexoOptionsViewController::searchTextChanged(const QString &text)
{
    if (m_closing)
        return;
    if (text.isEmpty()) {
        resetOptions(false);
        return;
    }
    m_filteredOptions = WexoMenuSections::search(availableWexos, text);
    m_sections = WexoMenuSections::searchSections(m_filteredOptions);
    reloadData();
}

void WexoOptionsViewController::searchEditingEnded()
{
    if (m_closing)
        return;
    m_filteredOptions.clear();
    resetOptions(false);
}

void WexoOptionsViewController::searchCancelled()
{
    if (m_closing)
        return;
    m_searchField->setText(QString());
    endEditing();
    m_filteredOptions.clear();
    resetOptions(false);
}

void WexoOptionsViewController::endEditing()
{
    if (m_searchField && m_searchField->hasFocus())
        view()->setFocus(Qt::OtherFocusReason);
}

// --- Choosing a row -------------------------------------------------------------------

void WexoOptionsViewController::onListClicked(const QModelIndex &index)
{
    if (m_closing)
        return;
    const WexoMenuModel::Position at = m_model->position(index.row());
    if (at.footer) {
        // The button covers the footer's upper part; the rest is only a label.
        const QRect footer = m_tableView->visualRect(index);
        if (m_lastListRelease && m_lastListRelease->y() < footer.top() + WexoOptionCell::kFooterButtonHeight)
            onPoweredBy();
        return;
    }
    if (at.row >= 0)
        didSelectRow(at.section, at.row);
}

void WexoOptionsViewController::closeWith(const WexoOption &row)
{
    QPointer<WexoOptionsViewController> self(this);
    hideCardAndGoBack([self, row] {
        if (self && self->dismisser)
            self->dismisser(row);
    });
}

void WexoOptionsViewController::stopRecording()
{
    if (recordingStopper)
        recordingStopper();
}

void WexoOptionsViewController::didSelectRow(int section, int row)
{
    if (m_closing)
        return;
    const QList<WexoSection> &sections = wexoSection();
    if (section < 0 || section >= sections.size() || !sections.at(section).sectionOptions
        || row < 0 || row >= sections.at(section).sectionOptions->size())
        return;
    // A copy: later rebuilds do not change what is handed over.
    const WexoOption chosen = sections.at(section).sectionOptions->at(row);
    WexolinManager &manager = WexolinManager::shared();
    switch (chosen.type.value_or(WexoOptionType::none)) {
    case WexoOptionType::record:
        askForName(chosen);
        return;
    case WexoOptionType::screen:
    case WexoOptionType::element:
        WexolinManager::setCurrentWexoType(chosen.type);
        break;
    case WexoOptionType::stopRecord:
        stopRecording();
        resetOptions(true);
        return;
    case WexoOptionType::pauseRecord:
        manager.isPaused = true;
        WexolinManager::disableIntrospect();
        WexolinManager::setCurrentWexoType(WexoOptionType::pauseRecord);
        break;
    case WexoOptionType::resumeRecord:
        manager.isPaused = false;
        WexolinManager::setCurrentWexoType(WexoOptionType::record);
        break;
    case WexoOptionType::exit:
        // Leaving administrator mode ends a recording first, so nothing goes
        // on recording for an administrator who is gone.
        if (manager.isRecording)
            stopRecording();
        onLogout();
        return;
    case WexoOptionType::refresh:
        onRefresh();
        break;
    default:
        break;
    }
    closeWith(chosen);
}

void WexoOptionsViewController::askForName(const WexoOption &row)
{
    auto *alert = new WAlert(QStringLiteral("Add a name to your wexo"), QString(), view());
    alert->setObjectName(QStringLiteral("wexoNameAlert"));
    m_namingAlert = alert;
    alert->addTextField([](QLineEdit *field) { field->setPlaceholderText(QStringLiteral("name goes here")); });
    alert->addAction(QStringLiteral("Cancel"), WAlert::ActionStyle::Cancel);
    QPointer<WexoOptionsViewController> self(this);
    QPointer<WAlert> weakAlert(alert);
    alert->addAction(QStringLiteral("Ok"), WAlert::ActionStyle::Default, [self, weakAlert, row] {
        if (!self || !weakAlert || weakAlert->textFields().isEmpty())
            return;
        const QString name = weakAlert->textFields().constFirst()->text();
        // Without a name there is nothing to record under: as Cancel.
        if (name.isEmpty())
            return;
        self->closeWith(row);
        WexolinManager::setCurrentWexoType(WexoOptionType::record);
        WexolinManager::setWexo(name);
    });
    alert->open();
}

void WexoOptionsViewController::onPoweredBy()
{
    closeWith(m_rows.poweredBy);
}

void WexoOptionsViewController::onRefresh()
{
    WFeedManager::reloadFeed([](bool) {});
}

void WexoOptionsViewController::onLogout()
{
    WexolinManager::logoutAdmin();
    resetOptions(true);
}

} // namespace WexoCreator

// The in-app page's faces: which view shows, how the others stay under it
// and rest there, and how a view that rested comes back. Kept apart from the
// page's set-up, loads, history and bar.
#include "WexoCreator/platform/WInAppBrowser.h"

#include "WexoCreator/platform/WInAppBrowserMessage.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"
#include "WexoCreator/platform/WReaderFace.h"

#include <QApplication>
#include <QProgressBar>

#include <utility>

namespace WexoCreator {

QWidget *WInAppBrowser::faceWidget(Face face) const
{
    switch (face) {
    case Face::page:
        return m_web;
    case Face::reader:
        return m_reader;
    case Face::message:
        return m_message->keys();
    case Face::paper:
        break;
    }
    return m_paper;
}

void WInAppBrowser::showFace(Face face)
{
    // Nothing is left to show once the page has gone (a call queued before).
    if (!m_page || !m_faces)
        return;
    // A view that rested shows only its background until the engine has
    // drawn its picture anew: it wakes under the face shown, and shows then
    // (also where it was woken before and has yet to draw).
    WInAppBrowserPaintWatch *resting = nullptr;
    if (face == Face::page && face != m_face && (!m_page->isVisible() || m_pagePainted->waking()))
        resting = m_pagePainted;
    else if (face == Face::reader && face != m_face && m_reader && (!m_reader->page()->isVisible() || m_readerPainted->waking()))
        resting = m_readerPainted;
    if (resting) {
        m_faceAfterWake = face;
        if (!resting->waking()) {
            resting->wake();
            restCoveredViews();
        }
        return;
    }
    m_faceAfterWake.reset();
    const Face before = std::exchange(m_face, face);
    // The keys follow the face unless the user put them in the bar: Escape
    // must keep reaching this page.
    QWidget *focus = QApplication::focusWidget();
    const QWidget *current = before == Face::message ? m_message.data() : faceWidget(before);
    const bool keys = view()->isVisible()
        && (!focus || !focus->isVisible() || !view()->isAncestorOf(focus) || focus == current
            || (current && current->isAncestorOf(focus)));
    arrangeViews(keys);
    // Runs on while the paper waits for the document's face.
    m_progress->setVisible(face == Face::paper || (face != Face::message && m_loading));
    updateBar();
    if (face != before)
        emit faceChanged(face);
}

void WInAppBrowser::fillWithPaper(QWidget *widget)
{
    // A view filled so is opaque to Qt's painting: a view under it is not
    // painted where it stands (else each frame of one would paint the
    // other's picture too); where the engine's surface leaves an edge free
    // (the view made a pixel shorter), the paper shows.
    widget->setAutoFillBackground(true);
    QPalette paper = widget->palette();
    paper.setColor(QPalette::Window, WReaderFace::paperColor());
    widget->setPalette(paper);
}

void WInAppBrowser::arrangeViews(bool giveKeys)
{
    if (!m_faces)
        return;
    // The engine's views stay visible under the face shown, taking no
    // input there: a view shown again draws the picture it held (the
    // document before) anew, and on a busy host that frame can come after
    // every sign of the new document. The paper and the message show only
    // as the face.
    QWidget *shown = m_face == Face::message ? m_message.data() : faceWidget(m_face);
    const std::pair<QWidget *, bool> views[] = {
        {m_web, true},
        {m_reader, true},
        {m_paper, m_face == Face::paper},
        {m_message, m_face == Face::message},
    };
    // Shown, given the keys, and only then the others hidden or disabled: a
    // widget that loses the keys that way hands them on as Tab would, and a
    // page given them that way moves to its first link.
    for (const auto &[view, visible] : views) {
        if (view && visible)
            view->setVisible(true);
    }
    if (shown) {
        shown->setEnabled(true);
        shown->raise();
    }
    if (giveKeys)
        faceWidget(m_face)->setFocus();
    for (const auto &[view, visible] : views) {
        if (!view || view == shown)
            continue;
        view->setVisible(visible);
        view->setEnabled(false);
    }
    restCoveredViews();
}

void WInAppBrowser::onWoken()
{
    if (const std::optional<Face> face = std::exchange(m_faceAfterWake, std::nullopt))
        showFace(*face);
    settle();
    // Woken for a face the user no longer wants: it rests again.
    restCoveredViews();
}

void WInAppBrowser::restCoveredViews()
{
    // As a browser's tab in the background: the engine takes the view as
    // hidden (no animation frames, its timers throttled), and it is silent.
    // Its face comes back once it has woken (see showFace). A view painting
    // a document to be shown next never rests.
    const auto rest = [](QWebEnginePage *page, bool resting) {
        if (page->isVisible() == resting)
            page->setVisible(!resting);
        if (page->isAudioMuted() != resting)
            page->setAudioMuted(resting);
    };
    // A reader face kept up after Reader off, until the page has painted,
    // covers a page about to show. A page whose document has painted, and
    // only a frame of it is still to come, rests too: asked for once it may
    // show (waking it draws it anew as well).
    const bool covered = (m_face == Face::reader && m_readerWanted) || m_face == Face::message;
    // Nor does the page's picture show while the paper waits for its reader face.
    const bool readerNext = m_face == Face::paper && m_lookedAt && m_article && m_readerWanted && !m_readerLate;
    if (m_page && m_pagePainted) {
        m_pagePainted->setPictureWanted(!covered && !readerNext);
        rest(m_page.get(), covered && (!m_pagePainted->watching() || m_pagePainted->frameOwed()) && !m_pagePainted->waking());
    }
    if (m_reader && m_readerPainted)
        rest(m_reader->page(), m_face != Face::reader && !m_readerPainted->watching() && !m_readerPainted->waking());
}

} // namespace WexoCreator

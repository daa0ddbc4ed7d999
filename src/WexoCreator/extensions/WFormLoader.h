#pragma once

#include <QList>
#include <QPointer>
#include <QUiLoader>
#include <QWidget>

#include <memory>

namespace WexoCreator {

// Loads Designer forms at run time and makes the library's own classes where
// a form names them (by class name, with or without the namespace). Designer's
// plugin folders are never searched: the loader only makes what Qt and the
// library define, so loading a form never loads foreign code.
//
// The library's classes that build their own form (the console, the cards,
// the spinner) come out whole; the children a form lists inside them are
// dropped, since the class already made its own.
class WFormLoader : public QUiLoader
{
    Q_OBJECT

public:
    // QUiLoader's constructor loads every plugin in the Designer folders of
    // the library paths (a web engine among them): they are emptied while it
    // runs, so no plugin is ever loaded.
    static std::unique_ptr<WFormLoader> make();

    QWidget *createWidget(const QString &className, QWidget *parent = nullptr, const QString &name = QString()) override;
    QLayout *createLayout(const QString &className, QObject *parent = nullptr, const QString &name = QString()) override;

    // The form's top-level widget, or null when it is unreadable or yields none.
    QWidget *loadForm(QIODevice *device, QWidget *parent = nullptr);

private:
    WFormLoader();
    bool isWhole(const QObject *object) const;
    bool insideWhole(const QObject *object) const;

    QList<QPointer<QWidget>> m_whole;
    QList<QPointer<QWidget>> m_dropped;
    // Holds what is dropped until the form is made; deleted with it.
    std::unique_ptr<QWidget> m_aside;
};

} // namespace WexoCreator

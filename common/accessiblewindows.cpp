// SPDX-License-Identifier: MIT
#include "accessiblewindows.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace {

// The application's own object, with the real windows as its children. Qt's default lists
// every top-level QWindow, the hidden ones a QQuickWidget renders into included ("Offscreen").
class ProgramAccessible : public QAccessibleInterface
{
public:
    static QObjectList windows()
    {
        QObjectList list;
        const QWindowList all = QGuiApplication::topLevelWindows();
        for (QWindow *window : all) {
            // Only what is on screen: not a window prepared behind another, nor one kept
            // hidden for its next opening.
            if (window->type() == Qt::Popup || window->type() == Qt::Desktop ||
                !window->isVisible())
                continue;
            QAccessibleInterface *root = window->accessibleRoot();
            if (root && root->object() && root->object()->isWidgetType())
                list << root->object();
        }
        return list;
    }

    bool isValid() const override { return true; }
    QObject *object() const override { return qApp; }
    QWindow *window() const override { return nullptr; }
    QAccessibleInterface *parent() const override { return nullptr; }
    QAccessibleInterface *child(int index) const override
    {
        const QObjectList list = windows();
        return index >= 0 && index < list.size()
                   ? QAccessible::queryAccessibleInterface(list[index])
                   : nullptr;
    }
    int childCount() const override { return int(windows().size()); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(windows().indexOf(child->object())) : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override
    {
        if (QWindow *focused = QGuiApplication::focusWindow()) {
            if (QAccessibleInterface *root = focused->accessibleRoot())
                return root->focusChild() ? root->focusChild() : root;
        }
        return nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QGuiApplication::applicationName();
        if (t == QAccessible::Description)
            return QGuiApplication::applicationVersion();
        return {};
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Application; }
    QAccessible::State state() const override { return {}; }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (object == qApp)
        return className == QLatin1String(object->metaObject()->className()) ? new ProgramAccessible
                                                                             : nullptr;
    // Our windows are plain widgets, which Qt exposes as a "client" area (a filler to
    // screen readers); as frames they are announced by their title.
    if (object && object->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(object);
        const QMetaObject *meta = object->metaObject();
        if (widget->isWindow() && className == QLatin1String(meta->className()) &&
            meta->superClass() == &QWidget::staticMetaObject)
            return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

} // namespace

namespace accessiblewindows {

void install()
{
    QAccessible::installFactory(factory);
}

} // namespace accessiblewindows

// SPDX-License-Identifier: MIT
#include "filelistbox.h"

#include "drivemap.h"

#include <QDir>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    m_path = QDir::currentPath();
    m_folder = m_path;

    // Selection, not the current row: Qt moves the current row before it selects, and a
    // name is only there to read once it is selected.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling && !fileName().isEmpty())
            emit clicked();
    });
    // A click on the entry that is already selected changes nothing but is still a click.
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (m_pressOnSelected)
            emit clicked();
        m_pressOnSelected = false;
    });
    refresh();
}

QStringList FileListBox::listFiles(const QString &nativeFolder, const QString &pattern)
{
    if (nativeFolder.isEmpty())
        return {};
    QDir dir(nativeFolder);
    // No CaseSensitive flag: "*.PGX" matches "1 uvod.pgx" as it would on Windows.
    QStringList names = dir.entryList(QStringList{pattern}, QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

bool FileListBox::setPath(const QString &path)
{
    m_path = path;
    m_folder = DriveMap::folderFor(path);
    refresh();
    return !m_folder.isEmpty();
}

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    refresh();
}

QString FileListBox::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return (item && item->isSelected()) ? item->text() : QString();
}

void FileListBox::refresh()
{
    m_filling = true;
    clear();
    addItems(listFiles(m_folder, m_pattern));
    // A new listing starts with nothing selected, as a fresh file list does.
    setCurrentRow(-1);
    m_filling = false;
}

void FileListBox::mousePressEvent(QMouseEvent *event)
{
    const QString before = fileName();
    QListWidget::mousePressEvent(event);
    m_pressOnSelected =
        !before.isEmpty() && fileName() == before && itemAt(event->pos()) != nullptr;
}

void FileListBox::focusInEvent(QFocusEvent *event)
{
    // Qt makes the first entry current when focus arrives by Tab; that selects nothing and
    // is no click.
    const bool filling = m_filling;
    m_filling = true;
    QListWidget::focusInEvent(event);
    m_filling = filling;
}

QString FileListBox::toolTipAt(const QPoint &viewportPos) const
{
    const QListWidgetItem *item = itemAt(viewportPos);
    if (!item)
        return {};
    // The text's room is the entry's own rectangle, clipped by what the viewport shows.
    const QRect shown = visualItemRect(item).intersected(viewport()->rect());
    const int needed = fontMetrics().horizontalAdvance(item->text()) +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this);
    return needed > shown.width() ? item->text() : QString();
}

bool FileListBox::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QListWidget::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString text = toolTipAt(help->pos());
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, viewport(),
                           visualItemRect(itemAt(help->pos())));
    }
    return true;
}

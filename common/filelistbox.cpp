// SPDX-License-Identifier: MIT
#include "filelistbox.h"

#include "drivemap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPromise>
#include <QRegularExpression>
#include <QSemaphore>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QThreadPool>
#include <QToolTip>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

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
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &FileListBox::namesArrived);
    refresh();
}

FileListBox::~FileListBox()
{
    // A listing not yet started is not worth starting; one under way finishes on its own and
    // its names go nowhere.
    m_listing.cancel();
}

namespace {

bool isAddressable(const QString &name)
{
    for (const QChar c : name) {
        if (c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

// "*.PGX" and the like, by far the commonest patterns: their suffix (".PGX"), which a
// name's ending decides as the wildcard expression would, only much faster. Else empty.
QString plainSuffix(const QString &pattern)
{
    if (pattern.size() < 3 || !pattern.startsWith(QLatin1String("*.")))
        return QString();
    for (qsizetype i = 2; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c.unicode() > 127 || !c.isLetterOrNumber())
            return QString();
    }
    return pattern.mid(1);
}

} // namespace

QString FileListBox::unshownNote(int count)
{
    return QStringLiteral("Súbory, ktorých meno sa nedá zobraziť ani otvoriť (nie je v UTF-8 "
                          "alebo obsahuje \\, tabulátor či nový riadok), v zozname nie sú: %1.")
        .arg(count);
}

QStringList FileListBox::listFiles(const QString &nativeFolder, const QString &pattern,
                                   int *unshown)
{
    if (unshown)
        *unshown = 0;
    if (nativeFolder.isEmpty())
        return {};
    // Read directly rather than through QDir, which drops undecodable names without a word.
    const QByteArray folder = QFile::encodeName(nativeFolder);
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return {};
    // Without regard to letter case: "*.PGX" matches "1 uvod.pgx" as it would on Windows.
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    const QString suffix = plainSuffix(pattern);
    QStringList names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.'))
            continue; // hidden, as a file list shows them
        const QString name = QFile::decodeName(raw);
        if (suffix.isEmpty() ? !match.match(name).hasMatch()
                             : !name.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info;
            isFile = ::stat((folder + '/' + raw).constData(), &info) == 0 && S_ISREG(info.st_mode);
        }
        if (!isFile)
            continue;
        if (QFile::encodeName(name) != raw || !isAddressable(name)) {
            if (unshown)
                ++*unshown;
            continue;
        }
        names << name;
    }
    ::closedir(dir);
    const auto before = [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    };
    // Folding each name once rather than at every comparison halves the listing of a big
    // book. Should folding ever order two names otherwise than comparing them does, the
    // check below catches it and the comparison decides.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString &name : std::as_const(names))
        keyed.emplace_back(name.toCaseFolded(), name);
    std::sort(keyed.begin(), keyed.end());
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[size_t(i)].second);
    if (!std::is_sorted(names.begin(), names.end(), before))
        std::sort(names.begin(), names.end(), before);
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
    const quint64 generation = ++m_generation;
    m_pending = generation;
    m_listing.cancel();
    if (m_folder.isEmpty()) {
        fill(Names{generation, {}, 0});
        return;
    }
    // Reading and sorting a big folder takes long enough to freeze the window, so it runs
    // aside; an ordinary folder is still listed before this returns, as callers expect.
    auto promise = std::make_shared<QPromise<Names>>();
    auto ready = std::make_shared<QSemaphore>();
    m_listing = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start(
        [promise, ready, generation, folder = m_folder, pattern = m_pattern] {
            if (!promise->isCanceled()) {
                Names result{generation, {}, 0};
                result.names = listFiles(folder, pattern, &result.unshown);
                promise->addResult(std::move(result));
            }
            ready->release();
            promise->finish();
        });
    if (m_budget > 0 && ready->tryAcquire(1, m_budget)) {
        fill(m_listing.result());
        return;
    }
    m_filling = true;
    clear();
    m_unshown = 0;
    setToolTip(QString());
    m_filling = false;
    m_watcher.setFuture(m_listing);
}

void FileListBox::namesArrived()
{
    const QFuture<Names> done = m_watcher.future();
    if (done.isCanceled() || done.resultCount() == 0)
        return;
    const Names result = done.result();
    // A later listing wins over one that was still under way.
    if (result.generation == m_pending)
        fill(result);
}

void FileListBox::fill(const Names &result)
{
    m_pending = 0;
    m_listing = QFuture<Names>();
    m_filling = true;
    clear();
    m_unshown = result.unshown;
    addItems(result.names);
    setToolTip(m_unshown > 0 ? unshownNote(m_unshown) : QString());
    // A new listing starts with nothing selected, as a fresh file list does.
    setCurrentRow(-1);
    m_filling = false;
    emit listed();
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
    viewport()->update();
}

void FileListBox::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    viewport()->update();
}

void FileListBox::paintEvent(QPaintEvent *event)
{
    QListWidget::paintEvent(event);
    if (count() > 0 || !hasFocus())
        return;
    // An empty list has no entry to carry the focus mark: the first entry's place does, or
    // the keyboard user could not tell where the focus went.
    QPainter painter(viewport());
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
    option.backgroundColor = palette().color(QPalette::Base);
    option.rect = QRect(0, 0, viewport()->width(), fontMetrics().height() + 4);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
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
    // An entry may carry a note of its own (the viewer marks the last page read).
    const QString note = item->data(Qt::ToolTipRole).toString();
    if (needed > shown.width())
        return note.isEmpty() ? item->text() : item->text() + QLatin1Char('\n') + note;
    return note;
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

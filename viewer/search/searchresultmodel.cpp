// SPDX-License-Identifier: MIT
#include "searchresultmodel.h"

void SearchResultModel::setHits(const QVector<SearchHit> &hits, SnippetSource source)
{
    beginResetModel();
    m_hits = hits;
    m_source = std::move(source);
    endResetModel();
}

const SearchHit &SearchResultModel::withSnippet(int row) const
{
    SearchHit &h = m_hits[row];
    if (!h.hasSnippet && m_source) {
        QVector<int> rows;
        QVector<SearchHit> batch;
        for (int r = row; r < m_hits.size() && rows.size() < snippetBatch; ++r) {
            if (!m_hits.at(r).hasSnippet) {
                rows.append(r);
                batch.append(m_hits.at(r));
            }
        }
        const QStringList snippets = m_source(batch);
        for (int i = 0; i < rows.size(); ++i) {
            SearchHit &got = m_hits[rows.at(i)];
            got.snippet = snippets.value(i);
            got.hasSnippet = true;
        }
    }
    return h;
}

int SearchResultModel::rowOf(const QString &book, const QString &page) const
{
    for (int row = 0; row < m_hits.size(); ++row) {
        if (m_hits.at(row).book == book && m_hits.at(row).page == page)
            return row;
    }
    return -1;
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_hits.size())
        return {};
    const SearchHit &h = withSnippet(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return h.book + QStringLiteral(" – ") + h.page + QStringLiteral(": ") + plain(h.snippet);
    case HtmlRole:
        return html(h);
    case BookRole:
        return h.book;
    case PageRole:
        return h.page;
    default:
        return {};
    }
}

QString SearchResultModel::plain(const QString &snippet)
{
    QString text = snippet;
    text.remove(SearchIndex::markStart);
    text.remove(SearchIndex::markEnd);
    return text;
}

QString SearchResultModel::html(const SearchHit &hit)
{
    QString snippet = hit.snippet.toHtmlEscaped();
    snippet.replace(SearchIndex::markStart,
                    QStringLiteral("<b style=\"background-color:#ffe680;color:#000000\">"));
    snippet.replace(SearchIndex::markEnd, QStringLiteral("</b>"));
    return QStringLiteral("<b>%1</b> – %2<br>%3")
        .arg(hit.book.toHtmlEscaped(), hit.page.toHtmlEscaped(), snippet);
}

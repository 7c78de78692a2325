// SPDX-License-Identifier: MIT
// The hits of one search, as a list the search window shows.
#pragma once

#include "searchindex.h"

#include <QAbstractListModel>
#include <functional>

class SearchResultModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { HtmlRole = Qt::UserRole + 1, BookRole, PageRole };

    // The snippets of the hits given, in their order.
    using SnippetSource = std::function<QStringList(const QVector<SearchHit> &hits)>;
    // Rows whose snippets are asked for together: about what a list shows at once.
    static constexpr int snippetBatch = 16;

    using QAbstractListModel::QAbstractListModel;

    // Snippets are asked of source when a row is first shown, for it and the rows below it:
    // a list shows a few at a time.
    void setHits(const QVector<SearchHit> &hits, SnippetSource source = {});
    const SearchHit &hit(int row) const { return withSnippet(row); }
    // The row of a page, or -1; fetches no snippet.
    int rowOf(const QString &book, const QString &page) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Book, page and snippet as rich text, the matched words emphasised and the page's own
    // text escaped, so a page never injects markup into the list.
    static QString html(const SearchHit &hit);
    // The snippet as plain text, without the match marks.
    static QString plain(const QString &snippet);

private:
    const SearchHit &withSnippet(int row) const;

    mutable QVector<SearchHit> m_hits;
    SnippetSource m_source;
};

// SPDX-License-Identifier: MIT
// The library search on real books: the Czech office-suite help and the Python manual that
// bench/make-corpus.sh makes from Debian's packages (kept in build/corpus, or
// $PAGORA_CORPUS_DIR). Counts are checked against the pages' text read here by other means.
#include "pagetext.h"
#include "searchindex.h"
#include "searchquery.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Lower case, without diacritics: how the index compares letters.
QString folded(const QString &text)
{
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c.toLower();
    }
    return out;
}

QStringList words(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}\\p{M}]+"));
    return folded(text).split(separators, Qt::SkipEmptyParts);
}

QString entities(QString text)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9a-fA-F]+);"));
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const uint code = m.captured(2).toUInt(nullptr, m.captured(1).isEmpty() ? 10 : 16);
        out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return out;
}

// A page's words as a reader sees them, read with regular expressions rather than the
// parser the index uses: its title (with the page's name), and its visible text.
struct Words
{
    QStringList title;
    QStringList text;
};

Words visibleWords(const QString &html, const QString &pageName)
{
    Words out;
    static const QRegularExpression title(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const auto t = title.match(html);
    out.title = words(entities(t.captured(1)) + QLatin1Char(' ') + pageName);
    static const QRegularExpression hidden(
        QStringLiteral("<head[\\s>].*?</head>|<script.*?</script>|<style.*?</style>|<!--.*?-->|"
                       "<template.*?</template>|<noembed.*?</noembed>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QString body = html;
    body.remove(hidden);
    static const QRegularExpression alt(
        QStringLiteral("<img\\s[^>]*?alt\\s*=\\s*\"([^\"]*)\"[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    body.replace(alt, QStringLiteral(" \\1 "));
    // Inline elements do not split a word ("k<b>ôň</b>"); every other element does.
    static const QRegularExpression inlineTag(
        QStringLiteral("</?(a|abbr|b|bdi|bdo|big|cite|code|em|font|i|kbd|mark|q|s|samp|small|"
                       "span|strike|strong|sub|sup|tt|u|var)(\\s[^>]*)?>"),
        QRegularExpression::CaseInsensitiveOption);
    body.remove(inlineTag);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    body.replace(tag, QStringLiteral(" "));
    out.text = words(entities(body));
    return out;
}

bool holdsPrefix(const QStringList &tokens, const QString &prefix)
{
    for (const QString &t : tokens) {
        if (t.startsWith(prefix))
            return true;
    }
    return false;
}

bool holdsPhrase(const QStringList &tokens, const QStringList &phrase)
{
    for (qsizetype i = 0; i + phrase.size() <= tokens.size(); ++i) {
        if (tokens.mid(i, phrase.size()) == phrase)
            return true;
    }
    return false;
}

} // namespace

class TestSearchCorpus : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;
    QString m_library;
    std::unique_ptr<SearchIndex> m_index;
    QHash<QString, Words> m_pages;     // book/page
    QHash<QString, QString> m_rawHtml; // book/page

    QSet<QString> hits(const QString &typed, QStringList *ranked = nullptr)
    {
        return hits(SearchQuery::parse(typed), ranked);
    }
    QSet<QString> hits(const SearchQuery &query, QStringList *ranked = nullptr)
    {
        const SearchIndex::Results results = m_index->search(query, 1000000);
        QSet<QString> out;
        for (const SearchHit &hit : results.hits) {
            out.insert(hit.book + QLatin1Char('/') + hit.page);
            if (ranked)
                *ranked += hit.book + QLatin1Char('/') + hit.page;
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        // The corpus is made by the benchmark's own script, from Debian's packages.
        const QString corpus = qEnvironmentVariableIsEmpty("PAGORA_CORPUS_DIR")
                                   ? QStringLiteral(PAGORA_CORPUS_DIR)
                                   : qEnvironmentVariable("PAGORA_CORPUS_DIR");
        QProcess make;
        make.start(QStringLiteral(PAGORA_SOURCE_DIR "/bench/make-corpus.sh"), {corpus});
        if (!make.waitForFinished(15 * 60 * 1000) || make.exitStatus() != QProcess::NormalExit ||
            make.exitCode() != 0) {
            QSKIP(qPrintable(QStringLiteral("The real books could not be made (no Debian "
                                            "packages at hand?): ") +
                             QString::fromLocal8Bit(make.readAllStandardError()).trimmed()));
        }
        m_library = QString::fromLocal8Bit(make.readAllStandardOutput()).trimmed();
        QVERIFY(QFileInfo(m_library + QStringLiteral("/NAPOVEDA.BKX")).isFile());

        QVERIFY(m_temp.isValid());
        m_index = std::make_unique<SearchIndex>(
            SearchIndex::fileFor(m_temp.filePath(QStringLiteral("cache")), m_library));
        QVERIFY(m_index->open());
        const SearchIndex::RefreshStats stats = m_index->refresh(m_library);
        QVERIFY(stats.ok);
        QVERIFY2(stats.pages > 3000, qPrintable(QString::number(stats.pages)));
        QCOMPARE(stats.read, stats.pages);

        for (const QString &book : {QStringLiteral("NAPOVEDA"), QStringLiteral("PYTHON")}) {
            const QDir dir(m_library + QLatin1Char('/') + book);
            for (const QString &name : dir.entryList({QStringLiteral("*.PGX")}, QDir::Files)) {
                QFile f(dir.filePath(name));
                QVERIFY(f.open(QIODevice::ReadOnly));
                const QString html = QString::fromUtf8(f.readAll());
                const QString key = book + QLatin1Char('/') + name;
                m_pages.insert(key, visibleWords(html, name.chopped(4)));
                m_rawHtml.insert(key, html);
            }
        }
    }

    // Typed without diacritics, a word finds exactly the pages whose visible text holds it
    // (as a beginning: the last word typed is one); words only in scripts are not found.
    void withoutDiacritics_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("inScripts");
        QTest::newRow("buňka") << "bunka"
                               << "";
        QTest::newRow("sešit") << "sesit"
                               << "";
        QTest::newRow("záložka") << "zalozka"
                                 << "";
        QTest::newRow("řetězec") << "retezec"
                                 << "";
        QTest::newRow("písmo") << "pismo"
                               << "";
        QTest::newRow("vložit") << "vlozit"
                                << "";
        QTest::newRow("řádek") << "radek"
                               << "";
        QTest::newRow("ďábel, ť, ů") << "tuctu"
                                     << "";
        QTest::newRow("bytearray") << "bytearray"
                                   << "";
        QTest::newRow("only in scripts") << "setupmodules"
                                         << "setupModules";
        QTest::newRow("only in script sources") << "underscore"
                                                << "underscore.js";
    }
    void withoutDiacritics()
    {
        QFETCH(QString, typed);
        QFETCH(QString, inScripts);
        QSet<QString> expected;
        int inMarkup = 0;
        for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
            if (holdsPrefix(it->title, typed) || holdsPrefix(it->text, typed))
                expected.insert(it.key());
            if (!inScripts.isEmpty() && m_rawHtml.value(it.key()).contains(inScripts))
                ++inMarkup;
        }
        if (!inScripts.isEmpty())
            QVERIFY2(inMarkup > 0, "the word is in no page's markup: the row checks nothing");
        const QSet<QString> found = hits(typed);
        QSet<QString> missing = expected - found;
        QSet<QString> extra = found - expected;
        QVERIFY2(missing.isEmpty() && extra.isEmpty(),
                 qPrintable(QStringLiteral("%1 expected, %2 found; missing: %3; extra: %4")
                                .arg(expected.size())
                                .arg(found.size())
                                .arg(QStringList(missing.values()).mid(0, 5).join(", "))
                                .arg(QStringList(extra.values()).mid(0, 5).join(", "))));
    }

    void phrase_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("formát buněk") << "\"format bunek\"";
        QTest::newRow("list comprehension") << "\"list comprehension\"";
        QTest::newRow("typographic quotes") << "„vlozit obrazek“";
    }
    void phrase()
    {
        QFETCH(QString, typed);
        const SearchQuery query = SearchQuery::parse(typed);
        const QStringList phrase = words(query.terms.value(0));
        QSet<QString> expected;
        for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
            if (holdsPhrase(it->title, phrase) || holdsPhrase(it->text, phrase))
                expected.insert(it.key());
        }
        QVERIFY(!expected.isEmpty());
        QCOMPARE(hits(typed), expected);
    }

    // A page named by the word comes first.
    void titleFirst_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("buňka") << "bunka";
        QTest::newRow("graf") << "graf";
        QTest::newRow("asyncio") << "asyncio";
        QTest::newRow("bytearray") << "bytearray";
        QTest::newRow("makro") << "makro";
    }
    void titleFirst()
    {
        QFETCH(QString, typed);
        QStringList ranked;
        hits(typed, &ranked);
        QVERIFY(!ranked.isEmpty());
        QStringList titled;
        for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
            if (holdsPrefix(it->title, typed))
                titled += it.key();
        }
        QVERIFY2(!titled.isEmpty(), "no page is named by the word: the row checks nothing");
        QVERIFY2(titled.contains(ranked.first()), qPrintable(ranked.first()));
    }

    // Words of the navigation every page repeats ("Nápověda LibreOffice" in the banner of
    // every help page, "Previous topic" beside every manual page) are found, but the pages
    // that hold them in their own text come first.
    void navigationDoesNotDrown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("book");
        QTest::newRow("nápověda") << "napoveda"
                                  << "NAPOVEDA";
        QTest::newRow("previous") << "previous"
                                  << "PYTHON";
    }
    void navigationDoesNotDrown()
    {
        QFETCH(QString, typed);
        QFETCH(QString, book);
        QStringList ranked;
        const QSet<QString> all = hits(typed, &ranked);
        int pagesOfBook = 0;
        for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it)
            pagesOfBook += it.key().startsWith(book + QLatin1Char('/'));
        int foundInBook = 0;
        for (const QString &hit : all)
            foundInBook += hit.startsWith(book + QLatin1Char('/'));
        // Nearly every page of the book holds it in its navigation.
        QVERIFY2(foundInBook * 10 >= pagesOfBook * 9,
                 qPrintable(QStringLiteral("%1 of %2").arg(foundInBook).arg(pagesOfBook)));
        // The pages that hold it outside their navigation, by the index's own columns.
        SearchQuery ownQuery;
        ownQuery.match = QStringLiteral("{title body} : \"%1\"*").arg(typed);
        const QSet<QString> own = hits(ownQuery);
        QVERIFY(!own.isEmpty());
        QVERIFY(own.size() < all.size() / 2);
        const QSet<QString> first(ranked.cbegin(), ranked.cbegin() + own.size());
        QSet<QString> late = own - first;
        QSet<QString> early = first - own;
        QVERIFY2(late.isEmpty(),
                 qPrintable(QStringLiteral("%1 of %2 pages with it in their text come late: %3; "
                                           "before them: %4")
                                .arg(late.size())
                                .arg(own.size())
                                .arg(QStringList(late.values()).mid(0, 5).join(", "))
                                .arg(QStringList(early.values()).mid(0, 5).join(", "))));
    }
};

QTEST_GUILESS_MAIN(TestSearchCorpus)
#include "tst_searchcorpus.moc"

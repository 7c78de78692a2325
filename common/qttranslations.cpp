// SPDX-License-Identifier: MIT
#include "qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Qt 6 asks for the standard buttons' texts (Cancel, Close, ...) under the context
// "QPlatformTheme"; the Slovak catalogue still has them under "QDialogButtonBox" only.
class PlatformThemeTexts : public QTranslator
{
public:
    PlatformThemeTexts(const QTranslator *base, QObject *parent) : QTranslator(parent), m_base(base)
    {}

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return QString();
        return m_base->translate("QDialogButtonBox", sourceText, disambiguation, n);
    }

    bool isEmpty() const override { return false; }

private:
    const QTranslator *m_base;
};

// Texts of the print dialog that the Slovak catalogue lacks. The catalogue is asked first,
// so that a later one that has them wins.
class PrintDialogTexts : public QTranslator
{
public:
    PrintDialogTexts(const QTranslator *base, QObject *parent) : QTranslator(parent), m_base(base)
    {}

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        static const struct
        {
            const char *context;
            const char *english;
            const char16_t *slovak;
        } texts[] = {
            {"QPrintSettingsOutput", "Pages", u"Strany"},
            {"QPrintSettingsOutput", "Page Set:", u"Výber strán:"},
            {"QPrintDialog", "All Pages", u"Všetky strany"},
            {"QPrintDialog", "Odd Pages", u"Nepárne strany"},
            {"QPrintDialog", "Even Pages", u"Párne strany"},
            {"QPrintSettingsOutput", "Off", u"Vypnutá"},
            {"QPrintSettingsOutput", "Long side binding", u"Väzba na dlhšej strane"},
            {"QPrintSettingsOutput", "Short side binding", u"Väzba na kratšej strane"},
        };
        for (const auto &text : texts) {
            if (qstrcmp(context, text.context) != 0 || qstrcmp(sourceText, text.english) != 0)
                continue;
            const QString own = m_base->translate(context, sourceText, disambiguation, n);
            return own.isEmpty() ? QString::fromUtf16(text.slovak) : own;
        }
        return QString();
    }

    bool isEmpty() const override { return false; }

private:
    const QTranslator *m_base;
};

} // namespace

namespace qttranslations {

int install(const QLocale &locale, const QString &folder)
{
    const QString path =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    int found = 0;
    // qtbase holds the widgets' texts; the engine's own catalogue exists for few languages.
    for (const char *catalogue : {"qtbase", "qtwebengine"}) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(locale, QLatin1String(catalogue), QStringLiteral("_"), path) ||
            !QCoreApplication::installTranslator(translator)) {
            delete translator;
            continue;
        }
        ++found;
        if (qstrcmp(catalogue, "qtbase") == 0) {
            QCoreApplication::installTranslator(
                new PlatformThemeTexts(translator, QCoreApplication::instance()));
            if (locale.language() == QLocale::Slovak) {
                QCoreApplication::installTranslator(
                    new PrintDialogTexts(translator, QCoreApplication::instance()));
            }
        }
    }
    return found;
}

} // namespace qttranslations

// SPDX-License-Identifier: MIT
#include "nightreading.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// A world apart from the pane's own checks (ApplicationWorld) and from the page's.
constexpr quint32 NightWorld = QWebEngineScript::UserWorld + 7;

const QString scriptName = QStringLiteral("pagora-night-reading");

// Everything but pictures loses its own background and text colour; links keep two
// colours of their own, so they still stand out.
const char *const css = R"(
html, body { background-color: #1c1c1e !important; color: #dcdcdc !important; }
body *:not(img):not(svg):not(video):not(canvas):not(picture):not(object):not(embed):not(iframe) {
  background-color: transparent !important; color: #dcdcdc !important; border-color: #4a4a4a !important;
}
html, body, table, tr, td, th, div, p, span, center, font, blockquote, section, article { background-image: none !important; }
a:link, a:link *, a:any-link, a:any-link * { color: #8ab4f8 !important; }
a:visited, a:visited * { color: #c58af9 !important; }
input, textarea, select, button { background-color: #2c2c2e !important; color: #dcdcdc !important; }
::selection { background-color: #3b5f99 !important; color: #ffffff !important; }
mark { background-color: #6b5a00 !important; color: #ffffff !important; }
)";

// The same in every frame. The style goes in at once (no white flash); once the page's
// head is read, a page that declares a dark colour scheme alone gets it back out.
QString source(bool on)
{
    const QString cssText = QString::fromUtf8(css).simplified();
    return QStringLiteral(R"((function () {
  var id = '%1';
  var on = %2;
  function find() { return document.getElementById(id); }
  function declaresDark() {
    var meta = document.querySelector('meta[name="color-scheme" i]');
    if (meta) {
      var words = (meta.getAttribute('content') || '').toLowerCase().split(/\s+/);
      if (words.indexOf('dark') >= 0 && words.indexOf('light') < 0) return true;
    }
    // Ours sets no colour scheme, so what the root has is the page's own.
    var scheme = document.documentElement ? getComputedStyle(document.documentElement).colorScheme : '';
    return !!scheme && scheme.indexOf('dark') >= 0 && scheme.indexOf('light') < 0;
  }
  function put() {
    var style = find();
    if (!style) {
      style = document.createElement('style');
      style.id = id;
      style.textContent = %3;
    }
    // Last in the head, so that it wins over the page's own rules of the same weight.
    var parent = document.head || document.documentElement;
    if (parent && (style.parentNode !== parent || style.nextSibling)) parent.appendChild(style);
    return style;
  }
  function settle() {
    var style = find();
    if (!on) { if (style) style.remove(); return; }
    style = put();
    if (declaresDark()) style.remove();
  }
  if (!on) { settle(); return; }
  if (document.documentElement) put();
  else {
    var watch = new MutationObserver(function () {
      if (document.documentElement) { watch.disconnect(); put(); }
    });
    watch.observe(document, { childList: true });
  }
  if (document.readyState === 'loading')
    document.addEventListener('DOMContentLoaded', settle);
  else
    settle();
})();)")
        .arg(QStringLiteral("pagora-nocne-citanie"),
             on ? QStringLiteral("true") : QStringLiteral("false"),
             QLatin1Char('\'') + cssText + QLatin1Char('\''));
}

} // namespace

NightReading::NightReading(QWebEnginePage *page, QObject *parent) : QObject(parent), m_page(page) {}

QString NightReading::styleId()
{
    return QStringLiteral("pagora-nocne-citanie");
}

void NightReading::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    QWebEngineScriptCollection &scripts = m_page->scripts();
    for (const QWebEngineScript &old : scripts.find(scriptName))
        scripts.remove(old);
    if (on) {
        QWebEngineScript script;
        script.setName(scriptName);
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(NightWorld);
        script.setRunsOnSubFrames(true);
        script.setSourceCode(source(true));
        scripts.insert(script);
    }
    // The page shown now follows at once, without a reload.
    m_page->runJavaScript(source(on), NightWorld);
}

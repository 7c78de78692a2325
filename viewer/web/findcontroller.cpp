// SPDX-License-Identifier: MIT
#include "findcontroller.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

// Defines window.__pagoraFind once per document. Matches may cross element boundaries
// ("<b>Ľad</b>ová"); each piece gets its own highlight element. Runs of white space count
// as one space, as the reader sees them.
const char findScript[] = R"JS(
(function () {
  if (window.__pagoraFind) return;
  var MARK = 'data-pagora-find';
  var LOOK = 'background:#ffef5a;color:#000;border-radius:2px;';
  var CURRENT = 'background:#ff9632;color:#000;border-radius:2px;';
  var state = { marks: [], current: -1 };

  function fold(s) {
    return s.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  }
  function shown(node) {
    var el = node.parentElement;
    if (!el || el.closest('script,style,noscript,template,textarea,select')) return false;
    return el.getClientRects().length > 0;
  }
  function clear() {
    var parents = [];
    document.querySelectorAll('span[' + MARK + ']').forEach(function (el) {
      var p = el.parentNode;
      if (!p) return;
      while (el.firstChild) p.insertBefore(el.firstChild, el);
      p.removeChild(el);
      if (parents.indexOf(p) < 0) parents.push(p);
    });
    parents.forEach(function (p) { p.normalize(); });
    state.marks = [];
    state.current = -1;
  }
  // Per folded character: its text node and where its source character starts and ends.
  // Plain number arrays stay small on long pages.
  function collect() {
    var nodes = [], node = [], start = [], end = [], folded = [];
    var root = document.body || document.documentElement;
    var last = '';
    if (root) {
      var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
      for (var n = walker.nextNode(); n; n = walker.nextNode()) {
        if (!n.data.length || !shown(n)) continue;
        var ni = nodes.length;
        nodes.push(n);
        var text = n.data;
        for (var i = 0; i < text.length;) {
          var code = text.charCodeAt(i);
          var ch, f;
          if (code < 128) {
            ch = text.charAt(i);
            f = (code === 32 || (code >= 9 && code <= 13)) ? ' ' : ch.toLowerCase();
          } else {
            ch = String.fromCodePoint(text.codePointAt(i));
            f = /\s/.test(ch) ? ' ' : fold(ch);
          }
          if (f === ' ' && last === ' ') f = '';
          for (var k = 0; k < f.length; ++k) {
            node.push(ni);
            start.push(i);
            end.push(i + ch.length);
            folded.push(f.charAt(k));
            last = f.charAt(k);
          }
          i += ch.length;
        }
      }
    }
    return { nodes: nodes, node: node, start: start, end: end, folded: folded.join('') };
  }
  function wrap(node, from, to) {
    if (to < node.data.length) node.splitText(to);
    var target = from > 0 ? node.splitText(from) : node;
    var span = document.createElement('span');
    span.setAttribute(MARK, '');
    span.style.cssText = LOOK;
    target.parentNode.insertBefore(span, target);
    span.appendChild(target);
    return span;
  }
  function show() {
    state.marks.forEach(function (spans, i) {
      spans.forEach(function (s) { s.style.cssText = i === state.current ? CURRENT : LOOK; });
    });
    if (state.current >= 0)
      state.marks[state.current][0].scrollIntoView({ block: 'center', inline: 'nearest' });
    return [state.current + 1, state.marks.length];
  }
  function find(query) {
    clear();
    var q = fold(query).replace(/\s+/g, ' ').trim();
    if (!q) return [0, 0];
    var all = collect();
    var found = [];
    for (var at = all.folded.indexOf(q); at >= 0; at = all.folded.indexOf(q, at + q.length))
      found.push([at, at + q.length - 1]);
    // From the last match backwards: splitting a text node keeps its beginning in place,
    // so the offsets of earlier matches stay right.
    var marks = [];
    for (var m = found.length - 1; m >= 0; --m) {
      var a = found[m][0], b = found[m][1];
      var spans = [];
      for (var ni = all.node[b]; ni >= all.node[a]; --ni) {
        var node = all.nodes[ni];
        var from = ni === all.node[a] ? all.start[a] : 0;
        var to = ni === all.node[b] ? all.end[b] : node.data.length;
        if (to > from) spans.unshift(wrap(node, from, to));
      }
      if (spans.length) marks.unshift(spans);
    }
    state.marks = marks;
    state.current = marks.length ? 0 : -1;
    return show();
  }
  function step(by) {
    if (!state.marks.length) return [0, 0];
    var n = state.marks.length;
    state.current = ((state.current + by) % n + n) % n;
    return show();
  }
  window.__pagoraFind = { find: find, step: step, clear: clear };
})();
)JS";

} // namespace

FindController::FindController(QWebEnginePage *page, QObject *parent)
    : QObject(parent), m_page(page)
{}

QString FindController::script()
{
    return QString::fromUtf8(findScript);
}

void FindController::find(const QString &text)
{
    m_text = text;
    // JSON quotes any text safely into the script.
    const QString quoted =
        QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    run(QStringLiteral("window.__pagoraFind.find(%1[0])").arg(quoted));
}

void FindController::next()
{
    run(QStringLiteral("window.__pagoraFind.step(1)"));
}

void FindController::previous()
{
    run(QStringLiteral("window.__pagoraFind.step(-1)"));
}

void FindController::clear()
{
    run(QStringLiteral("(window.__pagoraFind.clear(), [0, 0])"));
}

void FindController::run(const QString &call)
{
    if (!m_page)
        return;
    const quint64 serial = ++m_serial;
    m_page->runJavaScript(
        script() + call, QWebEngineScript::ApplicationWorld,
        [this, serial, guard = QPointer<FindController>(this)](const QVariant &result) {
            // Typing runs a find per letter; only the last one counts.
            if (!guard || serial != m_serial)
                return;
            const QVariantList pair = result.toList();
            m_current = pair.value(0).toInt();
            m_total = pair.value(1).toInt();
            emit resultChanged(m_current, m_total);
        });
}

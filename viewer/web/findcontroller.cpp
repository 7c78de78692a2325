// SPDX-License-Identifier: MIT
#include "findcontroller.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
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
  // Every match is counted, but only a window of MAX_MARKS around the current one is
  // highlighted at a time: wrapping tens of thousands of matches stalls the page for seconds.
  var MAX_MARKS = 500;
  var state = { query: '', count: 0, current: -1, from: 0, marks: [] };

  function fold(s) {
    return s.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  }
  function shown(node) {
    var el = node.parentElement;
    if (!el || el.closest('script,style,noscript,template,textarea,select')) return false;
    return el.getClientRects().length > 0;
  }
  function unwrap() {
    var parents = new Set();
    document.querySelectorAll('span[' + MARK + ']').forEach(function (el) {
      var p = el.parentNode;
      if (!p) return;
      while (el.firstChild) p.insertBefore(el.firstChild, el);
      p.removeChild(el);
      parents.add(p);
    });
    // Each run of pieces is joined at once: normalize() appends them one by one, copying the
    // whole text again for every piece.
    parents.forEach(function (p) {
      for (var n = p.firstChild; n; n = n.nextSibling) {
        if (n.nodeType !== Node.TEXT_NODE) continue;
        var parts = [n.data];
        while (n.nextSibling && n.nextSibling.nodeType === Node.TEXT_NODE) {
          parts.push(n.nextSibling.data);
          p.removeChild(n.nextSibling);
        }
        if (parts.length > 1) n.data = parts.join('');
      }
    });
    state.marks = [];
  }
  function clear() {
    unwrap();
    state.query = '';
    state.count = 0;
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
  function matches(all) {
    var found = [], q = state.query;
    for (var at = all.folded.indexOf(q); at >= 0; at = all.folded.indexOf(q, at + q.length))
      found.push(at);
    return found;
  }
  // Highlights the window of matches that holds the current one.
  function mark() {
    unwrap();
    var all = collect();
    var found = matches(all);
    state.count = found.length;
    if (!found.length) { state.current = -1; return; }
    if (state.current >= found.length) state.current = found.length - 1;
    var from = Math.max(0, Math.min(state.current - (MAX_MARKS >> 1), found.length - MAX_MARKS));
    var to = Math.min(found.length, from + MAX_MARKS);
    var len = state.query.length;
    // Each text node with matches is first cut down to the stretch that holds them, so that
    // the splits for single matches copy little even in a text of megabytes.
    var lo = new Map(), hi = new Map();
    for (var k = from; k < to; ++k) {
      var first = found[k], last = found[k] + len - 1;
      for (var i = all.node[first]; i <= all.node[last]; ++i) {
        var s0 = i === all.node[first] ? all.start[first] : 0;
        var e0 = i === all.node[last] ? all.end[last] : all.nodes[i].data.length;
        if (!lo.has(i) || s0 < lo.get(i)) lo.set(i, s0);
        if (!hi.has(i) || e0 > hi.get(i)) hi.set(i, e0);
      }
    }
    lo.forEach(function (start, i) {
      var whole = all.nodes[i];
      if (hi.get(i) < whole.data.length) whole.splitText(hi.get(i));
      if (start > 0) all.nodes[i] = whole.splitText(start);
    });
    // From the last match backwards: splitting a text node keeps its beginning in place,
    // so the offsets of earlier matches stay right.
    var marks = [];
    for (var m = to - 1; m >= from; --m) {
      var a = found[m], b = found[m] + len - 1;
      var spans = [];
      for (var ni = all.node[b]; ni >= all.node[a]; --ni) {
        var node = all.nodes[ni];
        var base = lo.get(ni);
        var start = ni === all.node[a] ? all.start[a] - base : 0;
        var end = ni === all.node[b] ? all.end[b] - base : node.data.length;
        if (end > start) spans.unshift(wrap(node, start, end));
      }
      marks.unshift(spans);
    }
    state.from = from;
    state.marks = marks;
  }
  function paint(i, style) {
    var spans = state.marks[i - state.from];
    if (spans) spans.forEach(function (s) { s.style.cssText = style; });
  }
  function show(previous) {
    if (previous >= 0) paint(previous, LOOK);
    if (state.current >= 0) {
      paint(state.current, CURRENT);
      var spans = state.marks[state.current - state.from];
      if (spans && spans.length)
        spans[0].scrollIntoView({ block: 'center', inline: 'nearest' });
    }
    return [state.current + 1, state.count];
  }
  function find(query) {
    clear();
    state.query = fold(query).replace(/\s+/g, ' ').trim();
    if (!state.query) return [0, 0];
    state.current = 0;
    mark();
    return show(-1);
  }
  function step(by) {
    if (!state.count) return [0, 0];
    var previous = state.current;
    state.current = ((state.current + by) % state.count + state.count) % state.count;
    if (state.current < state.from || state.current >= state.from + state.marks.length) {
      mark();
      previous = -1;
    }
    return show(previous);
  }
  window.__pagoraFind = { find: find, step: step, clear: clear };
})();
)JS";

// A call the page never answers (it went away meanwhile) holds the next no longer.
constexpr qint64 LostCallMs = 3000;

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
    // Typing asks for a find per letter: only the newest waits, older ones and steps of them
    // are dropped.
    m_queue.clear();
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
    m_queue.clear();
    run(QStringLiteral("(window.__pagoraFind.clear(), [0, 0])"));
}

void FindController::run(const QString &call)
{
    m_queue.append(call);
    ++m_serial;
    dispatch();
}

void FindController::dispatch()
{
    // One call in the page at a time; one that never came back (its page went) does not
    // hold the next for long.
    if (!m_page || m_queue.isEmpty() || (m_inFlight.isValid() && m_inFlight.elapsed() < LostCallMs))
        return;
    const QString call = m_queue.takeFirst();
    const quint64 serial = m_serial;
    m_inFlight.start();
    QTimer::singleShot(LostCallMs + 1, this, &FindController::dispatch);
    m_page->runJavaScript(
        script() + call, QWebEngineScript::ApplicationWorld,
        [this, serial, guard = QPointer<FindController>(this)](const QVariant &result) {
            if (!guard)
                return;
            m_inFlight.invalidate();
            // Only the answer to the last call asked for counts.
            if (serial == m_serial) {
                const QVariantList pair = result.toList();
                m_current = pair.value(0).toInt();
                m_total = pair.value(1).toInt();
                emit resultChanged(m_current, m_total);
            }
            dispatch();
        });
}

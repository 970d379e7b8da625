#include "app/remote/status_page.h"

#include "app/remote/journal_page.h"

namespace flextor {
namespace {

// The page keeps the token it was opened with for its own requests. Every text
// from the program goes in as textContent, never as markup.
constexpr const char kPage[] = R"PAGE(<!DOCTYPE html>
<html lang="ru"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Флекстор: состояние</title>
<style>
body{font-family:sans-serif;margin:0;padding:8px;background:#f4f4f4;color:#222}
h1{font-size:1.2em;margin:4px 0}
h2{font-size:1em;margin:12px 0 4px}
table{border-collapse:collapse;width:100%;background:#fff}
td,th{border-bottom:1px solid #ddd;padding:4px;text-align:left;font-size:0.95em}
td.v{font-weight:bold;white-space:nowrap}
#stale{display:none;background:#c00;color:#fff;padding:10px;font-weight:bold}
#alarm{display:none;background:#e60;color:#fff;padding:10px;font-weight:bold}
#problems{display:none;background:#fff;color:#c00;border:2px solid #c00;padding:6px;margin:4px 0;
 font-weight:bold}
#problems div{padding:2px 0}
.lamp{display:inline-block;margin:2px 6px 2px 0;white-space:nowrap}
.dot{display:inline-block;width:0.8em;height:0.8em;border-radius:50%;background:#bbb;
 vertical-align:middle;margin-right:3px}
.on .dot{background:#2a2}.attention .dot{background:#e60}
#log div{font-size:0.85em;border-bottom:1px solid #eee;padding:2px 0}
#log .warning{color:#a60}#log .error{color:#c00}
img{width:100%;height:auto;background:#fff}
#graph,#run-chart{width:100%;height:320px;background:#fff}
#graph .dygraph-axis-label,#run-chart .dygraph-axis-label{color:var(--chart-text,#000)}
small{color:#666}
</style></head><body>
<h1>Флекстор</h1>
<div id="stale">Программа не отвечает</div>
<div id="alarm">АВАРИЯ</div>
<div id="problems"></div>
<small id="time">Нет данных</small>
<h2>Температуры</h2>
<table><thead><tr><th>Датчик</th><th>Значение</th><th>Порог</th></tr></thead>
<tbody id="temperatures"></tbody></table>
<h2>Колонки</h2>
<table><tbody id="columns"></tbody></table>
<h2>Индикаторы</h2>
<div id="lamps"></div>
<h2>График за день</h2>
<div id="graph"></div>
<small id="graph_note">Загрузка графика…</small>
<img id="chart" alt="График" style="display:none">
<h2>Сообщения</h2>
<div id="log"></div>
<script>
"use strict";
const token = new URLSearchParams(location.search).get("token");
const suffix = token ? "token=" + encodeURIComponent(token) : "";
const lampNames = {alarm:"Авария", pulse:"Импульс", column1:"Колонка 1", valve1:"Клапан 1",
  valve2:"Клапан 2", valve3:"Клапан 3", column2:"Колонка 2", mash_upper:"Брага: верх",
  mash_lower:"Брага: низ"};
let lastAnswer = 0, chartSamples = -1, chartLoaded = 0;
// The day's chart, drawn here by the program's chart library: the whole day
// once, then only the samples after the last one held (see /api/history).
let library = "loading", graph = null, traceNames = [1, 2, 3, 4, 5, 6].map(n => "Датчик " + n);
const day = {mark: null, rows: [], loading: false, colours: null};
function note(text) { document.getElementById("graph_note").textContent = text; }
function loadLibrary() {
  const css = document.createElement("link");
  css.rel = "stylesheet";
  css.href = "dygraph.min.css?" + suffix;
  document.head.appendChild(css);
  const script = document.createElement("script");
  script.src = "dygraph.min.js?" + suffix;
  script.onload = () => { library = "ready"; loadHistory(); };
  script.onerror = () => {
    library = "missing";
    document.getElementById("graph").style.display = "none";
    document.getElementById("chart").style.display = "block";
    note("График за день недоступен: на устройстве с программой не установлена " +
      "библиотека графиков (пакет libjs-dygraphs). Показаны последние минуты.");
  };
  document.head.appendChild(script);
}
// One answer of /api/history: each column's values are byte differences, or
// -128 and the whole value, or -127 for none.
function decodeHistory(buffer) {
  const v = new DataView(buffer);
  const count = v.getUint32(8, true);
  const colours = [];
  for (let i = 0; i < 9; ++i) {
    colours.push("#" + v.getUint32(12 + 4 * i, true).toString(16).padStart(6, "0"));
  }
  let at = 48;
  function column(wide) {
    const values = new Array(count);
    let previous = 0;
    for (let i = 0; i < count; ++i) {
      const b = v.getInt8(at++);
      if (b === -128) {
        previous = wide ? v.getInt32(at, true) : v.getInt16(at, true);
        at += wide ? 4 : 2;
        values[i] = previous;
      } else if (b === -127) {
        values[i] = null;
      } else {
        previous += b;
        values[i] = previous;
      }
    }
    return values;
  }
  const times = column(true), traces = [];
  for (let t = 0; t < 6; ++t) traces.push(column(false));
  const rows = new Array(count);
  for (let i = 0; i < count; ++i) {
    const row = [new Date(times[i] * 1000)];
    for (let t = 0; t < 6; ++t) row.push(traces[t][i] === null ? null : traces[t][i] / 10);
    rows[i] = row;
  }
  return {mark: v.getInt32(0, true), start: v.getUint32(4, true), colours, rows};
}
// The window's colours: background, grid, text, then the six traces. The
// samples' times are the plant's wall clock, shown as they are.
function chartOptions(box, colours) {
  box.style.background = colours[0];
  box.style.setProperty("--chart-text", colours[2]);
  return {labels: ["Время"].concat(traceNames), labelsUTC: true,
    colors: colours.slice(3), gridLineColor: colours[1], axisLineColor: colours[2],
    ylabel: "°C", strokeWidth: 1};
}
// A run of the journal, from..to in the wall clock's milliseconds: today's
// samples of those hours; earlier days' charts are the pictures in "График".
function drawRun(box, from, to) {
  const rows = day.colours ? day.rows.filter(r => r[0] >= from && r[0] <= to) : [];
  if (typeof Dygraph === "undefined" || rows.length === 0) {
    box.style.height = "auto";
    box.textContent = "Графика этой работы здесь нет: страница показывает записи за сегодня, " +
      "графики прежних дней сохранены в папке «График».";
    return;
  }
  box.textContent = "";
  box.style.height = "";
  new Dygraph(box, rows, chartOptions(box, day.colours));
}
function drawDay(colours) {
  if (day.rows.length === 0) { note("За сегодня записей нет"); return; }
  day.colours = colours;
  const box = document.getElementById("graph");
  const options = chartOptions(box, colours);
  if (graph) graph.updateOptions(Object.assign({file: day.rows}, options));
  else graph = new Dygraph(box, day.rows, options);
  note("Записей за день: " + day.rows.length + ". Выделите участок, чтобы увеличить; " +
    "двойное касание — весь день.");
}
async function loadHistory() {
  if (library !== "ready" || day.loading) return;
  day.loading = true;
  try {
    const query = day.mark === null ? "since=0" :
      "since=" + day.rows.length + "&first=" + day.mark;
    const answer = await fetch("api/history?" + query + "&" + suffix, {cache: "no-store"});
    if (!answer.ok) throw new Error("ошибка " + answer.status);
    const part = decodeHistory(await answer.arrayBuffer());
    if (part.start === 0) {
      day.rows = part.rows;
    } else if (part.start === day.rows.length) {
      for (const row of part.rows) day.rows.push(row);
    } else {
      day.mark = null;  // out of step: the whole day again next time
      return;
    }
    day.mark = part.mark;
    if (part.start === 0 || part.rows.length > 0) drawDay(part.colours);
  } catch (e) {
    note("График за день не получен (" + e.message + ")");
  } finally {
    day.loading = false;
  }
}
function cell(row, text, cls) {
  const td = document.createElement("td");
  td.textContent = text;
  if (cls) td.className = cls;
  row.appendChild(td);
}
function degrees(v) { return v === null ? "" : v.toFixed(1) + " °C"; }
function fill(id, rows, make) {
  const body = document.getElementById(id);
  body.replaceChildren();
  for (const r of rows) body.appendChild(make(r));
}
function show(s) {
  document.getElementById("time").textContent = "Обновлено: " + s.time.replace("T", " ") +
    (s.port_open ? "" : " (порт датчиков закрыт)");
  document.getElementById("alarm").style.display = s.alarm ? "block" : "none";
  const problems = s.problems || [];
  document.getElementById("problems").style.display = problems.length ? "block" : "none";
  fill("problems", problems, p => {
    const div = document.createElement("div");
    div.className = "problem";
    div.textContent = p.text + " (с " + p.since.replace("T", " ") + ")";
    return div;
  });
  fill("temperatures", s.temperatures, t => {
    const row = document.createElement("tr");
    row.dataset.role = t.role;
    cell(row, t.name);
    cell(row, t.value === null ? t.text : degrees(t.value), "v");
    cell(row, t.lower_threshold === null ? degrees(t.threshold) :
      degrees(t.lower_threshold) + " … " + degrees(t.threshold));
    return row;
  });
  fill("columns", s.columns, c => {
    const row = document.createElement("tr");
    cell(row, c.number + ". " + c.name);
    cell(row, c.state_text, "v");
    cell(row, [c.mode_text, c.status].filter(x => x).join(" "));
    return row;
  });
  fill("lamps", Object.keys(lampNames), name => {
    const span = document.createElement("span");
    span.className = "lamp " + (s.lamps[name] || "off");
    const dot = document.createElement("span");
    dot.className = "dot";
    span.appendChild(dot);
    span.appendChild(document.createTextNode(lampNames[name]));
    return span;
  });
  fill("log", s.log.slice().reverse(), m => {
    const div = document.createElement("div");
    div.className = m.level;
    div.textContent = m.text;
    return div;
  });
  if (s.temperatures.length === 6) traceNames = s.temperatures.map(t => t.name);
  const now = Date.now();
  if (library === "missing" && s.chart_samples !== chartSamples && now - chartLoaded > 30000) {
    chartSamples = s.chart_samples;
    chartLoaded = now;
    document.getElementById("chart").src = "chart.png?n=" + s.chart_samples + "&" + suffix;
  }
}
async function poll() {
  try {
    const controller = new AbortController();
    const timer = setTimeout(() => controller.abort(), 4000);
    const answer = await fetch("api/status?" + suffix, {cache: "no-store",
      signal: controller.signal});
    clearTimeout(timer);
    if (!answer.ok) throw new Error(answer.status === 401 ? "Неверный ключ доступа" :
      "Ошибка " + answer.status);
    show(await answer.json());
    loadHistory();
    lastAnswer = Date.now();
    document.getElementById("stale").style.display = "none";
  } catch (e) {
    const stale = document.getElementById("stale");
    stale.textContent = "Программа не отвечает" + (lastAnswer ? " с " +
      new Date(lastAnswer).toLocaleTimeString("ru-RU") : "") + " (" + e.message + ")";
    stale.style.display = "block";
  }
}
loadLibrary();
poll();
setInterval(poll, 2000);
</script></body></html>
)PAGE";

}  // namespace

const std::string& StatusPageHtml() {
    static const std::string page = [] {
        std::string text = kPage;
        text.insert(text.rfind("</body>"), JournalPageSection());
        return text;
    }();
    return page;
}

}  // namespace flextor

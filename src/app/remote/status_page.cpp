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
.lamp{display:inline-block;margin:2px 6px 2px 0;white-space:nowrap}
.dot{display:inline-block;width:0.8em;height:0.8em;border-radius:50%;background:#bbb;
 vertical-align:middle;margin-right:3px}
.on .dot{background:#2a2}.attention .dot{background:#e60}
#log div{font-size:0.85em;border-bottom:1px solid #eee;padding:2px 0}
#log .warning{color:#a60}#log .error{color:#c00}
img{width:100%;height:auto;background:#fff}
small{color:#666}
</style></head><body>
<h1>Флекстор</h1>
<div id="stale">Программа не отвечает</div>
<div id="alarm">АВАРИЯ</div>
<small id="time">Нет данных</small>
<h2>Температуры</h2>
<table><thead><tr><th>Датчик</th><th>Значение</th><th>Порог</th></tr></thead>
<tbody id="temperatures"></tbody></table>
<h2>Колонки</h2>
<table><tbody id="columns"></tbody></table>
<h2>Индикаторы</h2>
<div id="lamps"></div>
<h2>График</h2>
<img id="chart" alt="График">
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
  const now = Date.now();
  if (s.chart_samples !== chartSamples && now - chartLoaded > 30000) {
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
    lastAnswer = Date.now();
    document.getElementById("stale").style.display = "none";
  } catch (e) {
    const stale = document.getElementById("stale");
    stale.textContent = "Программа не отвечает" + (lastAnswer ? " с " +
      new Date(lastAnswer).toLocaleTimeString("ru-RU") : "") + " (" + e.message + ")";
    stale.style.display = "block";
  }
}
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

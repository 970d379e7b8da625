#include "app/remote/journal_page.h"

namespace flextor {
namespace {

// Every text from the journal goes in as textContent, never as markup. The
// list is read again every 30 s; the run chosen stays shown until another is.
// "run-chart" shows the run's hours of today's chart (drawRun of the page).
constexpr const char kSection[] = R"PAGE(<h2>Журнал</h2>
<table><thead><tr><th>Начало</th><th>Работа</th><th>Итог</th><th>Заметки</th></tr></thead>
<tbody id="journal"></tbody></table>
<div id="run" style="display:none">
<h2 id="run-title"></h2>
<div id="run-chart"></div>
<div id="run-notes"></div>
<table><thead><tr><th>Время</th><th>Событие</th><th>Режим</th><th>Длительность</th>
<th>Объём, л</th><th>Текст</th></tr></thead><tbody id="run-events"></tbody></table>
</div>
<script>
"use strict";
(function () {
  const key = new URLSearchParams(location.search).get("token");
  const query = key ? "?token=" + encodeURIComponent(key) : "";
  function put(row, text) {
    const td = document.createElement("td");
    td.textContent = text === null || text === undefined ? "" : String(text);
    row.appendChild(td);
  }
  async function get(path) {
    const answer = await fetch(path + query, {cache: "no-store"});
    if (!answer.ok) throw new Error("Ошибка " + answer.status);
    return answer.json();
  }
  // "2024-03-01 12:00:00" of the plant's wall clock, as the chart keeps it.
  function wallMs(text) {
    const n = text.split(/[- :]/).map(Number);
    return Date.UTC(n[0], n[1] - 1, n[2], n[3], n[4], n[5]);
  }
  async function choose(run) {
    try {
      const entry = await get("api/journal/" + encodeURIComponent(run.name));
      document.getElementById("run-title").textContent =
        (run.title || "") + " " + (run.start || "");
      const notes = document.getElementById("run-notes");
      notes.replaceChildren();
      for (const n of entry.notes) {
        const div = document.createElement("div");
        div.className = "note";
        div.textContent = n.time + "  " + n.text;
        notes.appendChild(div);
      }
      const body = document.getElementById("run-events");
      body.replaceChildren();
      for (const e of entry.events) {
        const row = document.createElement("tr");
        put(row, e.time.slice(11));
        put(row, e.event);
        put(row, e.mode);
        put(row, e.duration);
        put(row, e.litres === null ? "" : e.litres.toFixed(3));
        put(row, e.text);
        body.appendChild(row);
      }
      document.getElementById("run").style.display = "block";
      if (entry.events.length > 0 && typeof drawRun === "function") {
        const from = wallMs(entry.events[0].time);
        const last = wallMs(entry.events[entry.events.length - 1].time);
        drawRun(document.getElementById("run-chart"), from,
          run.ended === null ? Number.MAX_SAFE_INTEGER : last);
      }
    } catch (e) {}
  }
  async function list() {
    try {
      const answer = await get("api/journal");
      const body = document.getElementById("journal");
      body.replaceChildren();
      for (const run of answer.runs) {
        const row = document.createElement("tr");
        row.dataset.name = run.name;
        row.style.cursor = "pointer";
        put(row, run.start || run.name.slice(0, 10));
        put(row, run.title);
        put(row, run.ended === null ? (run.column ? "идёт" : "") : run.ended);
        put(row, run.notes.map(n => n.text).join("; "));
        row.onclick = () => choose(run);
        body.appendChild(row);
      }
    } catch (e) {}
  }
  list();
  setInterval(list, 30000);
})();
</script>
)PAGE";

}  // namespace

const char* JournalPageSection() {
    return kSection;
}

}  // namespace flextor

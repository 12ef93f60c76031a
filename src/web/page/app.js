// The live, read-only view of the charger's channels. Every text from the
// program is set as text (never as markup), so a battery's name shows as typed.
'use strict';

const token = new URLSearchParams(location.search).get('t') || '';
const texts = {};
const channels = new Map(); // code -> {section, fields, points}
// How late each value reached the page after the charger's answer was read (ms).
window.velmaraDelays = [];

function text(key, fallback) { return texts[key] || fallback; }

function element(tag, className, parent) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (parent) parent.appendChild(e);
  return e;
}

function channelView(code) {
  let view = channels.get(code);
  if (view) return view;
  const section = element('section', '', document.getElementById('channels'));
  section.id = 'channel' + code;
  const title = element('h2', '', section);
  const recording = element('p', 'recording', section);
  recording.id = 'recording' + code;
  const state = element('p', 'state', section);
  state.id = 'state' + code;
  const list = element('dl', '', section);
  const fields = { title, state, recording };
  for (const key of ['current', 'voltage', 'capacity']) {
    const term = element('dt', '', list);
    const value = element('dd', '', list);
    value.id = key + code;
    fields[key] = value;
    fields[key + 'Label'] = term;
  }
  for (const key of ['afterCharge', 'afterDischarge']) {
    fields[key + 'Label'] = element('h3', '', section);
    fields[key + 'Heading'] = element('pre', 'heading', section);
    fields[key] = element('pre', '', section);
  }
  const canvas = element('canvas', '', section);
  const legend = element('p', 'legend', section);
  view = { section, fields, canvas, legend, points: [], last: null };
  channels.set(code, view);
  new ResizeObserver(() => draw(view)).observe(canvas);
  return view;
}

function showChannel(m) {
  const view = channelView(m.channel);
  const f = view.fields;
  view.section.hidden = !m.visible;
  view.last = m;
  f.title.textContent = m.title;
  f.state.textContent = m.state;
  f.state.classList.toggle('fault', !!m.fault);
  f.current.textContent = m.current;
  f.voltage.textContent = m.voltage;
  f.capacity.textContent = m.capacity;
  for (const key of ['current', 'voltage', 'capacity']) f[key].classList.toggle('stale', !!m.stale);
  f.recording.textContent = m.recording;
  f.currentLabel.textContent = text('current', 'Current');
  f.voltageLabel.textContent = text('voltage', 'Voltage');
  f.capacityLabel.textContent = text('capacity', 'Capacity');
  f.afterChargeLabel.textContent = text('afterCharge', 'After charging');
  f.afterDischargeLabel.textContent = text('afterDischarge', 'After discharging');
  f.afterChargeHeading.textContent = text('endValueHeading', '');
  f.afterDischargeHeading.textContent = text('endValueHeading', '');
  f.afterCharge.textContent = (m.afterCharge || []).join('\n') || '---';
  f.afterDischarge.textContent = (m.afterDischarge || []).join('\n') || '---';
}

function addCurve(m) {
  const view = channelView(m.channel);
  if (m.reset) view.points = [];
  for (const p of m.points) view.points.push(p);
  draw(view);
}

// Voltage on the left scale; current and capacity share the right one, so
// neither flattens the voltage. Time in minutes.
function draw(view) {
  const canvas = view.canvas;
  const ratio = window.devicePixelRatio || 1;
  const width = canvas.clientWidth, height = canvas.clientHeight;
  if (!width || !height) return;
  canvas.width = Math.round(width * ratio);
  canvas.height = Math.round(height * ratio);
  const g = canvas.getContext('2d');
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  g.clearRect(0, 0, width, height);
  const points = view.points;
  const left = 40, right = 40, top = 8, bottom = 18;
  const w = width - left - right, h = height - top - bottom;
  g.font = '10px sans-serif';
  g.fillStyle = '#555';
  g.strokeStyle = '#bbb';
  g.strokeRect(left, top, w, h);
  const legendParts = [['v', text('voltage', 'Voltage') + ' (V)'],
                       ['a', text('current', 'Current') + ' (A)'],
                       ['ah', text('capacity', 'Capacity') + ' (Ah)']];
  view.legend.replaceChildren(...legendParts.map(([c, t]) => {
    const s = document.createElement('span');
    s.className = c;
    s.textContent = '\u25A0 ' + t;
    return s;
  }));
  if (points.length < 2) return;
  const range = (i) => {
    let lo = Infinity, hi = -Infinity;
    for (const p of points) { lo = Math.min(lo, p[i]); hi = Math.max(hi, p[i]); }
    if (hi - lo < 1e-6) { lo -= 0.5; hi += 0.5; }
    return [lo, hi];
  };
  const [t0, t1] = range(0);
  const volts = range(1);
  const a = range(2), ah = range(3);
  const rightScale = [Math.min(a[0], ah[0]), Math.max(a[1], ah[1])];
  const x = (s) => left + (s - t0) / (t1 - t0) * w;
  const y = (v, r) => top + h - (v - r[0]) / (r[1] - r[0]) * h;
  const line = (i, r, colour) => {
    g.strokeStyle = colour;
    g.beginPath();
    points.forEach((p, k) => (k ? g.lineTo(x(p[0]), y(p[i], r)) : g.moveTo(x(p[0]), y(p[i], r))));
    g.stroke();
  };
  line(1, volts, '#1f5fbf');
  line(2, rightScale, '#c03020');
  line(3, rightScale, '#208030');
  g.fillStyle = '#1f5fbf';
  g.textAlign = 'right';
  g.fillText(volts[1].toFixed(2), left - 3, top + 8);
  g.fillText(volts[0].toFixed(2), left - 3, top + h);
  g.fillStyle = '#555';
  g.textAlign = 'left';
  g.fillText(rightScale[1].toFixed(2), left + w + 3, top + 8);
  g.fillText(rightScale[0].toFixed(2), left + w + 3, top + h);
  g.textAlign = 'center';
  g.fillText(`${(t0 / 60).toFixed(0)} \u2013 ${(t1 / 60).toFixed(0)} ${text('minutes', 'minutes')}`,
             left + w / 2, height - 4);
}

function setLink(lost) {
  const link = document.getElementById('link');
  link.textContent = lost ? text('lost', 'Connection lost, trying again ...') : text('connected', '');
  link.classList.toggle('lost', lost);
}

let wait = 500;
function connect() {
  const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
  const socket = new WebSocket(`${scheme}//${location.host}/feed?t=${encodeURIComponent(token)}`);
  socket.onopen = () => { wait = 500; setLink(false); };
  socket.onmessage = (event) => {
    let m;
    try { m = JSON.parse(event.data); } catch (e) { return; }
    if (m.type === 'hello') {
      Object.assign(texts, m.texts || {});
      document.documentElement.lang = m.language || '';
      for (const view of channels.values()) if (view.last) showChannel(view.last);
      setLink(false);
    } else if (m.type === 'channel') {
      if (m.readAt > 0 && window.velmaraDelays.length < 10000)
        window.velmaraDelays.push(Date.now() - m.readAt);
      showChannel(m);
    } else if (m.type === 'curve') {
      addCurve(m);
    }
  };
  socket.onclose = () => {
    setLink(true);
    setTimeout(connect, wait);
    wait = Math.min(wait * 2, 4000);
  };
}
connect();

// The live radar page: shows every view's latest frame from the WebSocket, the radar's state beside
// them, and sends the controls to the viewer. No libraries: it runs wherever a browser does.
'use strict';

const token = new URLSearchParams(location.search).get('token') || '';
window.shownFrames = {};
const views = new Map();  // id -> {box, canvas, context, echo, trails, rings, mode}
let lastState = null;

function $(id) { return document.getElementById(id); }

function showMessage(text) { $('message').textContent = text || ''; }

async function send(method, path, body) {
  const headers = {'Content-Type': 'application/json'};
  if (token) headers['X-Control-Token'] = token;
  try {
    const answer = await fetch(path, {method, headers, body: body === undefined ? undefined : JSON.stringify(body)});
    if (!answer.ok) {
      let reason = answer.statusText;
      try { reason = (await answer.json()).error || reason; } catch (ignored) { /* not JSON */ }
      showMessage(method + ' ' + path + ': ' + reason);
    } else {
      showMessage(lastState && lastState.refused ? lastState.refused : '');
    }
  } catch (failure) {
    showMessage('the viewer cannot be reached');
  }
}

function radar(settings) { return send('POST', '/api/radar', settings); }

function makeView(id) {
  const box = document.createElement('section');
  box.className = 'view';
  box.innerHTML =
      '<h2>View ' + id + '</h2>' +
      '<canvas id="view-' + id + '"></canvas>' +
      '<div class="view-controls">' +
      '<label><input type="checkbox" id="view-' + id + '-echo"> Echo</label>' +
      '<label><input type="checkbox" id="view-' + id + '-trails"> Trails</label>' +
      '<label><input type="checkbox" id="view-' + id + '-rings"> Rings</label>' +
      '<select id="view-' + id + '-mode"><option>day</option><option>dusk</option><option>night</option></select>' +
      '<button type="button" id="view-' + id + '-close">Close</button></div>';
  $('views').appendChild(box);
  const view = {box, canvas: box.querySelector('canvas'), shown: -1, drawn: Promise.resolve()};
  view.context = view.canvas.getContext('2d');
  for (const layer of ['echo', 'trails', 'rings']) {
    view[layer] = $('view-' + id + '-' + layer);
    view[layer].addEventListener('change', () => send('POST', '/api/views/' + id, {[layer]: view[layer].checked}));
  }
  view.mode = $('view-' + id + '-mode');
  view.mode.addEventListener('change', () => send('POST', '/api/views/' + id, {mode: view.mode.value}));
  $('view-' + id + '-close').addEventListener('click', () => send('DELETE', '/api/views/' + id));
  views.set(id, view);
  return view;
}

function number(value, digits) { return value === null || value === undefined ? '-' : value.toFixed(digits); }

function showState(state) {
  lastState = state;
  const r = state.radar;
  $('state-radar').textContent = r.state;
  $('state-warmup').textContent = r.warmup_seconds === null ? '-' : r.warmup_seconds + ' s';
  $('state-range').textContent = r.range || '-';
  const ship = state.own_ship;
  $('state-position').textContent = ship.latitude === null ? '-' :
      number(ship.latitude, 5) + ', ' + number(ship.longitude, 5);
  $('state-heading').textContent = ship.heading === null ? '-' : number(ship.heading, 1) + '\u00b0';
  if (state.refused) showMessage(state.refused);
  const idle = element => document.activeElement !== element;
  if (idle($('echo-colour'))) $('echo-colour').value = String(r.echo_colour);
  if (idle($('trail-colour'))) $('trail-colour').value = String(r.trail_colour);
  if (idle($('trail-time'))) $('trail-time').value = r.trail_time;
  if (idle($('real-time'))) $('real-time').checked = r.real_time;
  if (idle($('shift-bearing'))) $('shift-bearing').value = number(r.shift_bearing, 0);
  if (idle($('shift-distance'))) $('shift-distance').value = number(r.shift_distance, 2);

  const present = new Set();
  for (const shown of state.views) {
    present.add(shown.id);
    const view = views.get(shown.id) || makeView(shown.id);
    // The canvas takes the view's size until frames come; then they set it (a new size clears it).
    if (view.shown < 0 && view.canvas.width !== shown.width) view.canvas.width = shown.width;
    if (view.shown < 0 && view.canvas.height !== shown.height) view.canvas.height = shown.height;
    view.echo.checked = shown.echo;
    view.trails.checked = shown.trails;
    view.rings.checked = shown.rings;
    if (idle(view.mode)) view.mode.value = shown.mode;
  }
  for (const [id, view] of views) {
    if (present.has(id)) continue;
    view.box.remove();
    views.delete(id);
    delete window.shownFrames[id];
  }
}

// A frame: byte 0 the view, then big-endian 32-bit words: the frame number, the width, the height and
// the count of tiles; then each tile: its left and top pixel, the length of its PNG image, the image.
// The tiles are those that changed since the frame before, so every frame of a view is drawn, in order.
// A frame that cannot be drawn would leave its tiles stale: the connection is made again, and the new
// one starts with every tile.
function showFrame(data, socket) {
  const bytes = new DataView(data);
  if (bytes.byteLength < 17) return;
  const view = views.get(bytes.getUint8(0));
  if (!view) return;
  view.drawn = view.drawn.then(() => drawFrame(view, bytes)).catch(() => socket.close());
}

async function drawFrame(view, bytes) {
  const frame = bytes.getUint32(1);
  const width = bytes.getUint32(5);
  const height = bytes.getUint32(9);
  const count = bytes.getUint32(13);
  const tiles = [];
  for (let at = 17, i = 0; i < count; ++i) {
    const length = at + 12 <= bytes.byteLength ? bytes.getUint32(at + 8) : Infinity;
    if (at + 12 + length > bytes.byteLength) throw new Error('a frame cut short');
    const image = new Blob([new Uint8Array(bytes.buffer, at + 12, length)], {type: 'image/png'});
    tiles.push({left: bytes.getUint32(at), top: bytes.getUint32(at + 4), image: createImageBitmap(image)});
    at += 12 + length;
  }
  const images = await Promise.all(tiles.map(tile => tile.image));
  // A new size clears the canvas; its first frame brings every tile.
  if (view.canvas.width !== width) view.canvas.width = width;
  if (view.canvas.height !== height) view.canvas.height = height;
  tiles.forEach((tile, i) => {
    view.context.drawImage(images[i], tile.left, tile.top);
    images[i].close();
  });
  view.shown = frame;
  window.shownFrames[bytes.getUint8(0)] = frame;
}

function connect() {
  const socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/api/live');
  socket.binaryType = 'arraybuffer';
  socket.onmessage = event => {
    if (typeof event.data === 'string') showState(JSON.parse(event.data));
    else showFrame(event.data, socket);
  };
  socket.onclose = () => {
    showMessage('the connection to the viewer was lost; trying again');
    setTimeout(connect, 1000);
  };
  socket.onopen = () => showMessage(lastState && lastState.refused ? lastState.refused : '');
}

$('transmit').addEventListener('click', () => radar({transmit: true}));
$('standby').addEventListener('click', () => radar({transmit: false}));
$('range-up').addEventListener('click', () => radar({range_step: 1}));
$('range-down').addEventListener('click', () => radar({range_step: -1}));
$('add-view').addEventListener('click', () => send('POST', '/api/views', {}));
$('settings-apply').addEventListener('click', () => {
  const settings = {
    echo_colour: Number($('echo-colour').value),
    trail_colour: Number($('trail-colour').value),
    trail_time: Number($('trail-time').value),
    real_time: $('real-time').checked,
  };
  const bearing = Number($('shift-bearing').value), distance = Number($('shift-distance').value);
  if ($('shift-bearing').value !== '' && Number.isFinite(bearing)) settings.shift_bearing = bearing;
  if ($('shift-distance').value !== '' && Number.isFinite(distance)) settings.shift_distance = distance;
  radar(settings);
});
connect();

// The phone's side of the remote: one WebSocket to the program, which sends the state of
// the panel, the Parametric EQ, the preset slots and undo/redo/A/B as it changes and the meters many times
// a second.  Every change made here is a message to the program, which puts it into the
// desktop's own controls; the page shows what the program then reports back.
"use strict";

(() => {
  const token = new URLSearchParams(location.hash.slice(1)).get("k") || "";
  const bandCount = 8;
  const typeNames = ["PEQ", "LS6", "LS12", "HS6", "HS12"];
  const letters = ["A", "B"];
  const curveColours = ["#d29b27", "#2e79ff"];
  const dbRange = 20;   // the desktop graph: +-20 dB, labels +-15
  const busyAfterTouchMs = 600;

  const $ = (id) => document.getElementById(id);

  let socket = null;
  let welcomed = false;
  let finished = false;
  let retryMs = 1000;
  let shownChannel = 0;
  let latestMeters = null;
  let latestPanel = null;
  let reshowTimer = 0;
  let meterFrameAsked = false;
  const peq = [null, null];
  const pending = new Map();   // what waits for the next animation frame, by control
  let flushAsked = false;
  const busyUntil = new WeakMap();   // a control the finger is on is not moved by the program

  //------------------------------------------------------------------------------------------
  // The connection

  function connect() {
    if (!token) {
      finish("This page needs the code from the computer: open the address its Remote window shows, or scan the QR code there.");
      return;
    }
    setStatus("Connecting…", false);
    socket = new WebSocket(`ws://${location.host}/ws`);
    socket.onopen = () => socket.send(JSON.stringify({ t: "hello", v: 1, k: token }));
    socket.onmessage = (event) => {
      let message = null;
      try {
        message = JSON.parse(event.data);
      } catch (e) {
        return;
      }
      receive(message);
    };
    socket.onclose = () => {
      socket = null;
      welcomed = false;
      if (finished)
        return;
      setStatus("Connection lost: trying again…", false);
      setTimeout(connect, retryMs);
      retryMs = Math.min(retryMs * 2, 5000);
    };
  }

  const farewells = {
    "token": "This code is not valid (any more). Scan the QR code in the program's Remote window again.",
    "new code": "The program made a new code. Scan the QR code in its Remote window again.",
    "full": "Eight phones are connected already. Close the remote on another one and reload this page.",
    "off": "The remote was switched off in the program.",
    "time": "The program did not hear from this page in time. Reload the page.",
    "slow": "This phone did not keep up with the program. Reload the page.",
  };

  function finish(text) {
    finished = true;
    $("app").hidden = true;
    $("ampName").textContent = "";
    $("ampModel").textContent = "";
    $("ampState").textContent = "";
    $("gone").textContent = text;
    $("gone").hidden = false;
    setStatus("Not connected to the program", false);
  }

  function send(message) {
    if (socket !== null && welcomed && socket.readyState === WebSocket.OPEN)
      socket.send(JSON.stringify(message));
  }

  /** The newest message of a control goes out at the next animation frame: at most one a
      frame per control, however fast the finger moves. */
  function sendSoon(key, message) {
    pending.set(key, message);
    if (!flushAsked) {
      flushAsked = true;
      requestAnimationFrame(() => {
        flushAsked = false;
        for (const m of pending.values())
          send(m);
        pending.clear();
      });
    }
  }

  function receive(message) {
    switch (message.t) {
      case "welcome":
        welcomed = true;
        retryMs = 1000;
        $("gone").hidden = true;
        $("app").hidden = false;
        setStatus("Live", true);
        break;
      case "bye":
        finish(farewells[message.why] || "The program closed the connection.");
        if (socket !== null)
          socket.close();
        break;
      case "device": showDevice(message); break;
      case "panel": showPanel(message); break;
      case "meters": latestMeters = message; askMeterFrame(); break;
      case "peq": showPeq(message); break;
      case "slots": showSlots(message); break;
      case "history": showHistory(message); break;
      default: break;   // a kind this page does not know yet
    }
  }

  function setStatus(text, live) {
    $("status").textContent = text;
    $("status").classList.toggle("live", live);
  }

  function isBusy(control) {
    return (busyUntil.get(control) || 0) > performance.now() || document.activeElement === control && control.dataset.dragging === "1";
  }

  function markBusy(control) {
    busyUntil.set(control, performance.now() + busyAfterTouchMs);
    // What the program reported while the finger was on a control (an undo on another
    // phone, the desktop) shows once the finger has left: no newer frame may come.
    clearTimeout(reshowTimer);
    reshowTimer = setTimeout(reshowState, busyAfterTouchMs + 50);
  }

  function reshowState() {
    if (latestPanel !== null)
      showPanel(latestPanel);
    peq.forEach((state) => {
      if (state !== null)
        showPeq(state);
    });
  }

  /** Sliders send while they move and are left alone by the program while touched. */
  function bindSlider(input, makeMessage) {
    input.addEventListener("pointerdown", () => { input.dataset.dragging = "1"; markBusy(input); });
    input.addEventListener("pointerup", () => { input.dataset.dragging = "0"; markBusy(input); });
    input.addEventListener("input", () => {
      markBusy(input);
      sendSoon(input.id, makeMessage(Number(input.value)));
    });
    input.addEventListener("change", () => markBusy(input));
  }

  function setSlider(input, value) {
    if (!isBusy(input) && Number(input.value) !== value)
      input.value = String(value);
  }

  function setPressed(button, on) {
    button.setAttribute("aria-pressed", on ? "true" : "false");
  }

  //------------------------------------------------------------------------------------------
  // The amplifier and the panel

  function showDevice(device) {
    $("ampName").textContent = device.connected ? device.name || "(no name)" : "No amplifier";
    $("ampModel").textContent = device.connected ? device.model : "";
    $("ampState").textContent = device.connected ? "connected" : "not connected";
    $("ampState").parentElement.classList.toggle("connected", device.connected);
  }

  function gainText(value) {
    return `${value.toFixed(1)} dB`;
  }

  function showPanel(panel) {
    latestPanel = panel;
    $("gains").hidden = !panel.shown;
    $("noGains").hidden = panel.shown;
    ["A", "B"].forEach((letter, channel) => {
      setSlider($(`gain${letter}`), panel.gain[channel]);
      if (!isBusy($(`gain${letter}`)))
        $(`gain${letter}Text`).textContent = gainText(panel.gain[channel]);
      setPressed($(`mute${letter}`), panel.mute[channel]);
    });
    setPressed($("link"), panel.link);
  }

  function askMeterFrame() {
    if (meterFrameAsked)
      return;
    meterFrameAsked = true;
    requestAnimationFrame(() => {
      meterFrameAsked = false;
      const m = latestMeters;
      if (m === null)
        return;
      showMeter($("inA"), m.in[0]);
      showMeter($("inB"), m.in[1]);
      showMeter($("outA"), m.out[0]);
      showMeter($("outB"), m.out[1]);
      $("clipA").classList.toggle("lit", m.clip[0]);
      $("clipB").classList.toggle("lit", m.clip[1]);
      $("limitA").classList.toggle("lit", m.limit[0]);
      $("limitB").classList.toggle("lit", m.limit[1]);
    });
  }

  const segmentCount = 21;

  /** The outputs' and the inputs' meters with their lamps, as on the panel: per channel a
      lamp above a meter of 21 segments and the channel's letter. */
  const meterGroups = [
    { title: "Outputs", meter: "out", meterName: "Output meter", lamp: "limit", lampName: "Output limit" },
    { title: "Inputs", meter: "in", meterName: "Input meter", lamp: "clip", lampName: "Input clip" },
  ];

  function buildMeters() {
    meterGroups.forEach((group) => {
      const box = document.createElement("div");
      box.className = "meterGroup";
      const title = document.createElement("h2");
      title.textContent = group.title;
      const pair = document.createElement("div");
      pair.className = "meterPair";
      letters.forEach((letter) => pair.appendChild(buildMeterColumn(group, letter)));
      box.append(title, pair);
      $("meters").appendChild(box);
    });
  }

  function buildMeterColumn(group, letter) {
    const column = document.createElement("div");
    column.className = "meterColumn";
    const lamp = document.createElement("span");
    lamp.className = `lamp ${group.lamp}`;
    lamp.id = `${group.lamp}${letter}`;
    lamp.setAttribute("role", "img");
    lamp.setAttribute("aria-label", `${group.lampName} ${letter}`);
    const meter = document.createElement("div");
    meter.className = "meter";
    meter.id = `${group.meter}${letter}`;
    meter.setAttribute("role", "meter");
    meter.setAttribute("aria-label", `${group.meterName} ${letter}`);
    meter.setAttribute("aria-valuemin", "-60");
    meter.setAttribute("aria-valuemax", "0");
    meter.setAttribute("aria-valuenow", "-60");
    buildMeter(meter);
    const name = document.createElement("span");
    name.className = "channel";
    name.textContent = letter;
    column.append(lamp, meter, name);
    return column;
  }

  function buildMeter(meter) {
    for (let i = 0; i < segmentCount; ++i) {
      const segment = document.createElement("span");
      segment.className = "segment";
      meter.appendChild(segment);
    }
    meter.lit = 0;
  }

  function showMeter(meter, db) {
    meter.setAttribute("aria-valuenow", String(Math.max(-60, Math.min(0, db))));
    // 21 segments of 3 dB, as on the panel: the one at the top stands for 0 dB, each one
    // down for 3 dB less, and a segment is lit while it stands below the level.
    const lit = Math.max(0, Math.min(segmentCount, Math.ceil((db + 60) / 3)));
    if (lit === meter.lit)
      return;
    meter.lit = lit;
    Array.from(meter.children).forEach((segment, i) => segment.classList.toggle("on", i < lit));
  }

  //------------------------------------------------------------------------------------------
  // The Parametric EQ

  function buildBands(channel) {
    const holder = $(`bands${letters[channel]}`);
    const letter = letters[channel];
    for (let b = 1; b <= bandCount; ++b) {
      const card = document.createElement("div");
      card.className = "band";
      card.innerHTML = `
        <div class="bandHead">
          <span class="number">Band ${b}</span>
          <button type="button" class="toggle bandOn" aria-pressed="false"></button>
          <select></select>
        </div>
        <div class="control"><span class="what">Gain</span><input type="range" min="-15" max="15" step="0.5"><output></output></div>
        <div class="control"><span class="what">Freq.</span><input type="range" min="0" max="600" step="1"><output></output></div>
        <div class="control quality"><span class="what">Q</span><input type="range" min="0" max="100" step="1"><output></output></div>`;
      const on = card.querySelector(".bandOn");
      on.textContent = "On";
      on.setAttribute("aria-label", `Band ${b} on ${letter}`);
      const type = card.querySelector("select");
      type.setAttribute("aria-label", `Band ${b} type ${letter}`);
      typeNames.forEach((name, index) => type.add(new Option(name, String(index + 1))));
      const [gain, freq, q] = card.querySelectorAll("input");
      const [gainOut, freqOut, qOut] = card.querySelectorAll("output");
      const names = [[gain, gainOut, "gain"], [freq, freqOut, "frequency"], [q, qOut, "quality"]];
      names.forEach(([input, output, what]) => {
        input.id = `band${b}${what}${letter}`;
        input.setAttribute("aria-label", `Band ${b} ${what} ${letter}`);
        output.setAttribute("aria-label", `Band ${b} ${what} ${letter} value`);
      });

      on.addEventListener("click", () => {
        const now = on.getAttribute("aria-pressed") !== "true";
        send({ t: "band", ch: channel, b, on: now });
      });
      type.addEventListener("change", () => send({ t: "band", ch: channel, b, type: Number(type.value) }));
      bindSlider(gain, (v) => ({ t: "band", ch: channel, b, gain: v }));
      bindSlider(freq, (v) => ({ t: "band", ch: channel, b, freq: v }));
      bindSlider(q, (v) => ({ t: "band", ch: channel, b, q: v }));
      gain.addEventListener("input", () => { gainOut.textContent = signedDb(Number(gain.value)); });

      card.parts = { on, type, gain, freq, q, gainOut, freqOut, qOut, quality: card.querySelector(".quality") };
      holder.appendChild(card);
    }
  }

  function signedDb(value) {
    return `${value > 0 ? "+" : ""}${value.toFixed(1)} dB`;
  }

  function showPeq(channelState) {
    const channel = channelState.ch === 1 ? 1 : 0;
    peq[channel] = channelState;
    const cards = $(`bands${letters[channel]}`).children;
    channelState.bands.forEach((band, index) => {
      const p = cards[index].parts;
      setPressed(p.on, band.on);
      if (document.activeElement !== p.type)
        p.type.value = String(band.type);
      setSlider(p.gain, band.gain);
      setSlider(p.freq, band.freq);
      setSlider(p.q, band.q);
      if (!isBusy(p.gain))
        p.gainOut.textContent = signedDb(band.gain);
      p.freqOut.textContent = `${band.freqText} Hz`;
      p.qOut.textContent = band.qText;
      p.quality.hidden = !band.qShown;
    });

    if (channel === 0)
      $("showA").textContent = channelState.name;
    if (channel === 1) {
      $("showB").hidden = !channelState.shown;
      if (!channelState.shown && shownChannel === 1)
        showChannel(0);
    }
    if (channel === shownChannel) {
      setPressed($("bypass"), channelState.bypass);
      drawCurve();
    }
  }

  function showChannel(channel) {
    shownChannel = channel;
    setPressed($("showA"), channel === 0);
    setPressed($("showB"), channel === 1);
    $("bandsA").hidden = channel !== 0;
    $("bandsB").hidden = channel !== 1;
    $("bypass").setAttribute("aria-label", `Bypass ${letters[channel]}`);
    $("curve").setAttribute("aria-label", `Response curve ${letters[channel]}`);
    if (peq[channel] !== null)
      setPressed($("bypass"), peq[channel].bypass);
    drawCurve();
  }

  function xOfFrequency(freq, width) {
    return Math.log(Math.max(freq, 1e-5) / 20) / Math.log(1000) * width;
  }

  /** The desktop graph's picture: grid, the curve filled from the 0 dB line, the numbered
      bands above their frequencies. */
  function drawCurve() {
    const canvas = $("curve");
    const scale = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(canvas.clientWidth * scale));
    const height = Math.max(1, Math.round(canvas.clientHeight * scale));
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    const g = canvas.getContext("2d");
    g.fillStyle = "#000000";
    g.fillRect(0, 0, width, height);

    const yOf = (db) => height / 2 - (Math.max(-4 * dbRange, Math.min(4 * dbRange, db)) / dbRange) * (height / 2);
    g.lineWidth = Math.max(1, scale);
    g.font = `${Math.round(11 * scale)}px "DejaVu Sans", sans-serif`;
    g.fillStyle = "#a8a8a8";
    for (let db = -15; db <= 15; db += 5) {
      g.strokeStyle = db === 0 ? "#808080" : "#555555";
      g.beginPath();
      g.moveTo(0, Math.round(yOf(db)) + 0.5);
      g.lineTo(width, Math.round(yOf(db)) + 0.5);
      g.stroke();
      g.fillText(`${db > 0 ? "+" : ""}${db}`, 3 * scale, yOf(db) - 2 * scale);
    }
    [100, 1000, 10000].forEach((f, i) => {
      const x = Math.round(xOfFrequency(f, width)) + 0.5;
      g.strokeStyle = "#555555";
      g.beginPath();
      g.moveTo(x, 0);
      g.lineTo(x, height);
      g.stroke();
      g.fillText(["100", "1k", "10k"][i], x + 3 * scale, height - 4 * scale);
    });

    const state = peq[shownChannel];
    if (state === null)
      return;
    const points = state.curve;
    const colour = curveColours[shownChannel];
    if (points.length > 1) {
      const path = new Path2D();
      path.moveTo(0, yOf(points[0]));
      points.forEach((db, i) => path.lineTo((i / points.length) * width, yOf(db)));
      const area = new Path2D(path);
      area.lineTo(width, height / 2);
      area.lineTo(0, height / 2);
      area.closePath();
      g.fillStyle = colour;
      g.globalAlpha = 0.75;
      g.fill(area);
      g.globalAlpha = 1;
      g.strokeStyle = colour;
      g.lineWidth = 1.5 * scale;
      g.stroke(path);
    }

    state.bands.forEach((band, index) => {
      const x = xOfFrequency(band.hz, width);
      const r = 8 * scale;
      g.fillStyle = band.on ? "#fdbb30" : "#606060";
      g.beginPath();
      g.arc(x, r + 2 * scale, r, 0, 2 * Math.PI);
      g.fill();
      g.fillStyle = "#000000";
      g.textAlign = "center";
      g.fillText(String(index + 1), x, r + 6 * scale);
      g.textAlign = "start";
    });
  }

  //------------------------------------------------------------------------------------------
  // Presets

  function showSlots(message) {
    const list = $("slots");
    if (list.children.length === 0) {
      message.slots.forEach((slot) => {
        const item = document.createElement("li");
        const button = document.createElement("button");
        button.type = "button";
        button.setAttribute("aria-label", `Recall slot ${slot.n}`);
        button.innerHTML = '<span class="slotNumber"></span><span class="slotName"></span><span class="slotMode"></span>';
        button.addEventListener("click", () => askRecall(slot.n, button.querySelector(".slotName").textContent));
        item.appendChild(button);
        list.appendChild(item);
      });
    }
    message.slots.forEach((slot, index) => {
      const button = list.children[index].firstElementChild;
      button.querySelector(".slotNumber").textContent = String(slot.n);
      button.querySelector(".slotName").textContent = slot.name;
      button.querySelector(".slotMode").textContent = slot.mode;
    });
  }

  function askRecall(slot, name) {
    ask(`Recall slot ${slot}${name ? ` “${name}”` : ""}? The amplifier's settings are replaced by the preset's.`, "Recall",
        () => send({ t: "recall", slot }));
  }

  //------------------------------------------------------------------------------------------
  // Undo, redo and A/B, as the panel's buttons

  let historyState = null;

  function showHistory(state) {
    historyState = state;
    $("undo").disabled = !state.undo;
    $("redo").disabled = !state.redo;
    $("compare").disabled = !state.compare;
    $("copy").disabled = !state.copy;
    $("undo").title = state.undoTip;
    $("redo").title = state.redoTip;
    $("compare").title = state.compareTip;
    $("compare").dataset.memory = state.memory;
    $("copy").title = state.copyTip;
    $("copy").setAttribute("aria-label", state.copyTip || "Copy A onto B");
  }

  /** Sends `kind`; a step that changes the amplifier mode is asked about first, as the
      desktop asks, and then sent as agreed. */
  function historyAction(kind, changesMode) {
    if (historyState === null)
      return;
    if (changesMode !== null && historyState[changesMode])
      ask("Do you want to change the Amp-mode?", "Yes", () => send({ t: kind, mode: true }));
    else
      send({ t: kind });
  }

  //------------------------------------------------------------------------------------------
  // The question

  let onYes = null;

  function ask(text, yesLabel, action) {
    onYes = action;
    $("confirmText").textContent = text;
    $("confirmYes").textContent = yesLabel;
    $("confirm").hidden = false;
    $("confirmNo").focus();
  }

  function answer(yes) {
    $("confirm").hidden = true;
    const action = onYes;
    onYes = null;
    if (yes && action !== null)
      action();
  }

  //------------------------------------------------------------------------------------------
  // Pages and controls

  function showPage(page) {
    ["Levels", "Eq", "Presets"].forEach((name) => {
      const tab = $(`tab${name}`);
      const selected = name === page;
      tab.setAttribute("aria-selected", selected ? "true" : "false");
      $(tab.getAttribute("aria-controls")).hidden = !selected;
    });
    if (page === "Eq")
      drawCurve();
  }

  function start() {
    buildMeters();
    buildBands(0);
    buildBands(1);

    ["Levels", "Eq", "Presets"].forEach((name) => $(`tab${name}`).addEventListener("click", () => showPage(name)));
    showPage(window.matchMedia("(orientation: landscape)").matches ? "Eq" : "Levels");

    bindSlider($("gainA"), (v) => ({ t: "gain", ch: 0, db: v }));
    bindSlider($("gainB"), (v) => ({ t: "gain", ch: 1, db: v }));
    ["A", "B"].forEach((letter) => {
      $(`gain${letter}`).addEventListener("input", () => { $(`gain${letter}Text`).textContent = gainText(Number($(`gain${letter}`).value)); });
    });
    $("muteA").addEventListener("click", () => send({ t: "mute", ch: 0, on: $("muteA").getAttribute("aria-pressed") !== "true" }));
    $("muteB").addEventListener("click", () => send({ t: "mute", ch: 1, on: $("muteB").getAttribute("aria-pressed") !== "true" }));
    $("link").addEventListener("click", () => send({ t: "link", on: $("link").getAttribute("aria-pressed") !== "true" }));

    $("showA").addEventListener("click", () => showChannel(0));
    $("showB").addEventListener("click", () => showChannel(1));
    $("bypass").addEventListener("click", () => send({ t: "bypass", ch: shownChannel, on: $("bypass").getAttribute("aria-pressed") !== "true" }));

    $("undo").addEventListener("click", () => historyAction("undo", "undoMode"));
    $("redo").addEventListener("click", () => historyAction("redo", "redoMode"));
    $("compare").addEventListener("click", () => historyAction("compare", "compareMode"));
    $("copy").addEventListener("click", () => historyAction("copy", null));

    $("confirmYes").addEventListener("click", () => answer(true));
    $("confirmNo").addEventListener("click", () => answer(false));
    document.addEventListener("keydown", (event) => {
      if (event.key === "Escape" && !$("confirm").hidden)
        answer(false);
    });

    window.addEventListener("resize", drawCurve);
    showChannel(0);
    connect();
  }

  start();
})();

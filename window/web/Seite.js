// The page's side of the window services, run before the program starts. Its event handlers
// only queue what the user did; the program takes the queue at its next event processing. While
// the program waits for the page (to paint, for a click, or resting out its second), nothing
// here calls into it.
var Seite = {
  fensterElement: null,
  // The controls by name.
  elemente: {},
  // The clicks not yet delivered, in order: {klick: the button's code, nr: running number}.
  warteschlange: [],
  letzteNr: 0,
  // What naechstes gives when no click is queued; the program says what it is.
  keinKlick: 0,
  // Resolves the program's wait for a click while no run is active.
  wecker: null,
  geschlossen: false,
  beendet: false,
  fenster: function (f) {
    document.title = f.Beschriftung;
    // The caption with the icon, as a title bar above the client box: the page's heading.
    var leiste = document.createElement('header');
    var titel = document.createElement('h1');
    var icon = document.createElement('img');
    icon.src = document.querySelector('link[rel=icon]').href;
    icon.alt = '';
    titel.appendChild(icon);
    titel.appendChild(document.createTextNode(f.Beschriftung));
    var fenster = document.createElement('div');
    fenster.id = 'Fenster';
    leiste.appendChild(titel);
    fenster.appendChild(leiste);
    var box = document.createElement('main');
    box.id = 'frmGoldbach';
    box.setAttribute('aria-label', f.Beschriftung);
    box.style.width = f.Breite + 'px';
    box.style.height = f.Hoehe + 'px';
    Seite.keinKlick = f.KeinKlick;
    Seite.fokus = f.Fokus;
    // The names of the box the run writes into and of the button whose tag is the brake flag.
    Seite.namen = {textfeld: f.Textfeld, flagge: f.Flagge};
    Seite.fensterElement = box;
    fenster.appendChild(box);
    Seite.rahmen = document.createElement('div');
    Seite.rahmen.id = 'Rahmen';
    Seite.rahmen.appendChild(fenster);
  },
  // Where the viewport is narrower or lower than the window and its margin, the window is
  // scaled down as one picture, its layout unchanged; the frame takes the scaled size, since
  // a transform leaves the layout box at full size.
  einpassen: function () {
    var rahmen = Seite.rahmen, fenster = rahmen.firstChild;
    var rand = parseFloat(getComputedStyle(document.body).paddingLeft);
    var w = fenster.offsetWidth, h = fenster.offsetHeight, html = document.documentElement;
    var f = Math.min(1, (html.clientWidth - 2 * rand) / w, (html.clientHeight - 2 * rand) / h);
    fenster.style.transform = f < 1 ? 'scale(' + f + ')' : '';
    rahmen.style.width = w * f + 'px';
    rahmen.style.height = h * f + 'px';
  },
  // One control, made in tab order: a text box, or a button that queues its click code.
  element: function (e) {
    var el;
    if (e.Textfeld) {
      el = document.createElement('textarea');
      el.value = e.Inhalt.replace(/\r\n/g, '\n');
      el.spellcheck = false;
    } else {
      el = document.createElement('button');
      el.type = 'button';
      el.textContent = e.Inhalt;
      el.addEventListener('click', function () { Seite.einreihen(e.Klick); });
    }
    // What a screen reader calls the control; a button without one is called by its caption.
    if (e.Zugangsname) el.setAttribute('aria-label', e.Zugangsname);
    el.id = e.Name;
    el.dataset.tag = e.Tag;
    var s = el.style;
    s.left = e.Links + 'px';
    s.top = e.Oben + 'px';
    s.width = e.Breite + 'px';
    s.height = e.Hoehe + 'px';
    // The face the window names where the system has it, else the metric-compatible one
    // that the page carries.
    s.fontFamily = '"' + e.Schrift + '", "Wendelkamm Serif", serif';
    s.fontSize = e.Punkt + 'pt';
    s.fontWeight = String(e.Gewicht);
    s.fontStyle = e.Kursiv ? 'italic' : 'normal';
    s.textDecoration = [e.Unterstrichen ? 'underline' : '', e.Durchgestrichen ? 'line-through' : '']
      .join(' ').trim() || 'none';
    Seite.elemente[e.Name] = el;
    if (e.Name === Seite.namen.textfeld) Seite.textfeld = el;
    if (e.Name === Seite.namen.flagge) Seite.flagge = el;
    Seite.fensterElement.appendChild(el);
  },
  zeigen: function () {
    document.body.appendChild(Seite.rahmen);
    // What the run writes, to be heard: a polite log that no one sees, outside the window, so
    // that the window's picture and layout stay as they are.
    Seite.ansage = document.createElement('div');
    Seite.ansage.id = 'Ansage';
    Seite.ansage.setAttribute('role', 'log');
    Seite.ansage.setAttribute('aria-live', 'polite');
    document.body.appendChild(Seite.ansage);
    Seite.einpassen();
    window.addEventListener('resize', Seite.einpassen);
    Seite.uhrwerkBauen();
    // The note opens at its first line, with the focus where the definition puts it.
    Seite.elemente[Seite.fokus].focus();
    Seite.textfeld.setSelectionRange(0, 0);
    Seite.textfeld.scrollTop = 0;
    // Leaving the page ends every run; a page brought back from the browser's history
    // starts afresh.
    window.addEventListener('pagehide', function () {
      Seite.geschlossen = true;
      Seite.warteschlange = [];
      Seite.wecken();
    });
    window.addEventListener('pageshow', function (e) {
      if (e.persisted) location.reload();
    });
  },

  einreihen: function (klick) {
    if (Seite.geschlossen || Seite.beendet) return;
    Seite.warteschlange.push({klick: klick, nr: ++Seite.letzteNr});
    Seite.wecken();
  },

  wecken: function () {
    var w = Seite.wecker;
    Seite.wecker = null;
    if (w) w();
  },

  // The code of the next queued click up to number bis, taken from the queue.
  naechstes: function (bis) {
    var q = Seite.warteschlange;
    if (q.length === 0 || q[0].nr > bis) return Seite.keinKlick;
    return q.shift().klick;
  },

  // Resolves once the page has painted and handled the input that came before; a page that
  // is not shown paints no frames, so then it only lets the input through.
  malen: function () {
    return new Promise(function (fertig) {
      var kanal = new MessageChannel();
      kanal.port1.onmessage = function () { fertig(); };
      var uhr = null;
      var weiter = function () {
        if (!kanal) return;
        kanal.port2.postMessage(0);
        kanal = null;
        clearTimeout(uhr);
        document.removeEventListener('visibilitychange', weiter);
      };
      if (document.hidden) {
        weiter();
      } else {
        requestAnimationFrame(weiter);
        // A page hidden meanwhile, or one whose frames the browser holds back, goes on without.
        document.addEventListener('visibilitychange', weiter);
        uhr = setTimeout(weiter, 250);
      }
    });
  },

  // The program's event processing: the page takes the input that came before; the result is
  // the number of the last click queued by then, up to which the program delivers. It waits
  // for no frame: the page has painted after each of the program's writes, and paints while
  // the run rests.
  abgeben: function () {
    return new Promise(function (weiter) {
      var kanal = new MessageChannel();
      kanal.port1.onmessage = function () { weiter(Seite.letzteNr); };
      kanal.port2.postMessage(0);
    });
  },

  // No run is active: wait for the first click, or for the page to be left.
  abwarten: function () {
    return new Promise(function (weiter) {
      if (Seite.warteschlange.length > 0 || Seite.geschlossen) {
        weiter();
      } else {
        Seite.wecker = weiter;
      }
    }).then(function () { return Seite.letzteNr; });
  },

  // The program's rest during its one-second wait: until its time is up, then it resolves
  // with the time rested in seconds (performance.now(), which never goes back). The page
  // meanwhile paints, scrolls, takes typing into the box and answers other programs; a click
  // only queues, as at any time, for the run's next event processing. One rest at a time.
  ruhe: null,
  // A worker whose timer wakes the page: a hidden page's own timers are held back to a wake a
  // second, later a minute, a worker's are not. Made as the page opens, so that it has started
  // by the first rest; null where none can be made.
  uhrwerk: null,
  ruheUhr: null,
  ruhen: function (sekunden) {
    return new Promise(function (fertig) {
      var anfang = performance.now();
      Seite.ruhe = {anfang: anfang, ende: anfang + Math.max(0, sekunden) * 1000, fertig: fertig};
      Seite.ausgeruht();
    });
  },
  // At each wake: ends the rest whose time is up, else sets the next wake. Without the worker
  // the page's own timer wakes it, and a hidden page goes round its message queue until the
  // time is up, as its timers would wake it a second or more too late.
  ausgeruht: function () {
    var r = Seite.ruhe;
    if (!r) return;
    var jetzt = performance.now();
    clearTimeout(Seite.ruheUhr);
    if (jetzt >= r.ende) {
      Seite.ruhe = null;
      r.fertig((jetzt - r.anfang) / 1000);
      return;
    }
    var ms = Math.ceil(r.ende - jetzt);
    if (Seite.uhrwerk) {
      Seite.uhrwerk.postMessage(ms);
    } else if (document.hidden) {
      var kanal = new MessageChannel();
      kanal.port1.onmessage = Seite.ausgeruht;
      kanal.port2.postMessage(0);
    } else {
      Seite.ruheUhr = setTimeout(Seite.ausgeruht, ms);
    }
  },
  // The worker answers each number of milliseconds after as long. It is made from a Blob, as
  // the page is one file that also opens from disk; where the browser refuses it, at once or
  // once it has tried to start it, the page wakes itself.
  uhrwerkBauen: function () {
    try {
      var w = new Worker(URL.createObjectURL(new Blob(
        ['onmessage = function (e) { setTimeout(function () { postMessage(0); }, e.data); };'],
        {type: 'text/javascript'})));
      w.onmessage = Seite.ausgeruht;
      w.onerror = function () {
        Seite.uhrwerk = null;
        Seite.ausgeruht();
      };
      Seite.uhrwerk = w;
    } catch (e) {
      Seite.uhrwerk = null;
    }
    // Hidden or shown during a rest, a page without the worker is woken the other way.
    document.addEventListener('visibilitychange', function () {
      if (!Seite.uhrwerk) Seite.ausgeruht();
    });
  },

  // Local time of day in seconds since midnight.
  uhrzeit: function () {
    var d = new Date();
    return d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds() +
      d.getMilliseconds() / 1000;
  },

  // The box keeps line breaks as LF; the program writes and reads them as CR LF.
  text1Lesen: function () {
    return Seite.textfeld.value.replace(/\n/g, '\r\n');
  },

  text1Ersetzen: function (text) {
    Seite.textfeld.value = text.replace(/\r\n/g, '\n');
    Seite.neuesteZeile();
    Seite.ansagen(text, true);
  },
  // The run's line goes after whatever the box holds, what the user typed included.
  text1Anhaengen: function (zeile) {
    var t = Seite.textfeld;
    t.setRangeText(zeile.replace(/\r\n/g, '\n'), t.value.length, t.value.length, 'end');
    Seite.neuesteZeile();
    Seite.ansagen(zeile, false);
  },
  // The log holds the run's lines as the box holds them, each line an element of its own, so
  // that a screen reader speaks just the new one. A replaced text empties it first: the
  // question starts it afresh, and the clear says nothing (removals are not spoken). So it
  // never holds more than the box's block, and lines are only ever added between clears.
  ansagen: function (text, ersetzt) {
    var log = Seite.ansage;
    if (ersetzt) log.replaceChildren();
    text.split('\r\n').filter(Boolean).forEach(function (z) {
      var p = document.createElement('p');
      p.textContent = z;
      log.appendChild(p);
    });
  },
  // Keeps the newest line in view, with the caret after it.
  neuesteZeile: function () {
    var t = Seite.textfeld;
    t.setSelectionRange(t.value.length, t.value.length);
    t.scrollTop = t.scrollHeight;
  },
  tagLesen: function () {
    return Seite.flagge.dataset.tag;
  },
  tagSetzen: function (tag) {
    Seite.flagge.dataset.tag = tag;
  },
  // The unhandled run-time error: the message stands in the page, which takes no more input.
  laufzeitfehler: function (meldung) {
    Seite.beendet = true;
    Seite.warteschlange = [];
    Seite.textfeld.readOnly = true;
    for (var name in Seite.elemente) {
      if (Seite.elemente[name].tagName === 'BUTTON') Seite.elemente[name].disabled = true;
    }
    var kasten = document.createElement('div');
    kasten.id = 'Laufzeitfehler';
    kasten.setAttribute('role', 'alertdialog');
    kasten.setAttribute('aria-label', document.title);
    var text = document.createElement('p');
    text.textContent = meldung.replace(/\r\n/g, '\n');
    var ende = document.createElement('p');
    ende.className = 'ende';
    ende.textContent = 'Wendelkamm ist beendet. Laden Sie die Seite neu, um es neu zu starten.';
    kasten.appendChild(text);
    kasten.appendChild(ende);
    Seite.fensterElement.appendChild(kasten);
    kasten.tabIndex = -1;
    kasten.focus();
  },
};

// The page's side of the window services, run before the program starts. Its event handlers
// only queue what the user did; the program takes the queue at its next event processing. While
// the program waits for the page (to paint, or for a click), nothing here calls into it.
var Seite = {
  fensterElement: null,
  text1: null,
  knoepfe: {},
  // The clicks not yet delivered, in order: {art: 1 Start, 2 Notbremse, nr: running number}.
  warteschlange: [],
  letzteNr: 0,
  // Resolves the program's wait for a click while no run is active.
  wecker: null,
  geschlossen: false,
  beendet: false,
  vorgehalten: null,

  fenster: function (titel, breite, hoehe) {
    document.title = titel;
    var box = document.createElement('main');
    box.id = 'frmGoldbach';
    box.setAttribute('aria-label', titel);
    box.style.width = breite + 'px';
    box.style.height = hoehe + 'px';
    Seite.fensterElement = box;
  },

  element: function (name, art, links, oben, breite, hoehe, inhalt, tag, schrift, punkt,
                     gewicht, kursiv, unterstrichen, durchgestrichen) {
    var el;
    if (art === 0) {
      el = document.createElement('textarea');
      el.value = inhalt.replace(/\r\n/g, '\n');
      el.setAttribute('aria-label', name);
      el.spellcheck = false;
      Seite.text1 = el;
    } else {
      el = document.createElement('button');
      el.type = 'button';
      el.textContent = inhalt;
      var knopfArt = name === 'cmdStart' ? 1 : 2;
      el.addEventListener('click', function () { Seite.einreihen(knopfArt); });
      Seite.knoepfe[name] = el;
    }
    el.id = name;
    el.dataset.tag = tag;
    var s = el.style;
    s.left = links + 'px';
    s.top = oben + 'px';
    s.width = breite + 'px';
    s.height = hoehe + 'px';
    // The face the window names where the system has it, else the metric-compatible one
    // that the page carries.
    s.fontFamily = '"' + schrift + '", "Wendelkamm Serif", serif';
    s.fontSize = punkt + 'pt';
    s.fontWeight = String(gewicht);
    s.fontStyle = kursiv ? 'italic' : 'normal';
    s.textDecoration = [unterstrichen ? 'underline' : '', durchgestrichen ? 'line-through' : '']
      .join(' ').trim() || 'none';
    Seite.fensterElement.appendChild(el);
  },

  zeigen: function () {
    document.body.appendChild(Seite.fensterElement);
    // The note opens at its first line, with the focus in the text box.
    Seite.text1.focus();
    Seite.text1.setSelectionRange(0, 0);
    Seite.text1.scrollTop = 0;
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

  einreihen: function (art) {
    if (Seite.geschlossen || Seite.beendet) return;
    Seite.warteschlange.push({art: art, nr: ++Seite.letzteNr});
    Seite.wecken();
  },

  wecken: function () {
    var w = Seite.wecker;
    Seite.wecker = null;
    if (w) w();
  },

  // The next queued click up to number bis, taken from the queue; 0 when there is none.
  naechstes: function (bis) {
    var q = Seite.warteschlange;
    if (q.length === 0 || q[0].nr > bis) return 0;
    return q.shift().art;
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

  // The program's event processing: the page paints and takes input once; the result is the
  // number of the last click queued by then, up to which the program delivers.
  abgeben: function () {
    return Seite.malen().then(function () { return Seite.letzteNr; });
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

  // Local time of day in seconds since midnight.
  uhrzeit: function () {
    var d = new Date();
    return d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds() +
      d.getMilliseconds() / 1000;
  },

  // The box keeps line breaks as LF; the program writes and reads them as CR LF.
  text1Lesen: function () {
    return Seite.text1.value.replace(/\n/g, '\r\n');
  },

  text1Setzen: function (text) {
    var t = Seite.text1;
    var neu = text.replace(/\r\n/g, '\n');
    var alt = t.value;
    if (alt.length > 0 && neu.length > alt.length && neu.startsWith(alt)) {
      // The run appends a line: add just that line.
      t.setRangeText(neu.slice(alt.length), alt.length, alt.length, 'end');
    } else {
      t.value = neu;
    }
    // Keep the newest line in view.
    t.setSelectionRange(neu.length, neu.length);
    t.scrollTop = t.scrollHeight;
  },

  tagLesen: function () {
    return Seite.knoepfe.cmdNotbremse.dataset.tag;
  },

  tagSetzen: function (tag) {
    Seite.knoepfe.cmdNotbremse.dataset.tag = tag;
  },

  // Holds a text for the program to copy, and gives its length in UTF-8.
  vorhalten: function (text) {
    Seite.vorgehalten = text;
    return lengthBytesUTF8(text);
  },

  kopieren: function (ziel, laenge) {
    stringToUTF8(Seite.vorgehalten, ziel, laenge + 1);
    Seite.vorgehalten = null;
  },

  // The unhandled run-time error: the message stands in the page, which takes no more input.
  laufzeitfehler: function (meldung) {
    Seite.beendet = true;
    Seite.warteschlange = [];
    Seite.text1.readOnly = true;
    for (var name in Seite.knoepfe) Seite.knoepfe[name].disabled = true;
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

#!/usr/bin/python3
"""Finds program texts without an English half.

Every text the program shows is bilingual, "Deutsch##English", and goes through Translate.
This walks the string literals of the program's sources (adjacent literals joined, as the
compiler joins them) and reports
  - a bilingual text whose English half is empty or still German, and
  - a text without "##" that is German (umlauts, or German words from the list below).
A literal on a line carrying the comment "// verbatim" is a key or a name that a file, the
settings or a peer reads exactly as written; it is skipped.

usage: check_texts.py SOURCE_ROOT [--all]   (--all also lists every other spaced text)
Exit status 1 when something was found.
"""
import pathlib
import re
import sys

LAYERS = ["core", "logic", "services", "windows", "views", "input", "money", "exchange", "render", "app", "tools"]

# Proper names and fixed terms that read the same in both languages.
PROPER_NAMES = {
    "TERVALIS",
    "VALDA",  # the booking application
    "Deutsch",  # the language's own name in the language menu
    "dER",  # symbol: change of excess reserves (the German word list has "der")
    "DAS",  # dynamic aggregate supply, the curve's name in both languages
}

# German words that do not occur in English texts (ambiguous ones such as "was", "an",
# "so", "in", "die", "hat" are left out on purpose).
GERMAN_WORDS = set("""
und oder nicht der das des dem den ein eine einen einer eines ist sind wird werden wurde
wurden mit für von vom zum zur auf bei nach aus kein keine keinen noch nur sie bitte soll
sollen kann können alle alles neue neuen neuer neues bis über unter wie wenn dann nun
trotzdem jetzt hier ja nein abbrechen schließen drucken speichern laden öffnen hilfe datei
fenster periode perioden modell modells lösung lösen ergebnisse ergebnis rand linker rechter
linken rechten bisheriger analyserand analyseintervall tarifverhandlung tarifvertrag
geldpolitik aktive läuft zeile spalte wert werte keine möglich ungültig übernehmen
rückgängig einfügen kopieren löschen zurücksetzen ändern geändert änderung eingabe eingaben
ausgabe hinweis achtung fehler nicht zins zinssatz geldmenge einkommen nachfrage angebot
staat haushalte unternehmen ausland inland sektor sektoren gleichung gleichungen grafik
tabelle diagramm kurve kurven basislauf periodenlauf verzögerung sprung weiter zurück
aktuelle aktuellen gleichgewicht genauigkeit iterationen berechnung ermittlung abbruch
erwartung erwartungen einstellungen optionen ansicht bearbeiten anzeigen zeigen
schritt schritte übertragung buchung buchungen verbindung geschlossen geöffnet gespeichert
bereits wirklich sicher soll möchten wollen sollte muss müssen darf dürfen zwischen gegen
ohne über unten oben links rechts seite seiten druck drucker schrift farbe farben groß klein
mauszeiger liefert diagramminformationen modellergebnisse gleichungssystem startinfo
wechselkurs wechselkursabhängig preis preise lohn löhne beschäftigung arbeitslosigkeit
sonst mit runde bargeld kredite preisuntergrenze autonom
aufbereitung beenden bildschirm devisenmarkt englisch ergebnisdominanz gleichungsdominanz
halber neuberechnung komplette komplettes datenintervall kontensystem kreislaufanalyse
modellbau modelleingaben dauerhaft geldpolitikleiste erwartungsleiste periodendurchlauf
schnellgrafik sequenzanalyse sequenztabelle symbolverzeichnis vorheriges wertpapiermarkt
zahlenformat archivierend revolvierend verteilung analyseform arbeitsmarkt beide basisfenster
gleichrangig basisfensterpaar devisenbilanzsaldo erwartungsregeln funktionsleiste geldnachfrage
inhalt intervall nebeneinander multiplikator einfach zinserweitert nachkommastellen
vorkommastellen preisniveau ersparnis rechner restintervall sektorales flussdiagramm
kontenschema signalsound symbole anordnen strukturgrafik budgetsaldo tarifpolitikleiste
zinsniveau zinsuntergrenze
herleitung punkt pfad blendet zeigt setzt stapelt nichts legende intervallrand
""".split())

TOKEN = re.compile(
    r'//[^\n]*|/\*.*?\*/|R"([^(\s]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|\S',
    re.S,
)


def literals(text):
    """Yields (line, joined text, raw source line) for each run of adjacent literals."""
    pending = None
    for m in TOKEN.finditer(text):
        tok = m.group(0)
        line = text.count("\n", 0, m.start()) + 1
        if tok.startswith("//") or tok.startswith("/*"):
            continue
        if tok.startswith('"'):
            body = tok[1:-1]
            if pending is None:
                pending = [line, body]
            else:
                pending[1] += body
            continue
        if tok.startswith('R"'):
            continue
        if pending is not None:
            yield pending[0], pending[1]
            pending = None
    if pending is not None:
        yield pending[0], pending[1]


def unescape(s):
    return s.replace('\\"', '"').replace("\\n", " ").replace("\\r", " ").replace("\\t", " ")


def german(s):
    if re.search(r"[äöüÄÖÜß]", s):
        return True
    words = re.findall(r"[A-Za-zäöüÄÖÜß]+", s)
    return any(w.lower() in GERMAN_WORDS for w in words if w not in PROPER_NAMES)


def main():
    root = pathlib.Path(sys.argv[1])
    show_all = "--all" in sys.argv
    found = 0
    for layer in LAYERS:
        for path in sorted((root / layer).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            text = path.read_text(encoding="utf-8")
            lines = text.split("\n")
            for line, raw in literals(text):
                src = lines[line - 1]
                if "// verbatim" in src or src.lstrip().startswith("#include"):
                    continue
                s = unescape(raw)
                rel = path.relative_to(root)
                if "##" in s:
                    english = s.split("##", 1)[1]
                    if not english.strip() and s.split("##", 1)[0].strip():
                        print(f"{rel}:{line}: no English half: {s}")
                        found += 1
                    elif german(english):
                        print(f"{rel}:{line}: English half is German: {s}")
                        found += 1
                elif german(s):
                    print(f"{rel}:{line}: German only: {s}")
                    found += 1
                elif show_all and " " in s.strip() and re.search(r"[A-Za-z]{3}", s):
                    print(f"{rel}:{line}: (check) {s}")
    if found:
        print(f"{found} texts without an English half")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Columns</name>
    <message>
        <source>No.</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Hash</source>
        <translation>Hash</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>File1</source>
        <translation>Datei1</translation>
    </message>
    <message>
        <source>File2</source>
        <translation>Datei2</translation>
    </message>
    <message>
        <source>Similarity(%)</source>
        <translation>Ähnlichkeit(%)</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>Inhalt</translation>
    </message>
</context>
<context>
    <name>Deletion</name>
    <message>
        <source>Nothing is ticked: no file will go to the trash.</source>
        <translation>Nichts ist angehakt: keine Datei kommt in den Papierkorb.</translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s) will go to the trash.</source>
        <translation>
            <numerusform>Eine Datei kommt in den Papierkorb.</numerusform>
            <numerusform>%Ln Dateien kommen in den Papierkorb.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s) could not be moved to the trash:</source>
        <translation>
            <numerusform>Eine Datei konnte nicht in den Papierkorb verschoben werden:</numerusform>
            <numerusform>%Ln Dateien konnten nicht in den Papierkorb verschoben werden:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Twinsift - by https://twinsift.example.org</source>
        <translation>Twinsift - von https://twinsift.example.org</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Enable Image Preview</source>
        <translation>Bildvorschau</translation>
    </message>
    <message>
        <source>Edit Keywords</source>
        <translation>Stichwörter</translation>
    </message>
    <message>
        <source>Display Comparison Info</source>
        <translation>Vergleichsinfo zeigen</translation>
    </message>
    <message>
        <source>Similarity</source>
        <translation>Ähnlichkeit</translation>
    </message>
    <message>
        <source>30%</source>
        <translation>30%</translation>
    </message>
    <message>
        <source>Similarity threshold in percent</source>
        <translation>Ähnlichkeitsschwelle in Prozent</translation>
    </message>
    <message>
        <source>90%</source>
        <translation>90%</translation>
    </message>
    <message>
        <source>Progress ...</source>
        <translation>Fortschritt ...</translation>
    </message>
    <message>
        <source>More information</source>
        <translation>Weitere Informationen</translation>
    </message>
    <message>
        <source>&amp;List Files</source>
        <translation>&amp;Dateien auflisten</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>L&amp;eeren</translation>
    </message>
    <message>
        <source>&amp;Find Duplicates</source>
        <translation>Du&amp;plikate finden</translation>
    </message>
    <message>
        <source>&amp;Switch Items</source>
        <translation>&amp;Tauschen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>List index is stored here</source>
        <translation>Hier steht der Listenindex</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>The folder %1 cannot be read: %2</source>
        <translation>Der Ordner %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%Ln folder(s) or file(s) could not be read and were not searched:</source>
        <translation>
            <numerusform>Ein Ordner oder eine Datei konnte nicht gelesen werden und wurde nicht durchsucht:</numerusform>
            <numerusform>%Ln Ordner oder Dateien konnten nicht gelesen werden und wurden nicht durchsucht:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folder(s) or file(s) could not be read and were not listed:</source>
        <translation>
            <numerusform>Ein Ordner oder eine Datei konnte nicht gelesen werden und wurde nicht aufgelistet:</numerusform>
            <numerusform>%Ln Ordner oder Dateien konnten nicht gelesen werden und wurden nicht aufgelistet:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s)</source>
        <translation>
            <numerusform>%Ln Datei</numerusform>
            <numerusform>%Ln Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NamedList</name>
    <message numerus="yes">
        <source>and %Ln more.</source>
        <translation>
            <numerusform>und %Ln weitere.</numerusform>
            <numerusform>und %Ln weitere.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Preview</name>
    <message>
        <source>not a picture</source>
        <translation>kein Bild</translation>
    </message>
    <message>
        <source>%1 x %2 pixels is too large to preview</source>
        <translation>%1 x %2 Pixel sind zu groß für die Vorschau</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>Image size(%1 x %2)</source>
        <translation>Bildgröße(%1 x %2)</translation>
    </message>
</context>
<context>
    <name>StartFolder</name>
    <message>
        <source>HOMEDRIVE (%1) is not a folder</source>
        <translation>HOMEDRIVE (%1) ist kein Ordner</translation>
    </message>
    <message>
        <source>USERPROFILE (%1) is not a folder</source>
        <translation>USERPROFILE (%1) ist kein Ordner</translation>
    </message>
    <message>
        <source>Starting in %1: %2.</source>
        <translation>Start in %1: %2.</translation>
    </message>
</context>
<context>
    <name>Statistics</name>
    <message>
        <source>Total files = %1</source>
        <translation>Dateien gesamt = %1</translation>
    </message>
    <message>
        <source>Total comparisons = %1</source>
        <translation>Vergleiche gesamt = %1</translation>
    </message>
    <message>
        <source>Elapsed time in seconds - %1</source>
        <translation>Verstrichene Zeit in Sekunden - %1</translation>
    </message>
</context>
<context>
    <name>twinsift</name>
    <message numerus="yes">
        <source>Left in the trash: %Ln file(s)</source>
        <translation>
            <numerusform>Im Papierkorb geblieben: eine Datei</numerusform>
            <numerusform>Im Papierkorb geblieben: %Ln Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>The files are back, but:</source>
        <translation>Die Dateien sind zurück, aber:</translation>
    </message>
    <message numerus="yes">
        <source>Ticked %Ln file(s) in %1; %2</source>
        <translation>
            <numerusform>%Ln Datei in %1 angehakt; %2</numerusform>
            <numerusform>%Ln Dateien in %1 angehakt; %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln pair(s)</source>
        <translation>
            <numerusform>%Ln Paar</numerusform>
            <numerusform>%Ln Paaren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln pair(s) left alone</source>
        <translation>
            <numerusform>%Ln Paar unberührt</numerusform>
            <numerusform>%Ln Paare unberührt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No longer in the trash: %Ln file(s)</source>
        <translation>
            <numerusform>Nicht mehr im Papierkorb: eine Datei</numerusform>
            <numerusform>Nicht mehr im Papierkorb: %Ln Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %Ln of them as their contents are not known to be the same</source>
        <translation>
            <numerusform>, %Ln davon, weil sein Inhalt nicht als gleich bekannt ist</numerusform>
            <numerusform>, %Ln davon, weil ihre Inhalte nicht als gleich bekannt sind</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift-cli</name>
    <message>
        <source>Try &apos;twinsift-cli --help&apos;.</source>
        <translation>Siehe &apos;twinsift-cli --help&apos;.</translation>
    </message>
    <message>
        <source>a command is needed: list or dups</source>
        <translation>ein Befehl fehlt: list oder dups</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>unbekannter Befehl &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a folder cannot be empty</source>
        <translation>ein Ordner darf nicht leer sein</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert</translation>
    </message>
    <message>
        <source>--format takes tsv, csv or jsonl, not &apos;%1&apos;</source>
        <translation>--format nimmt tsv, csv oder jsonl, nicht &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--threshold takes a whole percent from 30 to 90, not &apos;%1&apos;</source>
        <translation>--threshold nimmt ganze Prozent von 30 bis 90, nicht &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos; for %2</source>
        <translation>unbekannte Option &apos;%1&apos; für %2</translation>
    </message>
    <message>
        <source>--null goes with --from</source>
        <translation>--null gehört zu --from</translation>
    </message>
    <message>
        <source>dups takes a folder or --from, not both</source>
        <translation>dups nimmt einen Ordner oder --from, nicht beides</translation>
    </message>
    <message>
        <source>a folder is needed</source>
        <translation>ein Ordner fehlt</translation>
    </message>
    <message>
        <source>dups takes one folder</source>
        <translation>dups nimmt einen Ordner</translation>
    </message>
    <message>
        <source>cannot read folder %1: %2</source>
        <translation>Ordner %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>skipped %1: %2</source>
        <translation>übersprungen %1: %2</translation>
    </message>
    <message numerus="yes">
        <source>skipped %n entry(s) that could not be read</source>
        <translation>
            <numerusform>einen unlesbaren Eintrag übersprungen</numerusform>
            <numerusform>%n unlesbare Einträge übersprungen</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot write the rows: %1</source>
        <translation>die Zeilen können nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>cannot read the keyword file %1: %2</source>
        <translation>die Stichwortdatei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cannot read the listing %1: %2</source>
        <translation>die Liste %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the listing %1 holds NUL bytes, which no path can hold; give --null if its entries end in NUL, as find -print0 writes them</source>
        <translation>die Liste %1 enthält NUL-Bytes, die kein Pfad enthalten kann; mit --null enden ihre Einträge auf NUL, wie find -print0 sie schreibt</translation>
    </message>
    <message>
        <source>cannot write the help text: %1</source>
        <translation>der Hilfetext kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>%1 needs a file name</source>
        <translation>%1 braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>--from takes one listing</source>
        <translation>--from nimmt eine Liste</translation>
    </message>
    <message numerus="yes">
        <source>the listing is incomplete: %n folder(s) could not be opened for lack of file descriptors (see ulimit -n)</source>
        <translation>
            <numerusform>die Auflistung ist unvollständig: ein Ordner konnte mangels Dateideskriptoren nicht geöffnet werden (siehe ulimit -n)</numerusform>
            <numerusform>die Auflistung ist unvollständig: %n Ordner konnten mangels Dateideskriptoren nicht geöffnet werden (siehe ulimit -n)</numerusform>
        </translation>
    </message>
    <message>
        <source>entry %1 of the listing %2 is longer than a path can be (4096 bytes)</source>
        <translation>Eintrag %1 der Liste %2 ist länger, als ein Pfad sein kann (4096 Bytes)</translation>
    </message>
    <message>
        <source>line %1 of the listing %2 is longer than a path can be (4096 bytes)</source>
        <translation>Zeile %1 der Liste %2 ist länger, als ein Pfad sein kann (4096 Bytes)</translation>
    </message>
    <message>
        <source>entry %1 of the listing %2 has a name longer than a name can be (255 bytes)</source>
        <translation>Eintrag %1 der Liste %2 hat einen Namen, der länger ist, als ein Name sein kann (255 Bytes)</translation>
    </message>
    <message>
        <source>line %1 of the listing %2 has a name longer than a name can be (255 bytes)</source>
        <translation>Zeile %1 der Liste %2 hat einen Namen, der länger ist, als ein Name sein kann (255 Bytes)</translation>
    </message>
    <message numerus="yes">
        <source>skipped %n repeated path(s) of the listing</source>
        <translation>
            <numerusform>einen wiederholten Pfad der Liste übersprungen</numerusform>
            <numerusform>%n wiederholte Pfade der Liste übersprungen</numerusform>
        </translation>
    </message>
    <message>
        <source>Usage:
  twinsift-cli list [--format tsv|csv|jsonl] FOLDER...
  twinsift-cli dups [--threshold PERCENT] [--keywords FILE] [--stats] [--content]
                    [--format tsv|csv|jsonl] FOLDER
  twinsift-cli dups [options] --from FILE|- [--null]

list  prints every file under the folders: No., Filename, Size, Hash, Path.
      Several folders are numbered on, one after the other.
dups  prints the pairs of files whose extension keys match and whose name stems are
      more alike than PERCENT (30 to 90, default 60): No., File1, File2,
      Similarity(%).

Options:
  --format F      tsv (default), csv or jsonl; every format starts with a header row
  --threshold P   the similarity slider, a whole percent from 30 to 90
  --keywords F    the keyword file. By default Keywords.txt beside the program when
                  the user may write that folder, else (for an installed program)
                  $XDG_CONFIG_HOME/twinsift/Keywords.txt (~/.config/twinsift/...);
                  a missing default file means no keywords
  --stats         write the statistics of the search to standard error
  --content       compare the contents of each pair&apos;s files: a fifth column
                  Content says same, different or unreadable (why, on standard
                  error once a file)
  --from F        compare the paths listed in file F (- for standard input) instead
                  of walking a folder; nothing else is read from disk. One path a
                  line; a CR before the line end is dropped; empty lines are skipped
  --null          entries in the --from listing end in NUL (find -print0); nothing
                  is dropped from them
  --              every argument after it is a folder
  -h, --help      show this text

Exit status: 0 on success, 1 when a folder, the listing or the keyword file cannot
be read, 2 on a usage error. Folders inside the tree that cannot be read are
skipped with a warning on standard error.
</source>
        <translation>Aufruf:
  twinsift-cli list [--format tsv|csv|jsonl] ORDNER...
  twinsift-cli dups [--threshold PROZENT] [--keywords DATEI] [--stats] [--content]
                    [--format tsv|csv|jsonl] ORDNER
  twinsift-cli dups [Optionen] --from DATEI|- [--null]

list  gibt jede Datei unter den Ordnern aus: No., Filename, Size, Hash, Path.
      Mehrere Ordner werden fortlaufend nummeriert.
dups  gibt die Dateipaare aus, deren Endungsschlüssel gleich sind und deren Namensstämme
      ähnlicher sind als PROZENT (30 bis 90, Vorgabe 60): No., File1, File2,
      Similarity(%).

Optionen:
  --format F      tsv (Vorgabe), csv oder jsonl; jedes Format beginnt mit einer Kopfzeile
  --threshold P   der Ähnlichkeitsregler, ganze Prozent von 30 bis 90
  --keywords F    die Stichwortdatei. Ohne sie Keywords.txt neben dem Programm, wenn
                  der Benutzer diesen Ordner schreiben darf, sonst (installiert)
                  $XDG_CONFIG_HOME/twinsift/Keywords.txt (~/.config/twinsift/...);
                  fehlt diese Datei, gibt es keine Stichwörter
  --stats         schreibt die Statistik der Suche in die Standardfehlerausgabe
  --content       vergleicht die Inhalte der beiden Dateien jedes Paars: eine fünfte
                  Spalte Content sagt same, different oder unreadable (warum, einmal je
                  Datei in der Standardfehlerausgabe)
  --from F        vergleicht die in Datei F (- für die Standardeingabe) aufgeführten
                  Pfade, statt einen Ordner zu durchlaufen; sonst wird nichts gelesen.
                  Ein Pfad je Zeile; ein CR vor dem Zeilenende entfällt; leere Zeilen
                  werden übersprungen
  --null          die Einträge der --from-Liste enden auf NUL (find -print0); nichts
                  wird von ihnen entfernt
  --              jedes Argument danach ist ein Ordner
  -h, --help      zeigt diesen Text

Rückgabewert: 0 bei Erfolg, 1 wenn ein Ordner, die Liste oder die Stichwortdatei nicht
gelesen werden kann, 2 bei falschem Aufruf. Unlesbare Ordner im Baum werden mit einer
Warnung in der Standardfehlerausgabe übersprungen.
</translation>
    </message>
    <message>
        <source>--content reads the files, and a --from listing has none</source>
        <translation>--content liest die Dateien, und eine --from-Liste hat keine</translation>
    </message>
    <message>
        <source>cannot compare the contents of %1: %2</source>
        <translation>kann die Inhalte von %1 nicht vergleichen: %2</translation>
    </message>
</context>
<context>
    <name>twinsift::CompareJob</name>
    <message>
        <source>Comparing contents</source>
        <translation>Inhalte werden verglichen</translation>
    </message>
</context>
<context>
    <name>twinsift::ContentVerdict</name>
    <message>
        <source>same</source>
        <translation>gleich</translation>
    </message>
    <message>
        <source>different</source>
        <translation>verschieden</translation>
    </message>
    <message>
        <source>unreadable: %1</source>
        <translation>nicht lesbar: %1</translation>
    </message>
    <message>
        <source>changed since it was listed</source>
        <translation>seit der Auflistung geändert</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
</context>
<context>
    <name>twinsift::FolderModel</name>
    <message>
        <source>Reading...</source>
        <translation>Wird gelesen ...</translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation>Nicht lesbar: %1</translation>
    </message>
</context>
<context>
    <name>twinsift::FolderTree</name>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Type or paste a folder and press Enter</source>
        <translation>Ordner eingeben oder einfügen und Enter drücken</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>The folder to list or search</source>
        <translation>Der Ordner, der aufgelistet oder durchsucht wird</translation>
    </message>
</context>
<context>
    <name>twinsift::Form1</name>
    <message>
        <source>Stopping...</source>
        <translation>Wird angehalten...</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is missing: no keywords are left out.</source>
        <translation>%1 fehlt: keine Stichwörter werden ausgelassen.</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2): no keywords are left out.</source>
        <translation>%1 kann nicht gelesen werden (%2): keine Stichwörter werden ausgelassen.</translation>
    </message>
    <message>
        <source>Unable to open.</source>
        <translation>Kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>%1 is no longer a folder. Choose another folder.</source>
        <translation>%1 ist kein Ordner mehr. Wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>The folder %1 no longer exists. Choose another folder.</source>
        <translation>Der Ordner %1 existiert nicht mehr. Wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>The list holds the pairs of too many searches: press Clear first.</source>
        <translation>Die Liste enthält die Paare zu vieler Suchen: drücken Sie zuerst Leeren.</translation>
    </message>
    <message>
        <source>Listing stopped: the files found so far stay in the list.</source>
        <translation>Auflisten angehalten: die bisher gefundenen Dateien bleiben in der Liste.</translation>
    </message>
    <message>
        <source>Search stopped: the pairs found so far stay in the list.</source>
        <translation>Suche angehalten: die bisher gefundenen Paare bleiben in der Liste.</translation>
    </message>
    <message numerus="yes">
        <source>The search found %Ln pair(s), more than the list can hold: it shows the first %L1 of them. Raise the Similarity slider or add keywords to find fewer pairs.</source>
        <translation>
            <numerusform>Die Suche fand ein Paar, mehr als die Liste fassen kann: sie zeigt die ersten %L1. Erhöhen Sie die Ähnlichkeit oder ergänzen Sie Stichwörter, um weniger Paare zu finden.</numerusform>
            <numerusform>Die Suche fand %Ln Paare, mehr als die Liste fassen kann: sie zeigt die ersten %L1. Erhöhen Sie die Ähnlichkeit oder ergänzen Sie Stichwörter, um weniger Paare zu finden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The list already holds %L1 rows, the most it can: none of the %Ln pair(s) the search found could be added. Press Clear first.</source>
        <translation>
            <numerusform>Die Liste enthält schon %L1 Zeilen, so viele wie möglich: das gefundene Paar konnte nicht hinzugefügt werden. Drücken Sie zuerst Leeren.</numerusform>
            <numerusform>Die Liste enthält schon %L1 Zeilen, so viele wie möglich: keines der %Ln gefundenen Paare konnte hinzugefügt werden. Drücken Sie zuerst Leeren.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Deleting stopped: %Ln file(s) had been moved to the trash:</source>
        <translation>
            <numerusform>Löschen angehalten: eine Datei war schon in den Papierkorb verschoben:</numerusform>
            <numerusform>Löschen angehalten: %Ln Dateien waren schon in den Papierkorb verschoben:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s) moved to the trash; Ctrl+Z restores them.</source>
        <translation>
            <numerusform>Eine Datei in den Papierkorb verschoben; Strg+Z holt sie zurück.</numerusform>
            <numerusform>%Ln Dateien in den Papierkorb verschoben; Strg+Z holt sie zurück.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s) restored.</source>
        <translation>
            <numerusform>Eine Datei wiederhergestellt.</numerusform>
            <numerusform>%Ln Dateien wiederhergestellt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Can&apos;t read image</source>
        <translation>Bild nicht lesbar</translation>
    </message>
    <message>
        <source>%1: the picture is incomplete</source>
        <translation>%1: das Bild ist unvollständig</translation>
    </message>
    <message>
        <source>Select a pair first: Switch Items swaps its two files.</source>
        <translation>Wählen Sie zuerst ein Paar: Tauschen vertauscht seine beiden Dateien.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>Click *Yes* to delete files</source>
        <translation>Klicken Sie auf *Ja*, um die Dateien zu löschen</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
    <message>
        <source>Image preview</source>
        <translation>Bildvorschau</translation>
    </message>
    <message>
        <source>Similarity</source>
        <translation>Ähnlichkeit</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Message line</source>
        <translation>Meldungszeile</translation>
    </message>
    <message>
        <source>Music player</source>
        <translation>Musikspieler</translation>
    </message>
    <message>
        <source>Files or pairs of alike names; Space ticks a row, Enter opens its file</source>
        <translation>Dateien oder Paare ähnlicher Namen; die Leertaste hakt eine Zeile an, die Eingabetaste öffnet ihre Datei</translation>
    </message>
    <message>
        <source>How alike two names must be, in percent</source>
        <translation>Wie ähnlich zwei Namen sein müssen, in Prozent</translation>
    </message>
    <message>
        <source>This cannot be stopped halfway: it ends by itself soon.</source>
        <translation>Dies lässt sich nicht mittendrin anhalten: es endet bald von selbst.</translation>
    </message>
    <message>
        <source>Start stopped: type or paste a folder above the tree.</source>
        <translation>Start angehalten: geben Sie einen Ordner über der Baumansicht ein.</translation>
    </message>
    <message>
        <source>Stopped: %1 was not walked.</source>
        <translation>Angehalten: %1 wurde nicht durchlaufen.</translation>
    </message>
    <message>
        <source>Can&apos;t read image: %1</source>
        <translation>Bild kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>%1 is not a file that can be played.</source>
        <translation>%1 ist keine Datei, die abgespielt werden kann.</translation>
    </message>
    <message>
        <source>Show the whole message</source>
        <translation>Die ganze Meldung zeigen</translation>
    </message>
    <message>
        <source>Folder to list or search</source>
        <translation>Ordner zum Auflisten oder Durchsuchen</translation>
    </message>
    <message>
        <source>Comparing stopped: the contents compared so far are shown.</source>
        <translation>Vergleich angehalten: die bisher verglichenen Inhalte werden angezeigt.</translation>
    </message>
    <message numerus="yes">
        <source>Compared the contents of %Ln pair(s): %1 the same, %2 different, %3 could not be compared</source>
        <translation>
            <numerusform>Inhalte von %Ln Paar verglichen: %1 gleich, %2 verschieden, %3 nicht vergleichbar</numerusform>
            <numerusform>Inhalte von %Ln Paaren verglichen: %1 gleich, %2 verschieden, %3 nicht vergleichbar</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::Likeness</name>
    <message numerus="yes">
        <source>%1 / %2: %Ln shared letter pair(s) of %3 and %4 -&gt; %5 %</source>
        <translation>
            <numerusform>%1 / %2: %Ln gemeinsames Buchstabenpaar von %3 und %4 -&gt; %5 %</numerusform>
            <numerusform>%1 / %2: %Ln gemeinsame Buchstabenpaare von %3 und %4 -&gt; %5 %</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::MusicPanel</name>
    <message>
        <source>Previous</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <source>Can&apos;t play %1: %2</source>
        <translation>%1 kann nicht abgespielt werden: %2</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
</context>
<context>
    <name>twinsift::PathCheck</name>
    <message>
        <source>Looking at %1</source>
        <translation>Prüfe %1</translation>
    </message>
</context>
<context>
    <name>twinsift::RestoreJob</name>
    <message numerus="yes">
        <source>Restoring %Ln file(s)</source>
        <translation>
            <numerusform>Eine Datei wird wiederhergestellt</numerusform>
            <numerusform>%Ln Dateien werden wiederhergestellt</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::ResultModel</name>
    <message>
        <source>Content: %1</source>
        <translation>Inhalt: %1</translation>
    </message>
</context>
<context>
    <name>twinsift::RowActions</name>
    <message>
        <source>%1 is no longer there.</source>
        <translation>%1 ist nicht mehr da.</translation>
    </message>
    <message>
        <source>Unable to open %1.</source>
        <translation>%1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The folder of %1 is no longer there.</source>
        <translation>Der Ordner von %1 ist nicht mehr da.</translation>
    </message>
    <message numerus="yes">
        <source>%Ln path(s) copied: %1</source>
        <translation>
            <numerusform>Pfad kopiert: %1</numerusform>
            <numerusform>%Ln Pfade kopiert: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::RowMenu</name>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open Containing &amp;Folder</source>
        <translation>&amp;Ordner öffnen</translation>
    </message>
    <message>
        <source>&amp;Copy Path</source>
        <translation>Pfad &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Tick in Every Pair</source>
        <translation>In jedem Paar &amp;anhaken</translation>
    </message>
    <message>
        <source>The &amp;Copy</source>
        <comment>tick rule</comment>
        <translation>Die &amp;Kopie</translation>
    </message>
    <message>
        <source>The &amp;Newer File</source>
        <comment>tick rule</comment>
        <translation>Die &amp;neuere Datei</translation>
    </message>
    <message>
        <source>The &amp;Older File</source>
        <comment>tick rule</comment>
        <translation>Die ä&amp;ltere Datei</translation>
    </message>
    <message>
        <source>The &amp;Longer Name</source>
        <comment>tick rule</comment>
        <translation>Den l&amp;ängeren Namen</translation>
    </message>
    <message>
        <source>Files &amp;Under This Folder</source>
        <comment>tick rule</comment>
        <translation>Dateien &amp;in diesem Ordner</translation>
    </message>
    <message>
        <source>Files Out&amp;side This Folder</source>
        <comment>tick rule</comment>
        <translation>Dateien a&amp;ußerhalb dieses Ordners</translation>
    </message>
    <message>
        <source>U&amp;ntick All</source>
        <translation>Alle Häkchen &amp;entfernen</translation>
    </message>
    <message>
        <source>&amp;Restore Last Deletion</source>
        <translation>Letztes Löschen &amp;rückgängig</translation>
    </message>
    <message>
        <source>Co&amp;mpare Contents</source>
        <translation>Inhalte &amp;vergleichen</translation>
    </message>
    <message>
        <source>Only Where Contents Are the S&amp;ame</source>
        <translation>Nur wo die Inhalte &amp;gleich sind</translation>
    </message>
</context>
<context>
    <name>twinsift::RuleJob</name>
    <message numerus="yes">
        <source>Reading %Ln file(s)</source>
        <translation>
            <numerusform>Eine Datei wird gelesen</numerusform>
            <numerusform>%Ln Dateien werden gelesen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::StartJob</name>
    <message>
        <source>Starting</source>
        <translation>Starte</translation>
    </message>
</context>
<context>
    <name>twinsift::TrashJob</name>
    <message numerus="yes">
        <source>%L1 of %Ln file(s)</source>
        <translation>
            <numerusform>%L1 von %Ln Datei</numerusform>
            <numerusform>%L1 von %Ln Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::trash</name>
    <message>
        <source>it is no longer there: moved, renamed or deleted since it was listed</source>
        <translation>sie ist nicht mehr da: seit dem Auflisten verschoben, umbenannt oder gelöscht</translation>
    </message>
    <message>
        <source>permission denied: its folder does not let it be moved</source>
        <translation>Zugriff verweigert: ihr Ordner lässt das Verschieben nicht zu</translation>
    </message>
    <message>
        <source>its file system is read-only</source>
        <translation>ihr Dateisystem ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the trash cannot be written (%1): %2</source>
        <translation>in den Papierkorb kann nicht geschrieben werden (%1): %2</translation>
    </message>
    <message>
        <source>it is a folder now, not the listed file</source>
        <translation>sie ist jetzt ein Ordner, nicht die aufgelistete Datei</translation>
    </message>
    <message>
        <source>its record in the trash is missing</source>
        <translation>ihr Eintrag im Papierkorb fehlt</translation>
    </message>
    <message>
        <source>its record in the trash is damaged</source>
        <translation>ihr Eintrag im Papierkorb ist beschädigt</translation>
    </message>
    <message>
        <source>it is no longer in the trash</source>
        <translation>sie ist nicht mehr im Papierkorb</translation>
    </message>
    <message>
        <source>its folder is gone</source>
        <translation>ihr Ordner ist weg</translation>
    </message>
    <message>
        <source>another file has taken its place</source>
        <translation>eine andere Datei steht an ihrem Platz</translation>
    </message>
    <message>
        <source>it is back, but its record stays in the trash: %1</source>
        <translation>sie ist zurück, aber ihr Eintrag bleibt im Papierkorb: %1</translation>
    </message>
    <message>
        <source>a folder on its path was replaced by a link since it was listed</source>
        <translation>ein Ordner auf ihrem Pfad wurde seit dem Auflisten durch eine Verknüpfung ersetzt</translation>
    </message>
    <message>
        <source>the trash folder %1 is not used: %2</source>
        <translation>der Papierkorbordner %1 wird nicht benutzt: %2</translation>
    </message>
    <message>
        <source>it is a link or not a folder</source>
        <translation>er ist eine Verknüpfung oder kein Ordner</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>other users may open it (mode %1)</source>
        <translation>andere Benutzer dürfen ihn öffnen (Modus %1)</translation>
    </message>
    <message>
        <source>the trash folder %1 is now a link</source>
        <translation>der Papierkorbordner %1 ist jetzt eine Verknüpfung</translation>
    </message>
    <message>
        <source>the trash folder %1 is gone</source>
        <translation>der Papierkorbordner %1 ist nicht mehr da</translation>
    </message>
    <message>
        <source>the trash folder %1 was replaced</source>
        <translation>der Papierkorbordner %1 wurde ersetzt</translation>
    </message>
    <message>
        <source>the top folder of its volume cannot be found</source>
        <translation>der oberste Ordner ihres Datenträgers ist nicht zu finden</translation>
    </message>
    <message>
        <source>what it was when listed is not known</source>
        <translation>was sie beim Auflisten war, ist nicht bekannt</translation>
    </message>
    <message>
        <source>it was replaced since it was listed</source>
        <translation>sie wurde seit dem Auflisten ersetzt</translation>
    </message>
    <message>
        <source>it changed since it was listed</source>
        <translation>sie hat sich seit dem Auflisten geändert</translation>
    </message>
    <message>
        <source>it was replaced since it was listed; what took its place is in the trash as %1</source>
        <translation>sie wurde seit dem Auflisten ersetzt; was an ihre Stelle trat, liegt als %1 im Papierkorb</translation>
    </message>
    <message>
        <source>the trash folder %1 is damaged</source>
        <translation>der Papierkorbordner %1 ist beschädigt</translation>
    </message>
    <message>
        <source>its record in the trash names another path</source>
        <translation>ihr Eintrag im Papierkorb nennt einen anderen Pfad</translation>
    </message>
    <message>
        <source>its folder was replaced by a link</source>
        <translation>ihr Ordner wurde durch eine Verknüpfung ersetzt</translation>
    </message>
    <message>
        <source>its folder was replaced since the deletion</source>
        <translation>ihr Ordner wurde seit dem Löschen ersetzt</translation>
    </message>
</context>
</TS>

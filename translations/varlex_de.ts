<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AccessibleNames</name>
    <message>
        <source>Space or Enter: text colour; Shift+Space or Shift+Enter: background colour</source>
        <translation>Leertaste oder Eingabe: Textfarbe; Umschalt+Leertaste oder Umschalt+Eingabe: Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Sprachen</translation>
    </message>
    <message>
        <source>Tokenset ID</source>
        <translation>Tokenset-ID</translation>
    </message>
    <message>
        <source>LeadWith Text</source>
        <translation>LeadWith-Text</translation>
    </message>
    <message>
        <source>TrailWith Text</source>
        <translation>TrailWith-Text</translation>
    </message>
    <message>
        <source>Validity</source>
        <translation>Gültigkeit</translation>
    </message>
</context>
<context>
    <name>ColorLabel</name>
    <message>
        <source>no colour</source>
        <translation>keine Farbe</translation>
    </message>
</context>
<context>
    <name>DatabaseDocument</name>
    <message>
        <source>Could not save &quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot; konnte nicht gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>EditSession</name>
    <message>
        <source>Load Database</source>
        <translation>Datenbank laden</translation>
    </message>
    <message>
        <source>Save Database</source>
        <translation>Datenbank speichern</translation>
    </message>
    <message>
        <source>Backup Database</source>
        <translation>Datenbank sichern</translation>
    </message>
    <message>
        <source>Reload Database</source>
        <translation>Datenbank neu laden</translation>
    </message>
    <message>
        <source>Restore Database</source>
        <translation>Datenbank wiederherstellen</translation>
    </message>
    <message>
        <source>Manual changes will be lost. Continue?</source>
        <translation>Manuelle Änderungen gehen verloren. Fortfahren?</translation>
    </message>
    <message>
        <source>Write XML</source>
        <translation>XML schreiben</translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation>%1 bearbeiten</translation>
    </message>
    <message>
        <source>Change %1</source>
        <translation>%1 ändern</translation>
    </message>
    <message>
        <source>Include Tokenset</source>
        <translation>Tokenset einbeziehen</translation>
    </message>
    <message>
        <source>Exclude Tokenset</source>
        <translation>Tokenset ausschließen</translation>
    </message>
    <message>
        <source>Select All Tokensets</source>
        <translation>Alle Tokensets auswählen</translation>
    </message>
    <message>
        <source>Unselect All Tokensets</source>
        <translation>Alle Tokensets abwählen</translation>
    </message>
    <message>
        <source>Change Language Name</source>
        <translation>Sprachnamen ändern</translation>
    </message>
    <message>
        <source>Rename Language</source>
        <translation>Sprache umbenennen</translation>
    </message>
    <message>
        <source>Change Tokenset Name</source>
        <translation>Tokensetnamen ändern</translation>
    </message>
    <message>
        <source>Rename Tokenset</source>
        <translation>Tokenset umbenennen</translation>
    </message>
    <message>
        <source>Delete Language</source>
        <translation>Sprache löschen</translation>
    </message>
    <message>
        <source>Delete Tokenset</source>
        <translation>Tokenset löschen</translation>
    </message>
    <message>
        <source>New Tokenset</source>
        <translation>Neues Tokenset</translation>
    </message>
    <message>
        <source>Move Tokenset Up</source>
        <translation>Tokenset nach oben</translation>
    </message>
    <message>
        <source>Move Tokenset Down</source>
        <translation>Tokenset nach unten</translation>
    </message>
    <message>
        <source>New Language</source>
        <translation>Neue Sprache</translation>
    </message>
    <message>
        <source>Duplicate Language</source>
        <translation>Sprache duplizieren</translation>
    </message>
    <message>
        <source>Sort Languages</source>
        <translation>Sprachen sortieren</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be imported: %2</source>
        <translation>&quot;%1&quot; kann nicht importiert werden: %2</translation>
    </message>
    <message>
        <source>Import Language</source>
        <translation>Sprache importieren</translation>
    </message>
    <message>
        <source>Lower Case Tokens</source>
        <translation>Tokens in Kleinbuchstaben</translation>
    </message>
    <message>
        <source>Title Case Tokens</source>
        <translation>Tokens mit großem Anfangsbuchstaben</translation>
    </message>
    <message>
        <source>Remove Token Attributes</source>
        <translation>Token-Attribute entfernen</translation>
    </message>
    <message>
        <source>Remove Token Attributes (All Languages)</source>
        <translation>Token-Attribute entfernen (alle Sprachen)</translation>
    </message>
    <message>
        <source>Select Memberlist Folder</source>
        <translation>Memberlist-Ordner wählen</translation>
    </message>
    <message>
        <source>Select Image Folder</source>
        <translation>Bilderordner wählen</translation>
    </message>
    <message>
        <source>Apply Manual Changes</source>
        <translation>Manuelle Änderungen übernehmen</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Previous (Shift+F3)</source>
        <translation>Zurück (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next (F3)</source>
        <translation>Weiter (F3)</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Close (Escape)</source>
        <translation>Schließen (Esc)</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Wrapped around to the top</source>
        <translation>Oben fortgesetzt</translation>
    </message>
    <message>
        <source>Wrapped around to the bottom</source>
        <translation>Unten fortgesetzt</translation>
    </message>
</context>
<context>
    <name>FrmAbout</name>
    <message>
        <source>About Varlex</source>
        <translation>Über Varlex</translation>
    </message>
</context>
<context>
    <name>FrmDebug</name>
    <message>
        <source>Varlex Debug</source>
        <translation>Varlex Fehlersuche</translation>
    </message>
    <message>
        <source>Double-click to clear</source>
        <translation>Doppelklick zum Leeren</translation>
    </message>
</context>
<context>
    <name>FrmMain</name>
    <message>
        <source>Reload database</source>
        <translation>Datenbank neu laden</translation>
    </message>
    <message>
        <source>Save Database</source>
        <translation>Datenbank speichern</translation>
    </message>
    <message>
        <source>Print XML Code</source>
        <translation>XML-Code drucken</translation>
    </message>
    <message>
        <source>New Language</source>
        <translation>Neue Sprache</translation>
    </message>
    <message>
        <source>Delete Language</source>
        <translation>Sprache löschen</translation>
    </message>
    <message>
        <source>Import Language</source>
        <translation>Sprache importieren</translation>
    </message>
    <message>
        <source>View Language Files</source>
        <translation>Sprachdateien anzeigen</translation>
    </message>
    <message>
        <source>Seek Tokenset in XML Code</source>
        <translation>Tokenset im XML-Code suchen</translation>
    </message>
    <message>
        <source>Add Tokenset</source>
        <translation>Tokenset hinzufügen</translation>
    </message>
    <message>
        <source>Remove Tokenset</source>
        <translation>Tokenset entfernen</translation>
    </message>
    <message>
        <source>Move Tokenset Up</source>
        <translation>Tokenset nach oben</translation>
    </message>
    <message>
        <source>Move Tokenset Down</source>
        <translation>Tokenset nach unten</translation>
    </message>
    <message>
        <source>Toggle Tokens Font Size</source>
        <translation>Schriftgröße der Tokens umschalten</translation>
    </message>
    <message>
        <source>EasyRead Format</source>
        <translation>Lesefreundliches Format</translation>
    </message>
    <message>
        <source>Full Window XML Code</source>
        <translation>XML-Code im ganzen Fenster</translation>
    </message>
    <message>
        <source>Remove Token Attributes (Selected Tokenset)</source>
        <translation>Token-Attribute entfernen (gewähltes Tokenset)</translation>
    </message>
    <message>
        <source>Get Varlex Message</source>
        <translation>Varlex-Nachricht abrufen</translation>
    </message>
    <message>
        <source>Email Author</source>
        <translation>E-Mail an den Autor</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Export Language File</source>
        <translation>Sprachdatei exportieren</translation>
    </message>
    <message>
        <source>Export Language Files</source>
        <translation>Sprachdateien exportieren</translation>
    </message>
    <message>
        <source>Exporting language files...</source>
        <translation>Sprachdateien werden exportiert...</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Export XML Language Files</source>
        <translation>XML-Sprachdateien exportieren</translation>
    </message>
    <message>
        <source>Select Output Folder</source>
        <translation>Ausgabeordner wählen</translation>
    </message>
    <message>
        <source>Export KDE Syntax Definition</source>
        <translation>KDE-Syntaxdefinition exportieren</translation>
    </message>
    <message>
        <source>File patterns of the language, separated by &apos;;&apos; (for example *.c;*.h):</source>
        <translation>Dateimuster der Sprache, getrennt durch &apos;;&apos; (zum Beispiel *.c;*.h):</translation>
    </message>
    <message>
        <source>Exported %1</source>
        <translation>%1 exportiert</translation>
    </message>
    <message>
        <source>varlex.dat was changed on disk by another program since Varlex read it.</source>
        <translation>varlex.dat wurde auf der Platte von einem anderen Programm geändert, seit Varlex sie gelesen hat.</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save Database As</source>
        <translation>Datenbank speichern unter</translation>
    </message>
    <message>
        <source>Varlex database (*.dat)</source>
        <translation>Varlex-Datenbank (*.dat)</translation>
    </message>
    <message>
        <source>Restore database from backup?</source>
        <translation>Datenbank aus der Sicherung wiederherstellen?</translation>
    </message>
    <message>
        <source>Restore Database</source>
        <translation>Datenbank wiederherstellen</translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Reload Database</source>
        <translation>Datenbank neu laden</translation>
    </message>
    <message>
        <source>Suggestions or problems? Tell the author: Help &gt; Email Author.</source>
        <translation>Vorschläge oder Probleme? Schreiben Sie dem Autor: Hilfe &gt; E-Mail an den Autor.</translation>
    </message>
    <message>
        <source>Save changes?</source>
        <translation>Änderungen speichern?</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Änderungen speichern</translation>
    </message>
</context>
<context>
    <name>FrmViewer</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Show Varlex.lng</source>
        <translation>Varlex.lng anzeigen</translation>
    </message>
    <message>
        <source>Language Viewer  (%1)</source>
        <translation>Sprachdatei-Anzeige  (%1)</translation>
    </message>
    <message>
        <source>No file is selected. Choose one in the list first.</source>
        <translation>Keine Datei gewählt. Wählen Sie zuerst eine in der Liste.</translation>
    </message>
    <message>
        <source>Could not read &quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot; konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Save changes to &quot;%1&quot;?</source>
        <translation>Änderungen an &quot;%1&quot; speichern?</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds characters that the code page %2 cannot hold; they will be saved as &quot;?&quot;. Save anyway?</source>
        <translation>&quot;%1&quot; enthält Zeichen, die die Codepage %2 nicht fassen kann; sie werden als &quot;?&quot; gespeichert. Trotzdem speichern?</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>Print File</source>
        <translation>Datei drucken</translation>
    </message>
    <message>
        <source>Could not print &quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot; konnte nicht gedruckt werden: %2</translation>
    </message>
    <message>
        <source>Delete File</source>
        <translation>Datei löschen</translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Could not delete &quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot; konnte nicht gelöscht werden: %2</translation>
    </message>
</context>
<context>
    <name>LanguageListPanel</name>
    <message>
        <source>Change &apos;%1&apos; to:</source>
        <translation>&apos;%1&apos; ändern in:</translation>
    </message>
    <message>
        <source>Change Language Name</source>
        <translation>Sprachnamen ändern</translation>
    </message>
    <message>
        <source>Enter new langauge name:</source>
        <translation>Name der neuen Sprache:</translation>
    </message>
    <message>
        <source>Cannot delete last language!</source>
        <translation>Die letzte Sprache kann nicht gelöscht werden!</translation>
    </message>
    <message>
        <source>Delete Language</source>
        <translation>Sprache löschen</translation>
    </message>
    <message>
        <source>Import Language File</source>
        <translation>Sprachdatei importieren</translation>
    </message>
    <message>
        <source>Import Language</source>
        <translation>Sprache importieren</translation>
    </message>
    <message>
        <source>The language was imported; these tokens had to change:

</source>
        <translation>Die Sprache wurde importiert; diese Tokens mussten sich ändern:

</translation>
    </message>
    <message>
        <source>New Language</source>
        <translation>Neue Sprache</translation>
    </message>
    <message>
        <source>Another language is also named &quot;%1&quot;. Both are kept; varlex-cli tells them apart by index.</source>
        <translation>Eine andere Sprache heißt ebenfalls &quot;%1&quot;. Beide bleiben erhalten; varlex-cli unterscheidet sie nach dem Index.</translation>
    </message>
</context>
<context>
    <name>Links</name>
    <message>
        <source>Could not locate web site!  Error </source>
        <translation>Webseite nicht gefunden!  Fehler </translation>
    </message>
    <message>
        <source>Could not locate forum site!  Error </source>
        <translation>Forum nicht gefunden!  Fehler </translation>
    </message>
    <message>
        <source>Something went wrong, but I don&apos;t know what!  Error </source>
        <translation>Etwas ist schiefgegangen, aber ich weiß nicht was!  Fehler </translation>
    </message>
    <message>
        <source>Error sending email!</source>
        <translation>Fehler beim Senden der E-Mail!</translation>
    </message>
    <message>
        <source>Send Email to Author</source>
        <translation>E-Mail an den Autor senden</translation>
    </message>
</context>
<context>
    <name>ManualXmlCommand</name>
    <message>
        <source>Edit XML Code</source>
        <translation>XML-Code bearbeiten</translation>
    </message>
</context>
<context>
    <name>OnlineServices</name>
    <message>
        <source>Fetching the daily message...</source>
        <translation>Die Tagesnachricht wird geholt...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>PaneLexer</name>
    <message>
        <source>Plain text</source>
        <translation>Einfacher Text</translation>
    </message>
    <message>
        <source>Tokenset %1</source>
        <translation>Tokenset %1</translation>
    </message>
</context>
<context>
    <name>PanePrinting</name>
    <message>
        <source>there is no pane to print</source>
        <translation>es gibt keinen Bereich zum Drucken</translation>
    </message>
    <message>
        <source>the printer could not be opened</source>
        <translation>der Drucker konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written</source>
        <translation>&quot;%1&quot; konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Printed.</source>
        <translation>Gedruckt.</translation>
    </message>
    <message>
        <source>No printer is set up; printed to %1</source>
        <translation>Kein Drucker eingerichtet; gedruckt in %1</translation>
    </message>
    <message>
        <source>Could not print: %1</source>
        <translation>Drucken nicht möglich: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written: %2</source>
        <translation>&quot;%1&quot; konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>PanelContext</name>
    <message>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
</context>
<context>
    <name>PreviewPanel</name>
    <message>
        <source>5 The file name %1 is too short to name an image.</source>
        <translation>5 Der Dateiname %1 ist zu kurz, um ein Bild zu benennen.</translation>
    </message>
    <message>
        <source>481 %1 is not a picture.</source>
        <translation>481 %1 ist kein Bild.</translation>
    </message>
    <message>
        <source>35602 The image key %1 of %2 is used by another file.</source>
        <translation>35602 Der Bildschlüssel %1 von %2 wird von einer anderen Datei verwendet.</translation>
    </message>
    <message>
        <source>6 Only %1 margin images can be shown; %2 and later files are left out.</source>
        <translation>6 Nur %1 Randbilder können angezeigt werden; %2 und spätere Dateien werden ausgelassen.</translation>
    </message>
    <message>
        <source>Load Icons</source>
        <translation>Symbole laden</translation>
    </message>
</context>
<context>
    <name>PreviewPipeline</name>
    <message>
        <source>The XML code cannot be coloured: %1<byte value="xd"/>
It is shown as plain text.</source>
        <translation>Der XML-Code kann nicht eingefärbt werden: %1<byte value="xd"/>
Er wird als einfacher Text gezeigt.</translation>
    </message>
    <message>
        <source>XML Language</source>
        <translation>XML-Sprache</translation>
    </message>
    <message>
        <source>These member lists could not be loaded and are left out:<byte value="xd"/>
</source>
        <translation>Diese Memberlisten konnten nicht geladen werden und bleiben weg:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Load Member Lists</source>
        <translation>Memberlisten laden</translation>
    </message>
    <message>
        <source>Write XML</source>
        <translation>XML schreiben</translation>
    </message>
    <message>
        <source>Error reading language file!  Display may contain syntax errors.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Fehler beim Lesen der Sprachdatei!  Die Anzeige kann Syntaxfehler enthalten.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Language: </source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Sprache: </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Error reading manually changed language: </source>
        <translation>Fehler beim Lesen der manuell geänderten Sprache: </translation>
    </message>
    <message>
        <source>Cannot save the language &quot;%1&quot;: %2.</source>
        <translation>Die Sprache &quot;%1&quot; kann nicht gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>Save Language File</source>
        <translation>Sprachdatei speichern</translation>
    </message>
</context>
<context>
    <name>TokensetListPanel</name>
    <message>
        <source>Change &apos;%1&apos; to:</source>
        <translation>&apos;%1&apos; ändern in:</translation>
    </message>
    <message>
        <source>Change Tokenset Name</source>
        <translation>Tokensetnamen ändern</translation>
    </message>
    <message>
        <source>Enter new tokenset name:</source>
        <translation>Name des neuen Tokensets:</translation>
    </message>
    <message>
        <source>Too many tokensets!</source>
        <translation>Zu viele Tokensets!</translation>
    </message>
    <message>
        <source>Delete Tokenset</source>
        <translation>Tokenset löschen</translation>
    </message>
    <message>
        <source>Cannot delete last tokenset!</source>
        <translation>Das letzte Tokenset kann nicht gelöscht werden!</translation>
    </message>
    <message>
        <source>Another tokenset of this language is also named &quot;%1&quot;. Both are kept; varlex-cli tells them apart by slot.</source>
        <translation>Ein anderes Tokenset dieser Sprache heißt ebenfalls &quot;%1&quot;. Beide bleiben erhalten; varlex-cli unterscheidet sie nach dem Platz.</translation>
    </message>
    <message>
        <source>New Tokenset</source>
        <translation>Neues Tokenset</translation>
    </message>
</context>
<context>
    <name>TokensetPropertiesPanel</name>
    <message>
        <source>Remove Attributes</source>
        <translation>Attribute entfernen</translation>
    </message>
</context>
<context>
    <name>TracePanel</name>
    <message>
        <source>&lt;Trace Mode&gt;</source>
        <translation>&lt;Ablaufmodus&gt;</translation>
    </message>
    <message>
        <source>&lt;Troubleshooting disabled&gt;</source>
        <translation>&lt;Fehlersuche aus&gt;</translation>
    </message>
    <message>
        <source>&lt;Validity Mode&gt;</source>
        <translation>&lt;Gültigkeitsmodus&gt;</translation>
    </message>
    <message>
        <source>Checking &quot;%1&quot;...</source>
        <translation>&quot;%1&quot; wird geprüft...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Lint</source>
        <translation>Lint</translation>
    </message>
    <message>
        <source>Lint of &quot;%1&quot; cancelled.</source>
        <translation>Lint von &quot;%1&quot; abgebrochen.</translation>
    </message>
</context>
<context>
    <name>UpdateHandover</name>
    <message>
        <source>Varlex will close to check for online updates!</source>
        <translation>Varlex wird geschlossen, um nach Online-Aktualisierungen zu suchen!</translation>
    </message>
    <message>
        <source>Online Update</source>
        <translation>Online-Aktualisierung</translation>
    </message>
    <message>
        <source>Error updating Varlex.  Close all programs and try again!</source>
        <translation>Fehler beim Aktualisieren von Varlex.  Schließen Sie alle Programme und versuchen Sie es erneut!</translation>
    </message>
</context>
<context>
    <name>WindowCommandLine</name>
    <message>
        <source>Creates and edits syntax-colouring language definition files.</source>
        <translation>Erstellt und bearbeitet Sprachdefinitionsdateien für die Syntaxfärbung.</translation>
    </message>
    <message>
        <source>Language files (.lng) to import.</source>
        <translation>Zu importierende Sprachdateien (.lng).</translation>
    </message>
    <message>
        <source>Try &apos;--help&apos;.</source>
        <translation>Siehe &apos;--help&apos;.</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Varlex - Language File Generator</source>
        <translation>Varlex - Sprachdatei-Generator</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>White Space as Parm Block</source>
        <translation>Leerraum als Parameterblock</translation>
    </message>
    <message>
        <source>&amp;Word Chars</source>
        <translation>&amp;Wortzeichen</translation>
    </message>
    <message>
        <source>&amp;MemberList</source>
        <translation>&amp;MemberList</translation>
    </message>
    <message>
        <source>Tokensets</source>
        <translation>Tokensets</translation>
    </message>
    <message>
        <source>Click to check or uncheck every tokenset</source>
        <translation>Klicken, um alle Tokensets an- oder abzuwählen</translation>
    </message>
    <message>
        <source>Tokenset Properties</source>
        <translation>Tokenset-Eigenschaften</translation>
    </message>
    <message>
        <source>Scope</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>Case Sensitive</source>
        <translation>Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>Normalize Case</source>
        <translation>Schreibung angleichen</translation>
    </message>
    <message>
        <source>Match Braces</source>
        <translation>Klammern paaren</translation>
    </message>
    <message>
        <source>AutoIndent</source>
        <translation>Auto-Einzug</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Verborgen</translation>
    </message>
    <message>
        <source>Single Line Scope</source>
        <translation>Einzeiliger Bereich</translation>
    </message>
    <message>
        <source>Chain</source>
        <translation>Verketten</translation>
    </message>
    <message>
        <source>Symmetrical</source>
        <translation>Symmetrisch</translation>
    </message>
    <message>
        <source>Fo&amp;ntStyle</source>
        <translation>Schrift&amp;stil</translation>
    </message>
    <message>
        <source>Click to make the tokenset bold</source>
        <translation>Klicken, um das Tokenset fett zu machen</translation>
    </message>
    <message>
        <source>Fore&amp;Color</source>
        <translation>Vordergrund&amp;farbe</translation>
    </message>
    <message>
        <source>Click to choose the text colour</source>
        <translation>Klicken, um die Textfarbe zu wählen</translation>
    </message>
    <message>
        <source>&amp;BackColor</source>
        <translation>&amp;Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Click to choose the background colour</source>
        <translation>Klicken, um die Hintergrundfarbe zu wählen</translation>
    </message>
    <message>
        <source>Stan&amp;dard colours</source>
        <translation>Stan&amp;dardfarben</translation>
    </message>
    <message>
        <source>Left button: text colour; right button: background colour</source>
        <translation>Linke Maustaste: Textfarbe; rechte Maustaste: Hintergrundfarbe</translation>
    </message>
    <message>
        <source>&amp;ValidScopes</source>
        <translation>Gültige &amp;Bereiche</translation>
    </message>
    <message>
        <source>&amp;Inherit</source>
        <translation>&amp;Erbt von</translation>
    </message>
    <message>
        <source>Membe&amp;rList</source>
        <translation>Membe&amp;rList</translation>
    </message>
    <message>
        <source>Default Tokens Properties</source>
        <translation>Vorgaben der Tokens</translation>
    </message>
    <message>
        <source>R&amp;ules</source>
        <translation>Reg&amp;el</translation>
    </message>
    <message>
        <source>RegExp</source>
        <translation>RegExp</translation>
    </message>
    <message>
        <source>LeadWith Te&amp;xt   TrailWith Text</source>
        <translation>LeadWith-Te&amp;xt   TrailWith-Text</translation>
    </message>
    <message>
        <source>Tokens</source>
        <translation>Tokens</translation>
    </message>
    <message>
        <source>Click for the token attribute templates</source>
        <translation>Klicken für die Vorlagen der Token-Attribute</translation>
    </message>
    <message>
        <source>Tokens2</source>
        <translation>Tokens2</translation>
    </message>
    <message>
        <source>Double-click to clear</source>
        <translation>Doppelklick zum Leeren</translation>
    </message>
    <message>
        <source>Sample Display</source>
        <translation>Beispielanzeige</translation>
    </message>
    <message>
        <source>Click to open the trace window</source>
        <translation>Klicken, um das Ablauffenster zu öffnen</translation>
    </message>
    <message>
        <source>Toggle the margin image of the current line</source>
        <translation>Randbild der aktuellen Zeile umschalten</translation>
    </message>
    <message>
        <source>Margin</source>
        <translation>Rand</translation>
    </message>
    <message>
        <source>XML Code</source>
        <translation>XML-Code</translation>
    </message>
    <message>
        <source>Click to switch the full window view</source>
        <translation>Klicken, um die Vollfensteransicht umzuschalten</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Trace</source>
        <translation>Ablauf</translation>
    </message>
    <message>
        <source>Click to switch the trace mode</source>
        <translation>Klicken, um den Ablaufmodus umzuschalten</translation>
    </message>
    <message>
        <source>Validity of the generated XML; click to switch the validity mode</source>
        <translation>Gültigkeit des erzeugten XML; klicken, um den Gültigkeitsmodus umzuschalten</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Languages</source>
        <translation>&amp;Sprachen</translation>
    </message>
    <message>
        <source>&amp;Tokensets</source>
        <translation>&amp;Tokensets</translation>
    </message>
    <message>
        <source>Token&amp;s</source>
        <translation>Toke&amp;ns</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>E&amp;ditor</source>
        <translation>E&amp;ditor</translation>
    </message>
    <message>
        <source>De&amp;bug Mode</source>
        <translation>&amp;Fehlersuchmodus</translation>
    </message>
    <message>
        <source>&amp;Select Standard Colors</source>
        <translation>Standardfarben &amp;wählen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;PopupLanguage</source>
        <translation>&amp;Sprachmenü</translation>
    </message>
    <message>
        <source>&amp;PopupTokenset</source>
        <translation>&amp;Tokensetmenü</translation>
    </message>
    <message>
        <source>&amp;PopupToken</source>
        <translation>&amp;Tokenmenü</translation>
    </message>
    <message>
        <source>&amp;PopupToken2</source>
        <translation>Token&amp;menü 2</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Re&amp;load</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Backup</source>
        <translation>&amp;Sichern</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Print Sample</source>
        <translation>Beispiel &amp;drucken</translation>
    </message>
    <message>
        <source>Print XML &amp;Code</source>
        <translation>&amp;XML-Code drucken</translation>
    </message>
    <message>
        <source>&amp;Copy Form Image to Clipboard</source>
        <translation>Fensterbild in die &amp;Zwischenablage</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Ne&amp;w (Duplicate)</source>
        <translation>Neu (&amp;Duplikat)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Sort</source>
        <translation>&amp;Sortieren</translation>
    </message>
    <message>
        <source>&amp;Export XML Language File (Selected Language)</source>
        <translation>XML-Sprachdatei &amp;exportieren (gewählte Sprache)</translation>
    </message>
    <message>
        <source>Export XML Language Files (&amp;All Languages)</source>
        <translation>XML-Sprachdateien exportieren (&amp;alle Sprachen)</translation>
    </message>
    <message>
        <source>&amp;Import Language File</source>
        <translation>Sprachdatei &amp;importieren</translation>
    </message>
    <message>
        <source>Show &amp;Language Files</source>
        <translation>Sprach&amp;dateien anzeigen</translation>
    </message>
    <message>
        <source>Select Export &amp;Folder</source>
        <translation>Export&amp;ordner wählen</translation>
    </message>
    <message>
        <source>Select &amp;Memberlist Folder</source>
        <translation>&amp;Memberlist-Ordner wählen</translation>
    </message>
    <message>
        <source>Select Ima&amp;ge Folder</source>
        <translation>&amp;Bilderordner wählen</translation>
    </message>
    <message>
        <source>&amp;Seek</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Do&amp;wn</source>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>&amp;Sort (Case Insensitive)</source>
        <translation>&amp;Sortieren (ohne Groß-/Kleinschreibung)</translation>
    </message>
    <message>
        <source>S&amp;ort (Case Sensitive)</source>
        <translation>So&amp;rtieren (mit Groß-/Kleinschreibung)</translation>
    </message>
    <message>
        <source>&amp;Reverse Sort (Case Insensitive)</source>
        <translation>&amp;Umgekehrt sortieren (ohne Groß-/Kleinschreibung)</translation>
    </message>
    <message>
        <source>Reverse Sort (&amp;Case Sensitive)</source>
        <translation>Umgekehrt sortieren (&amp;mit Groß-/Kleinschreibung)</translation>
    </message>
    <message>
        <source>&amp;Lower Case</source>
        <translation>&amp;Kleinbuchstaben</translation>
    </message>
    <message>
        <source>&amp;Title Case</source>
        <translation>&amp;Großer Anfangsbuchstabe</translation>
    </message>
    <message>
        <source>Remove Token &amp;Attributes (Selected Tokenset)</source>
        <translation>Token-&amp;Attribute entfernen (gewähltes Tokenset)</translation>
    </message>
    <message>
        <source>Remove Token Attributes (C&amp;urrent Language)</source>
        <translation>Token-Attribute entfernen (&amp;aktuelle Sprache)</translation>
    </message>
    <message>
        <source>Re&amp;move Token Attributes (All Languages)</source>
        <translation>Token-Attribute entfernen (a&amp;lle Sprachen)</translation>
    </message>
    <message>
        <source>Display Left Margin</source>
        <translation>Linken Rand anzeigen</translation>
    </message>
    <message>
        <source>Display White Space</source>
        <translation>Leerraum anzeigen</translation>
    </message>
    <message>
        <source>Drop Files</source>
        <translation>Dateien ablegen</translation>
    </message>
    <message>
        <source>Line Numbering</source>
        <translation>Zeilennummern</translation>
    </message>
    <message>
        <source>Line Number Bold Select</source>
        <translation>Zeilennummer der Auswahl fett</translation>
    </message>
    <message>
        <source>&amp;Trace</source>
        <translation>&amp;Ablauf</translation>
    </message>
    <message>
        <source>&amp;Validity</source>
        <translation>&amp;Gültigkeit</translation>
    </message>
    <message>
        <source>&amp;Lint</source>
        <translation>&amp;Prüfen (Lint)</translation>
    </message>
    <message>
        <source>Show what lint finds in the current language</source>
        <translation>Zeigen, was Lint in der aktuellen Sprache findet</translation>
    </message>
    <message>
        <source>Color 1</source>
        <translation>Farbe 1</translation>
    </message>
    <message>
        <source>Color 2</source>
        <translation>Farbe 2</translation>
    </message>
    <message>
        <source>Color 3</source>
        <translation>Farbe 3</translation>
    </message>
    <message>
        <source>Color 4</source>
        <translation>Farbe 4</translation>
    </message>
    <message>
        <source>Color 5</source>
        <translation>Farbe 5</translation>
    </message>
    <message>
        <source>Color 6</source>
        <translation>Farbe 6</translation>
    </message>
    <message>
        <source>Color 7</source>
        <translation>Farbe 7</translation>
    </message>
    <message>
        <source>Color 8</source>
        <translation>Farbe 8</translation>
    </message>
    <message>
        <source>Color 9</source>
        <translation>Farbe 9</translation>
    </message>
    <message>
        <source>Color 10</source>
        <translation>Farbe 10</translation>
    </message>
    <message>
        <source>&amp;Full Window XML View</source>
        <translation>XML im &amp;ganzen Fenster</translation>
    </message>
    <message>
        <source>&amp;EasyRead Format</source>
        <translation>&amp;Lesefreundliches Format</translation>
    </message>
    <message>
        <source>&amp;Toggle Font</source>
        <translation>&amp;Schriftgröße umschalten</translation>
    </message>
    <message>
        <source>&amp;AutoSeek</source>
        <translation>Automatisch &amp;suchen</translation>
    </message>
    <message>
        <source>Auto&amp;Include</source>
        <translation>Automatisch &amp;einbeziehen</translation>
    </message>
    <message>
        <source>Use &amp;CodeMax Save</source>
        <translation>&amp;CodeMax-Speichern verwenden</translation>
    </message>
    <message>
        <source>Kept for older settings only: the database is always written by the safe save of Varlex</source>
        <translation>Nur für ältere Einstellungen: Die Datenbank wird immer mit dem sicheren Speichern von Varlex geschrieben</translation>
    </message>
    <message>
        <source>Confir&amp;mation</source>
        <translation>&amp;Bestätigung</translation>
    </message>
    <message>
        <source>&amp;Hide Default Attributes</source>
        <translation>&amp;Vorgabe-Attribute ausblenden</translation>
    </message>
    <message>
        <source>&amp;Email Author</source>
        <translation>&amp;E-Mail an den Autor</translation>
    </message>
    <message>
        <source>&amp;Web Site</source>
        <translation>&amp;Webseite</translation>
    </message>
    <message>
        <source>&amp;Discussion Forums</source>
        <translation>&amp;Diskussionsforen</translation>
    </message>
    <message>
        <source>Get Varlex &amp;Message</source>
        <translation>Varlex-&amp;Nachricht abrufen</translation>
    </message>
    <message>
        <source>&amp;Support Varlex </source>
        <translation>Varlex &amp;unterstützen </translation>
    </message>
    <message>
        <source>Online &amp;Help</source>
        <translation>Online-&amp;Hilfe</translation>
    </message>
    <message>
        <source>Online &amp;Update</source>
        <translation>Online-&amp;Aktualisierung</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über</translation>
    </message>
    <message>
        <source>&amp;Change Language Name</source>
        <translation>Sprachnamen &amp;ändern</translation>
    </message>
    <message>
        <source>&amp;Change Tokenset Name</source>
        <translation>Tokensetnamen &amp;ändern</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>Alle &amp;auswählen</translation>
    </message>
    <message>
        <source>&amp;UnSelect All</source>
        <translation>Alle a&amp;bwählen</translation>
    </message>
    <message>
        <source>Export &amp;KDE Syntax Definition</source>
        <translation>&amp;KDE-Syntaxdefinition exportieren</translation>
    </message>
</context>
</TS>

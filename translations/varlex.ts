<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>AccessibleNames</name>
    <message>
        <source>Space or Enter: text colour; Shift+Space or Shift+Enter: background colour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Languages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tokenset ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LeadWith Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TrailWith Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Validity</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ColorLabel</name>
    <message>
        <source>no colour</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DatabaseDocument</name>
    <message>
        <source>Could not save &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EditSession</name>
    <message>
        <source>Load Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reload Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual changes will be lost. Continue?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write XML</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exclude Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All Tokensets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unselect All Tokensets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Language Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Tokenset Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Tokenset Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Tokenset Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duplicate Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort Languages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be imported: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lower Case Tokens</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Title Case Tokens</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Token Attributes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Token Attributes (All Languages)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Memberlist Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Image Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply Manual Changes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous (Shift+F3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next (F3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close (Escape)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrapped around to the top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrapped around to the bottom</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmAbout</name>
    <message>
        <source>About Varlex</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmDebug</name>
    <message>
        <source>Varlex Debug</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double-click to clear</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmMain</name>
    <message>
        <source>Reload database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print XML Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View Language Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seek Tokenset in XML Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Tokenset Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Tokenset Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle Tokens Font Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EasyRead Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full Window XML Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Token Attributes (Selected Tokenset)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get Varlex Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email Author</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Language File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Language Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exporting language files...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export XML Language Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Output Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export KDE Syntax Definition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File patterns of the language, separated by &apos;;&apos; (for example *.c;*.h):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exported %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>varlex.dat was changed on disk by another program since Varlex read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Database As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Varlex database (*.dat)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore database from backup?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reload Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suggestions or problems? Tell the author: Help &gt; Email Author.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmViewer</name>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Varlex.lng</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language Viewer  (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file is selected. Choose one in the list first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes to &quot;%1&quot;?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds characters that the code page %2 cannot hold; they will be saved as &quot;?&quot;. Save anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not print &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not delete &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LanguageListPanel</name>
    <message>
        <source>Change &apos;%1&apos; to:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Language Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter new langauge name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot delete last language!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Language File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The language was imported; these tokens had to change:

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another language is also named &quot;%1&quot;. Both are kept; varlex-cli tells them apart by index.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Links</name>
    <message>
        <source>Could not locate web site!  Error </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not locate forum site!  Error </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Something went wrong, but I don&apos;t know what!  Error </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error sending email!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send Email to Author</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ManualXmlCommand</name>
    <message>
        <source>Edit XML Code</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OnlineServices</name>
    <message>
        <source>Fetching the daily message...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PaneLexer</name>
    <message>
        <source>Plain text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tokenset %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PanePrinting</name>
    <message>
        <source>there is no pane to print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the printer could not be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No printer is set up; printed to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not print: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PanelContext</name>
    <message>
        <source>Are you sure?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreviewPanel</name>
    <message>
        <source>5 The file name %1 is too short to name an image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>481 %1 is not a picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>35602 The image key %1 of %2 is used by another file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6 Only %1 margin images can be shown; %2 and later files are left out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Icons</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreviewPipeline</name>
    <message>
        <source>The XML code cannot be coloured: %1<byte value="xd"/>
It is shown as plain text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>XML Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These member lists could not be loaded and are left out:<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Member Lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write XML</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error reading language file!  Display may contain syntax errors.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Language: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error reading manually changed language: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save the language &quot;%1&quot;: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Language File</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TokensetListPanel</name>
    <message>
        <source>Change &apos;%1&apos; to:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Tokenset Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter new tokenset name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too many tokensets!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot delete last tokenset!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another tokenset of this language is also named &quot;%1&quot;. Both are kept; varlex-cli tells them apart by slot.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Tokenset</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TokensetPropertiesPanel</name>
    <message>
        <source>Remove Attributes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TracePanel</name>
    <message>
        <source>&lt;Trace Mode&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Troubleshooting disabled&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Validity Mode&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking &quot;%1&quot;...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lint</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lint of &quot;%1&quot; cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateHandover</name>
    <message>
        <source>Varlex will close to check for online updates!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Online Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error updating Varlex.  Close all programs and try again!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowCommandLine</name>
    <message>
        <source>Creates and edits syntax-colouring language definition files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language files (.lng) to import.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try &apos;--help&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Varlex - Language File Generator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>White Space as Parm Block</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Word Chars</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MemberList</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tokensets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to check or uncheck every tokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tokenset Properties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scope</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Case Sensitive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normalize Case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match Braces</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AutoIndent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Single Line Scope</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Symmetrical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fo&amp;ntStyle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to make the tokenset bold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fore&amp;Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to choose the text colour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;BackColor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to choose the background colour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stan&amp;dard colours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left button: text colour; right button: background colour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;ValidScopes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Inherit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Membe&amp;rList</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default Tokens Properties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R&amp;ules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RegExp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LeadWith Te&amp;xt   TrailWith Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tokens</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click for the token attribute templates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tokens2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double-click to clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample Display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to open the trace window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle the margin image of the current line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Margin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>XML Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to switch the full window view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to switch the trace mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Validity of the generated XML; click to switch the validity mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Languages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tokensets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Token&amp;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;ditor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>De&amp;bug Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Select Standard Colors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;PopupLanguage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;PopupTokenset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;PopupToken</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;PopupToken2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;load</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print Sample</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print XML &amp;Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy Form Image to Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ne&amp;w (Duplicate)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export XML Language File (Selected Language)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export XML Language Files (&amp;All Languages)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import Language File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show &amp;Language Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Export &amp;Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;Memberlist Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Ima&amp;ge Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Seek</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do&amp;wn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Sort (Case Insensitive)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;ort (Case Sensitive)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reverse Sort (Case Insensitive)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reverse Sort (&amp;Case Sensitive)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Lower Case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Title Case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Token &amp;Attributes (Selected Tokenset)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Token Attributes (C&amp;urrent Language)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;move Token Attributes (All Languages)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Left Margin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display White Space</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line Numbering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line Number Bold Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Trace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Validity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Lint</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show what lint finds in the current language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 9</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Full Window XML View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;EasyRead Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Toggle Font</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;AutoSeek</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto&amp;Include</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use &amp;CodeMax Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kept for older settings only: the database is always written by the safe save of Varlex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confir&amp;mation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hide Default Attributes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Email Author</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Web Site</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Discussion Forums</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get Varlex &amp;Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Support Varlex </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Online &amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Online &amp;Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Change Language Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Change Tokenset Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;UnSelect All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export &amp;KDE Syntax Definition</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

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
</context>
</TS>

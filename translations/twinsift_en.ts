<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Deletion</name>
    <message numerus="yes">
        <source>%n file(s) will go to the trash.</source>
        <translation>
            <numerusform>%n file will go to the trash.</numerusform>
            <numerusform>%n files will go to the trash.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more.</source>
        <translation>
            <numerusform>and %n more.</numerusform>
            <numerusform>and %n more.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) could not be moved to the trash:</source>
        <translation>
            <numerusform>%n file could not be moved to the trash:</numerusform>
            <numerusform>%n files could not be moved to the trash:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message numerus="yes">
        <source>and %n more.</source>
        <translation>
            <numerusform>and %n more.</numerusform>
            <numerusform>and %n more.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s) or file(s) could not be read and were not searched:</source>
        <translation>
            <numerusform>%n folder or file could not be read and was not searched:</numerusform>
            <numerusform>%n folders or files could not be read and were not searched:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s) or file(s) could not be read and were not listed:</source>
        <translation>
            <numerusform>%n folder or file could not be read and was not listed:</numerusform>
            <numerusform>%n folders or files could not be read and were not listed:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift</name>
    <message numerus="yes">
        <source>and %n more.</source>
        <translation>
            <numerusform>and %n more.</numerusform>
            <numerusform>and %n more.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Ticked %Ln file(s) in %1; %2</source>
        <translation>
            <numerusform>Ticked %Ln file in %1; %2</numerusform>
            <numerusform>Ticked %Ln files in %1; %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln pair(s)</source>
        <translation>
            <numerusform>%Ln pair</numerusform>
            <numerusform>%Ln pairs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln pair(s) left alone</source>
        <translation>
            <numerusform>%Ln pair left alone</numerusform>
            <numerusform>%Ln pairs left alone</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Left in the trash: %n file(s)</source>
        <translation>
            <numerusform>Left in the trash: %n file</numerusform>
            <numerusform>Left in the trash: %n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %Ln of them as their contents are not known to be the same</source>
        <translation>
            <numerusform>, %Ln of them as its contents are not known to be the same</numerusform>
            <numerusform>, %Ln of them as their contents are not known to be the same</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift-cli</name>
    <message numerus="yes">
        <source>skipped %n entry(s) that could not be read</source>
        <translation>
            <numerusform>skipped %n entry that could not be read</numerusform>
            <numerusform>skipped %n entries that could not be read</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::Form1</name>
    <message numerus="yes">
        <source>The search found %n pair(s), more than the list can hold: it shows the first %1 of them. Raise the Similarity slider or add keywords to find fewer pairs.</source>
        <translation>
            <numerusform>The search found %n pair, more than the list can hold: it shows the first %1 of them. Raise the Similarity slider or add keywords to find fewer pairs.</numerusform>
            <numerusform>The search found %n pairs, more than the list can hold: it shows the first %1 of them. Raise the Similarity slider or add keywords to find fewer pairs.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The list already holds %1 rows, the most it can: none of the %n pair(s) the search found could be added. Press Clear first.</source>
        <translation>
            <numerusform>The list already holds %1 rows, the most it can: the pair the search found could not be added. Press Clear first.</numerusform>
            <numerusform>The list already holds %1 rows, the most it can: none of the %n pairs the search found could be added. Press Clear first.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Deleting stopped: %n file(s) had been moved to the trash:</source>
        <translation>
            <numerusform>Deleting stopped: %n file had been moved to the trash:</numerusform>
            <numerusform>Deleting stopped: %n files had been moved to the trash:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) moved to the trash; Ctrl+Z restores them.</source>
        <translation>
            <numerusform>%n file moved to the trash; Ctrl+Z restores it.</numerusform>
            <numerusform>%n files moved to the trash; Ctrl+Z restores them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) restored.</source>
        <translation>
            <numerusform>%n file restored.</numerusform>
            <numerusform>%n files restored.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Compared the contents of %Ln pair(s): %1 the same, %2 different, %3 could not be compared</source>
        <translation>
            <numerusform>Compared the contents of %Ln pair: %1 the same, %2 different, %3 could not be compared</numerusform>
            <numerusform>Compared the contents of %Ln pairs: %1 the same, %2 different, %3 could not be compared</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::Likeness</name>
    <message numerus="yes">
        <source>%1 / %2: %Ln shared letter pair(s) of %3 and %4 -&gt; %5 %</source>
        <translation>
            <numerusform>%1 / %2: %Ln shared letter pair of %3 and %4 -&gt; %5 %</numerusform>
            <numerusform>%1 / %2: %Ln shared letter pairs of %3 and %4 -&gt; %5 %</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::RestoreJob</name>
    <message numerus="yes">
        <source>Restoring %n file(s)</source>
        <translation>
            <numerusform>Restoring %n file</numerusform>
            <numerusform>Restoring %n files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::RowActions</name>
    <message numerus="yes">
        <source>%n path(s) copied: %1</source>
        <translation>
            <numerusform>%n path copied: %1</numerusform>
            <numerusform>%n paths copied: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::RuleJob</name>
    <message numerus="yes">
        <source>Reading %n file(s)</source>
        <translation>
            <numerusform>Reading %n file</numerusform>
            <numerusform>Reading %n files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::TrashJob</name>
    <message numerus="yes">
        <source>%1 of %n file(s)</source>
        <translation>
            <numerusform>%1 of %n file</numerusform>
            <numerusform>%1 of %n files</numerusform>
        </translation>
    </message>
</context>
</TS>

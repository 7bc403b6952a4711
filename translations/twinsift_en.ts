<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Deletion</name>
    <message numerus="yes">
        <source>%Ln file(s) will go to the trash.</source>
        <translation>
            <numerusform>%Ln file will go to the trash.</numerusform>
            <numerusform>%Ln files will go to the trash.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s) could not be moved to the trash:</source>
        <translation>
            <numerusform>%Ln file could not be moved to the trash:</numerusform>
            <numerusform>%Ln files could not be moved to the trash:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message numerus="yes">
        <source>%Ln folder(s) or file(s) could not be read and were not searched:</source>
        <translation>
            <numerusform>%Ln folder or file could not be read and was not searched:</numerusform>
            <numerusform>%Ln folders or files could not be read and were not searched:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folder(s) or file(s) could not be read and were not listed:</source>
        <translation>
            <numerusform>%Ln folder or file could not be read and was not listed:</numerusform>
            <numerusform>%Ln folders or files could not be read and were not listed:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s)</source>
        <translation>
            <numerusform>%Ln file</numerusform>
            <numerusform>%Ln files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NamedList</name>
    <message numerus="yes">
        <source>and %Ln more.</source>
        <translation>
            <numerusform>and %Ln more.</numerusform>
            <numerusform>and %Ln more.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift</name>
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
        <source>Left in the trash: %Ln file(s)</source>
        <translation>
            <numerusform>Left in the trash: %Ln file</numerusform>
            <numerusform>Left in the trash: %Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No longer in the trash: %Ln file(s)</source>
        <translation>
            <numerusform>No longer in the trash: %Ln file</numerusform>
            <numerusform>No longer in the trash: %Ln files</numerusform>
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
    <message numerus="yes">
        <source>the listing is incomplete: %n folder(s) could not be opened for lack of file descriptors (see ulimit -n)</source>
        <translation>
            <numerusform>the listing is incomplete: %n folder could not be opened for lack of file descriptors (see ulimit -n)</numerusform>
            <numerusform>the listing is incomplete: %n folders could not be opened for lack of file descriptors (see ulimit -n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>skipped %n repeated path(s) of the listing</source>
        <translation>
            <numerusform>skipped %n repeated path of the listing</numerusform>
            <numerusform>skipped %n repeated paths of the listing</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::Form1</name>
    <message numerus="yes">
        <source>The search found %Ln pair(s), more than the list can hold: it shows the first %L1 of them. Raise the Similarity slider or add keywords to find fewer pairs.</source>
        <translation>
            <numerusform>The search found %Ln pair, more than the list can hold: it shows the first %L1 of them. Raise the Similarity slider or add keywords to find fewer pairs.</numerusform>
            <numerusform>The search found %Ln pairs, more than the list can hold: it shows the first %L1 of them. Raise the Similarity slider or add keywords to find fewer pairs.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The list already holds %L1 rows, the most it can: none of the %Ln pair(s) the search found could be added. Press Clear first.</source>
        <translation>
            <numerusform>The list already holds %L1 rows, the most it can: the pair the search found could not be added. Press Clear first.</numerusform>
            <numerusform>The list already holds %L1 rows, the most it can: none of the %Ln pairs the search found could be added. Press Clear first.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Deleting stopped: %Ln file(s) had been moved to the trash:</source>
        <translation>
            <numerusform>Deleting stopped: %Ln file had been moved to the trash:</numerusform>
            <numerusform>Deleting stopped: %Ln files had been moved to the trash:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s) moved to the trash; Ctrl+Z restores them.</source>
        <translation>
            <numerusform>%Ln file moved to the trash; Ctrl+Z restores it.</numerusform>
            <numerusform>%Ln files moved to the trash; Ctrl+Z restores them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s) restored.</source>
        <translation>
            <numerusform>%Ln file restored.</numerusform>
            <numerusform>%Ln files restored.</numerusform>
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
        <source>Restoring %Ln file(s)</source>
        <translation>
            <numerusform>Restoring %Ln file</numerusform>
            <numerusform>Restoring %Ln files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::RowActions</name>
    <message numerus="yes">
        <source>%Ln path(s) copied: %1</source>
        <translation>
            <numerusform>%Ln path copied: %1</numerusform>
            <numerusform>%Ln paths copied: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::RuleJob</name>
    <message numerus="yes">
        <source>Reading %Ln file(s)</source>
        <translation>
            <numerusform>Reading %Ln file</numerusform>
            <numerusform>Reading %Ln files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>twinsift::TrashJob</name>
    <message numerus="yes">
        <source>%L1 of %Ln file(s)</source>
        <translation>
            <numerusform>%L1 of %Ln file</numerusform>
            <numerusform>%L1 of %Ln files</numerusform>
        </translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>twinsift</name>
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
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Form1</name>
    <message>
        <source>Twinsift - by https://twinsift.example.org</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable Image Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Keywords</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Comparison Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Similarity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>30%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Similarity threshold in percent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>90%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Progress ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;List Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find Duplicates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Switch Items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List index is stored here</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>Form1</name>
    <message>
        <location filename="../mainwindow/form1_layout.cpp" line="+446" />
        <source>&amp;Tools</source>
        <translation>&amp;Ferramentas</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Open spectrum...</source>
        <translation>&amp;Abrir espectro...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Find lines by energy...</source>
        <translation>&amp;Localizar linhas por energia...</translation>
    </message>
</context>
<context>
    <name>plotexport</name>
    <message>
        <location filename="../spectrumwindow/plotexport.cpp" line="+48" />
        <source>cannot draw the SVG file</source>
        <translation>não foi possível desenhar o arquivo SVG</translation>
    </message>
</context>
</TS>

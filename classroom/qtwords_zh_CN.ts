<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Qt's own words that Qt's Chinese catalogue (qtbase_zh_CN.qm of Qt 6.4) lacks, as the file, print and
     message dialogs show them. Loaded after Qt's catalogue, so it only fills what that one leaves
     English. -->
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>驱动器</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>快捷方式</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
</TS>

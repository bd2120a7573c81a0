<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InfoDialog</name>
    <message>
        <source>InfoDialog</source>
        <translatorcomment>Window title (task bar only): the word &apos;Information&apos;</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Copying system files...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

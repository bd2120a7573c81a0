<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Bootmedium erstellen</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>Wählen Sie das USB-Laufwerk für das Wiederherstellungslaufwerk aus</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>Wiederherstellungslaufwerk wird erstellt...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p %</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Wiederherstellungslaufwerk erstellen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>Wiederherstellungslaufwerk erstellen</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>Kein USB-Laufwerk gefunden</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>Temporärer Ordner fehlt oder ist schreibgeschützt</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>Download wird abgebrochen...</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>Dieses Programm wird bereits ausgeführt.</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>Vorgang abgeschlossen</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>Vorgang bestätigen</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>Stellen Sie sicher, dass Sie die Daten auf dem ausgewählten USB-Laufwerk gesichert haben.
Beim Erstellen des Wiederherstellungslaufwerks werden alle Daten auf dem ausgewählten Laufwerk gelöscht.</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>Keine Internetverbindung</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>Zum Erstellen des Wiederherstellungslaufwerks ist eine Internetverbindung erforderlich.</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>Bitte warten. Das ausgewählte Medium wird vorbereitet. </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>Dies kann einige Zeit dauern.</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Vorgang bestätigen</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>Vorgang bestätigen</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>InfoDialog</name>
    <message>
        <source>InfoDialog</source>
        <translatorcomment>Window title (task bar only): the word &apos;Information&apos;</translatorcomment>
        <translation>Information</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Bootmedium neu erstellen</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>Dem Bootmedium fehlen einige Komponenten. Der Selbsttest ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>Klicken Sie auf „Bootmedium neu erstellen“, um den Vorgang neu zu starten.</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Copying system files...</source>
        <translation>Systemdateien werden kopiert...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>Wiederherstellungslaufwerk wird fertiggestellt...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>Ressourcen werden kopiert...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>Abschließende Einstellungen werden vorgenommen...</translation>
    </message>
</context>
</TS>

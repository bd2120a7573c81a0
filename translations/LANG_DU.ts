<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl_NL" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Bootmedium maken</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>Selecteer het USB-station voor het herstelstation</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>Herstelstation wordt gemaakt...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Herstelstation maken</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annuleren</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>Herstelstation maken</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>Geen USB-station gevonden</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>Tijdelijke map ontbreekt of is alleen-lezen</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>Download wordt gestopt...</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>Dit programma wordt al uitgevoerd.</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>Bewerking voltooid</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>Bewerking bevestigen</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>Zorg ervoor dat u een back-up hebt gemaakt van de gegevens op het geselecteerde USB-station.
Bij het maken van het herstelstation worden alle gegevens op het geselecteerde station gewist.</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>Geen internetverbinding</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>Voor het maken van het herstelstation is een internetverbinding vereist.</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>Even geduld. Het geselecteerde medium wordt voorbereid. </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>Dit kan enige tijd duren.</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Bewerking bevestigen</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annuleren</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>Bewerking bevestigen</translation>
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
        <translation>Informatie</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Bootmedium opnieuw maken</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>Informatie</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>Het bootmedium mist enkele onderdelen en de zelftest is mislukt.</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>Klik op ‘Bootmedium opnieuw maken’ om het proces te herstarten.</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Copying system files...</source>
        <translation>Systeembestanden worden gekopieerd...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>Herstelstation wordt afgerond...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>Bronnen worden gekopieerd...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>Alle instellingen worden afgerond...</translation>
    </message>
</context>
</TS>

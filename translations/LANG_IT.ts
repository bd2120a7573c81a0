<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Crea supporto di avvio</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>Selezionare l&apos;unità USB per creare l&apos;unità di ripristino</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>Creazione dell&apos;unità di ripristino in corso...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Crea unità di ripristino</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>Crea unità di ripristino</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>Nessuna unità USB trovata</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>Cartella temporanea mancante o di sola lettura</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>Interruzione del download in corso...</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>Questo programma è già in esecuzione.</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>Operazione completata</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>Conferma operazione</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>Assicurarsi di aver eseguito il backup dei dati presenti sull&apos;unità USB selezionata.
Durante la creazione dell&apos;unità di ripristino verranno cancellati tutti i dati dell&apos;unità selezionata.</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>Nessuna connessione Internet</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>Per creare l&apos;unità di ripristino è necessaria una connessione Internet.</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>Preparazione del supporto in corso. </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>Può richiedere del tempo.</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Conferma operazione</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>Conferma operazione</translation>
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
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Ricrea supporto di avvio</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>Nel supporto di avvio mancano alcuni componenti e il test automatico non è riuscito.</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>Fare clic su “Ricrea supporto di avvio” per riavviare il processo.</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Copying system files...</source>
        <translation>Copia dei file di sistema in corso...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>Finalizzazione dell&apos;unità di ripristino in corso...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>Copia delle risorse in corso...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>Finalizzazione delle impostazioni in corso...</translation>
    </message>
</context>
</TS>

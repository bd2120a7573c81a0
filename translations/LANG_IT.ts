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
        <source>%1 (%2 GB)</source>
        <translatorcomment>Drive in the list and in the confirmation, without a drive letter: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign). Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2 GB)</translation>
    </message>
    <message>
        <source>%1 (%2 GB, %3)</source>
        <translatorcomment>Drive in the list and in the confirmation: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign), %3 its drive letters, for example E:. Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2 GB, %3)</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>Interruzione del download in corso...</translation>
    </message>
    <message>
        <source>Administrator rights are needed to prepare a drive. Start the program again as an administrator.</source>
        <translatorcomment>Status line when started without administrator rights; two lines at most</translatorcomment>
        <translation>Per preparare un&apos;unità servono i diritti di amministratore. Riavviare il programma come amministratore.</translation>
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
    <message>
        <source>No download link for the boot image is configured.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Nessun link di download configurato per l&apos;immagine di avvio.</translation>
    </message>
    <message>
        <source>The boot image could not be downloaded.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Impossibile scaricare l&apos;immagine di avvio.</translation>
    </message>
    <message>
        <source>The downloaded boot image is too small to be complete.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L&apos;immagine di avvio scaricata è troppo piccola per essere completa.</translation>
    </message>
    <message>
        <source>The selected drive was removed or changed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L&apos;unità selezionata è stata rimossa o sostituita.</translation>
    </message>
    <message>
        <source>The selected drive is too small for the boot image.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L&apos;unità selezionata è troppo piccola per l&apos;immagine di avvio.</translation>
    </message>
    <message>
        <source>No free drive letter is available for the drive.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Nessuna lettera di unità libera disponibile per l&apos;unità.</translation>
    </message>
    <message>
        <source>The drive could not be formatted.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Impossibile formattare l&apos;unità.</translation>
    </message>
    <message>
        <source>Copying to the drive failed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>La copia sull&apos;unità non è riuscita.</translation>
    </message>
    <message>
        <source>The finished drive failed its check.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L&apos;unità completata non ha superato la verifica.</translation>
    </message>
    <message>
        <source>The download link is not secure.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Il link di download non è sicuro.</translation>
    </message>
    <message>
        <source>The download server could not prove that it is genuine.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Il server non ha dimostrato la sua autenticità.</translation>
    </message>
    <message>
        <source>The downloaded boot image is not the published one.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L'immagine di avvio non è quella pubblicata.</translation>
    </message>
    <message>
        <source>The boot image was changed on this computer during the build.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L'immagine di avvio è stata modificata su questo PC.</translation>
    </message>
    <message>
        <source>A work folder led to another place; it was removed unused.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Una cartella di lavoro portava altrove; è stata rimossa.</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translatorcomment>After the cause of a failure; %1 is the build log&apos;s path</translatorcomment>
        <translation>Dettagli: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translatorcomment>Accessible name of the title strip&apos;s close button (read by screen readers)</translatorcomment>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Progress of the recovery drive</source>
        <translatorcomment>Accessible name of the progress bar (read by screen readers)</translatorcomment>
        <translation>Avanzamento dell&apos;unità di ripristino</translation>
    </message>
    <message>
        <source>Recovery drive</source>
        <translatorcomment>Accessible name of the picture in the main window (read by screen readers)</translatorcomment>
        <translation>Unità di ripristino</translation>
    </message>
    <message>
        <source>Busy</source>
        <translatorcomment>Accessible name of the busy animation (read by screen readers)</translatorcomment>
        <translation>In corso</translation>
    </message>
    <message>
        <source>The download was stopped. The drive was not changed.</source>
        <translatorcomment>Read out by screen readers when the user stopped a build during the download</translatorcomment>
        <translation>Il download è stato interrotto. L&apos;unità non è stata modificata.</translation>
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
    <message>
        <source>Warning</source>
        <translatorcomment>Accessible name of the warning picture (read by screen readers)</translatorcomment>
        <translation>Avviso</translation>
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
    <message>
        <source>Error</source>
        <translatorcomment>Accessible name of the failure picture (read by screen readers)</translatorcomment>
        <translation>Errore</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Using the boot image already downloaded...</source>
        <translation>Uso dell&apos;immagine di avvio già scaricata...</translation>
    </message>
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
    <message>
        <source>Downloading the boot image: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB have arrived</translatorcomment>
        <translation>Download dell&apos;immagine di avvio: %1 di %2 MB</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 MB</source>
        <translatorcomment>Status line; %1 MB have arrived, the whole size is not known</translatorcomment>
        <translation>Download dell&apos;immagine di avvio: %1 MB</translation>
    </message>
    <message>
        <source>Copying the boot image to the drive: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB are on the drive</translatorcomment>
        <translation>Copia dell&apos;immagine di avvio sull&apos;unità: %1 di %2 MB</translation>
    </message>
</context>
</TS>

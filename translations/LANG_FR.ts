<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Créer un support de démarrage</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>Sélectionnez le lecteur USB pour créer le lecteur de récupération</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>Création du lecteur de récupération...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p %</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Créer le lecteur de récupération</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>Créer le lecteur de récupération</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>Aucun lecteur USB trouvé</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>Dossier temporaire absent ou en lecture seule</translation>
    </message>
    <message>
        <source>%1 (%2 GB)</source>
        <translatorcomment>Drive in the list and in the confirmation, without a drive letter: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign). Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2 Go)</translation>
    </message>
    <message>
        <source>%1 (%2 GB, %3)</source>
        <translatorcomment>Drive in the list and in the confirmation: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign), %3 its drive letters, for example E:. Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2 Go, %3)</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>Arrêt du téléchargement...</translation>
    </message>
    <message>
        <source>Administrator rights are needed to prepare a drive. Start the program again as an administrator.</source>
        <translatorcomment>Status line when started without administrator rights; two lines at most</translatorcomment>
        <translation>Des droits d&apos;administrateur sont nécessaires pour préparer un lecteur. Relancez le programme en tant qu&apos;administrateur.</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>Ce programme est déjà en cours d’exécution.</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>Opération terminée</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>Confirmer l&apos;opération</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>Assurez-vous d&apos;avoir sauvegardé les données du lecteur USB sélectionné.
Cette opération effacera toutes les données du lecteur sélectionné lors de la création du lecteur de récupération.</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>Aucune connexion Internet</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>Une connexion Internet est nécessaire pour créer le lecteur de récupération.</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>Veuillez patienter. Préparation du support sélectionné. </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>Cette opération peut prendre un certain temps.</translation>
    </message>
    <message>
        <source>No download link for the boot image is configured.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Aucun lien de téléchargement n&apos;est configuré.</translation>
    </message>
    <message>
        <source>The boot image could not be downloaded.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L&apos;image de démarrage n&apos;a pas pu être téléchargée.</translation>
    </message>
    <message>
        <source>The downloaded boot image is too small to be complete.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L&apos;image téléchargée est trop petite pour être complète.</translation>
    </message>
    <message>
        <source>The selected drive was removed or changed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Le lecteur sélectionné a été retiré ou remplacé.</translation>
    </message>
    <message>
        <source>The selected drive is too small for the boot image.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Le lecteur sélectionné est trop petit pour l&apos;image.</translation>
    </message>
    <message>
        <source>No free drive letter is available for the drive.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Aucune lettre de lecteur n&apos;est libre.</translation>
    </message>
    <message>
        <source>The drive could not be formatted.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Le lecteur n&apos;a pas pu être formaté.</translation>
    </message>
    <message>
        <source>Copying to the drive failed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>La copie sur le lecteur a échoué.</translation>
    </message>
    <message>
        <source>The finished drive failed its check.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Le lecteur terminé n&apos;a pas réussi la vérification.</translation>
    </message>
    <message>
        <source>The download link is not secure.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Le lien de téléchargement n'est pas sûr.</translation>
    </message>
    <message>
        <source>The download server could not prove that it is genuine.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Le serveur n'a pas prouvé son authenticité.</translation>
    </message>
    <message>
        <source>The downloaded boot image is not the published one.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L'image de démarrage n'est pas celle publiée.</translation>
    </message>
    <message>
        <source>The boot image was changed on this computer during the build.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>L'image de démarrage a été modifiée sur ce PC.</translation>
    </message>
    <message>
        <source>A work folder led to another place; it was removed unused.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>Un dossier de travail menait ailleurs ; il a été supprimé.</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translatorcomment>After the cause of a failure; %1 is the build log&apos;s path</translatorcomment>
        <translation>Détails : %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translatorcomment>Accessible name of the title strip&apos;s close button (read by screen readers)</translatorcomment>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Progress of the recovery drive</source>
        <translatorcomment>Accessible name of the progress bar (read by screen readers)</translatorcomment>
        <translation>Progression du lecteur de récupération</translation>
    </message>
    <message>
        <source>Recovery drive</source>
        <translatorcomment>Accessible name of the picture in the main window (read by screen readers)</translatorcomment>
        <translation>Lecteur de récupération</translation>
    </message>
    <message>
        <source>Busy</source>
        <translatorcomment>Accessible name of the busy animation (read by screen readers)</translatorcomment>
        <translation>En cours</translation>
    </message>
    <message>
        <source>The download was stopped. The drive was not changed.</source>
        <translatorcomment>Read out by screen readers when the user stopped a build during the download</translatorcomment>
        <translation>Le téléchargement a été arrêté. Le lecteur n&apos;a pas été modifié.</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Confirmer l&apos;opération</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>Confirmer l&apos;opération</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Warning</source>
        <translatorcomment>Accessible name of the warning picture (read by screen readers)</translatorcomment>
        <translation>Avertissement</translation>
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
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Recréer le support</translation>
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
        <translation>Certains composants du support de démarrage sont manquants et l&apos;autotest a échoué.</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>Cliquez sur « Recréer le support » pour relancer le processus.</translation>
    </message>
    <message>
        <source>Error</source>
        <translatorcomment>Accessible name of the failure picture (read by screen readers)</translatorcomment>
        <translation>Erreur</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Using the boot image already downloaded...</source>
        <translation>Utilisation de l&apos;image de démarrage déjà téléchargée...</translation>
    </message>
    <message>
        <source>Copying system files...</source>
        <translation>Copie des fichiers système...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>Finalisation du lecteur de récupération...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>Copie des ressources...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>Finalisation des paramètres...</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB have arrived</translatorcomment>
        <translation>Téléchargement de l&apos;image de démarrage : %1 sur %2 Mo</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 MB</source>
        <translatorcomment>Status line; %1 MB have arrived, the whole size is not known</translatorcomment>
        <translation>Téléchargement de l&apos;image de démarrage : %1 Mo</translation>
    </message>
    <message>
        <source>Copying the boot image to the drive: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB are on the drive</translatorcomment>
        <translation>Copie de l&apos;image de démarrage sur le lecteur : %1 sur %2 Mo</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Crear medio de arranque</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>Seleccione la unidad USB para crear la unidad de recuperación</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>Creando la unidad de recuperación...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Crear unidad de recuperación</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>Crear unidad de recuperación</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>No se encontró ninguna unidad USB</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>Carpeta temporal inexistente o de solo lectura</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>Deteniendo la descarga...</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>Este programa ya se está ejecutando.</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>Proceso completado</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>Confirmar operación</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>Asegúrese de haber hecho una copia de seguridad de los datos de la unidad USB seleccionada.
Al crear la unidad de recuperación, esta operación borrará todos los datos de la unidad seleccionada.</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>No hay conexión a Internet</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>Se necesita una conexión a Internet para crear la unidad de recuperación.</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>Espere, por favor. Preparando el medio seleccionado. </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>Esto puede tardar un tiempo.</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Confirmar operación</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>Confirmar operación</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>InfoDialog</name>
    <message>
        <source>InfoDialog</source>
        <translatorcomment>Window title (task bar only): the word &apos;Information&apos;</translatorcomment>
        <translation>Información</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Recrear medio de arranque</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>Faltan algunos componentes del medio de arranque y no ha superado la autocomprobación.</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>Haga clic en «Recrear medio de arranque» para reiniciar el proceso.</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Copying system files...</source>
        <translation>Copiando archivos del sistema...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>Finalizando la unidad de recuperación...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>Copiando recursos...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>Finalizando la configuración...</translation>
    </message>
</context>
</TS>

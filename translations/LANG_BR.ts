<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Criar mídia de inicialização</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>Selecione a unidade USB para criar o disco de recuperação</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>Criando o disco de recuperação...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Criar disco de recuperação</translation>
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
        <translation>Criar disco de recuperação</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>Nenhuma unidade USB encontrada</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>Pasta temporária ausente ou somente leitura</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>Interrompendo o download...</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>Este programa já está em execução.</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>Processo concluído</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>Confirmar operação</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>Certifique-se de ter feito backup dos dados da unidade USB selecionada.
Esta operação apagará todos os dados da unidade selecionada durante a criação do disco de recuperação.</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>Sem conexão com a Internet</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>É necessária uma conexão com a Internet para criar o disco de recuperação.</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>Aguarde. Preparando a mídia selecionada. </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>Isso pode levar algum tempo.</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>Confirmar operação</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
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
        <translation>Confirmar operação</translation>
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
        <translation>Informação</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>Recriar mídia de inicialização</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>Informação</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>Faltam alguns componentes na mídia de inicialização e o autoteste falhou.</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>Clique em “Recriar mídia de inicialização” para reiniciar o processo.</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Copying system files...</source>
        <translation>Copiando arquivos do sistema...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>Finalizando o disco de recuperação...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>Copiando recursos...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>Finalizando todas as configurações...</translation>
    </message>
</context>
</TS>

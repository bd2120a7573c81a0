<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>ブートメディアの作成</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>回復ドライブを作成する USB ドライブを選択してください</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>回復ドライブを作成しています...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>回復ドライブの作成</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>回復ドライブの作成</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>USB ドライブが見つかりません</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>一時フォルダーが見つからないか、読み取り専用です</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>ダウンロードを停止しています...</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>このプログラムは既に実行されています。</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>処理が完了しました</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>操作の確認</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>選択した USB ドライブのデータをバックアップしたことを確認してください。
回復ドライブの作成中に、選択したドライブのデータはすべて消去されます。</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>インターネットに接続されていません</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>回復ドライブを作成するには、インターネット接続が必要です。</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>選択したメディアを準備しています。 </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>しばらくお待ちください。</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>操作の確認</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>操作の確認</translation>
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
        <translation>情報</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>ブートメディアの再作成</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>ブートメディアに不足しているコンポーネントがあるため、セルフテストに失敗しました。</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>[ブートメディアの再作成] をクリックして、処理をやり直してください。</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Copying system files...</source>
        <translation>システム ファイルをコピーしています...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>回復ドライブの作成を完了しています...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>リソースをコピーしています...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>すべての設定を確定しています...</translation>
    </message>
</context>
</TS>

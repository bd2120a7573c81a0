<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>创建启动介质</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>请选择用于创建恢复驱动器的 USB 驱动器</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>正在创建恢复驱动器...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>创建恢复驱动器</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>创建恢复驱动器</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>未找到 USB 驱动器</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>临时文件夹不存在或为只读</translation>
    </message>
    <message>
        <source>%1 (%2 GB)</source>
        <translatorcomment>Drive in the list and in the confirmation, without a drive letter: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign). Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2 GB)</translation>
    </message>
    <message>
        <source>%1 (%2 GB, %3)</source>
        <translatorcomment>Drive in the list and in the confirmation: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign), %3 its drive letters, for example E:. Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2 GB，%3)</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>正在停止下载...</translation>
    </message>
    <message>
        <source>Administrator rights are needed to prepare a drive. Start the program again as an administrator.</source>
        <translatorcomment>Status line when started without administrator rights; two lines at most</translatorcomment>
        <translation>准备驱动器需要管理员权限。请以管理员身份重新启动本程序。</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>此程序已在运行。</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>操作已完成</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>确认操作</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>请确保已备份所选 USB 驱动器上的数据。
创建恢复驱动器时，此操作将清除所选驱动器上的所有数据。</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>无互联网连接</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>创建恢复驱动器需要连接互联网。</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>确定</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>请稍候。正在准备所选介质。 </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>这可能需要一些时间。</translation>
    </message>
    <message>
        <source>No download link for the boot image is configured.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>未配置启动映像的下载链接。</translation>
    </message>
    <message>
        <source>The boot image could not be downloaded.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>无法下载启动映像。</translation>
    </message>
    <message>
        <source>The downloaded boot image is too small to be complete.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>下载的启动映像太小，不完整。</translation>
    </message>
    <message>
        <source>The selected drive was removed or changed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>所选驱动器已被移除或更换。</translation>
    </message>
    <message>
        <source>The selected drive is too small for the boot image.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>所选驱动器容量太小，无法容纳启动映像。</translation>
    </message>
    <message>
        <source>No free drive letter is available for the drive.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>没有可分配给该驱动器的空闲驱动器号。</translation>
    </message>
    <message>
        <source>The drive could not be formatted.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>无法格式化驱动器。</translation>
    </message>
    <message>
        <source>Copying to the drive failed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>复制到驱动器失败。</translation>
    </message>
    <message>
        <source>The finished drive failed its check.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>制作完成的驱动器未通过检查。</translation>
    </message>
    <message>
        <source>The download link is not secure.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>下载链接不安全。</translation>
    </message>
    <message>
        <source>The download server could not prove that it is genuine.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>无法验证下载服务器的真实性。</translation>
    </message>
    <message>
        <source>The downloaded boot image is not the published one.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>启动映像不是发布的版本。</translation>
    </message>
    <message>
        <source>The boot image was changed on this computer during the build.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>启动映像在此计算机上被更改。</translation>
    </message>
    <message>
        <source>A work folder led to another place; it was removed unused.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>工作文件夹指向其他位置，已删除。</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translatorcomment>After the cause of a failure; %1 is the build log&apos;s path</translatorcomment>
        <translation>详细信息：%1</translation>
    </message>
    <message>
        <source>Close</source>
        <translatorcomment>Accessible name of the title strip&apos;s close button (read by screen readers)</translatorcomment>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Progress of the recovery drive</source>
        <translatorcomment>Accessible name of the progress bar (read by screen readers)</translatorcomment>
        <translation>恢复驱动器创建进度</translation>
    </message>
    <message>
        <source>Recovery drive</source>
        <translatorcomment>Accessible name of the picture in the main window (read by screen readers)</translatorcomment>
        <translation>恢复驱动器</translation>
    </message>
    <message>
        <source>Busy</source>
        <translatorcomment>Accessible name of the busy animation (read by screen readers)</translatorcomment>
        <translation>正在处理</translation>
    </message>
    <message>
        <source>The download was stopped. The drive was not changed.</source>
        <translatorcomment>Read out by screen readers when the user stopped a build during the download</translatorcomment>
        <translation>下载已停止。驱动器未被更改。</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>确认操作</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>确认操作</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>确定</translation>
    </message>
    <message>
        <source>Warning</source>
        <translatorcomment>Accessible name of the warning picture (read by screen readers)</translatorcomment>
        <translation>警告</translation>
    </message>
</context>
<context>
    <name>InfoDialog</name>
    <message>
        <source>InfoDialog</source>
        <translatorcomment>Window title (task bar only): the word &apos;Information&apos;</translatorcomment>
        <translation>信息</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>取消</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>重新创建启动介质</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>启动介质缺少部分组件，未通过自检。</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>请单击“重新创建启动介质”以重新开始该过程。</translation>
    </message>
    <message>
        <source>Error</source>
        <translatorcomment>Accessible name of the failure picture (read by screen readers)</translatorcomment>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Using the boot image already downloaded...</source>
        <translation>正在使用已下载的启动映像...</translation>
    </message>
    <message>
        <source>Copying system files...</source>
        <translation>正在复制系统文件...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>正在完成恢复驱动器...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>正在复制资源...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>正在完成所有设置...</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB have arrived</translatorcomment>
        <translation>正在下载启动映像：%1 / %2 MB</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 MB</source>
        <translatorcomment>Status line; %1 MB have arrived, the whole size is not known</translatorcomment>
        <translation>正在下载启动映像：%1 MB</translation>
    </message>
    <message>
        <source>Copying the boot image to the drive: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB are on the drive</translatorcomment>
        <translation>正在将启动映像复制到驱动器：%1 / %2 MB</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>부팅 미디어 만들기</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>복구 드라이브를 만들 USB 드라이브를 선택하십시오</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>복구 드라이브를 만드는 중...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>복구 드라이브 만들기</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>복구 드라이브 만들기</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>USB 드라이브를 찾을 수 없습니다</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>임시 폴더가 없거나 읽기 전용입니다</translation>
    </message>
    <message>
        <source>%1 (%2 GB)</source>
        <translatorcomment>Drive in the list and in the confirmation, without a drive letter: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign). Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2GB)</translation>
    </message>
    <message>
        <source>%1 (%2 GB, %3)</source>
        <translatorcomment>Drive in the list and in the confirmation: %1 its model, %2 its size in GB (already written with this language&apos;s decimal sign), %3 its drive letters, for example E:. Use the size unit and punctuation Windows Explorer shows in this language.</translatorcomment>
        <translation>%1 (%2GB, %3)</translation>
    </message>
    <message>
        <source>Stopping the download...</source>
        <translation>다운로드를 중지하는 중...</translation>
    </message>
    <message>
        <source>Administrator rights are needed to prepare a drive. Start the program again as an administrator.</source>
        <translatorcomment>Status line when started without administrator rights; two lines at most</translatorcomment>
        <translation>드라이브를 준비하려면 관리자 권한이 필요합니다. 관리자 권한으로 프로그램을 다시 시작하십시오.</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>이 프로그램이 이미 실행 중입니다.</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>작업이 완료되었습니다</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>작업 확인</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>선택한 USB 드라이브의 데이터를 백업했는지 확인하십시오.
복구 드라이브를 만드는 동안 선택한 드라이브의 모든 데이터가 지워집니다.</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>인터넷에 연결되어 있지 않음</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>복구 드라이브를 만들려면 인터넷 연결이 필요합니다.</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>확인</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>잠시 기다려 주십시오. 선택한 미디어를 준비하는 중입니다. </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>이 작업은 다소 시간이 걸릴 수 있습니다.</translation>
    </message>
    <message>
        <source>No download link for the boot image is configured.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>부팅 이미지의 다운로드 링크가 설정되어 있지 않습니다.</translation>
    </message>
    <message>
        <source>The boot image could not be downloaded.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>부팅 이미지를 다운로드할 수 없습니다.</translation>
    </message>
    <message>
        <source>The downloaded boot image is too small to be complete.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>다운로드한 부팅 이미지가 너무 작아 완전하지 않습니다.</translation>
    </message>
    <message>
        <source>The selected drive was removed or changed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>선택한 드라이브가 제거되었거나 바뀌었습니다.</translation>
    </message>
    <message>
        <source>The selected drive is too small for the boot image.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>선택한 드라이브가 부팅 이미지를 담기에 너무 작습니다.</translation>
    </message>
    <message>
        <source>No free drive letter is available for the drive.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>드라이브에 할당할 수 있는 빈 드라이브 문자가 없습니다.</translation>
    </message>
    <message>
        <source>The drive could not be formatted.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>드라이브를 포맷할 수 없습니다.</translation>
    </message>
    <message>
        <source>Copying to the drive failed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>드라이브에 복사하지 못했습니다.</translation>
    </message>
    <message>
        <source>The finished drive failed its check.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>완성된 드라이브가 검사를 통과하지 못했습니다.</translation>
    </message>
    <message>
        <source>The download link is not secure.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>다운로드 링크가 안전하지 않습니다.</translation>
    </message>
    <message>
        <source>The download server could not prove that it is genuine.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>서버의 진위를 확인할 수 없습니다.</translation>
    </message>
    <message>
        <source>The downloaded boot image is not the published one.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>부팅 이미지가 게시된 것과 다릅니다.</translation>
    </message>
    <message>
        <source>The boot image was changed on this computer during the build.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>이 PC에서 부팅 이미지가 변경되었습니다.</translation>
    </message>
    <message>
        <source>A work folder led to another place; it was removed unused.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>작업 폴더가 다른 위치를 가리켜 제거했습니다.</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translatorcomment>After the cause of a failure; %1 is the build log&apos;s path</translatorcomment>
        <translation>자세한 내용: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translatorcomment>Accessible name of the title strip&apos;s close button (read by screen readers)</translatorcomment>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Progress of the recovery drive</source>
        <translatorcomment>Accessible name of the progress bar (read by screen readers)</translatorcomment>
        <translation>복구 드라이브 만들기 진행률</translation>
    </message>
    <message>
        <source>Recovery drive</source>
        <translatorcomment>Accessible name of the picture in the main window (read by screen readers)</translatorcomment>
        <translation>복구 드라이브</translation>
    </message>
    <message>
        <source>Busy</source>
        <translatorcomment>Accessible name of the busy animation (read by screen readers)</translatorcomment>
        <translation>처리 중</translation>
    </message>
    <message>
        <source>The download was stopped. The drive was not changed.</source>
        <translatorcomment>Read out by screen readers when the user stopped a build during the download</translatorcomment>
        <translation>다운로드가 중지되었습니다. 드라이브는 변경되지 않았습니다.</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>작업 확인</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>확인</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>작업 확인</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>확인</translation>
    </message>
    <message>
        <source>Warning</source>
        <translatorcomment>Accessible name of the warning picture (read by screen readers)</translatorcomment>
        <translation>경고</translation>
    </message>
</context>
<context>
    <name>InfoDialog</name>
    <message>
        <source>InfoDialog</source>
        <translatorcomment>Window title (task bar only): the word &apos;Information&apos;</translatorcomment>
        <translation>정보</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>취소</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>부팅 미디어 다시 만들기</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>정보</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>부팅 미디어에 일부 구성 요소가 없어 자체 테스트에 실패했습니다.</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>[부팅 미디어 다시 만들기]를 클릭하여 프로세스를 다시 시작하십시오.</translation>
    </message>
    <message>
        <source>Error</source>
        <translatorcomment>Accessible name of the failure picture (read by screen readers)</translatorcomment>
        <translation>오류</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Using the boot image already downloaded...</source>
        <translation>이미 다운로드한 부팅 이미지를 사용하는 중...</translation>
    </message>
    <message>
        <source>Copying system files...</source>
        <translation>시스템 파일을 복사하는 중...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>복구 드라이브를 마무리하는 중...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>리소스를 복사하는 중...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>모든 설정을 마무리하는 중...</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB have arrived</translatorcomment>
        <translation>부팅 이미지 다운로드 중: %1 / %2MB</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 MB</source>
        <translatorcomment>Status line; %1 MB have arrived, the whole size is not known</translatorcomment>
        <translation>부팅 이미지 다운로드 중: %1MB</translation>
    </message>
    <message>
        <source>Copying the boot image to the drive: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB are on the drive</translatorcomment>
        <translation>부팅 이미지를 드라이브에 복사 중: %1 / %2MB</translation>
    </message>
</context>
</TS>

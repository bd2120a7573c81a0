<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hi_IN" sourcelanguage="en_US">
<context>
    <name>Dialog</name>
    <message>
        <source>Create Bootable Media</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>बूट मीडिया बनाएँ</translation>
    </message>
    <message>
        <source>Select the USB Drive to create recovery drive</source>
        <translatorcomment>Prompt above the drive list; one line only</translatorcomment>
        <translation>पुनर्प्राप्ति ड्राइव बनाने के लिए USB ड्राइव चुनें</translation>
    </message>
    <message>
        <source>Creating recovery drive...</source>
        <translation>पुनर्प्राप्ति ड्राइव बनाई जा रही है...</translation>
    </message>
    <message>
        <source>%p%</source>
        <translatorcomment>Progress bar format; %p is the percentage</translatorcomment>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Button</translatorcomment>
        <translation>पुनर्प्राप्ति ड्राइव बनाएँ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>रद्द करें</translation>
    </message>
</context>
<context>
    <name>QCreateBootable</name>
    <message>
        <source>Create Recovery Drive</source>
        <translatorcomment>Title strip</translatorcomment>
        <translation>पुनर्प्राप्ति ड्राइव बनाएँ</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>कोई USB ड्राइव नहीं मिली</translation>
    </message>
    <message>
        <source>Temporary folder missing or read-only</source>
        <translation>अस्थायी फ़ोल्डर मौजूद नहीं है या केवल-पढ़ने योग्य है</translation>
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
        <translation>डाउनलोड रोका जा रहा है...</translation>
    </message>
    <message>
        <source>Administrator rights are needed to prepare a drive. Start the program again as an administrator.</source>
        <translatorcomment>Status line when started without administrator rights; two lines at most</translatorcomment>
        <translation>ड्राइव तैयार करने के लिए व्यवस्थापक अधिकार आवश्यक हैं। प्रोग्राम को व्यवस्थापक के रूप में फिर से प्रारंभ करें।</translation>
    </message>
    <message>
        <source>This program is already running.</source>
        <translation>यह प्रोग्राम पहले से चल रहा है।</translation>
    </message>
    <message>
        <source>Process completed</source>
        <translation>प्रक्रिया पूरी हुई</translation>
    </message>
    <message>
        <source>Confirm Operation</source>
        <translation>कार्रवाई की पुष्टि करें</translation>
    </message>
    <message>
        <source>Please ensure that you have taken backup of your data on the selected USB drive.
This operation will erase all data from the selected drive while creating recovery drive.</source>
        <translatorcomment>Keep the one line feed between the two sentences</translatorcomment>
        <translation>कृपया सुनिश्चित करें कि आपने चयनित USB ड्राइव के डेटा का बैकअप ले लिया है।
पुनर्प्राप्ति ड्राइव बनाते समय यह कार्रवाई चयनित ड्राइव का सारा डेटा मिटा देगी।</translation>
    </message>
    <message>
        <source>No Internet connection</source>
        <translation>इंटरनेट कनेक्शन नहीं है</translation>
    </message>
    <message>
        <source>Internet connection is required for creating recovery drive.</source>
        <translation>पुनर्प्राप्ति ड्राइव बनाने के लिए इंटरनेट कनेक्शन आवश्यक है।</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>ठीक है</translation>
    </message>
    <message>
        <source>Please wait. Preparing the selected media. </source>
        <translatorcomment>Followed directly by &apos;This may take some time.&apos;; keep the trailing blank</translatorcomment>
        <translation>कृपया प्रतीक्षा करें। चयनित मीडिया तैयार किया जा रहा है। </translation>
    </message>
    <message>
        <source>This may take some time.</source>
        <translation>इसमें कुछ समय लग सकता है।</translation>
    </message>
    <message>
        <source>No download link for the boot image is configured.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>बूट इमेज के लिए कोई डाउनलोड लिंक कॉन्फ़िगर नहीं है।</translation>
    </message>
    <message>
        <source>The boot image could not be downloaded.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>बूट इमेज डाउनलोड नहीं की जा सकी।</translation>
    </message>
    <message>
        <source>The downloaded boot image is too small to be complete.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>डाउनलोड की गई बूट इमेज पूरी होने के लिए बहुत छोटी है।</translation>
    </message>
    <message>
        <source>The selected drive was removed or changed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>चुनी गई ड्राइव हटा दी गई या बदल दी गई।</translation>
    </message>
    <message>
        <source>The selected drive is too small for the boot image.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>चुनी गई ड्राइव बूट इमेज के लिए बहुत छोटी है।</translation>
    </message>
    <message>
        <source>No free drive letter is available for the drive.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>ड्राइव के लिए कोई खाली ड्राइव अक्षर उपलब्ध नहीं है।</translation>
    </message>
    <message>
        <source>The drive could not be formatted.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>ड्राइव फ़ॉर्मैट नहीं की जा सकी।</translation>
    </message>
    <message>
        <source>Copying to the drive failed.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>ड्राइव पर कॉपी करना विफल रहा।</translation>
    </message>
    <message>
        <source>The finished drive failed its check.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>तैयार ड्राइव जाँच में विफल रही।</translation>
    </message>
    <message>
        <source>The download link is not secure.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>डाउनलोड लिंक सुरक्षित नहीं है।</translation>
    </message>
    <message>
        <source>The download server could not prove that it is genuine.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>सर्वर अपनी प्रामाणिकता सिद्ध नहीं कर सका।</translation>
    </message>
    <message>
        <source>The downloaded boot image is not the published one.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>बूट इमेज प्रकाशित इमेज नहीं है।</translation>
    </message>
    <message>
        <source>The boot image was changed on this computer during the build.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>इस कंप्यूटर पर बूट इमेज बदली गई।</translation>
    </message>
    <message>
        <source>A work folder led to another place; it was removed unused.</source>
        <translatorcomment>Status line after a failed build; the cause</translatorcomment>
        <translation>कार्य फ़ोल्डर कहीं और ले जाता था; उसे हटा दिया गया।</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translatorcomment>After the cause of a failure; %1 is the build log&apos;s path</translatorcomment>
        <translation>विवरण: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translatorcomment>Accessible name of the title strip&apos;s close button (read by screen readers)</translatorcomment>
        <translation>बंद करें</translation>
    </message>
    <message>
        <source>Progress of the recovery drive</source>
        <translatorcomment>Accessible name of the progress bar (read by screen readers)</translatorcomment>
        <translation>पुनर्प्राप्ति ड्राइव की प्रगति</translation>
    </message>
    <message>
        <source>Recovery drive</source>
        <translatorcomment>Accessible name of the picture in the main window (read by screen readers)</translatorcomment>
        <translation>पुनर्प्राप्ति ड्राइव</translation>
    </message>
    <message>
        <source>Busy</source>
        <translatorcomment>Accessible name of the busy animation (read by screen readers)</translatorcomment>
        <translation>कार्य जारी है</translation>
    </message>
    <message>
        <source>The download was stopped. The drive was not changed.</source>
        <translatorcomment>Read out by screen readers when the user stopped a build during the download</translatorcomment>
        <translation>डाउनलोड रोक दिया गया। ड्राइव में कोई बदलाव नहीं किया गया।</translation>
    </message>
</context>
<context>
    <name>WarningDlg</name>
    <message>
        <source>Confirm Operation</source>
        <translatorcomment>Window title (task bar only)</translatorcomment>
        <translation>कार्रवाई की पुष्टि करें</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>ठीक है</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>रद्द करें</translation>
    </message>
</context>
<context>
    <name>WarningClass</name>
    <message>
        <source>Confirm Operation</source>
        <translation>कार्रवाई की पुष्टि करें</translation>
    </message>
    <message>
        <source>OK</source>
        <translatorcomment>Button</translatorcomment>
        <translation>ठीक है</translation>
    </message>
    <message>
        <source>Warning</source>
        <translatorcomment>Accessible name of the warning picture (read by screen readers)</translatorcomment>
        <translation>चेतावनी</translation>
    </message>
</context>
<context>
    <name>InfoDialog</name>
    <message>
        <source>InfoDialog</source>
        <translatorcomment>Window title (task bar only): the word &apos;Information&apos;</translatorcomment>
        <translation>जानकारी</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translatorcomment>Button</translatorcomment>
        <translation>रद्द करें</translation>
    </message>
    <message>
        <source>Recreate Boot Media</source>
        <translatorcomment>Button</translatorcomment>
        <translation>बूट मीडिया फिर से बनाएँ</translation>
    </message>
</context>
<context>
    <name>InfoDialogClass</name>
    <message>
        <source>Information</source>
        <translation>जानकारी</translation>
    </message>
    <message>
        <source>Boot Media has some components missing and has failed the self-test.</source>
        <translation>बूट मीडिया में कुछ घटक मौजूद नहीं हैं और यह स्व-परीक्षण में विफल रहा है।</translation>
    </message>
    <message>
        <source>Click &apos;Recreate Boot Media&apos; to restart process.</source>
        <translatorcomment>Quote the translated &apos;Recreate Boot Media&apos; button text exactly</translatorcomment>
        <translation>प्रक्रिया फिर से शुरू करने के लिए ‘बूट मीडिया फिर से बनाएँ’ पर क्लिक करें।</translation>
    </message>
    <message>
        <source>Error</source>
        <translatorcomment>Accessible name of the failure picture (read by screen readers)</translatorcomment>
        <translation>त्रुटि</translation>
    </message>
</context>
<context>
    <name>ThreadDriveClone</name>
    <message>
        <source>Using the boot image already downloaded...</source>
        <translation>पहले से डाउनलोड की गई बूट इमेज का उपयोग किया जा रहा है...</translation>
    </message>
    <message>
        <source>Copying system files...</source>
        <translation>सिस्टम फ़ाइलें कॉपी की जा रही हैं...</translation>
    </message>
    <message>
        <source>Finalizing recovery drive...</source>
        <translation>पुनर्प्राप्ति ड्राइव को अंतिम रूप दिया जा रहा है...</translation>
    </message>
    <message>
        <source>Copying resources...</source>
        <translation>संसाधन कॉपी किए जा रहे हैं...</translation>
    </message>
    <message>
        <source>Finalizing all settings...</source>
        <translation>सभी सेटिंग्स को अंतिम रूप दिया जा रहा है...</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB have arrived</translatorcomment>
        <translation>बूट इमेज डाउनलोड हो रही है: %2 में से %1 MB</translation>
    </message>
    <message>
        <source>Downloading the boot image: %1 MB</source>
        <translatorcomment>Status line; %1 MB have arrived, the whole size is not known</translatorcomment>
        <translation>बूट इमेज डाउनलोड हो रही है: %1 MB</translation>
    </message>
    <message>
        <source>Copying the boot image to the drive: %1 of %2 MB</source>
        <translatorcomment>Status line; %1 MB of %2 MB are on the drive</translatorcomment>
        <translation>बूट इमेज ड्राइव पर कॉपी हो रही है: %2 में से %1 MB</translation>
    </message>
</context>
</TS>

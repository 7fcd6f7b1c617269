<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddDlg</name>
    <message>
        <location filename="../ui/adddlg.cpp" line="34"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../ui/adddlg.cpp" line="36"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>AddOptionCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="244"/>
        <source>Add Resolution %1</source>
        <translation>Auflösung %1 hinzufügen</translation>
    </message>
    <message>
        <location filename="../document/profilecommands.cpp" line="245"/>
        <source>Add Pixel Density %1</source>
        <translation>Pixeldichte %1 hinzufügen</translation>
    </message>
</context>
<context>
    <name>AddProfileCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="122"/>
        <source>Add %1</source>
        <translation>%1 hinzufügen</translation>
    </message>
</context>
<context>
    <name>Command</name>
    <message>
        <location filename="../launch/commandline.cpp" line="42"/>
        <source>Nothing to start.</source>
        <translation>Nichts zu starten.</translation>
    </message>
    <message>
        <location filename="../launch/commandline.cpp" line="46"/>
        <source>Starts %1</source>
        <translation>Startet %1</translation>
    </message>
    <message>
        <location filename="../launch/commandline.cpp" line="49"/>
        <source>with no arguments.</source>
        <translation>ohne Argumente.</translation>
    </message>
    <message>
        <location filename="../launch/commandline.cpp" line="50"/>
        <source>with the arguments:</source>
        <translation>mit den Argumenten:</translation>
    </message>
    <message>
        <location filename="../launch/emulatorlaunch.cpp" line="24"/>
        <location filename="../launch/instances.cpp" line="259"/>
        <source>there is no program to start</source>
        <translation>es gibt kein Programm zu starten</translation>
    </message>
</context>
<context>
    <name>ConfigMessages</name>
    <message>
        <location filename="../ui/configmessages.cpp" line="12"/>
        <source>Velmora Mobile Emulator Launcher Warning</source>
        <translation>Velmora Mobile Emulator Launcher – Warnung</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="19"/>
        <source>Velmora Mobile Emulator</source>
        <translation>Velmora Mobile Emulator</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="21"/>
        <source>Unable to start Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher kann nicht gestartet werden</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="24"/>
        <source>Unable to read configuration file.</source>
        <translation>Die Konfigurationsdatei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="32"/>
        <source>Your Launcher.ini configuration file %1 cannot be read: %2.

The launcher starts with its default configuration and leaves your file as it is: nothing is saved to it while the launcher runs.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini %1 kann nicht gelesen werden: %2.

Der Launcher startet mit seiner Standardkonfiguration und lässt Ihre Datei, wie sie ist: Solange er läuft, speichert er nichts darin.</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="43"/>
        <source>Your Launcher.ini configuration file is out of date and will not be used. It has been renamed to %1 to make place for a new configuration file.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini ist veraltet und wird nicht verwendet. Sie wurde in %1 umbenannt, um Platz für eine neue Konfigurationsdatei zu schaffen.</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="47"/>
        <source>Your Launcher.ini configuration file is out of date and will not be used. It could not be renamed to %1 and will be replaced by the launcher&apos;s configuration at your first change, or when the launcher closes.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini ist veraltet und wird nicht verwendet. Sie konnte nicht in %1 umbenannt werden und wird bei Ihrer ersten Änderung oder beim Schließen des Launchers durch dessen Konfiguration ersetzt.</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="58"/>
        <source>Config file is out of date</source>
        <translation>Die Konfigurationsdatei ist veraltet</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="64"/>
        <source>Your changes are not being saved: %1 cannot be written: %2.

The launcher tries again with every change and when it closes.</source>
        <translation>Ihre Änderungen werden nicht gespeichert: %1 kann nicht geschrieben werden: %2.

Der Launcher versucht es bei jeder Änderung und beim Schließen erneut.</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="74"/>
        <source>Your Launcher.ini configuration file %1 was changed by another program and can no longer be read: %2.

The launcher leaves it as it is: your changes are saved to it once it can be read again.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini %1 wurde von einem anderen Programm geändert und kann nicht mehr gelesen werden: %2.

Der Launcher lässt sie, wie sie ist: Ihre Änderungen speichert er darin, sobald sie wieder gelesen werden kann.</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="86"/>
        <source>The profile &quot;%1&quot; no longer exists: the configuration file was changed outside the launcher meanwhile. %2</source>
        <translation>Das Profil „%1“ gibt es nicht mehr: Die Konfigurationsdatei wurde inzwischen außerhalb des Launchers geändert. %2</translation>
    </message>
    <message>
        <location filename="../ui/configmessages.cpp" line="91"/>
        <source>Nothing was changed.</source>
        <translation>Es wurde nichts geändert.</translation>
    </message>
</context>
<context>
    <name>DesktopEntry</name>
    <message>
        <location filename="../launch/desktopentry.cpp" line="93"/>
        <source>its name holds a control character, which a menu entry cannot hold</source>
        <translation>sein Name enthält ein Steuerzeichen, das ein Menüeintrag nicht enthalten kann</translation>
    </message>
</context>
<context>
    <name>DeviceDialog</name>
    <message>
        <location filename="../ui/devicedialog.cpp" line="16"/>
        <source>New Profile from Device</source>
        <translation>Neues Profil aus Gerät</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="20"/>
        <source>Type to filter the devices by name</source>
        <translation>Tippen, um die Geräte nach Namen zu filtern</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="21"/>
        <source>Filter devices</source>
        <translation>Geräte filtern</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="23"/>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="32"/>
        <source>Devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="37"/>
        <source>&amp;Portrait</source>
        <translation>&amp;Hochformat</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="38"/>
        <source>L&amp;andscape</source>
        <translation>&amp;Querformat</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="100"/>
        <source>%1 — %2×%3, %4 dpi</source>
        <translation>%1 — %2×%3, %4 dpi</translation>
    </message>
    <message>
        <location filename="../ui/devicedialog.cpp" line="102"/>
        <source> (larger than the screen)</source>
        <translation> (größer als der Bildschirm)</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <location filename="../ui/dialogs.cpp" line="98"/>
        <source>Resolution bigger than the current screen size!</source>
        <translation>Auflösung größer als der aktuelle Bildschirm!</translation>
    </message>
    <message>
        <location filename="../ui/dialogs.cpp" line="99"/>
        <source>You are trying to add: %1x%2
but the current screen resolution is: %3x%4

Are you sure ?</source>
        <translation>Sie möchten hinzufügen: %1x%2
aber die aktuelle Bildschirmauflösung ist: %3x%4

Sind Sie sicher?</translation>
    </message>
    <message>
        <location filename="../ui/dialogs.cpp" line="107"/>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <location filename="../ui/dialogs.cpp" line="108"/>
        <source>No</source>
        <translation>Nein</translation>
    </message>
</context>
<context>
    <name>EmulatorTableModel</name>
    <message>
        <location filename="../ui/runningpanel.cpp" line="57"/>
        <source>stopping</source>
        <translation>wird beendet</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="57"/>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="59"/>
        <source>stopped by the launcher</source>
        <translation>vom Launcher beendet</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="61"/>
        <source>ended after %1</source>
        <translation>nach %1 beendet</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="62"/>
        <source>%1 after %2</source>
        <translation>%1, nach %2</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="78"/>
        <source>%1 (%2 ago)</source>
        <translation>%1 (vor %2)</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="112"/>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="114"/>
        <source>Process ID</source>
        <translation>Prozess-ID</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="116"/>
        <source>Started</source>
        <translation>Gestartet</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="118"/>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
</context>
<context>
    <name>Emulators</name>
    <message>
        <location filename="../launch/instances.cpp" line="313"/>
        <source>it exited with code %1</source>
        <translation>es wurde mit dem Code %1 beendet</translation>
    </message>
    <message>
        <location filename="../launch/instances.cpp" line="314"/>
        <source>it was ended by signal %1 (%2)</source>
        <translation>es wurde durch das Signal %1 (%2) beendet</translation>
    </message>
    <message>
        <location filename="../launch/instances_unix.cpp" line="213"/>
        <source>it is a symbolic link</source>
        <translation>er ist ein symbolischer Link</translation>
    </message>
    <message>
        <location filename="../launch/instances_unix.cpp" line="215"/>
        <source>it is not a folder</source>
        <translation>er ist kein Ordner</translation>
    </message>
    <message>
        <location filename="../launch/instances_unix.cpp" line="217"/>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <location filename="../launch/instances_unix.cpp" line="311"/>
        <source>the launcher&apos;s helper ended</source>
        <translation>der Hilfsprozess des Launchers wurde beendet</translation>
    </message>
    <message numerus="yes">
        <location filename="../launch/instances.cpp" line="479"/>
        <source>[lines left out: %n]</source>
        <translation>
            <numerusform>[ausgelassene Zeilen: %n]</numerusform>
            <numerusform>[ausgelassene Zeilen: %n]</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LauncherFile</name>
    <message>
        <location filename="../config/configfile.cpp" line="22"/>
        <source>the system gave no reason</source>
        <translation>das System nannte keinen Grund</translation>
    </message>
    <message>
        <location filename="../config/configfile.cpp" line="88"/>
        <source>it is not a regular file</source>
        <translation>sie ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <location filename="../config/configfile.cpp" line="90"/>
        <location filename="../config/configfile.cpp" line="106"/>
        <source>it is larger than %1 MiB</source>
        <translation>sie ist größer als %1 MiB</translation>
    </message>
    <message>
        <location filename="../config/configfile.cpp" line="185"/>
        <source>it would be larger than %1 MiB</source>
        <translation>sie würde größer als %1 MiB</translation>
    </message>
    <message>
        <location filename="../config/profileexchange.cpp" line="372"/>
        <source>it is the launcher&apos;s own configuration, which is never exported over</source>
        <translation>sie ist die eigene Konfiguration des Launchers, die nie durch einen Export überschrieben wird</translation>
    </message>
</context>
<context>
    <name>LogViewer</name>
    <message>
        <location filename="../ui/logviewer.cpp" line="152"/>
        <source>Log of &quot;%1&quot;</source>
        <translation>Log von „%1“</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="164"/>
        <source>Text, or /regular expression</source>
        <translation>Text oder /regulärer Ausdruck</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="167"/>
        <source>&amp;Wrap lines</source>
        <translation>Zeilen &amp;umbrechen</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="170"/>
        <source>&amp;Started:</source>
        <translation>&amp;Gestartet:</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="175"/>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="181"/>
        <source>Log lines</source>
        <translation>Log-Zeilen</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="192"/>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="193"/>
        <source>&amp;Save As…</source>
        <translation>&amp;Speichern unter …</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="194"/>
        <source>Open in &amp;Editor</source>
        <translation>Im &amp;Editor öffnen</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="201"/>
        <source>The log %1 could not be opened: no program to show it was found.</source>
        <translation>Das Protokoll %1 konnte nicht geöffnet werden: Es wurde kein Programm gefunden, das es anzeigt.</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="291"/>
        <location filename="../ui/logviewer.cpp" line="302"/>
        <source>Save Log</source>
        <translation>Log speichern</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="291"/>
        <source>Logs (*.log *.txt);;All files (*)</source>
        <translation>Logs (*.log *.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="303"/>
        <source>The log could not be saved: %1 cannot be written: %2.</source>
        <translation>Das Log konnte nicht gespeichert werden: %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="312"/>
        <source>The filter is no regular expression: %1.</source>
        <translation>Der Filter ist kein regulärer Ausdruck: %1.</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="314"/>
        <source>Lines: %1</source>
        <translation>Zeilen: %1</translation>
    </message>
    <message>
        <location filename="../ui/logviewer.cpp" line="317"/>
        <source>Lines: %1 of %2</source>
        <translation>Zeilen: %1 von %2</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../main.cpp" line="60"/>
        <source>Velmora Mobile Emulator Launcher Warning</source>
        <translation>Velmora Mobile Emulator Launcher – Warnung</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="61"/>
        <source>The launcher cannot make sure that it runs only once: %1. A launcher started while this one runs will not find it, and the two will overwrite each other&apos;s changes.</source>
        <translation>Der Launcher kann nicht sicherstellen, dass er nur einmal läuft: %1. Ein Launcher, der gestartet wird, während dieser läuft, findet ihn nicht, und die beiden überschreiben gegenseitig ihre Änderungen.</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="322"/>
        <source>Add Profile</source>
        <translation>Profil hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="74"/>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="74"/>
        <source>resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="75"/>
        <source>Add resolution</source>
        <translation>Auflösung hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="76"/>
        <source>Remove resolution</source>
        <translation>Auflösung entfernen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="80"/>
        <source>Pixel Density</source>
        <translation>Pixeldichte</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="81"/>
        <source>pixel density</source>
        <translation>Pixeldichte</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="82"/>
        <source>Add pixel density</source>
        <translation>Pixeldichte hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="83"/>
        <source>Remove pixel density</source>
        <translation>Pixeldichte entfernen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="86"/>
        <source>Input</source>
        <translation>Eingabe</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="87"/>
        <source>input</source>
        <translation>Eingabe</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="93"/>
        <source>Velmora Mobile Emulator</source>
        <translation>Velmora Mobile Emulator</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="144"/>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="157"/>
        <source>Profiles</source>
        <translation>Profile</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="167"/>
        <location filename="../ui/mainwindow.cpp" line="214"/>
        <location filename="../ui/mainwindow.cpp" line="285"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="170"/>
        <location filename="../ui/mainwindow.cpp" line="217"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="170"/>
        <source>Remove profile</source>
        <translation>Profil entfernen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="193"/>
        <source>&amp;Arguments</source>
        <translation>&amp;Argumente</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="229"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="231"/>
        <source>&amp;Launch</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="285"/>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="286"/>
        <source>Add profile</source>
        <translation>Profil hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="286"/>
        <source>Update profile</source>
        <translation>Profil aktualisieren</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="322"/>
        <source>Enter the name for the new profile</source>
        <translation>Geben Sie den Namen des neuen Profils ein</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="354"/>
        <location filename="../ui/profilelistactions.cpp" line="386"/>
        <source>This profile already exists. Do you want to replace it?</source>
        <translation>Dieses Profil gibt es bereits. Möchten Sie es ersetzen?</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="379"/>
        <location filename="../ui/profilelistactions.cpp" line="572"/>
        <source>Confirm Remove Profile</source>
        <translation>Entfernen des Profils bestätigen</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="381"/>
        <location filename="../ui/profilelistactions.cpp" line="575"/>
        <source>Are you sure you want to remove this profile?

</source>
        <translation>Möchten Sie dieses Profil wirklich entfernen?

</translation>
    </message>
    <message>
        <location filename="../ui/adddlg.cpp" line="79"/>
        <source>Add Resolution</source>
        <translation>Auflösung hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/adddlg.cpp" line="80"/>
        <location filename="../ui/adddlg.cpp" line="97"/>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <location filename="../ui/adddlg.cpp" line="81"/>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <location filename="../ui/adddlg.cpp" line="82"/>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <location filename="../ui/adddlg.cpp" line="96"/>
        <source>Add Pixel Density</source>
        <translation>Pixeldichte hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/adddlg.cpp" line="98"/>
        <source>Pixel Density:</source>
        <translation>Pixeldichte:</translation>
    </message>
    <message>
        <location filename="../ui/dialogs.cpp" line="130"/>
        <source>The following profiles use this option, are you sure you want to continue?

</source>
        <translation>Die folgenden Profile verwenden diese Option. Möchten Sie wirklich fortfahren?

</translation>
    </message>
    <message numerus="yes">
        <location filename="../ui/dialogs.cpp" line="121"/>
        <source>… and %n more profiles.</source>
        <translation>
            <numerusform>… und %n weiteres Profil.</numerusform>
            <numerusform>… und %n weitere Profile.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="453"/>
        <source>Confirm remove %1</source>
        <translation>Entfernen bestätigen: %1</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="461"/>
        <source>&quot;%1&quot; is no longer in the list: the configuration file was changed outside the launcher meanwhile. Nothing was removed.</source>
        <translation>„%1“ ist nicht mehr in der Liste: Die Konfigurationsdatei wurde inzwischen außerhalb des Launchers geändert. Es wurde nichts entfernt.</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="477"/>
        <source>The help page %1 could not be opened: no program to show it was found.</source>
        <translation>Die Hilfeseite %1 konnte nicht geöffnet werden: Es wurde kein Programm gefunden, das sie anzeigt.</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="491"/>
        <source>Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="492"/>
        <source>Failed to start Velmora Mobile Emulator!</source>
        <translation>Velmora Mobile Emulator konnte nicht gestartet werden!</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="493"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="336"/>
        <source>The arguments cannot contain the word %1: when the launcher reads the profile again, it would take the word for one of the profile&apos;s options.</source>
        <translation>Die Argumente dürfen das Wort %1 nicht enthalten: Wenn der Launcher das Profil wieder einliest, hielte er das Wort für eine der Optionen des Profils.</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="152"/>
        <source>Filter profiles</source>
        <translation>Profile filtern</translation>
    </message>
    <message>
        <location filename="../ui/mainwindow.cpp" line="153"/>
        <source>Filter profiles (Ctrl+F)</source>
        <translation>Profile filtern (Strg+F)</translation>
    </message>
</context>
<context>
    <name>MoveProfileCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="223"/>
        <source>Move %1</source>
        <translation>%1 verschieben</translation>
    </message>
</context>
<context>
    <name>ProfileCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="19"/>
        <source>%1 could not be redone: %2.</source>
        <translation>%1 konnte nicht wiederholt werden: %2.</translation>
    </message>
    <message>
        <location filename="../document/profilecommands.cpp" line="20"/>
        <source>%1 could not be undone: %2.</source>
        <translation>%1 konnte nicht rückgängig gemacht werden: %2.</translation>
    </message>
    <message>
        <location filename="../document/profilecommands.cpp" line="92"/>
        <location filename="../document/profiledocument.cpp" line="226"/>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <location filename="../document/profilecommands.cpp" line="97"/>
        <source>the option %1 is no longer in its list</source>
        <translation>die Option %1 steht nicht mehr in ihrer Liste</translation>
    </message>
    <message>
        <location filename="../document/profilecommands.cpp" line="112"/>
        <source>the profile %1 no longer exists</source>
        <translation>das Profil %1 gibt es nicht mehr</translation>
    </message>
    <message>
        <location filename="../document/profilecommands.cpp" line="117"/>
        <source>another profile is named %1</source>
        <translation>ein anderes Profil heißt %1</translation>
    </message>
    <message numerus="yes">
        <location filename="../document/profiledocument.cpp" line="165"/>
        <source>Remove %n profiles</source>
        <translation>
            <numerusform>%n Profil entfernen</numerusform>
            <numerusform>%n Profile entfernen</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../document/profiledocument.cpp" line="225"/>
        <source>New Profile from Device %1</source>
        <translation>Neues Profil vom Gerät %1</translation>
    </message>
    <message>
        <location filename="../document/profiledocument.cpp" line="262"/>
        <source>Import Profiles</source>
        <translation>Profile importieren</translation>
    </message>
</context>
<context>
    <name>ProfileDocument</name>
    <message>
        <location filename="../document/profiledocument.cpp" line="342"/>
        <source>it is of version %1</source>
        <translation>sie hat die Version %1</translation>
    </message>
</context>
<context>
    <name>ProfileListActions</name>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="69"/>
        <location filename="../ui/profilelistactions.cpp" line="538"/>
        <source>Launch</source>
        <translation>Starten</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="70"/>
        <source>Duplicate…</source>
        <translation>Duplizieren …</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="72"/>
        <source>Rename…</source>
        <translation>Umbenennen …</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="78"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="80"/>
        <source>Copy Command Line</source>
        <translation>Befehlszeile kopieren</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="90"/>
        <source>Running Emulators…</source>
        <translation>Laufende Emulatoren …</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="187"/>
        <location filename="../ui/profilelistactions.cpp" line="212"/>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="187"/>
        <source>Undo %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="188"/>
        <location filename="../ui/profilelistactions.cpp" line="212"/>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="188"/>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="203"/>
        <source>The configuration file was changed outside the launcher meanwhile.</source>
        <translation>Die Konfigurationsdatei wurde inzwischen außerhalb des Launchers geändert.</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="313"/>
        <source>Duplicate Profile</source>
        <translation>Profil duplizieren</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="313"/>
        <source>Enter the name for the copy</source>
        <translation>Geben Sie den Namen der Kopie ein</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="314"/>
        <source>%1 (copy)</source>
        <translation>%1 (Kopie)</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="323"/>
        <location filename="../ui/profilelistactions.cpp" line="343"/>
        <source>Rename Profile</source>
        <translation>Profil umbenennen</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="329"/>
        <source>Enter the new name for the profile</source>
        <translation>Geben Sie den neuen Namen des Profils ein</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="336"/>
        <location filename="../ui/profilelistactions.cpp" line="352"/>
        <source>A profile named &quot;%1&quot; already exists.</source>
        <translation>Ein Profil namens „%1“ gibt es bereits.</translation>
    </message>
    <message numerus="yes">
        <location filename="../ui/profilelistactions.cpp" line="416"/>
        <source>Export all profiles, or only the %n selected?</source>
        <translation>
            <numerusform>Alle Profile exportieren oder nur das %n ausgewählte?</numerusform>
            <numerusform>Alle Profile exportieren oder nur die %n ausgewählten?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="420"/>
        <source>Selected Profiles</source>
        <translation>Ausgewählte Profile</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="505"/>
        <location filename="../ui/profilelistactions.cpp" line="550"/>
        <source>&quot;%1&quot;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="513"/>
        <source>These profiles could not be added to the applications menu:

%1</source>
        <translation>Diese Profile konnten nicht zum Anwendungsmenü hinzugefügt werden:

%1</translation>
    </message>
    <message numerus="yes">
        <location filename="../ui/profilelistactions.cpp" line="539"/>
        <source>Start %n emulators, one for each selected profile?</source>
        <translation>
            <numerusform>%n Emulator starten, einen für jedes ausgewählte Profil?</numerusform>
            <numerusform>%n Emulatoren starten, einen für jedes ausgewählte Profil?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="553"/>
        <source>Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="554"/>
        <source>Failed to start Velmora Mobile Emulator!</source>
        <translation>Velmora Mobile Emulator konnte nicht gestartet werden!</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="668"/>
        <source>%1 cannot be imported: %2.</source>
        <translation>%1 kann nicht importiert werden: %2.</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="670"/>
        <source>it does not exist</source>
        <translation>sie existiert nicht</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="673"/>
        <source>it is no launcher configuration of a version read here</source>
        <translation>sie ist keine Launcher-Konfiguration einer Version, die hier gelesen wird</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="679"/>
        <source>Nothing was imported: %1 cannot be written: %2.</source>
        <translation>Nichts wurde importiert: %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="681"/>
        <source>it is left as it is</source>
        <translation>sie bleibt, wie sie ist</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="690"/>
        <source>These profiles were not imported: a name cannot be empty or hold a double quote or a line break.

</source>
        <translation>Diese Profile wurden nicht importiert: Ein Name darf nicht leer sein und kein doppeltes Anführungszeichen oder keinen Zeilenumbruch enthalten.

</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="82"/>
        <source>New Profile from Device…</source>
        <translation>Neues Profil aus Gerät …</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="83"/>
        <source>Export Profiles…</source>
        <translation>Profile exportieren …</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="84"/>
        <source>Import Profiles…</source>
        <translation>Profile importieren …</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="86"/>
        <location filename="../ui/profilelistactions.cpp" line="508"/>
        <location filename="../ui/profilelistactions.cpp" line="512"/>
        <source>Add to Applications Menu</source>
        <translation>Zum Anwendungsmenü hinzufügen</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="383"/>
        <source>New Profile from Device</source>
        <translation>Neues Profil aus Gerät</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="413"/>
        <location filename="../ui/profilelistactions.cpp" line="430"/>
        <location filename="../ui/profilelistactions.cpp" line="445"/>
        <location filename="../ui/profilelistactions.cpp" line="457"/>
        <source>Export Profiles</source>
        <translation>Profile exportieren</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="415"/>
        <source>Export all profiles, or only &quot;%1&quot;?</source>
        <translation>Alle Profile exportieren oder nur „%1“?</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="418"/>
        <source>All Profiles</source>
        <translation>Alle Profile</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="420"/>
        <source>Selected Profile</source>
        <translation>Ausgewähltes Profil</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="431"/>
        <location filename="../ui/profilelistactions.cpp" line="465"/>
        <source>Launcher configurations (*.ini);;All files (*)</source>
        <translation>Launcher-Konfigurationen (*.ini);;Alle Dateien (*)</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="464"/>
        <location filename="../ui/profilelistactions.cpp" line="477"/>
        <location filename="../ui/profilelistactions.cpp" line="664"/>
        <source>Import Profiles</source>
        <translation>Profile importieren</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="478"/>
        <source>A profile named &quot;%1&quot; already exists. Replace it with the imported one, or skip the imported one?</source>
        <translation>Ein Profil namens „%1“ gibt es bereits. Soll es durch das importierte ersetzt oder das importierte übersprungen werden?</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="482"/>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="483"/>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="484"/>
        <source>Do the same for the other profiles of the file</source>
        <translation>Für die übrigen Profile der Datei genauso verfahren</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="509"/>
        <source>The profile could not be added to the applications menu: %1.</source>
        <translation>Das Profil konnte nicht zum Anwendungsmenü hinzugefügt werden: %1.</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="87"/>
        <location filename="../ui/profilelistactions.cpp" line="616"/>
        <source>Stop</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="88"/>
        <location filename="../ui/profilelistactions.cpp" line="590"/>
        <source>Stop All Emulators</source>
        <translation>Alle Emulatoren beenden</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="89"/>
        <location filename="../ui/profilelistactions.cpp" line="655"/>
        <source>Show Log</source>
        <translation>Protokoll anzeigen</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="445"/>
        <source>Nothing was exported.</source>
        <translation>Es wurde nichts exportiert.</translation>
    </message>
    <message numerus="yes">
        <location filename="../ui/profilelistactions.cpp" line="591"/>
        <source>Stop all %n running emulators?</source>
        <translation>
            <numerusform>Den laufenden Emulator beenden?</numerusform>
            <numerusform>Alle %n laufenden Emulatoren beenden?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="617"/>
        <source>These emulators could not be stopped:

%1</source>
        <translation>Diese Emulatoren konnten nicht beendet werden:

%1</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="656"/>
        <source>No emulator of this profile has left a log yet.</source>
        <translation>Von diesem Profil hat noch kein Emulator ein Protokoll hinterlassen.</translation>
    </message>
    <message>
        <location filename="../ui/profilelistactions.cpp" line="458"/>
        <source>The profiles could not be exported: %1 cannot be written: %2.</source>
        <translation>Die Profile konnten nicht exportiert werden: %1 kann nicht geschrieben werden: %2.</translation>
    </message>
</context>
<context>
    <name>ProfileName</name>
    <message>
        <location filename="../ui/dialogs.cpp" line="75"/>
        <source>A profile name cannot contain a double quote.</source>
        <translation>Ein Profilname darf kein doppeltes Anführungszeichen enthalten.</translation>
    </message>
    <message>
        <location filename="../ui/dialogs.cpp" line="78"/>
        <source>A profile name cannot contain a line break.</source>
        <translation>Ein Profilname darf keinen Zeilenumbruch enthalten.</translation>
    </message>
</context>
<context>
    <name>QCoreApplication</name>
    <message numerus="yes">
        <location filename="../ui/profilelistactions.cpp" line="577"/>
        <source>Are you sure you want to remove these %n profiles?

</source>
        <translation>
            <numerusform>Möchten Sie dieses %n Profil wirklich entfernen?

</numerusform>
            <numerusform>Möchten Sie diese %n Profile wirklich entfernen?

</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RemoveOptionCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="270"/>
        <source>Remove Resolution %1</source>
        <translation>Auflösung %1 entfernen</translation>
    </message>
    <message>
        <location filename="../document/profilecommands.cpp" line="271"/>
        <source>Remove Pixel Density %1</source>
        <translation>Pixeldichte %1 entfernen</translation>
    </message>
</context>
<context>
    <name>RemoveProfileCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="170"/>
        <source>Remove %1</source>
        <translation>%1 entfernen</translation>
    </message>
</context>
<context>
    <name>RenameProfileCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="203"/>
        <source>Rename %1 to %2</source>
        <translation>%1 in %2 umbenennen</translation>
    </message>
</context>
<context>
    <name>RunningEmulatorsView</name>
    <message>
        <location filename="../ui/runningemulatorsview.cpp" line="59"/>
        <source>The emulator&apos;s output cannot be kept in %1: %2. It is discarded.</source>
        <translation>Die Ausgabe des Emulators kann nicht in %1 aufbewahrt werden: %2. Sie wird verworfen.</translation>
    </message>
    <message>
        <location filename="../ui/runningemulatorsview.cpp" line="71"/>
        <source>The emulator runs, but the launcher cannot write down that it does in %1: %2. It cannot show or stop it.</source>
        <translation>Der Emulator läuft, aber der Launcher kann in %1 nicht vermerken, dass er läuft: %2. Er kann ihn weder anzeigen noch beenden.</translation>
    </message>
    <message numerus="yes">
        <location filename="../ui/runningemulatorsview.cpp" line="93"/>
        <source>%n running</source>
        <translation>
            <numerusform>%n läuft</numerusform>
            <numerusform>%n laufen</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../ui/runningemulatorsview.cpp" line="123"/>
        <source>Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher</translation>
    </message>
    <message>
        <location filename="../ui/runningemulatorsview.cpp" line="144"/>
        <source>What it wrote:

%1</source>
        <translation>Seine Ausgabe:

%1</translation>
    </message>
    <message>
        <location filename="../ui/runningemulatorsview.cpp" line="116"/>
        <source>The emulator for &quot;%1&quot; ended %2 seconds after it started.</source>
        <translation>Der Emulator für „%1“ endete %2 Sekunden nach seinem Start.</translation>
    </message>
    <message>
        <location filename="../ui/runningemulatorsview.cpp" line="117"/>
        <source>The emulator for &quot;%1&quot; ended %2 seconds after it started: %3.</source>
        <translation>Der Emulator für „%1“ endete %2 Sekunden nach seinem Start: %3.</translation>
    </message>
    <message>
        <location filename="../ui/runningemulatorsview.cpp" line="129"/>
        <source>Open Log</source>
        <translation>Protokoll öffnen</translation>
    </message>
</context>
<context>
    <name>RunningPanel</name>
    <message numerus="yes">
        <location filename="../ui/runningpanel.cpp" line="36"/>
        <source>%n s</source>
        <translation>
            <numerusform>%n s</numerusform>
            <numerusform>%n s</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../ui/runningpanel.cpp" line="38"/>
        <source>%n min</source>
        <translation>
            <numerusform>%n min</numerusform>
            <numerusform>%n min</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../ui/runningpanel.cpp" line="39"/>
        <source>%n h</source>
        <translation>
            <numerusform>%n h</numerusform>
            <numerusform>%n h</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="134"/>
        <source>Running Emulators</source>
        <translation>Laufende Emulatoren</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="144"/>
        <source>Emulators</source>
        <translation>Emulatoren</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="156"/>
        <source>S&amp;top</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="157"/>
        <source>Show &amp;Log</source>
        <translation>&amp;Log zeigen</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="158"/>
        <source>&amp;Copy Command Line</source>
        <translation>Befehlszeile &amp;kopieren</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="159"/>
        <source>Launch &amp;Again</source>
        <translation>&amp;Erneut starten</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="315"/>
        <source>Launch Again</source>
        <translation>Erneut starten</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="316"/>
        <source>Failed to start Velmora Mobile Emulator!</source>
        <translation>Velmora Mobile Emulator konnte nicht gestartet werden!</translation>
    </message>
    <message>
        <location filename="../ui/runningpanel.cpp" line="317"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>SingleApplication</name>
    <message>
        <location filename="../app/singleapplication.cpp" line="137"/>
        <location filename="../app/singleapplication.cpp" line="170"/>
        <source>no directory of your own can hold its lock</source>
        <translation>kein eigenes Verzeichnis kann seine Sperre aufnehmen</translation>
    </message>
    <message>
        <location filename="../app/singleapplication.cpp" line="209"/>
        <source>its lock cannot be created in %1</source>
        <translation>seine Sperre kann in %1 nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>UpdateProfileCommand</name>
    <message>
        <location filename="../document/profilecommands.cpp" line="149"/>
        <source>Update %1</source>
        <translation>%1 aktualisieren</translation>
    </message>
</context>
</TS>

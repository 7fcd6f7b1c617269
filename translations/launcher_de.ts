<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddDlg</name>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>Command</name>
    <message>
        <source>Nothing to start.</source>
        <translation>Nichts zu starten.</translation>
    </message>
    <message>
        <source>Starts %1</source>
        <translation>Startet %1</translation>
    </message>
    <message>
        <source>with no arguments.</source>
        <translation>ohne Argumente.</translation>
    </message>
    <message>
        <source>with the arguments:</source>
        <translation>mit den Argumenten:</translation>
    </message>
    <message>
        <source>there is no program to start</source>
        <translation>es gibt kein Programm zu starten</translation>
    </message>
    <message>
        <source>and in its environment:</source>
        <translation>und in seiner Umgebung:</translation>
    </message>
    <message>
        <source>Before it starts, runs (stopping the launch when it fails or takes longer than %1 s):</source>
        <translation>Vor dem Start läuft (der Start unterbleibt, wenn es fehlschlägt oder länger als %1 s dauert):</translation>
    </message>
    <message>
        <source>After it ends, runs:</source>
        <translation>Nach dem Ende läuft:</translation>
    </message>
    <message>
        <source>The command before launch failed with exit code %1; the emulator was not started.</source>
        <translation>Der Befehl vor dem Start ist mit dem Exit-Code %1 fehlgeschlagen; der Emulator wurde nicht gestartet.</translation>
    </message>
    <message>
        <source>The command before launch did not end within %1 s and was stopped; the emulator was not started.</source>
        <translation>Der Befehl vor dem Start endete nicht innerhalb von %1 s und wurde beendet; der Emulator wurde nicht gestartet.</translation>
    </message>
</context>
<context>
    <name>ConfigMessages</name>
    <message>
        <source>Velmora Mobile Emulator Launcher Warning</source>
        <translation>Velmora Mobile Emulator Launcher – Warnung</translation>
    </message>
    <message>
        <source>Velmora Mobile Emulator</source>
        <translation>Velmora Mobile Emulator</translation>
    </message>
    <message>
        <source>Unable to start Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>Unable to read configuration file.</source>
        <translation>Die Konfigurationsdatei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Your Launcher.ini configuration file %1 cannot be read: %2.

The launcher starts with its default configuration and leaves your file as it is: nothing is saved to it while the launcher runs.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini %1 kann nicht gelesen werden: %2.

Der Launcher startet mit seiner Standardkonfiguration und lässt Ihre Datei, wie sie ist: Solange er läuft, speichert er nichts darin.</translation>
    </message>
    <message>
        <source>Your Launcher.ini configuration file is out of date and will not be used. It has been renamed to %1 to make place for a new configuration file.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini ist veraltet und wird nicht verwendet. Sie wurde in %1 umbenannt, um Platz für eine neue Konfigurationsdatei zu schaffen.</translation>
    </message>
    <message>
        <source>Your Launcher.ini configuration file is out of date and will not be used. It could not be renamed to %1 and will be replaced by the launcher&apos;s configuration at your first change, or when the launcher closes.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini ist veraltet und wird nicht verwendet. Sie konnte nicht in %1 umbenannt werden und wird bei Ihrer ersten Änderung oder beim Schließen des Launchers durch dessen Konfiguration ersetzt.</translation>
    </message>
    <message>
        <source>Config file is out of date</source>
        <translation>Die Konfigurationsdatei ist veraltet</translation>
    </message>
    <message>
        <source>Your changes are not being saved: %1 cannot be written: %2.

The launcher tries again with every change and when it closes.</source>
        <translation>Ihre Änderungen werden nicht gespeichert: %1 kann nicht geschrieben werden: %2.

Der Launcher versucht es bei jeder Änderung und beim Schließen erneut.</translation>
    </message>
    <message>
        <source>Your Launcher.ini configuration file %1 was changed by another program and can no longer be read: %2.

The launcher leaves it as it is: your changes are saved to it once it can be read again.</source>
        <translation>Ihre Konfigurationsdatei Launcher.ini %1 wurde von einem anderen Programm geändert und kann nicht mehr gelesen werden: %2.

Der Launcher lässt sie, wie sie ist: Ihre Änderungen speichert er darin, sobald sie wieder gelesen werden kann.</translation>
    </message>
    <message>
        <source>The profile &quot;%1&quot; no longer exists: the configuration file was changed outside the launcher meanwhile. %2</source>
        <translation>Das Profil „%1“ gibt es nicht mehr: Die Konfigurationsdatei wurde inzwischen außerhalb des Launchers geändert. %2</translation>
    </message>
    <message>
        <source>Nothing was changed.</source>
        <translation>Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>The profile &quot;%1&quot; was changed outside the launcher since you were asked. %2</source>
        <translation>Das Profil „%1“ wurde außerhalb des Launchers geändert, seit Sie gefragt wurden. %2</translation>
    </message>
</context>
<context>
    <name>DesktopBus</name>
    <message>
        <source>Launch %1</source>
        <translation>%1 starten</translation>
    </message>
</context>
<context>
    <name>DesktopEntry</name>
    <message>
        <source>its name holds a control character, which a menu entry cannot hold</source>
        <translation>sein Name enthält ein Steuerzeichen, das ein Menüeintrag nicht enthalten kann</translation>
    </message>
</context>
<context>
    <name>DeviceDialog</name>
    <message>
        <source>New Profile from Device</source>
        <translation>Neues Profil aus Gerät</translation>
    </message>
    <message>
        <source>Type to filter the devices by name</source>
        <translation>Tippen, um die Geräte nach Namen zu filtern</translation>
    </message>
    <message>
        <source>Filter devices</source>
        <translation>Geräte filtern</translation>
    </message>
    <message>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <source>&amp;Portrait</source>
        <translation>&amp;Hochformat</translation>
    </message>
    <message>
        <source>L&amp;andscape</source>
        <translation>&amp;Querformat</translation>
    </message>
    <message>
        <source>%1 — %2×%3, %4 dpi</source>
        <translation>%1 — %2×%3, %4 dpi</translation>
    </message>
    <message>
        <source> (larger than the screen)</source>
        <translation> (größer als der Bildschirm)</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Resolution bigger than the current screen size!</source>
        <translation>Auflösung größer als der aktuelle Bildschirm!</translation>
    </message>
    <message>
        <source>You are trying to add: %1x%2
but the current screen resolution is: %3x%4

Are you sure ?</source>
        <translation>Sie möchten hinzufügen: %1x%2
aber die aktuelle Bildschirmauflösung ist: %3x%4

Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher</translation>
    </message>
    <message>
        <source>The emulator for %1 could not be started.</source>
        <translation>Der Emulator für %1 konnte nicht gestartet werden.</translation>
    </message>
</context>
<context>
    <name>EarlyEndNotice</name>
    <message>
        <source>Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher</translation>
    </message>
    <message>
        <source>Emulators that ended</source>
        <translation>Beendete Emulatoren</translation>
    </message>
    <message>
        <source>What it wrote</source>
        <translation>Was er ausgegeben hat</translation>
    </message>
    <message>
        <source>Open Log</source>
        <translation>Protokoll öffnen</translation>
    </message>
    <message>
        <source>%1 emulators ended right after they started, the newest first:</source>
        <translation>%1 Emulatoren endeten gleich nach ihrem Start, der neueste zuerst:</translation>
    </message>
    <message>
        <source>Its output was not kept.</source>
        <translation>Seine Ausgabe wurde nicht aufbewahrt.</translation>
    </message>
    <message>
        <source>It wrote nothing.</source>
        <translation>Er hat nichts ausgegeben.</translation>
    </message>
</context>
<context>
    <name>EmulatorControl</name>
    <message>
        <source>Launch</source>
        <translation>Starten</translation>
    </message>
    <message numerus="yes">
        <source>Start %n emulators, one for each selected profile?</source>
        <translation>
            <numerusform>%n Emulator starten, einen für jedes ausgewählte Profil?</numerusform>
            <numerusform>%n Emulatoren starten, einen für jedes ausgewählte Profil?</numerusform>
        </translation>
    </message>
    <message>
        <source>Stop All Emulators</source>
        <translation>Alle Emulatoren beenden</translation>
    </message>
    <message numerus="yes">
        <source>Stop all %n running emulators?</source>
        <translation>
            <numerusform>Den laufenden Emulator beenden?</numerusform>
            <numerusform>Alle %n laufenden Emulatoren beenden?</numerusform>
        </translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>These emulators could not be stopped:

%1</source>
        <translation>Diese Emulatoren konnten nicht beendet werden:

%1</translation>
    </message>
    <message>
        <source>Show Log</source>
        <translation>Protokoll anzeigen</translation>
    </message>
    <message>
        <source>No emulator of this profile has left a log yet.</source>
        <translation>Von diesem Profil hat noch kein Emulator ein Protokoll hinterlassen.</translation>
    </message>
    <message>
        <source>Launch Tag</source>
        <translation>Tag starten</translation>
    </message>
    <message numerus="yes">
        <source>Start %n emulators, one for each profile tagged &quot;%1&quot;?</source>
        <translation>
            <numerusform>%n Emulator starten, einen für jedes Profil mit dem Tag „%1“?</numerusform>
            <numerusform>%n Emulatoren starten, einen für jedes Profil mit dem Tag „%1“?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EmulatorTableModel</name>
    <message>
        <source>stopping</source>
        <translation>wird beendet</translation>
    </message>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>stopped by the launcher</source>
        <translation>vom Launcher beendet</translation>
    </message>
    <message>
        <source>ended after %1</source>
        <translation>nach %1 beendet</translation>
    </message>
    <message>
        <source>%1 after %2</source>
        <translation>%1, nach %2</translation>
    </message>
    <message>
        <source>%1 (%2 ago)</source>
        <translation>%1 (vor %2)</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Process ID</source>
        <translation>Prozess-ID</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Gestartet</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message numerus="yes">
        <source>Its command line was too long to keep whole (%n characters): it cannot be copied or launched again from here.</source>
        <translation>
            <numerusform>Seine Befehlszeile war zu lang, um sie ganz zu behalten (%n Zeichen): Sie kann hier weder kopiert noch erneut gestartet werden.</numerusform>
            <numerusform>Seine Befehlszeile war zu lang, um sie ganz zu behalten (%n Zeichen): Sie kann hier weder kopiert noch erneut gestartet werden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EmulatorWindows</name>
    <message>
        <source>On Wayland no program may place another&apos;s windows.</source>
        <translation>Unter Wayland darf kein Programm die Fenster eines anderen platzieren.</translation>
    </message>
    <message>
        <source>there is no X display</source>
        <translation>es gibt keine X-Anzeige</translation>
    </message>
</context>
<context>
    <name>Emulators</name>
    <message>
        <source>it exited with code %1</source>
        <translation>es wurde mit dem Code %1 beendet</translation>
    </message>
    <message>
        <source>it was ended by signal %1 (%2)</source>
        <translation>es wurde durch das Signal %1 (%2) beendet</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>er ist ein symbolischer Link</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>er ist kein Ordner</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>the launcher&apos;s helper ended</source>
        <translation>der Hilfsprozess des Launchers wurde beendet</translation>
    </message>
    <message numerus="yes">
        <source>[lines left out: %n]</source>
        <translation>
            <numerusform>[ausgelassene Zeilen: %n]</numerusform>
            <numerusform>[ausgelassene Zeilen: %n]</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ExchangeDialogs</name>
    <message>
        <source>Export Profiles</source>
        <translation>Profile exportieren</translation>
    </message>
    <message>
        <source>Export all profiles, or only &quot;%1&quot;?</source>
        <translation>Alle Profile exportieren oder nur „%1“?</translation>
    </message>
    <message numerus="yes">
        <source>Export all profiles, or only the %n selected?</source>
        <translation>
            <numerusform>Alle Profile exportieren oder nur das %n ausgewählte?</numerusform>
            <numerusform>Alle Profile exportieren oder nur die %n ausgewählten?</numerusform>
        </translation>
    </message>
    <message>
        <source>All Profiles</source>
        <translation>Alle Profile</translation>
    </message>
    <message>
        <source>Selected Profile</source>
        <translation>Ausgewähltes Profil</translation>
    </message>
    <message>
        <source>Selected Profiles</source>
        <translation>Ausgewählte Profile</translation>
    </message>
    <message>
        <source>Nothing was exported.</source>
        <translation>Es wurde nichts exportiert.</translation>
    </message>
    <message>
        <source>The profiles could not be exported: %1 cannot be written: %2.</source>
        <translation>Die Profile konnten nicht exportiert werden: %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Import Profiles</source>
        <translation>Profile importieren</translation>
    </message>
    <message>
        <source>A profile named &quot;%1&quot; already exists. Replace it with the imported one, or skip the imported one?</source>
        <translation>Ein Profil namens „%1“ gibt es bereits. Soll es durch das importierte ersetzt oder das importierte übersprungen werden?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Do the same for the other profiles of the file</source>
        <translation>Für die übrigen Profile der Datei genauso verfahren</translation>
    </message>
    <message>
        <source>%1 cannot be imported: %2.</source>
        <translation>%1 kann nicht importiert werden: %2.</translation>
    </message>
    <message>
        <source>it does not exist</source>
        <translation>sie existiert nicht</translation>
    </message>
    <message>
        <source>it is no launcher configuration of a version read here</source>
        <translation>sie ist keine Launcher-Konfiguration einer Version, die hier gelesen wird</translation>
    </message>
    <message>
        <source>Nothing was imported: %1 cannot be written: %2.</source>
        <translation>Nichts wurde importiert: %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>it is left as it is</source>
        <translation>sie bleibt, wie sie ist</translation>
    </message>
    <message>
        <source>These profiles were not imported: a name cannot be empty or hold a double quote, a line break or another control character.

</source>
        <translation>Diese Profile wurden nicht importiert: Ein Name darf nicht leer sein und kein doppeltes Anführungszeichen, keinen Zeilenumbruch und kein anderes Steuerzeichen enthalten.

</translation>
    </message>
    <message>
        <source>These profiles were not imported as you answered:

%1</source>
        <translation>Diese Profile wurden nicht wie von Ihnen beantwortet importiert:

%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot;:</source>
        <translation>„%1“:</translation>
    </message>
    <message>
        <source>  Environment: %1</source>
        <translation>  Umgebung: %1</translation>
    </message>
    <message>
        <source>  Before launch: %1</source>
        <translation>  Vor dem Start: %1</translation>
    </message>
    <message>
        <source>  After it ends: %1</source>
        <translation>  Nach dem Ende: %1</translation>
    </message>
    <message>
        <source>The imported profiles carry an environment and commands that run when they launch. Take them too? Without them only the tags and notes are taken.</source>
        <translation>Die importierten Profile bringen eine Umgebung und Befehle mit, die beim Start laufen. Auch diese übernehmen? Ohne sie werden nur die Tags und Notizen übernommen.</translation>
    </message>
    <message>
        <source>Take Them</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Leave Them Out</source>
        <translation>Weglassen</translation>
    </message>
    <message>
        <source>Import Tags, Notes, Environment and Hooks</source>
        <translation>Tags, Notizen, Umgebung und Hooks importieren</translation>
    </message>
    <message>
        <source>Import Tags and Notes</source>
        <translation>Tags und Notizen importieren</translation>
    </message>
    <message>
        <source>Velmora profiles (*.vmprofiles);;Launcher configurations (*.ini);;All files (*)</source>
        <translation>Velmora-Profile (*.vmprofiles);;Launcher-Konfigurationen (*.ini);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Profile files (*.vmprofiles *.ini);;All files (*)</source>
        <translation>Profildateien (*.vmprofiles *.ini);;Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>ExtrasActions</name>
    <message>
        <source>Organi&amp;ze</source>
        <translation>&amp;Ordnen</translation>
    </message>
    <message>
        <source>&amp;Tags…</source>
        <translation>&amp;Tags …</translation>
    </message>
    <message>
        <source>&amp;Notes…</source>
        <translation>&amp;Notizen …</translation>
    </message>
    <message>
        <source>&amp;Environment…</source>
        <translation>&amp;Umgebung …</translation>
    </message>
    <message>
        <source>Launc&amp;h Tag</source>
        <translation>Ta&amp;g starten</translation>
    </message>
    <message>
        <source>Sto&amp;p Tag</source>
        <translation>Tag auss&amp;chalten</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Tags</translation>
    </message>
    <message>
        <source>Tags of &quot;%1&quot;, separated by commas:</source>
        <translation>Tags von „%1“, durch Kommas getrennt:</translation>
    </message>
    <message numerus="yes">
        <source>Tags of the %n selected profiles, separated by commas (they replace the tags each has):</source>
        <translation>
            <numerusform>Tags des %n ausgewählten Profils, durch Kommas getrennt (sie ersetzen seine Tags):</numerusform>
            <numerusform>Tags der %n ausgewählten Profile, durch Kommas getrennt (sie ersetzen die Tags jedes Profils):</numerusform>
        </translation>
    </message>
    <message>
        <source>Set Tags of &quot;%1&quot;</source>
        <translation>Tags von „%1“ setzen</translation>
    </message>
    <message numerus="yes">
        <source>Set Tags of %n Profiles</source>
        <translation>
            <numerusform>Tags von %n Profil setzen</numerusform>
            <numerusform>Tags von %n Profilen setzen</numerusform>
        </translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Notes of &quot;%1&quot;:</source>
        <translation>Notizen zu „%1“:</translation>
    </message>
    <message>
        <source>Set Notes of &quot;%1&quot;</source>
        <translation>Notizen zu „%1“ setzen</translation>
    </message>
    <message>
        <source>Environment</source>
        <translation>Umgebung</translation>
    </message>
    <message>
        <source>Variables the emulators of &quot;%1&quot; are given, one NAME=value per line:</source>
        <translation>Variablen, die die Emulatoren von „%1“ erhalten, eine NAME=Wert je Zeile:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no NAME=value line: a name is made of letters, digits and _, and does not start with a digit.</source>
        <translation>„%1“ ist keine Zeile NAME=Wert: ein Name besteht aus Buchstaben, Ziffern und _ und beginnt nicht mit einer Ziffer.</translation>
    </message>
    <message>
        <source>Set Environment of &quot;%1&quot;</source>
        <translation>Umgebung von „%1“ setzen</translation>
    </message>
    <message>
        <source>Tags: %1</source>
        <translation>Tags: %1</translation>
    </message>
    <message>
        <source>Environment: %1</source>
        <translation>Umgebung: %1</translation>
    </message>
    <message>
        <source>The tags, notes and environments of the profiles are not kept: %1.</source>
        <translation>Die Tags, Notizen und Umgebungen der Profile werden nicht gespeichert: %1.</translation>
    </message>
    <message>
        <source>&amp;Hooks…</source>
        <translation>&amp;Hooks …</translation>
    </message>
    <message>
        <source>Set Hooks of &quot;%1&quot;</source>
        <translation>Hooks von „%1“ setzen</translation>
    </message>
    <message>
        <source>Before launch: %1</source>
        <translation>Vor dem Start: %1</translation>
    </message>
    <message>
        <source>After it ends: %1</source>
        <translation>Nach dem Ende: %1</translation>
    </message>
</context>
<context>
    <name>HistoryActions</name>
    <message>
        <source>The configuration file was changed outside the launcher meanwhile.</source>
        <translation>Die Konfigurationsdatei wurde inzwischen außerhalb des Launchers geändert.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>Red&amp;o</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Red&amp;o %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
</context>
<context>
    <name>HooksDialog</name>
    <message>
        <source>Hooks</source>
        <translation>Hooks</translation>
    </message>
    <message>
        <source>Commands run for &quot;%1&quot; through /bin/sh -c, in its environment, their output in its log. The launch stops when the command before fails or takes longer than its time limit; the command after is given VELMORA_EXIT_CODE and VELMORA_LOG.</source>
        <translation>Befehle, die für „%1“ über /bin/sh -c in seiner Umgebung laufen; ihre Ausgabe steht in seinem Protokoll. Der Start unterbleibt, wenn der Befehl davor fehlschlägt oder länger als sein Zeitlimit dauert; der Befehl danach erhält VELMORA_EXIT_CODE und VELMORA_LOG.</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>&amp;Before launch:</source>
        <translation>&amp;Vor dem Start:</translation>
    </message>
    <message>
        <source>&amp;Time limit:</source>
        <translation>&amp;Zeitlimit:</translation>
    </message>
    <message>
        <source>&amp;After it ends:</source>
        <translation>&amp;Nach dem Ende:</translation>
    </message>
</context>
<context>
    <name>LauncherFile</name>
    <message>
        <source>the system gave no reason</source>
        <translation>das System nannte keinen Grund</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB</source>
        <translation>sie ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>it would be larger than %1 MiB</source>
        <translation>sie würde größer als %1 MiB</translation>
    </message>
    <message>
        <source>it is the launcher&apos;s own configuration, which is never exported over</source>
        <translation>sie ist die eigene Konfiguration des Launchers, die nie durch einen Export überschrieben wird</translation>
    </message>
    <message>
        <source>Your change of the profile &quot;%1&quot; is not kept: it was changed outside the launcher meanwhile.</source>
        <translation>Ihre Änderung des Profils „%1“ wird nicht übernommen: Es wurde inzwischen außerhalb des Launchers geändert.</translation>
    </message>
    <message>
        <source>Your renaming of the profile &quot;%1&quot; to &quot;%2&quot; is not kept: another profile took that name outside the launcher meanwhile.</source>
        <translation>Ihre Umbenennung des Profils „%1“ in „%2“ wird nicht übernommen: Ein anderes Profil hat diesen Namen inzwischen außerhalb des Launchers erhalten.</translation>
    </message>
</context>
<context>
    <name>LauncherOptions</name>
    <message>
        <source>Shows this help and exits.</source>
        <translation>Zeigt diese Hilfe und beendet sich.</translation>
    </message>
    <message>
        <source>Shows the launcher&apos;s version and exits.</source>
        <translation>Zeigt die Version des Launchers und beendet sich.</translation>
    </message>
    <message>
        <source>Lists the stored profile names, one per line.</source>
        <translation>Listet die gespeicherten Profilnamen auf, einen je Zeile.</translation>
    </message>
    <message>
        <source>With --list: prints the profiles as a JSON array, each with its name, arguments, options and the command it starts. With --running: the emulators, each with its pid, profile, start time, log and command.</source>
        <translation>Mit --list: gibt die Profile als JSON-Array aus, jedes mit Name, Argumenten, Optionen und dem Befehl, den es startet. Mit --running: die Emulatoren, jeder mit PID, Profil, Startzeit, Protokoll und Befehl.</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Starts the emulator for the stored profile &lt;name&gt;, as Launch would; more names may follow, one emulator each. Nothing starts when a name is unknown.</source>
        <translation>Startet den Emulator für das gespeicherte Profil &lt;Name&gt;, wie Starten es täte; weitere Namen dürfen folgen, je einer ein Emulator. Ist ein Name unbekannt, startet nichts.</translation>
    </message>
    <message>
        <source>With --launch: waits up to 5 seconds for each emulator. Exits 0 when all still run, else with the exit code of the first that ended (128 plus its signal; 1 for a code of 0), its first 5 and last 15 lines of output on stderr.</source>
        <translation>Mit --launch: wartet bis zu 5 Sekunden auf jeden Emulator. Endet mit 0, wenn alle noch laufen, sonst mit dem Exit-Code des ersten, der endete (128 plus sein Signal; 1 bei einem Code von 0), und dessen ersten 5 und letzten 15 Ausgabezeilen auf stderr.</translation>
    </message>
    <message>
        <source>Prints the command that --launch &lt;name&gt; would start, quoted for a POSIX shell.</source>
        <translation>Gibt den Befehl aus, den --launch &lt;Name&gt; starten würde, für eine POSIX-Shell maskiert.</translation>
    </message>
    <message>
        <source>Lists the phones and tablets the launcher knows: name, TAB, portrait WIDTHxHEIGHT in pixels, TAB, density.</source>
        <translation>Listet die Telefone und Tablets auf, die der Launcher kennt: Name, TAB, Hochformat BREITExHÖHE in Pixeln, TAB, Dichte.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Writes the profiles named after the options (all when none is named), with the option entries they use, to &lt;file&gt; in Launcher.ini&apos;s format.</source>
        <translation>Schreibt die nach den Optionen genannten Profile (alle, wenn keines genannt ist) mit den Optionseinträgen, die sie verwenden, im Format von Launcher.ini in &lt;Datei&gt;.</translation>
    </message>
    <message>
        <source>Adds the profiles of &lt;file&gt; to the stored ones; a profile of the same name is replaced.</source>
        <translation>Fügt die Profile aus &lt;Datei&gt; den gespeicherten hinzu; ein Profil gleichen Namens wird ersetzt.</translation>
    </message>
    <message>
        <source>Lists the running emulators the launcher started: process id, TAB, profile, TAB, start time, TAB, log file.</source>
        <translation>Listet die laufenden Emulatoren auf, die der Launcher gestartet hat: Prozess-ID, TAB, Profil, TAB, Startzeit, TAB, Protokolldatei.</translation>
    </message>
    <message>
        <source>Stops every running emulator started for the profile &lt;name&gt;; more names may follow.</source>
        <translation>Beendet jeden laufenden Emulator, der für das Profil &lt;Name&gt; gestartet wurde; weitere Namen dürfen folgen.</translation>
    </message>
    <message>
        <source>Stops every running emulator the launcher started.</source>
        <translation>Beendet jeden laufenden Emulator, den der Launcher gestartet hat.</translation>
    </message>
    <message>
        <source>Prints the path of the newest log of the profile &lt;name&gt; (exit code 1 when it has none).</source>
        <translation>Gibt den Pfad des neuesten Protokolls des Profils &lt;Name&gt; aus (Exit-Code 1, wenn es keines hat).</translation>
    </message>
    <message>
        <source>option %1 needs a file name</source>
        <translation>Option %1 braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>option %1 needs a profile name</source>
        <translation>Option %1 braucht einen Profilnamen</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>unknown option %1 (did you mean --%2?)</source>
        <translation>unbekannte Option %1 (meinten Sie --%2?)</translation>
    </message>
    <message>
        <source>give one action at a time</source>
        <translation>geben Sie eine Aktion auf einmal an</translation>
    </message>
    <message>
        <source>--json goes with --list or --running</source>
        <translation>--json gehört zu --list oder --running</translation>
    </message>
    <message>
        <source>--wait goes with --launch</source>
        <translation>--wait gehört zu --launch</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <source>Keeps named profiles for the Velmora Mobile Emulator and starts it.
Without options it opens its window, or brings the open one to the front.</source>
        <translation>Verwaltet benannte Profile für den Velmora Mobile Emulator und startet ihn.
Ohne Optionen öffnet er sein Fenster oder holt das offene nach vorn.</translation>
    </message>
    <message>
        <source>names</source>
        <translation>Namen</translation>
    </message>
    <message>
        <source>With --export: the profiles to write; with --launch and --stop: more profiles.</source>
        <translation>Mit --export: die zu schreibenden Profile; mit --launch und --stop: weitere Profile.</translation>
    </message>
    <message>
        <source>[name...]</source>
        <translation>[Name...]</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2; using the default configuration</source>
        <translation>%1 kann nicht gelesen werden: %2; die Standardkonfiguration wird verwendet</translation>
    </message>
    <message>
        <source>%1 is out of date (version %2); using the default configuration</source>
        <translation>%1 ist veraltet (Version %2); die Standardkonfiguration wird verwendet</translation>
    </message>
    <message>
        <source>no configuration can be read: %1 is missing</source>
        <translation>keine Konfiguration kann gelesen werden: %1 fehlt</translation>
    </message>
    <message>
        <source>no configuration can be read: %1 cannot be read: %2</source>
        <translation>keine Konfiguration kann gelesen werden: %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>No profile named %1</source>
        <translation>Kein Profil namens %1</translation>
    </message>
    <message>
        <source>No profiles named %1</source>
        <translation>Keine Profile namens %1</translation>
    </message>
    <message>
        <source>%1. The profiles are: %2.</source>
        <translation>%1. Die Profile sind: %2.</translation>
    </message>
    <message>
        <source>No profile named &quot;%1&quot;.</source>
        <translation>Kein Profil namens „%1“.</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot import %1: %2</source>
        <translation>%1 kann nicht importiert werden: %2</translation>
    </message>
    <message>
        <source>it does not exist</source>
        <translation>sie existiert nicht</translation>
    </message>
    <message>
        <source>it is no launcher configuration of a version read here</source>
        <translation>sie ist keine Launcher-Konfiguration einer hier lesbaren Version</translation>
    </message>
    <message>
        <source>cannot import: %1 cannot be used (%2) and is left as it is</source>
        <translation>Import nicht möglich: %1 kann nicht verwendet werden (%2) und bleibt, wie sie ist</translation>
    </message>
    <message>
        <source>out of date</source>
        <translation>veraltet</translation>
    </message>
    <message>
        <source>replaced the profile &quot;%1&quot;</source>
        <translation>das Profil „%1“ wurde ersetzt</translation>
    </message>
    <message>
        <source>refused the profile &quot;%1&quot;: a name cannot be empty or hold a double quote, a line break or another control character</source>
        <translation>das Profil „%1“ wurde abgelehnt: Ein Name darf nicht leer sein und kein doppeltes Anführungszeichen, keinen Zeilenumbruch und kein anderes Steuerzeichen enthalten</translation>
    </message>
    <message>
        <source>another program keeps changing it</source>
        <translation>ein anderes Programm ändert sie fortwährend</translation>
    </message>
    <message>
        <source>cannot stop %1</source>
        <translation>%1 kann nicht beendet werden</translation>
    </message>
    <message>
        <source>%1, and no emulator runs for one.</source>
        <translation>%1, und für diesen Namen läuft kein Emulator.</translation>
    </message>
    <message>
        <source>%1, and no emulator runs for them.</source>
        <translation>%1, und für diese Namen läuft kein Emulator.</translation>
    </message>
    <message>
        <source>No emulator of &quot;%1&quot; has left a log yet.</source>
        <translation>Noch kein Emulator von „%1“ hat ein Protokoll hinterlassen.</translation>
    </message>
    <message>
        <source>the emulator for &quot;%1&quot; ended</source>
        <translation>der Emulator für „%1“ wurde beendet</translation>
    </message>
    <message>
        <source>the emulator for &quot;%1&quot; ended: %2</source>
        <translation>der Emulator für „%1“ wurde beendet: %2</translation>
    </message>
    <message>
        <source>cannot start %1: %2</source>
        <translation>%1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>no log can be kept in %1 (%2); the emulator&apos;s output is discarded</source>
        <translation>in %1 kann kein Protokoll geführt werden (%2); die Ausgabe des Emulators wird verworfen</translation>
    </message>
    <message>
        <source>the emulator runs, but its record cannot be written to %1 (%2); --running and --stop do not know it</source>
        <translation>der Emulator läuft, aber sein Eintrag kann nicht in %1 geschrieben werden (%2); --running und --stop kennen ihn nicht</translation>
    </message>
    <message>
        <source>%1; see --help</source>
        <translation>%1; siehe --help</translation>
    </message>
    <message>
        <source>write error: %1</source>
        <translation>Schreibfehler: %1</translation>
    </message>
    <message>
        <source>the window cannot open: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set); see --help for what works without one</source>
        <translation>das Fenster kann nicht geöffnet werden: Es gibt keine Anzeige (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt); was ohne Anzeige geht, steht in --help</translation>
    </message>
    <message>
        <source>tag</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Starts the emulator of every profile tagged &lt;tag&gt;, in the list&apos;s order (exit code 2 when no profile has it).</source>
        <translation>Startet den Emulator jedes Profils mit dem Tag &lt;Tag&gt;, in der Reihenfolge der Liste (Exit-Code 2, wenn kein Profil ihn hat).</translation>
    </message>
    <message>
        <source>With --list: only the profiles tagged &lt;tag&gt; (exit code 2 when no profile has it).</source>
        <translation>Mit --list: nur die Profile mit dem Tag &lt;Tag&gt; (Exit-Code 2, wenn kein Profil ihn hat).</translation>
    </message>
    <message>
        <source>option %1 needs a tag</source>
        <translation>Option %1 braucht einen Tag</translation>
    </message>
    <message>
        <source>--tag goes with --list</source>
        <translation>--tag gehört zu --list</translation>
    </message>
    <message>
        <source>No profile has the tag &quot;%1&quot;.</source>
        <translation>Kein Profil hat den Tag „%1“.</translation>
    </message>
    <message>
        <source>Lists the tags the stored profiles have, one per line.</source>
        <translation>Listet die Tags der gespeicherten Profile auf, einen je Zeile.</translation>
    </message>
    <message>
        <source>the tags and notes were not imported: %1 cannot be read (%2)</source>
        <translation>die Tags und Notizen wurden nicht importiert: %1 kann nicht gelesen werden (%2)</translation>
    </message>
    <message>
        <source>the tags and notes were not imported: cannot write %1: %2</source>
        <translation>die Tags und Notizen wurden nicht importiert: %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>left out the environment and hooks of &quot;%1&quot;: import the file in the window to see and take them</source>
        <translation>Umgebung und Hooks von „%1“ weggelassen: importieren Sie die Datei im Fenster, um sie zu sehen und zu übernehmen</translation>
    </message>
    <message>
        <source>the tags and notes were not imported: another program keeps changing %1</source>
        <translation>die Tags und Notizen wurden nicht importiert: ein anderes Programm ändert %1 fortwährend</translation>
    </message>
    <message>
        <source>Starts as the desktop&apos;s D-Bus activation does: the window shows once the desktop asks for it (activation, a search result, an action), and the launcher ends after a minute when nothing did.</source>
        <translation>Startet, wie die D-Bus-Aktivierung des Desktops es tut: Das Fenster erscheint, sobald der Desktop danach fragt (Aktivierung, ein Suchergebnis, eine Aktion), und der Launcher endet nach einer Minute, wenn nichts danach fragte.</translation>
    </message>
    <message>
        <source>--dbus-service opens no action</source>
        <translation>--dbus-service führt keine Aktion aus</translation>
    </message>
    <message>
        <source>no window of a running emulator was found</source>
        <translation>kein Fenster eines laufenden Emulators wurde gefunden</translation>
    </message>
    <message>
        <source>the emulators&apos; windows cannot be arranged: %1</source>
        <translation>die Fenster der Emulatoren können nicht angeordnet werden: %1</translation>
    </message>
    <message>
        <source>layout</source>
        <translation>anordnung</translation>
    </message>
    <message>
        <source>Places the windows of the running emulators the launcher started: tile (a grid) or cascade, on the screen&apos;s free area, each keeping its size where it fits (X11; exit code 1 on Wayland or when no window is found).</source>
        <translation>Platziert die Fenster der laufenden Emulatoren, die der Launcher gestartet hat: tile (ein Raster) oder cascade (gestaffelt), im freien Bereich des Bildschirms, jedes in seiner Größe, wo es passt (X11; Exit-Code 1 unter Wayland oder wenn kein Fenster gefunden wird).</translation>
    </message>
    <message>
        <source>--arrange takes tile or cascade, not &quot;%1&quot;</source>
        <translation>--arrange nimmt tile oder cascade, nicht „%1“</translation>
    </message>
</context>
<context>
    <name>LauncherTray</name>
    <message>
        <source>Show in &amp;Tray</source>
        <translation>Im &amp;Infobereich zeigen</translation>
    </message>
    <message>
        <source>&amp;Keep Running in the Tray</source>
        <translation>Im Infobereich &amp;weiterlaufen</translation>
    </message>
    <message>
        <source>Running &amp;Emulators…</source>
        <translation>&amp;Laufende Emulatoren …</translation>
    </message>
    <message>
        <source>S&amp;top All Emulators</source>
        <translation>Alle Emula&amp;toren beenden</translation>
    </message>
    <message>
        <source>Show &amp;Window</source>
        <translation>&amp;Fenster zeigen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>This desktop has no tray to show the launcher in.</source>
        <translation>Diese Arbeitsumgebung hat keinen Infobereich, in dem der Launcher erscheinen könnte.</translation>
    </message>
    <message>
        <source>Velmora Mobile Emulator Launcher: no emulator runs</source>
        <translation>Velmora Mobile Emulator Launcher: kein Emulator läuft</translation>
    </message>
    <message>
        <source>Launch %1</source>
        <translation>%1 starten</translation>
    </message>
    <message>
        <source>Velmora Mobile Emulator Launcher: emulators running: %1</source>
        <translation>Velmora Mobile Emulator Launcher: laufende Emulatoren: %1</translation>
    </message>
</context>
<context>
    <name>ListOrder</name>
    <message>
        <source>Sort &amp;By</source>
        <translation>Rei&amp;henfolge</translation>
    </message>
    <message>
        <source>&amp;Stored Order</source>
        <translation>&amp;Gespeicherte Reihenfolge</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>&amp;Last Launch</source>
        <translation>&amp;Letzter Start</translation>
    </message>
    <message>
        <source>Launch &amp;Count</source>
        <translation>&amp;Anzahl der Starts</translation>
    </message>
</context>
<context>
    <name>LogPartBar</name>
    <message>
        <source>Read Ea&amp;rlier Lines</source>
        <translation>Frühe&amp;re Zeilen lesen</translation>
    </message>
    <message>
        <source>Go to E&amp;nd</source>
        <translation>Zum En&amp;de</translation>
    </message>
    <message>
        <source>A large log: %1 of its %2 are read; %3 before them and %4 after them are not (the filter searches what is read).</source>
        <translation>Ein großes Protokoll: %1 von %2 sind gelesen; %3 davor und %4 danach nicht (der Filter durchsucht das Gelesene).</translation>
    </message>
</context>
<context>
    <name>LogViewer</name>
    <message>
        <source>Log of &quot;%1&quot;</source>
        <translation>Protokoll von „%1“</translation>
    </message>
    <message>
        <source>Text, or /regular expression</source>
        <translation>Text oder /regulärer Ausdruck</translation>
    </message>
    <message>
        <source>&amp;Wrap lines</source>
        <translation>Zeilen &amp;umbrechen</translation>
    </message>
    <message>
        <source>&amp;Started:</source>
        <translation>&amp;Gestartet:</translation>
    </message>
    <message>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <source>Log lines</source>
        <translation>Protokollzeilen</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Open in &amp;Editor</source>
        <translation>Im &amp;Editor öffnen</translation>
    </message>
    <message>
        <source>The log %1 could not be opened: no program to show it was found.</source>
        <translation>Das Protokoll %1 konnte nicht geöffnet werden: Es wurde kein Programm gefunden, das es anzeigt.</translation>
    </message>
    <message>
        <source>Save Log</source>
        <translation>Protokoll speichern</translation>
    </message>
    <message>
        <source>Logs (*.log *.txt);;All files (*)</source>
        <translation>Protokolle (*.log *.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The log could not be saved: %1 cannot be written: %2.</source>
        <translation>Das Protokoll konnte nicht gespeichert werden: %1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>The filter is no regular expression: %1.</source>
        <translation>Der Filter ist kein regulärer Ausdruck: %1.</translation>
    </message>
    <message>
        <source>Lines: %1</source>
        <translation>Zeilen: %1</translation>
    </message>
    <message>
        <source>Lines: %1 of %2</source>
        <translation>Zeilen: %1 von %2</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>&amp;Speichern unter …</translation>
    </message>
    <message>
        <source>%1 at character %2</source>
        <translation>%1 bei Zeichen %2</translation>
    </message>
    <message>
        <source>(searching…)</source>
        <translation>(wird durchsucht …)</translation>
    </message>
    <message numerus="yes">
        <source>The expression is too costly for %n lines, which are not shown: simplify it.</source>
        <translation>
            <numerusform>Der Ausdruck ist für %n Zeile zu aufwendig, sie wird nicht gezeigt: Vereinfachen Sie ihn.</numerusform>
            <numerusform>Der Ausdruck ist für %n Zeilen zu aufwendig, sie werden nicht gezeigt: Vereinfachen Sie ihn.</numerusform>
        </translation>
    </message>
    <message>
        <source>the log can no longer be read</source>
        <translation>das Protokoll kann nicht mehr gelesen werden</translation>
    </message>
    <message>
        <source>The earlier lines cannot be read: the log was removed or replaced.</source>
        <translation>Die früheren Zeilen können nicht gelesen werden: das Protokoll wurde entfernt oder ersetzt.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Velmora Mobile Emulator Launcher Warning</source>
        <translation>Velmora Mobile Emulator Launcher – Warnung</translation>
    </message>
    <message>
        <source>The launcher cannot make sure that it runs only once: %1. A launcher started while this one runs will not find it, and the two will overwrite each other&apos;s changes.</source>
        <translation>Der Launcher kann nicht sicherstellen, dass er nur einmal läuft: %1. Ein Launcher, der gestartet wird, während dieser läuft, findet ihn nicht, und die beiden überschreiben gegenseitig ihre Änderungen.</translation>
    </message>
    <message>
        <source>Add Profile</source>
        <translation>Profil hinzufügen</translation>
    </message>
    <message>
        <source>resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>Add resolution</source>
        <translation>Auflösung hinzufügen</translation>
    </message>
    <message>
        <source>Remove resolution</source>
        <translation>Auflösung entfernen</translation>
    </message>
    <message>
        <source>pixel density</source>
        <translation>Pixeldichte</translation>
    </message>
    <message>
        <source>Add pixel density</source>
        <translation>Pixeldichte hinzufügen</translation>
    </message>
    <message>
        <source>Remove pixel density</source>
        <translation>Pixeldichte entfernen</translation>
    </message>
    <message>
        <source>input</source>
        <translation>Eingabe</translation>
    </message>
    <message>
        <source>Velmora Mobile Emulator</source>
        <translation>Velmora Mobile Emulator</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Remove profile</source>
        <translation>Profil entfernen</translation>
    </message>
    <message>
        <source>&amp;Arguments</source>
        <translation>&amp;Argumente</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Launch</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>Add profile</source>
        <translation>Profil hinzufügen</translation>
    </message>
    <message>
        <source>Update profile</source>
        <translation>Profil aktualisieren</translation>
    </message>
    <message>
        <source>Enter the name for the new profile</source>
        <translation>Geben Sie den Namen des neuen Profils ein</translation>
    </message>
    <message>
        <source>This profile already exists. Do you want to replace it?</source>
        <translation>Dieses Profil gibt es bereits. Möchten Sie es ersetzen?</translation>
    </message>
    <message>
        <source>Confirm Remove Profile</source>
        <translation>Entfernen des Profils bestätigen</translation>
    </message>
    <message>
        <source>Are you sure you want to remove this profile?

</source>
        <translation>Möchten Sie dieses Profil wirklich entfernen?

</translation>
    </message>
    <message>
        <source>Add Resolution</source>
        <translation>Auflösung hinzufügen</translation>
    </message>
    <message>
        <source>Add Pixel Density</source>
        <translation>Pixeldichte hinzufügen</translation>
    </message>
    <message>
        <source>The following profiles use this option, are you sure you want to continue?

</source>
        <translation>Die folgenden Profile verwenden diese Option. Möchten Sie wirklich fortfahren?

</translation>
    </message>
    <message numerus="yes">
        <source>… and %n more profiles.</source>
        <translation>
            <numerusform>… und %n weiteres Profil.</numerusform>
            <numerusform>… und %n weitere Profile.</numerusform>
        </translation>
    </message>
    <message>
        <source>Confirm remove %1</source>
        <translation>Entfernen bestätigen: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no longer in the list: the configuration file was changed outside the launcher meanwhile. Nothing was removed.</source>
        <translation>„%1“ ist nicht mehr in der Liste: Die Konfigurationsdatei wurde inzwischen außerhalb des Launchers geändert. Es wurde nichts entfernt.</translation>
    </message>
    <message>
        <source>The help page %1 could not be opened: no program to show it was found.</source>
        <translation>Die Hilfeseite %1 konnte nicht geöffnet werden: Es wurde kein Programm gefunden, das sie anzeigt.</translation>
    </message>
    <message>
        <source>The arguments cannot contain the word %1: when the launcher reads the profile again, it would take the word for one of the profile&apos;s options.</source>
        <translation>Die Argumente dürfen das Wort %1 nicht enthalten: Wenn der Launcher das Profil wieder einliest, hielte er das Wort für eine der Optionen des Profils.</translation>
    </message>
    <message>
        <source>Filter profiles</source>
        <translation>Profile filtern</translation>
    </message>
    <message>
        <source>Filter profiles (Ctrl+F)</source>
        <translation>Profile filtern (Strg+F)</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Width:</source>
        <translation>&amp;Breite:</translation>
    </message>
    <message>
        <source>&amp;Height:</source>
        <translation>&amp;Höhe:</translation>
    </message>
    <message>
        <source>&amp;Pixel Density:</source>
        <translation>&amp;Pixeldichte:</translation>
    </message>
    <message>
        <source>&amp;Resolution</source>
        <translation>Auf&amp;lösung</translation>
    </message>
    <message>
        <source>Remo&amp;ve</source>
        <translation>Entfe&amp;rnen</translation>
    </message>
    <message>
        <source>&amp;Pixel Density</source>
        <translation>&amp;Pixeldichte</translation>
    </message>
    <message>
        <source>Rem&amp;ove</source>
        <translation>Ent&amp;fernen</translation>
    </message>
    <message>
        <source>&amp;Input</source>
        <translation>Ein&amp;gabe</translation>
    </message>
    <message>
        <source>Pro&amp;file</source>
        <translation>Pr&amp;ofil</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <translation>Hin&amp;zufügen</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>Ak&amp;tualisieren</translation>
    </message>
    <message>
        <source>The profiles that use &quot;%1&quot; were changed outside the launcher since you were asked. Nothing was removed.</source>
        <translation>Die Profile, die „%1“ verwenden, wurden außerhalb des Launchers geändert, seit Sie gefragt wurden. Es wurde nichts entfernt.</translation>
    </message>
    <message>
        <source>Windo&amp;ws</source>
        <translation>&amp;Fenster</translation>
    </message>
</context>
<context>
    <name>ProfileCommand</name>
    <message>
        <source>%1 could not be redone: %2.</source>
        <translation>%1 konnte nicht wiederholt werden: %2.</translation>
    </message>
    <message>
        <source>%1 could not be undone: %2.</source>
        <translation>%1 konnte nicht rückgängig gemacht werden: %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>the option %1 is no longer in its list</source>
        <translation>die Option %1 steht nicht mehr in ihrer Liste</translation>
    </message>
    <message>
        <source>the profile %1 no longer exists</source>
        <translation>das Profil %1 gibt es nicht mehr</translation>
    </message>
    <message>
        <source>another profile is named %1</source>
        <translation>ein anderes Profil heißt %1</translation>
    </message>
    <message>
        <source>New Profile from Device %1</source>
        <translation>Neues Profil vom Gerät %1</translation>
    </message>
    <message>
        <source>Import Profiles</source>
        <translation>Profile importieren</translation>
    </message>
    <message numerus="yes">
        <source>%1; and %n more</source>
        <translation>
            <numerusform>%1; und %n weiterer</numerusform>
            <numerusform>%1; und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 could not be redone in full: %2.</source>
        <translation>%1 konnte nicht vollständig wiederholt werden: %2.</translation>
    </message>
    <message>
        <source>%1 could not be undone in full: %2.</source>
        <translation>%1 konnte nicht vollständig rückgängig gemacht werden: %2.</translation>
    </message>
    <message>
        <source>the profile %1 was changed outside the launcher since</source>
        <translation>das Profil %1 wurde seitdem außerhalb des Launchers geändert</translation>
    </message>
    <message>
        <source>the profile %1 uses the option %2 now</source>
        <translation>das Profil %1 verwendet jetzt die Option %2</translation>
    </message>
    <message>
        <source>the profile %1 was added outside the launcher meanwhile</source>
        <translation>das Profil %1 wurde inzwischen außerhalb des Launchers hinzugefügt</translation>
    </message>
    <message numerus="yes">
        <source>Remove %n profiles</source>
        <translation>
            <numerusform>%n Profil entfernen</numerusform>
            <numerusform>%n Profile entfernen</numerusform>
        </translation>
    </message>
    <message>
        <source>Add %1</source>
        <translation>%1 hinzufügen</translation>
    </message>
    <message>
        <source>Update %1</source>
        <translation>%1 aktualisieren</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <translation>%1 entfernen</translation>
    </message>
    <message>
        <source>Rename %1 to %2</source>
        <translation>%1 in %2 umbenennen</translation>
    </message>
    <message>
        <source>Move %1</source>
        <translation>%1 verschieben</translation>
    </message>
    <message>
        <source>Add Resolution %1</source>
        <translation>Auflösung %1 hinzufügen</translation>
    </message>
    <message>
        <source>Add Pixel Density %1</source>
        <translation>Pixeldichte %1 hinzufügen</translation>
    </message>
    <message>
        <source>Remove Resolution %1</source>
        <translation>Auflösung %1 entfernen</translation>
    </message>
    <message>
        <source>Remove Pixel Density %1</source>
        <translation>Pixeldichte %1 entfernen</translation>
    </message>
    <message>
        <source>it is among the oldest steps, let go to keep the history within its memory</source>
        <translation>er gehört zu den ältesten Schritten, die aufgegeben wurden, um den Verlauf in seinem Speicher zu halten</translation>
    </message>
</context>
<context>
    <name>ProfileDocument</name>
    <message>
        <source>it is of version %1</source>
        <translation>sie hat die Version %1</translation>
    </message>
    <message>
        <source>it ends in the middle of a line or lacks a section, as a file that another program has not finished writing does</source>
        <translation>sie endet mitten in einer Zeile oder ihr fehlt ein Abschnitt, wie bei einer Datei, die ein anderes Programm noch nicht fertig geschrieben hat</translation>
    </message>
</context>
<context>
    <name>ProfileExtras</name>
    <message>
        <source>%1 cannot be read: %2; it is left as it is and not written</source>
        <translation>%1 kann nicht gelesen werden: %2; die Datei bleibt, wie sie ist, und wird nicht geschrieben</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>it is no JSON: %1 at byte %2</source>
        <translation>sie ist kein JSON: %1 bei Byte %2</translation>
    </message>
    <message>
        <source>it holds no JSON object</source>
        <translation>sie enthält kein JSON-Objekt</translation>
    </message>
    <message>
        <source>its version %1 is not one this launcher reads</source>
        <translation>ihre Version %1 kann dieser Launcher nicht lesen</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB</source>
        <translation>sie ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>another program changed it meanwhile</source>
        <translation>ein anderes Programm hat sie inzwischen geändert</translation>
    </message>
</context>
<context>
    <name>ProfileListActions</name>
    <message>
        <source>Duplicate Profile</source>
        <translation>Profil duplizieren</translation>
    </message>
    <message>
        <source>Enter the name for the copy</source>
        <translation>Geben Sie den Namen der Kopie ein</translation>
    </message>
    <message>
        <source>%1 (copy)</source>
        <translation>%1 (Kopie)</translation>
    </message>
    <message>
        <source>Rename Profile</source>
        <translation>Profil umbenennen</translation>
    </message>
    <message>
        <source>Enter the new name for the profile</source>
        <translation>Geben Sie den neuen Namen des Profils ein</translation>
    </message>
    <message>
        <source>A profile named &quot;%1&quot; already exists.</source>
        <translation>Ein Profil namens „%1“ gibt es bereits.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>These profiles could not be added to the applications menu:

%1</source>
        <translation>Diese Profile konnten nicht zum Anwendungsmenü hinzugefügt werden:

%1</translation>
    </message>
    <message>
        <source>Add to Applications Menu</source>
        <translation>Zum Anwendungsmenü hinzufügen</translation>
    </message>
    <message>
        <source>New Profile from Device</source>
        <translation>Neues Profil aus Gerät</translation>
    </message>
    <message>
        <source>The profile could not be added to the applications menu: %1.</source>
        <translation>Das Profil konnte nicht zum Anwendungsmenü hinzugefügt werden: %1.</translation>
    </message>
    <message>
        <source>&amp;Launch</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>&amp;Duplicate…</source>
        <translation>&amp;Duplizieren …</translation>
    </message>
    <message>
        <source>&amp;Rename…</source>
        <translation>&amp;Umbenennen …</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Copy Command Line</source>
        <translation>Befehlszeile &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;New Profile from Device…</source>
        <translation>&amp;Neues Profil aus Gerät …</translation>
    </message>
    <message>
        <source>E&amp;xport Profiles…</source>
        <translation>Profile e&amp;xportieren …</translation>
    </message>
    <message>
        <source>&amp;Import Profiles…</source>
        <translation>Profile &amp;importieren …</translation>
    </message>
    <message>
        <source>&amp;Add to Applications Menu</source>
        <translation>Zum &amp;Anwendungsmenü hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>S&amp;top All Emulators</source>
        <translation>Alle Emula&amp;toren beenden</translation>
    </message>
    <message>
        <source>Show Lo&amp;g</source>
        <translation>&amp;Protokoll anzeigen</translation>
    </message>
    <message>
        <source>Running &amp;Emulators…</source>
        <translation>&amp;Laufende Emulatoren …</translation>
    </message>
    <message>
        <source>These profiles no longer exist:

%1</source>
        <translation>Diese Profile gibt es nicht mehr:

%1</translation>
    </message>
    <message>
        <source>These profiles were changed outside the launcher since you were asked, and stay:

%1</source>
        <translation>Diese Profile wurden außerhalb des Launchers geändert, seit Sie gefragt wurden, und bleiben erhalten:

%1</translation>
    </message>
    <message>
        <source>Nothing was removed.</source>
        <translation>Es wurde nichts entfernt.</translation>
    </message>
    <message numerus="yes">
        <source>%n profiles were removed.</source>
        <translation>
            <numerusform>%n Profil wurde entfernt.</numerusform>
            <numerusform>%n Profile wurden entfernt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Remove &amp;from Applications Menu</source>
        <translation>Aus de&amp;m Anwendungsmenü entfernen</translation>
    </message>
    <message>
        <source>Shows the profiles whose name, options, arguments or notes contain the text, or that have it in a tag, ignoring case; &quot;tag:&quot; before the start of a tag finds only the profiles with such a tag. Those found by anything but their name are in italics; Down goes to the first one found by its name.</source>
        <translation>Zeigt die Profile, deren Name, Optionen, Argumente oder Notizen den Text enthalten oder die ihn in einem Tag haben, ohne Rücksicht auf Groß- und Kleinschreibung; „tag:“ vor dem Anfang eines Tags findet nur die Profile mit einem solchen Tag. Die nicht über ihren Namen gefundenen stehen kursiv; Pfeil nach unten führt zum ersten über seinen Namen gefundenen.</translation>
    </message>
</context>
<context>
    <name>ProfileName</name>
    <message>
        <source>A profile name cannot contain a double quote.</source>
        <translation>Ein Profilname darf kein doppeltes Anführungszeichen enthalten.</translation>
    </message>
    <message>
        <source>A profile name cannot contain a line break.</source>
        <translation>Ein Profilname darf keinen Zeilenumbruch enthalten.</translation>
    </message>
    <message>
        <source>A profile name cannot contain a control character, such as a tab.</source>
        <translation>Ein Profilname darf kein Steuerzeichen wie einen Tabulator enthalten.</translation>
    </message>
</context>
<context>
    <name>ProfileQListWidget</name>
    <message>
        <source>found by its options or arguments</source>
        <translation>über seine Optionen oder Argumente gefunden</translation>
    </message>
</context>
<context>
    <name>QCoreApplication</name>
    <message numerus="yes">
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
    <name>RunningEmulatorsView</name>
    <message>
        <source>The emulator&apos;s output cannot be kept in %1: %2. It is discarded.</source>
        <translation>Die Ausgabe des Emulators kann nicht in %1 aufbewahrt werden: %2. Sie wird verworfen.</translation>
    </message>
    <message>
        <source>The emulator runs, but the launcher cannot write down that it does in %1: %2. It cannot show or stop it.</source>
        <translation>Der Emulator läuft, aber der Launcher kann in %1 nicht vermerken, dass er läuft: %2. Er kann ihn weder anzeigen noch beenden.</translation>
    </message>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n läuft</numerusform>
            <numerusform>%n laufen</numerusform>
        </translation>
    </message>
    <message>
        <source>The emulator for &quot;%1&quot; ended %2 seconds after it started.</source>
        <translation>Der Emulator für „%1“ endete %2 Sekunden nach seinem Start.</translation>
    </message>
    <message>
        <source>The emulator for &quot;%1&quot; ended %2 seconds after it started: %3.</source>
        <translation>Der Emulator für „%1“ endete %2 Sekunden nach seinem Start: %3.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>Velmora Mobile Emulator Launcher</source>
        <translation>Velmora Mobile Emulator Launcher</translation>
    </message>
    <message>
        <source>Failed to start Velmora Mobile Emulator!</source>
        <translation>Velmora Mobile Emulator konnte nicht gestartet werden!</translation>
    </message>
</context>
<context>
    <name>RunningPanel</name>
    <message numerus="yes">
        <source>%n s</source>
        <translation>
            <numerusform>%n s</numerusform>
            <numerusform>%n s</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n min</source>
        <translation>
            <numerusform>%n min</numerusform>
            <numerusform>%n min</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n h</source>
        <translation>
            <numerusform>%n h</numerusform>
            <numerusform>%n h</numerusform>
        </translation>
    </message>
    <message>
        <source>Running Emulators</source>
        <translation>Laufende Emulatoren</translation>
    </message>
    <message>
        <source>Emulators</source>
        <translation>Emulatoren</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Show &amp;Log</source>
        <translation>&amp;Protokoll anzeigen</translation>
    </message>
    <message>
        <source>&amp;Copy Command Line</source>
        <translation>Befehlszeile &amp;kopieren</translation>
    </message>
    <message>
        <source>Launch &amp;Again</source>
        <translation>&amp;Erneut starten</translation>
    </message>
    <message>
        <source>A&amp;rrange Emulators</source>
        <translation>Emulatoren an&amp;ordnen</translation>
    </message>
</context>
<context>
    <name>SingleApplication</name>
    <message>
        <source>no directory of your own can hold its lock</source>
        <translation>kein eigenes Verzeichnis kann seine Sperre aufnehmen</translation>
    </message>
    <message>
        <source>its lock cannot be created in %1</source>
        <translation>seine Sperre kann in %1 nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>WindowArrangement</name>
    <message>
        <source>&amp;Arrange Emulators</source>
        <translation>Emulatoren &amp;anordnen</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>&amp;Nebeneinander</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>&amp;Gestaffelt</translation>
    </message>
    <message>
        <source>&amp;Remember Window Place</source>
        <translation>Fenster&amp;platz merken</translation>
    </message>
    <message>
        <source>Arrange Emulators</source>
        <translation>Emulatoren anordnen</translation>
    </message>
    <message>
        <source>No window of a running emulator was found.</source>
        <translation>Es wurde kein Fenster eines laufenden Emulators gefunden.</translation>
    </message>
    <message>
        <source>The emulators&apos; windows cannot be arranged: %1.</source>
        <translation>Die Fenster der Emulatoren können nicht angeordnet werden: %1.</translation>
    </message>
    <message>
        <source>Remember Window Place</source>
        <translation>Fensterplatz merken</translation>
    </message>
    <message>
        <source>No window of an emulator of &quot;%1&quot; was found: launch it and put its window where it should go, then choose this again.</source>
        <translation>Es wurde kein Fenster eines Emulators von „%1“ gefunden: Starten Sie ihn, legen Sie sein Fenster dorthin, wo es hingehört, und wählen Sie dies dann erneut.</translation>
    </message>
</context>
</TS>

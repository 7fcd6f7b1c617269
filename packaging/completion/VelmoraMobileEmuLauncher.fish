# fish completion for VelmoraMobileEmuLauncher: its options, the stored profile names (asked of
# the launcher with --list at the moment of completion) and file names.

function __velmora_launcher_profiles
    set -l launcher (commandline -opc)[1]
    test -x "$launcher"; or set launcher VelmoraMobileEmuLauncher
    command -q -- $launcher; and command $launcher --list 2>/dev/null
end

function __velmora_launcher_tags
    set -l launcher (commandline -opc)[1]
    test -x "$launcher"; or set launcher VelmoraMobileEmuLauncher
    command -q -- $launcher; and command $launcher --list-tags 2>/dev/null
end

# fish completes only options for a word that begins with "-": a profile named so is completed
# as "--launch=-name".

# More names follow --launch, --stop and --export; one that begins with "-" only after "--"
# (before it, the launcher reads such a word as an option).
function __velmora_launcher_takes_names
    set -l words (commandline -opc)
    if string match -q -- '-*' (commandline -ct); and not contains -- -- $words
        return 1
    end
    contains -- --launch $words; or contains -- -l $words; or contains -- --stop $words
    or contains -- --export $words
end

set -l c VelmoraMobileEmuLauncher
complete -c $c -f
complete -c $c -s h -l help -d 'Show the help and exit'
complete -c $c -s v -l version -d "Show the launcher's version and exit"
complete -c $c -l list -d 'List the stored profile names'
complete -c $c -l json -d 'Print JSON (with --list or --running)'
complete -c $c -s l -l launch -x -a '(__velmora_launcher_profiles)' -d 'Start the emulator for a profile'
complete -c $c -l wait -d 'With --launch: wait 5 seconds for each emulator'
complete -c $c -l print-command -x -a '(__velmora_launcher_profiles)' -d 'Print the command --launch would start'
complete -c $c -l list-devices -d 'List the phones and tablets the launcher knows'
complete -c $c -l export -r -F -d 'Write profiles to a file'
complete -c $c -l import -r -F -d 'Add the profiles of a file'
complete -c $c -l running -d 'List the running emulators'
complete -c $c -l stop -x -a '(__velmora_launcher_profiles)' -d 'Stop the emulators of a profile'
complete -c $c -l stop-all -d 'Stop every running emulator'
complete -c $c -l log -x -a '(__velmora_launcher_profiles)' -d 'Print the path of the newest log of a profile'
complete -c $c -n __velmora_launcher_takes_names -a '(__velmora_launcher_profiles)'
complete -c $c -l launch-tag -x -a '(__velmora_launcher_tags)' -d 'Start the emulator of every profile with a tag'
complete -c $c -l tag -x -a '(__velmora_launcher_tags)' -d 'With --list: only the profiles with a tag'
complete -c $c -l list-tags -d 'List the tags the profiles have'
complete -c $c -l arrange -x -a 'tile cascade' -d "Place the running emulators' windows"
complete -c $c -l dbus-service -d 'Start as the session bus starts it for the desktop'

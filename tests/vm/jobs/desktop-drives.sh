#!/bin/bash
# The desktop program on real USB card readers: drive discovery and the udev and mount-table
# monitors (real_drive_tests), formatting through a real udisksd, and the whole program on Xvfb
# selecting, backing up and restoring a real card, photographed into output/screenshots.
set -euo pipefail
# shellcheck source=../guest/card-steps.sh
. "$(dirname "$0")/../guest/card-steps.sh"
work=$VOCELL_VM_SHARE
lsan="suppressions=$GUI_TEST_FOLDER/lsan-suppressions.txt:print_suppressions=0"
export XDG_RUNTIME_DIR=/tmp/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# A card image holding the sample card, written through the driver.
sample_card_image() {  # image, label, [--partitioned]
    new_card "$work/$1" 32 "$2" ${3:-} &&
        plug_card maker "$work/$1" "$2" &&
        mount_card "$2" /media/maker &&
        cp -r "$VOCELL_SAMPLE_CARD/VM" /media/maker/ &&
        unmount_card /media/maker &&
        unplug_card maker "$2"
}

real_drive_test() {  # test name
    QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=$lsan "$REAL_DRIVE_TESTS" --gtest_filter="RealDriveTest.$1"
}

start_udisks() {
    /usr/libexec/udisks2/udisksd --no-debug >/tmp/udisksd.log 2>&1 &
    wait_for 60 udisksctl status >/dev/null || { cat /tmp/udisksd.log; return 1; }
}

end_to_end() {
    plug_card reader "$work/e2e.img" VMCARD || return
    mount_card VMCARD /media/root/VMCARD
    expect "the program selects, backs up and restores the real card on Xvfb" \
        env QT_QPA_PLATFORM=xcb LSAN_OPTIONS="$lsan" VOCELL_TEST_CARD_MOUNT=/media/root/VMCARD \
        VOCELL_SCREENSHOT_DIR="$work/output/screenshots" \
        xvfb-run -a -s "-screen 0 1024x768x24" bash "$GUI_TEST_FOLDER/with-window-manager.sh" "$END_TO_END_TEST"
    unmount_card /media/root/VMCARD
    local listing
    listing=$(host_listing "$work/e2e.img") || { problem "the card is damaged"; return; }
    expect "the restored message is on the medium whole" grep -qP '^/VM/MSGS/102/M0007.WAV\t.*\t16384\t' <<<"$listing"
    expect_not "no interrupted-restore mark" grep -q "^/$kMarker" <<<"$listing"
    expect "screenshots were taken" test -s "$work/output/screenshots/restore-in-progress.png"
    unplug_card reader VMCARD
}

sample_card_image vmcard.img VMCARD --partitioned || echo "FAILED: the card images could not be made"
sample_card_image fixed.img BACKUPS
sample_card_image format.img VMCARD --partitioned
sample_card_image e2e.img VMCARD --partitioned
run_case "a card in a reader is offered by its label and letter" \
    real_drive_test CardInAReaderIsOfferedByItsLabelAndLetterAndSelected
run_case "a USB disk that says it is fixed is never offered" real_drive_test UsbDiskThatSaysItIsFixedIsNeverOffered
run_case "plug, mount, card out, card in and unplug are each noticed" \
    real_drive_test PlugMountCardOutCardInAndUnplugAreEachNoticed
if start_udisks; then
    run_case "Initialize formats through udisksd and installs the initial structure" \
        real_drive_test InitializeFormatsThroughUDisksAndInstallsTheInitialStructure
else
    run_case "udisksd starts" false
fi
run_case "the whole program on Xvfb: Select, Backup, Restore on the real card" end_to_end
finish

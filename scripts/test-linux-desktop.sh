#!/usr/bin/env bash
# The Linux desktop program's checks, beside the main test run: the program must build (a missing
# Qt or drive library is an error here, not a skipped program), its desktop entry and AppStream
# metadata must validate, and `cmake --install` must lay down the program with its entry,
# metadata and icons. Its widget, drive, format and end-to-end tests run with the others in ctest.
#   --screenshots  instead, retakes the screenshots in docs/screenshots/linux/ from the end-to-end
#                  test, at 100 % and (in 150-percent/) at 150 %
set -euo pipefail
mode=${1:-checks}
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake --preset debug -DVOCELL_LINUX_DESKTOP=ON >/dev/null
cmake --build --preset debug -j"$jobs"

if [ "$mode" = --screenshots ]; then
    # The end-to-end test as ctest runs it, on a display of its own, once at each scale.
    shoot() {  # scale folder
        mkdir -p "$2"
        QT_SCALE_FACTOR=$1 QT_QPA_PLATFORM=xcb VOCELL_SCREENSHOT_DIR=$2 \
            XDG_RUNTIME_DIR=$PWD/build/debug/tests/qt/runtime \
            LSAN_OPTIONS=suppressions=$PWD/tests/qt/lsan-suppressions.txt:print_suppressions=0 \
            xvfb-run -a -s "-screen 0 1280x960x24" bash tests/qt/with-window-manager.sh \
            build/debug/tests/qt/gui_end_to_end_test >/dev/null
        ls -l "$2"
    }
    shoot 1 docs/screenshots/linux
    shoot 1.5 docs/screenshots/linux/150-percent
    exit 0
fi

# The metadata as the build writes it, with the version put in.
appstreamcli validate --no-net build/debug/qt/program/com.harlosolvane.VocellUtility.metainfo.xml
desktop-file-validate packaging/linux/com.harlosolvane.VocellUtility.desktop

prefix=$(mktemp -d /tmp/vocell-install.XXXXXX)
cmake --install build/debug --prefix "$prefix" >/dev/null
for installed in bin/vocell-utility \
                 share/applications/com.harlosolvane.VocellUtility.desktop \
                 share/metainfo/com.harlosolvane.VocellUtility.metainfo.xml \
                 share/icons/hicolor/48x48/apps/com.harlosolvane.VocellUtility.png \
                 share/icons/hicolor/scalable/apps/com.harlosolvane.VocellUtility.svg \
                 share/vocell/Prompts/PromptUpdateVer1_3_1.vcp \
                 share/vocell/Data/InitializedFileStruct.vcb \
                 share/man/man1/vocell-utility.1 share/man/man1/vocell.1 \
                 share/bash-completion/completions/vocell; do
    [ -e "$prefix/$installed" ] || { echo "cmake --install did not install $installed"; exit 1; }
done
rm -rf "$prefix"
echo "Linux desktop program: built, metadata valid, installed"

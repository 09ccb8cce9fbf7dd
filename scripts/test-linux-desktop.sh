#!/usr/bin/env bash
# The Linux desktop program's checks, beside the main test run: the program must build (a missing
# Qt or drive library is an error here, not a skipped program), its desktop entry and AppStream
# metadata must validate, and `cmake --install` must lay down the program with its entry,
# metadata and icons. Its widget, drive, format and end-to-end tests run with the others in ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake --preset debug -DVOCELL_LINUX_DESKTOP=ON >/dev/null
cmake --build --preset debug -j"$jobs"

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

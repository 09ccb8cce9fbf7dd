#pragma once
// The main dialog as the card operations see it: its members, its status refresh and its
// window-system services.

#include <string>
#include <string_view>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveState.h"
#include "archive/ArchiveWriter.h"
#include "devices/DeviceSlots.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Volumes.h"

namespace vocell::operations {

struct CardFields {
    std::string statusText;
    std::string deviceText;
    std::string cardTypeText;
    std::string promptVersionText;
};

inline constexpr int kActivityPane = 0;
inline constexpr int kDetailPane = 1;

class OperationHost {
public:
    virtual ~OperationHost() = default;

    virtual Desktop& desktop() = 0;
    virtual Volumes& volumes() = 0;
    virtual FileSystem& fileSystem() = 0;
    virtual archive::ArchiveState& archiveState() = 0;
    virtual devices::DeviceSlots& Slots() = 0;
    virtual CardFields& Fields() = 0;
    virtual std::string& VolumeLabel() = 0;
    // The drive root the user chose with Select; empty until a card has been selected.
    virtual const std::string& SelectedCardRoot() const = 0;
    // Set when a backup has written its archive header.
    virtual bool& BackupHeaderWritten() = 0;

    virtual void RefreshCardStatus() = 0;
    // Rebuilds the device slots from the drives present and pushes.
    virtual void RescanDevices() = 0;
    virtual void Push() = 0;
    virtual void Repaint() = 0;
    virtual void SetStatusPane(int pane, std::string_view text) = 0;
    // The progress bar and the messages of an extraction.
    virtual archive::ExtractionListener& ExtractionProgress() = 0;
    // Pane 1 showing the path the archive writer is storing.
    virtual archive::ArchiveWriterListener& BackupProgress() = 0;
};

}  // namespace vocell::operations

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
    virtual devices::DeviceSlots& slots() = 0;
    virtual CardFields& fields() = 0;
    virtual std::string& volumeLabel() = 0;
    // The drive root the user chose with Select; empty until a card has been selected.
    virtual const std::string& selectedCardRoot() const = 0;
    // Set when a backup has written its archive header.
    virtual bool& backupHeaderWritten() = 0;

    virtual void refreshCardStatus() = 0;
    // Rebuilds the device slots from the drives present and pushes.
    virtual void rescanDevices() = 0;
    virtual void push() = 0;
    virtual void repaint() = 0;
    virtual void setStatusPane(int pane, std::string_view text) = 0;
    // The progress bar and the messages of an extraction.
    virtual archive::ExtractionListener& extractionProgress() = 0;
    // Pane 1 showing the path the archive writer is storing.
    virtual archive::ArchiveWriterListener& backupProgress() = 0;
};

}  // namespace vocell::operations

#include "operations/PreChecks.h"

#include <string>

#include "common/Messages.h"

namespace vocell::operations {
namespace {

bool Refuse(OperationHost& host, std::string_view message) {
    host.desktop().messageBox(std::string(message), MessageButtons::Ok);
    return false;
}

}  // namespace

bool CheckCardSelected(OperationHost& host) {
    return host.fields().statusText != text::kCardNotSelected || Refuse(host, text::kPleaseSelectDevice);
}

bool CheckMediaPresent(OperationHost& host) {
    const std::string root = host.slots().cardRoot();
    if (root.empty()) return true;  // no path operation runs on an empty root; later checks stop
    if (host.volumes().openRootForReading(root).error != FsError::NotReady) return true;
    return Refuse(host, text::kNoMediaPresent);
}

bool CheckDriveInSlot(OperationHost& host) {
    return host.slots().selectedLetterCode() != devices::kNoDrive || Refuse(host, text::kInsertValidCard);
}

bool CheckInstallFolder(OperationHost& host, std::string_view folder, std::string_view message) {
    auto found = host.fileSystem().attributes(std::string(folder));
    const bool missing = !found.ok() && (found.status().error == FsError::NotFound ||
                                         found.status().error == FsError::PathNotFound);
    return !missing || Refuse(host, message);
}

bool CheckStillSelectedCard(OperationHost& host) {
    host.rescanDevices();
    const std::string root = host.slots().cardRoot();
    if (!root.empty() && root == host.selectedCardRoot()) return true;
    Refuse(host, text::kPleaseSelectDevice);
    host.fields().statusText = std::string(text::kCardNotSelected);
    host.push();
    return false;
}

}  // namespace vocell::operations

#include "operations/PreChecks.h"

#include <string>

#include "common/Messages.h"

namespace vocell::operations {
namespace {

bool Refuse(OperationHost& host, std::string_view message) {
    host.desktop().ShowMessageBox(std::string(message), MessageButtons::Ok);
    return false;
}

}  // namespace

bool CheckCardSelected(OperationHost& host) {
    return host.Fields().statusText != text::kCardNotSelected || Refuse(host, text::kPleaseSelectDevice);
}

bool CheckMediaPresent(OperationHost& host) {
    const std::string root = host.Slots().cardRoot();
    if (root.empty()) return true;  // no path operation runs on an empty root; later checks stop
    if (host.volumes().OpenRootForReading(root).error != FsError::NotReady) return true;
    return Refuse(host, text::kNoMediaPresent);
}

bool CheckDriveInSlot(OperationHost& host) {
    return host.Slots().selectedLetterCode() != devices::kNoDrive || Refuse(host, text::kInsertValidCard);
}

bool CheckInstallFolder(OperationHost& host, std::string_view folder, std::string_view message) {
    auto found = host.fileSystem().Attributes(std::string(folder));
    const bool missing = !found.ok() && (found.status().error == FsError::NotFound ||
                                         found.status().error == FsError::PathNotFound);
    return !missing || Refuse(host, message);
}

bool CheckStillSelectedCard(OperationHost& host) {
    host.RescanDevices();
    const std::string root = host.Slots().cardRoot();
    if (!root.empty() && root == host.SelectedCardRoot()) return true;
    Refuse(host, text::kPleaseSelectDevice);
    host.Fields().statusText = std::string(text::kCardNotSelected);
    host.Push();
    return false;
}

}  // namespace vocell::operations

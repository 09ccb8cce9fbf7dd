#pragma once
// Every text the user can see, defined once, exactly as the utility words it.

#include <string_view>

#include "common/Version.h"

namespace vocell::text {

// Titles and captions.
inline constexpr std::string_view kApplicationTitle = "Harlo Solvane Vocell Utility";
inline constexpr std::string_view kAboutVersion = VOCELL_ABOUT_VERSION;
inline constexpr std::string_view kAboutMenuItem = "&About Harlo Solvane Vocell Utility...";

// Status words (the Status field and pane 0 of the status bar).
inline constexpr std::string_view kReady = "Ready";
inline constexpr std::string_view kInsertCard = "Insert Card";
inline constexpr std::string_view kCardNotSelected = "Card Not Selected";
inline constexpr std::string_view kBackingUpData = "Backing Up Data";
inline constexpr std::string_view kRestoringData = "Restoring Data";
inline constexpr std::string_view kDeletingOldPrompts = "Deleting Old Prompts";
inline constexpr std::string_view kUpdatingPrompts = "Updating Prompts";
inline constexpr std::string_view kFinalizing = "Finalizing";
inline constexpr std::string_view kInstallingPrompts = "Installing Prompts";
inline constexpr std::string_view kVerifyingData = "Verifying Data";
inline constexpr std::string_view kNoPrompts = "No Prompts";
inline constexpr std::string_view kVocell8Hour = "Vocell 8 Hour";
inline constexpr std::string_view kUnknownCardType = "Unknown Card Type";

// How far a long step has come, beside the progress bar (and after the stored path in pane 1
// during a backup): "12.4 MB of 128.0 MB written, about 5 s left".
inline constexpr std::string_view kProgressOf = " of ";
inline constexpr std::string_view kProgressWritten = " written";
inline constexpr std::string_view kProgressChecked = " checked";
inline constexpr std::string_view kProgressCompared = " compared";
inline constexpr std::string_view kProgressAbout = ", about ";
inline constexpr std::string_view kProgressLeft = " left";
inline constexpr std::string_view kPathAndProgress = " - ";
// Sizes in Windows' units of 1,024 bytes, and times left.
inline constexpr std::string_view kByte = " byte";
inline constexpr std::string_view kBytes = " bytes";
inline constexpr std::string_view kKilobytes = " KB";
inline constexpr std::string_view kMegabytes = " MB";
inline constexpr std::string_view kGigabytes = " GB";
inline constexpr std::string_view kTerabytes = " TB";
inline constexpr std::string_view kSeconds = " s";
inline constexpr std::string_view kMinutes = " min";
inline constexpr std::string_view kHours = " h";

// Pre-checks.
inline constexpr std::string_view kPleaseSelectDevice = "Please select a device.";
inline constexpr std::string_view kNoMediaPresent = "No media present.";
inline constexpr std::string_view kInsertValidCard = "Please insert a valid Vocell card into the drive.";
inline constexpr std::string_view kReinstallApplication =
    "The Vocell directory and associated files were not found.  Please re-install the application.";
inline constexpr std::string_view kBackupFolderMissing =
    "The Vocell Backup directory and associated files were not found.  Please re-install the "
    "application.";
inline constexpr std::string_view kDataFolderMissing =
    "The Vocell Data directory and associated files were not found.  Please re-install the "
    "application.";
inline constexpr std::string_view kPromptsFolderMissing =
    "The Vocell Prompts directory and associated files were not found.  Please re-install the "
    "application.";
inline constexpr std::string_view kStatusBarNotCreated = "Status Bar not created";

// The device chooser and the Device field.
inline constexpr std::string_view kNoneEntry = "None";
inline constexpr std::string_view kRemovableDisk = "Removable Disk";
// The open and save dialogs: the description is followed by " (*.vcb)" or " (*.vcp)".
inline constexpr std::string_view kArchiveFileType = "Vocell Greeting & Data Files";

// Completion.
inline constexpr std::string_view kBackupComplete = "Backup Complete.";
inline constexpr std::string_view kRestoreComplete = "Restore Complete.";
inline constexpr std::string_view kPromptUpdateComplete = "Prompt Update complete.";

// Extraction failures.
inline constexpr std::string_view kCardFull =
    "The operation could not be completed because the Vocell card is full. The card must be "
    "re-initialized before it can be used in the system.";
inline constexpr std::string_view kCardFullToStart =
    "The operation could not be completed because the Vocell card is full.";
// The space a restore needs and the space the card has go between the pieces.
inline constexpr std::string_view kTooLittleSpace =
    "The Vocell card has too little free space for this: it needs at least ";
inline constexpr std::string_view kTooLittleSpaceHas = " and has ";
inline constexpr std::string_view kTooLittleSpaceFree = " free.";
inline constexpr std::string_view kCardWriteError =
    "An error has occurred while writing to the Vocell card. Please check the card and card reader.";

// Questions; the version texts go between the pieces.
inline constexpr std::string_view kCardPromptsAreVersion = "The Vocell Card prompts are version ";
inline constexpr std::string_view kRestoreContainsVersion =
    ".\nThe file you are about to restore contains version ";
inline constexpr std::string_view kInstallContainsVersion =
    ".\nThe file you are about to install contains version ";
inline constexpr std::string_view kOverwritePrompts = ".\n\nOverwrite the existing prompts?";
inline constexpr std::string_view kNoPromptsInstallVersion =
    "There are no prompts on the Vocell Card.  Install version ";
inline constexpr std::string_view kQuestionEnd = "?";
inline constexpr std::string_view kReformatQuestion =
    "You are about to re-format the Vocell card.  Do you want to continue?";
inline constexpr std::string_view kFormatNotice =
    "The next dialog will show the Format options.\nPlease select the 'FAT' (not 'FAT32') for the "
    "File System type.\nThe 'FAT' option must be selected or the Vocell card will not work in the "
    "system.";

// Texts of this implementation for failures that used to pass unnoticed.
inline constexpr std::string_view kNotValidArchive = "The selected file is not a valid Vocell archive: ";
inline constexpr std::string_view kCardNotChanged = "\nNothing on the Vocell card has been changed.";
inline constexpr std::string_view kEntriesNotRestored =
    "These files and folders could not be written to the Vocell card:";
inline constexpr std::string_view kCheckCardAndReader = "Please check the card and card reader.";
inline constexpr std::string_view kEntriesNotAsStored =
    "These files and folders were written to the Vocell card, but their attributes or times could not "
    "be set as the archive holds them:";
inline constexpr std::string_view kBackupNotWritten = "The backup file could not be written: ";
inline constexpr std::string_view kEarlierBackupKept =
    "\nAn existing backup file of that name has not been changed.";
inline constexpr std::string_view kEntriesNotReadBack =
    "These files were written to the Vocell card, but reading them back from it gave something else:";
inline constexpr std::string_view kEntriesStoredIncomplete =
    "These files are incomplete in the archive and were restored with the data it holds:";
inline constexpr std::string_view kUnfinishedBackupsFound =
    "Unfinished backup files of other runs were found beside the backup and left as they are:";
inline constexpr std::string_view kDeleteWhenNoBackupRuns = "\nDelete them once no other backup is running.";
inline constexpr std::string_view kUnfinishedFileLeft = "\nThe unfinished file could not be removed: ";
inline constexpr std::string_view kBackupIncomplete =
    "The backup was saved, but these files and folders could not be read and are not in it:";
inline constexpr std::string_view kIncompleteSavedAs = "\nThe incomplete backup was saved as ";
inline constexpr std::string_view kEarlierBackupUnchanged = "; the earlier backup file was not changed.";
inline constexpr std::string_view kArchiveUnreadable = "The selected file could not be read: ";
inline constexpr std::string_view kArchiveOnCard =
    "The selected file is on the Vocell card itself. Copy it to the computer before using it.";
inline constexpr std::string_view kArchiveChanged =
    "The selected file was changed by another program while it was being used.";
inline constexpr std::string_view kCardChangedPartWay =
    "\nThe Vocell card has been changed part-way: restore it again from a backup file that is whole and "
    "not being changed.";
inline constexpr std::string_view kPromptsRestoredAfterInterruption =
    "An earlier restore onto this Vocell card was interrupted, so the card's prompts were replaced by "
    "those of the backup file as well.";
inline constexpr std::string_view kRestoreInterrupted =
    "A restore onto this Vocell card was interrupted before it finished. Restore the card again before it "
    "is used in the system.";
inline constexpr std::string_view kBackupOnCard =
    "The backup file would be written onto the Vocell card itself. Choose a folder on the computer.";
inline constexpr std::string_view kInitialStructureMissing =
    "The Vocell initial card structure (InitializedFileStruct.vcb) was not found.  Please "
    "re-install the application.";

// The command line's own reports; paths and versions go between the pieces.
namespace cli {
inline constexpr std::string_view kBackingUp = "Backing up ";
inline constexpr std::string_view kRestoring = "Restoring ";
inline constexpr std::string_view kInstallingInitialStructure = "Installing the initial card structure onto ";
inline constexpr std::string_view kInitialStructureInstalled = "Initial card structure installed.";
inline constexpr std::string_view kSayWhichPrompts =
    "Say which prompts to keep with --keep-prompts or --replace-prompts.";
inline constexpr std::string_view kConfirmWithYes = "Confirm with --yes to replace the card's prompts.";
inline constexpr std::string_view kAlreadyHoldsPrompts = "The card already holds prompts (version ";
inline constexpr std::string_view kNotInstalled = "), so the initial card structure was not installed.";
inline constexpr std::string_view kCardNotSelectable = "The card could not be selected.";
inline constexpr std::string_view kCardFolderNotFound = "The card folder was not found: ";
inline constexpr std::string_view kFileNotFound = "The file was not found: ";
inline constexpr std::string_view kPathWithBackslash = "A path with a backslash in a name cannot be used: ";
inline constexpr std::string_view kArchiveSound = "The archive is readable: version ";
inline constexpr std::string_view kStoredIncomplete = " of them stored incomplete.";
}  // namespace cli

// The Linux desktop's own format dialog and its reports; device names go between the pieces.
namespace format {
inline constexpr std::string_view kDialogCaption = "Format Vocell Card";
inline constexpr std::string_view kCardLabel = "Card:";
inline constexpr std::string_view kFileSystemLabel = "File system:";
inline constexpr std::string_view kFat = "FAT";
inline constexpr std::string_view kVolumeLabel = "Volume label:";
inline constexpr std::string_view kDataWillBeLost = "All data currently on the card will be lost.";
inline constexpr std::string_view kStart = "Start";
inline constexpr std::string_view kNotACardReader =
    " is not a removable card in a card reader, so it cannot be formatted here.";
inline constexpr std::string_view kNotRemovable =
    " is not on a removable medium, or holds the running system, so it has not been formatted.";
inline constexpr std::string_view kNotFoundByUDisks = " is not known to the disk service (UDisks2): ";
inline constexpr std::string_view kCannotCheckCard =
    " could not be checked to be the card you selected, so it has not been formatted.";
inline constexpr std::string_view kFormatFailed = "The Vocell card could not be formatted: ";
inline constexpr std::string_view kSystemFormatFailed =
    "the system's format dialog could not format the drive.";
inline constexpr std::string_view kMountFailed =
    "The Vocell card was formatted but could not be mounted again: ";
inline constexpr std::string_view kNoFormatter =
    "The Vocell card cannot be formatted: the disk service (UDisks2) is not running and the program "
    "is not running as root.";
}  // namespace format

}  // namespace vocell::text

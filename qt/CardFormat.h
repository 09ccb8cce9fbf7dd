#pragma once
// What the Initialize button's format dialog does on Linux: our format dialog for the selected
// card only, then the format through the formatter the machine offers.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "app/Desktop.h"
#include "platform/linux/format/CardFormatter.h"

namespace vocell::qt {

struct CardFormatServices {
    // The card with that drive letter; nothing when the letter names no removable card.
    std::function<std::optional<FormatTarget>(char letter, std::string& currentLabel)> targetOf;
    // Asks for the label (our format dialog when empty); nothing for Cancel.
    std::function<std::optional<std::string>(QWidget* parent, const FormatTarget& target,
                                             const std::string& currentLabel)>
        askLabel;
    // Tells the user something (a message box with the application's title).
    std::function<void(const std::string& text)> tell;
    // Lets go of everything the program holds open on the card, so that it can be unmounted.
    std::function<void()> releaseCard;
    // Nothing when the machine offers no way to format.
    CardFormatter* formatter = nullptr;
};

// Formats the drive with the index counted from A = 0, after the user has confirmed in our
// format dialog, when it still holds the medium the user selected. Refuses, and says why, any
// other medium and anything that is not a removable card.
FormatOutcome FormatSelectedCard(QWidget* parent, int driveIndex, const MediumIdentity& selected,
                                 const CardFormatServices& services);

}  // namespace vocell::qt
